#include "programming/ui/section_reporte.h"

#include "programming/programming_image.h"
#include "programming/ui/editor_context.h"
#include "widgets/balloon_tip.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// Digits 1..9 and A..F: 0 is no report digit.
const QString kReportCharacters = QStringLiteral("123456789ABCDEFabcdef");

struct ReportField {
    ProgField field;
    const char* name;
    const char* caption;
};

const ReportField kDigits[] = {
    {ProgField::DigCoacao, "edtDigCoacao", "Coação"},
    {ProgField::DigArme, "edtDigArme", "Arme"},
    {ProgField::DigDesarme, "edtDigDesarme", "Desarme"},
    {ProgField::DigArmeStay, "edtDigArmeStay", "Arme stay"},
    {ProgField::DigAcionamentoPgm, "edtDigAcionamentoPgm", "Acionamento da PGM"},
    {ProgField::DigDesacionamentoPgm, "edtDigDesacionamentoPgm", "Desacionamento da PGM"},
    {ProgField::DigDisparoZona, "edtDigDisparoZona", "Disparo de zona"},
    {ProgField::DigRestauracaoZona, "edtDigRestauracaoZona", "Restauração de zona"},
    {ProgField::DigCurtoZona, "edtDigCurtoZona", "Curto na zona"},
    {ProgField::DigRestauracaoCurto, "edtDigRestauracaoCurto", "Restauração de curto"},
    {ProgField::DigAutoAnulacao, "edtDigAutoAnulacao", "Auto-anulação"},
    {ProgField::DigBypassZona, "edtDigBypassZona", "Bypass de zona"},
    {ProgField::DigArmePcFone, "edtDigArmePcFone", "Arme via PC/telefone"},
    {ProgField::DigDesarmePcFone, "edtDigDesarmePcFone", "Desarme via PC/telefone"},
};

const ReportField kCodes[] = {
    {ProgField::CodAutoArme, "edtCodAutoArme", "Auto-arme"},
    {ProgField::CodAutoTeste, "edtCodAutoTeste", "Autoteste"},
    {ProgField::CodPanico1, "edtCodPanico1", "Pânico"},
    {ProgField::CodPanico2, "edtCodPanico2", "Emergência médica"},
    {ProgField::CodPanico3, "edtCodPanico3", "Incêndio"},
    {ProgField::CodPedidoManut, "edtCodPedidoManut", "Pedido de manutenção"},
    {ProgField::CodAltProgViaPcTeclado, "edtCodAltProg", "Alteração de programação via PC/teclado"},
    {ProgField::CodEntrarProg, "edtCodEntrarProg", "Entrar na programação"},
    {ProgField::CodSairProg, "edtCodSairProg", "Sair da programação"},
    {ProgField::CodBuffer90, "edtCodBuffer90", "Buffer 90% cheio"},
    {ProgField::CodBufferCheio, "edtCodBufferCheio", "Buffer cheio"},
    {ProgField::CodArmeViaControleRemoto, "edtCodArmeControle", "Arme via controle remoto"},
    {ProgField::CodDesarmeViaControleRemoto, "edtCodDesarmeControle", "Desarme via controle remoto"},
    {ProgField::CodAcessoRemoto, "edtCodAcessoRemoto", "Acesso remoto"},
    {ProgField::CodNaoMovimento, "edtCodNaoMovimento", "Arme por \"Não Movimento\""},
    {ProgField::CodProbSaidaAux, "edtCodProbSaidaAux", "Problema na saída auxiliar"},
    {ProgField::CodProbAc, "edtCodProbAc", "Problema de AC"},
    {ProgField::CodProbBat, "edtCodProbBat", "Problema de bateria"},
    {ProgField::CodProbSirene, "edtCodProbSirene", "Problema de sirene"},
    {ProgField::CodRestSaidaAux, "edtCodRestSaidaAux", "Restauração da saída auxiliar"},
    {ProgField::CodRestAc, "edtCodRestAc", "Restauração de AC"},
    {ProgField::CodRestBat, "edtCodRestBat", "Restauração de bateria"},
    {ProgField::CodRestSirene, "edtCodRestSirene", "Restauração de sirene"},
    {ProgField::CodRestLinhaTelefonica, "edtCodRestLinha", "Restauração da linha telefônica"},
};

} // namespace

SectionReporte::SectionReporte(EditorContext& context, QWidget* parent)
    : SectionWidget(ProgSection::Reporte, context, parent) {
    auto* grid = new QGridLayout(Body());
    const ProductFamily family = context.family();
    int row = 0;
    Caption(grid, row++, 0, QStringLiteral("Dígitos"));
    for (const ReportField& f : kDigits) {
        if (FieldOffset(f.field, family) < 0)
            continue;
        Caption(grid, row, 0, QString::fromUtf8(f.caption));
        grid->addWidget(AddField(f.field, f.name, kReportCharacters, 1), row++, 1);
    }
    row = 0;
    Caption(grid, row++, 2, QStringLiteral("Códigos"));
    for (const ReportField& f : kCodes) {
        if (FieldOffset(f.field, family) < 0)
            continue;
        QLabel* caption = Caption(grid, row, 2, QString::fromUtf8(f.caption));
        QLineEdit* edit = AddField(f.field, f.name, kReportCharacters, 2);
        grid->addWidget(edit, row++, 3);
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
            if (!Quiet() && edit->text().size() == 1)
                BalloonTip::ShowFieldError(edit, QStringLiteral("O Código tem que ter dois dígitos"));
        });
        if (f.field == ProgField::CodNaoMovimento)
            m_noMovementRow = {caption, edit};
    }
    grid->setColumnStretch(4, 1);
}

void SectionReporte::ApplyVariant() {
    for (QWidget* w : std::as_const(m_noMovementRow))
        w->setVisible(Context().variant.noMovement);
}

void SectionReporte::Decode(const ProgrammingImage& image) {
    DecodeFields(image);
}
