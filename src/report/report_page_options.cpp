#include "report/report_pages.h"
#include "report/report_texts.h"

namespace {

// How an option row reads its bit.
enum class Reading { YesNo, ToneOrPulse, MinutesOrSeconds, SirenOrZone, SharedArmDisarm };

class OptionRows {
public:
    OptionRows(ReportPage& page, const CustomerRows& rows, const ReportVariant& variant)
        : m_page(page), m_rows(rows), m_variant(variant) {}

    // A row for option `number`: the high nibble picks the option byte (PROGBIT_1 .. on the
    // 10-zone family; PROGBIT_1 .. PROGBIT_5 and 8 for PROGBIT_6 on the 5-zone model), the low
    // nibble the bit.
    void Add(const QString& caption, int number, Reading reading = Reading::YesNo) {
        const int byte = number >> 4;
        const int column = byte == 8 ? 6 : byte + 1;
        const bool set =
            BitSet(Column(m_rows.opcoes, QStringLiteral("PROGBIT_%1").arg(column)), number & 0xF);
        m_page.Field(caption, Value(set, reading));
    }

private:
    QString Value(bool set, Reading reading) const {
        switch (reading) {
        case Reading::ToneOrPulse:
            return set ? QStringLiteral("[TOM]") : QStringLiteral("[PULSO]");
        case Reading::MinutesOrSeconds:
            return set ? QStringLiteral("[MINUTOS]") : QStringLiteral("[SEGUNDOS]");
        case Reading::SirenOrZone:
            return set ? QStringLiteral("[TERMINAR SIRENE]") : QStringLiteral("[FECHAR ZONA]");
        case Reading::SharedArmDisarm:
            if (m_variant.armDisarmInverted)
                set = !set;
            break;
        case Reading::YesNo:
            break;
        }
        return set ? QStringLiteral("[SIM]") : QStringLiteral("[NÃO]");
    }

