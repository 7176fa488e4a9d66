#include "report/report_pages.h"
#include "report/report_texts.h"

namespace {

struct CodeRow {
    const char* caption;
    const char* column;
};

void Block(ReportPage& page, const QString& title, const QList<CodeRow>& codes, const QVariantMap& report) {
    page.Section(title);
    page.Columns({QStringLiteral("DESCRIÇÃO"), QStringLiteral("CÓDIGO")});
    for (const CodeRow& code : codes) {
        page.Row({QString::fromUtf8(code.caption),
                  DashWhenEmpty(ValueText(Column(report, QString::fromLatin1(code.column))))});
    }
}

} // namespace

ReportPage ReportCodesPage(const CustomerRows& rows, const ReportVariant& variant) {
    ReportPage page;
    page.title = QStringLiteral("PROGRAMAÇÃO DE REPORT (4X2)");
    page.columnStops = {0.05, 0.55};
    const QVariantMap& r = rows.report;
    Block(page, QStringLiteral("DÍGITOS"),
          {{"Coação:", "DIG_COACAO"},
           {"Arme:", "DIG_ARME"},
           {"Desarme:", "DIG_DESARME"},
           {"Arme stay:", "DIG_ARME_STAY"},
           {"Ativação da PGM:", "DIG_ACIONAMENTO_PGM"},
           {"Desativação da PGM:", "DIG_DESACIONAMENTO_PGM"},
           {"Disparo de zona:", "DIG_DISPARO_ZONA"},
           {"Restauração de zona:", "DIG_RESTAURACAO_ZONA"},
           {"Curto de zona:", "DIG_CURTO_ZONA"},
           {"Restauração de curto:", "DIG_RESTAURACAO_CURTO"},
           {"Bypass de zona:", "DIG_BYPASS_ZONA"},
           {"Arme PC/telefone:", "DIG_ARME_PC_FONE"},
           {"Desarme PC/telefone:", "DIG_DESARME_PC_FONE"}},
          r);
    QList<CodeRow> codes{{"Auto-arme:", "COD_AUTO_ARME"},
                         {"Autoteste:", "COD_AUTO_TESTE"},
                         {"Pânico 1:", "COD_PANICO1"},
                         {"Pânico 2 (médico):", "COD_PANICO2"},
                         {"Pânico 3 (incêndio):", "COD_PANICO3"},
                         {"Pedido de manutenção:", "COD_PEDIDO_MANUT"},
                         {"Alt. de prog. via teclado:", "COD_ALT_PROG_VIA_PC_TECLADO"},
                         {"Entrar na programação:", "COD_ENTRAR_PROG"},
                         {"Sair da programação:", "COD_SAIR_PROG"},
                         {"Buffer 90%:", "COD_BUFFER_90"},
                         {"Buffer cheio:", "COD_BUFFER_CHEIO"},
                         {"Arme via controle remoto:", "COD_ARME_VIA_CONTROLE_REMOTO"},
                         {"Desarme via controle remoto:", "COD_DESARME_VIA_CONTROLE_REMOTO"},
                         {"Acesso remoto:", "COD_ACESSO_REMOTO"}};
    if (variant.noMovementRows)
        codes.append(CodeRow{"Arme por \"Não Movimento\":", "COD_NAO_MOVIMENTO"});
    Block(page, QStringLiteral("CÓDIGOS"), codes, r);
    Block(page, QStringLiteral("CÓDIGOS DE PROBLEMAS"),
          {{"Saída auxiliar:", "COD_PROB_SAIDA_AUX"},
           {"AC:", "COD_PROB_AC"},
           {"Bateria:", "COD_PROB_BAT"},
           {"Sirene:", "COD_PROB_SIRENE"}},
          r);
    QList<CodeRow> restores{{"Saída Auxiliar:", "COD_REST_SAIDA_AUX"},
                            {"AC:", "COD_REST_AC"},
                            {"Bateria:", "COD_REST_BAT"},
                            {"Sirene:", "COD_REST_SIRENE"}};
    if (variant.family == ProductFamily::TenZone)
        restores.append(CodeRow{"Linha telefônica:", "COD_REST_LINHA_TELEFONICA"});
    Block(page, QStringLiteral("CÓDIGOS DE RESTAURAÇÃO"), restores, r);
    return page;
}