    ReportPage& m_page;
    const CustomerRows& m_rows;
    const ReportVariant& m_variant;
};

void TenZone(ReportPage& page, OptionRows& add, const CustomerRows& rows, const ReportVariant& v) {
    page.Section(QStringLiteral("OPÇÕES GERAIS"));
    add.Add(QStringLiteral("Habilita particionamento:"), 0x03);
    add.Add(QStringLiteral("Autoteste somente com painel armado:"), 0x12);
    add.Add(QStringLiteral("Habilita módulo PGM:"), 0x22);
    add.Add(QStringLiteral("Tempo de PGM em:"), 0x23, Reading::MinutesOrSeconds);
    add.Add(QStringLiteral("Arme automático habilitado:"), 0x05);
    add.Add(QStringLiteral("Zonas do painel sem resistor de fim de linha:"), 0x06);
    if (v.zone8RemoteRow)
        add.Add(QStringLiteral("Zona 8 para controle remoto:"), 0x25);
    add.Add(QStringLiteral("Restaura zona após:"), 0x37, Reading::SirenOrZone);
    page.Field(QStringLiteral("Dígito de coação:"),
               DashWhenEmpty(ValueText(Column(rows.opcoes, QStringLiteral("DIGITOCOACAO")))));
    page.Field(QStringLiteral("Ajuste de relógio:"),
               ClockAdjustText(Column(rows.opcoes, QStringLiteral("AJUSTERELOGIO"))));

    page.Section(QStringLiteral("OPÇÕES DE COMUNICAÇÃO"));
    page.Field(QStringLiteral("Reporte:"), ReportModeText(Column(rows.opcoes, QStringLiteral("PROGBIT_1"))));
    add.Add(QStringLiteral("Função discadora habilitada:"), 0x02);
    add.Add(QStringLiteral("Comunicação com o PC somente via callback:"), 0x10);
    add.Add(QStringLiteral("Discagem por:"), 0x04, Reading::ToneOrPulse);
    add.Add(QStringLiteral("Habilita envio automático de buffer após 90%:"), 0x16);
    add.Add(QStringLiteral("Reporta ativou/desativou PGM 1:"), 0x24);
    add.Add(QStringLiteral("Habilita monitoramento da linha telefônica:"), 0x15);
    add.Add(QStringLiteral("Habilita report de alteração de programação:"), 0x17);
    if (v.armDisarmRow)
        add.Add(QStringLiteral("Enviar arme/desarme para o monitoramento:"), 0x33, Reading::SharedArmDisarm);
    add.Add(v.phoneAccessCaption, 0x14);

    page.Section(QStringLiteral("OPÇÕES DE TECLADO"));
    add.Add(QStringLiteral("Bipe de problema no teclado:"), 0x07);
    add.Add(v.exitBeepCaption, 0x20);
    add.Add(QStringLiteral("Supervisiona zona de teclado 9:"), 0x26);
    add.Add(QStringLiteral("Supervisiona zona de teclado 10:"), 0x27);
    add.Add(QStringLiteral("Habilita trava de teclado:"), 0x11);

    page.Section(QStringLiteral("OPÇÕES DE SIRENE"));
    add.Add(QStringLiteral("Bipe na sirene ao armar/desarmar:"), 0x13);
    add.Add(QStringLiteral("Disparar sirene com curto de zona:"), 0x21);
    if (v.sirenLineProblemRow)
        add.Add(QStringLiteral("Disparar sirene no problema de linha telefônica:"), 0x25);

    page.Section(QStringLiteral("OPÇÕES DE PÂNICO"));
    add.Add(QStringLiteral("Habilita pânico (1 + 3):"), 0x30);
    add.Add(v.medicalCaption, 0x31);
    add.Add(v.fireCaption, 0x32);
    if (v.maintenanceRow)
        add.Add(QStringLiteral("Habilita pedido de manutenção (* + #):"), 0x33, Reading::SharedArmDisarm);
    add.Add(QStringLiteral("Dispara a sirene no pânico:"), 0x34);
    add.Add(QStringLiteral("Dispara a sirene na emergência médica:"), 0x35);
    add.Add(QStringLiteral("Dispara a sirene no pânico de incêndio:"), 0x36);
}

void FiveZone(ReportPage& page, OptionRows& add, const CustomerRows& rows, const ReportVariant& v) {
    page.Section(QStringLiteral("OPÇÕES GERAIS"));
    add.Add(QStringLiteral("Autoteste somente com painel armado:"), 0x12);
    add.Add(QStringLiteral("Habilita módulo PGM:"), 0x22);
    add.Add(QStringLiteral("Tempo de PGM em:"), 0x23, Reading::MinutesOrSeconds);
    add.Add(QStringLiteral("Arme automático habilitado:"), 0x30);
    add.Add(QStringLiteral("Zonas do painel sem resistor de fim de linha:"), 0x31);
    add.Add(QStringLiteral("Zona 4 para controle remoto:"), 0x43);
    add.Add(QStringLiteral("Restaura zona após:"), 0x84, Reading::SirenOrZone);
    page.Field(QStringLiteral("Dígito de coação:"),
               DashWhenEmpty(ValueText(Column(rows.opcoes, QStringLiteral("DIGITOCOACAO")))));
    page.Field(QStringLiteral("Ajuste de relógio:"),
               ClockAdjustText(Column(rows.opcoes, QStringLiteral("AJUSTERELOGIO"))));

    page.Section(QStringLiteral("OPÇÕES DE COMUNICAÇÃO"));
    page.Field(QStringLiteral("Reporte:"), ReportModeText(Column(rows.opcoes, QStringLiteral("PROGBIT_1"))));
    add.Add(QStringLiteral("Função discadora habilitada:"), 0x02);
    add.Add(QStringLiteral("Comunicação com o PC somente via callback:"), 0x10);
    add.Add(QStringLiteral("Discagem por:"), 0x04, Reading::ToneOrPulse);
    add.Add(QStringLiteral("Habilita envio automático de buffer após 90%:"), 0x14);
    add.Add(QStringLiteral("Reporta ativou/desativou PGM 1:"), 0x24);
    add.Add(QStringLiteral("Habilita report de alteração de programação:"), 0x33);
    if (v.armDisarmRow)
        add.Add(QStringLiteral("Enviar arme/desarme para o monitoramento:"), 0x83, Reading::SharedArmDisarm);
    add.Add(QStringLiteral("Aguardar tom de linha antes de discar:"), 0x03);

    page.Section(QStringLiteral("OPÇÕES DE TECLADO"));
    add.Add(QStringLiteral("Bipe de problema no teclado:"), 0x32);
    add.Add(v.exitBeepCaption, 0x20);
    add.Add(QStringLiteral("Supervisiona zona de teclado:"), 0x44);
    add.Add(QStringLiteral("Habilita trava de teclado:"), 0x11);
    add.Add(QStringLiteral("Habilita função chime da zona de teclado:"), 0x34);

    page.Section(QStringLiteral("OPÇÕES DE SIRENE"));
    add.Add(QStringLiteral("Bipe na sirene ao armar/desarmar:"), 0x13);
    add.Add(QStringLiteral("Disparar sirene com curto de zona:"), 0x21);

    page.Section(QStringLiteral("OPÇÕES DE PÂNICO"));
    add.Add(QStringLiteral("Habilita pânico (1 + 3):"), 0x80);
    add.Add(v.medicalCaption, 0x81);
    add.Add(v.fireCaption, 0x82);
    if (v.maintenanceRow)
        add.Add(QStringLiteral("Habilita pedido de manutenção (* + #):"), 0x83, Reading::SharedArmDisarm);
    add.Add(QStringLiteral("Dispara a sirene no pânico:"), 0x40);
    add.Add(QStringLiteral("Dispara a sirene na emergência médica:"), 0x41);
    add.Add(QStringLiteral("Dispara a sirene no pânico de incêndio:"), 0x42);
}

} // namespace

ReportPage OptionsPage(const CustomerRows& rows, const ReportVariant& variant) {
    ReportPage page;
    page.title = QStringLiteral("PROGRAMAÇÃO DAS OPÇÕES");
    OptionRows add(page, rows, variant);
    if (variant.family == ProductFamily::TenZone)
        TenZone(page, add, rows, variant);
    else
        FiveZone(page, add, rows, variant);
    return page;
}
