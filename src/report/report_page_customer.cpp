#include "report/report_pages.h"
#include "report/report_texts.h"

namespace {

QString Text(const QVariantMap& row, const char* column) {
    return ValueText(Column(row, QString::fromLatin1(column)));
}

// The seven address lines of the panel's site (prefix "P_") or of the customer.
void Address(ReportPage& page, const QVariantMap& row, const QString& prefix, const QString& stateName) {
    auto field = [&](const char* column) {
        return DashWhenEmpty(ValueText(Column(row, prefix + QLatin1String(column))));
    };
    page.Field(QStringLiteral("Endereço:"), field("ENDERECO"));
    page.Field(QStringLiteral("Número:"), field("NUMERO"));
    page.Field(QStringLiteral("Bairro:"), field("BAIRRO"));
    page.Field(QStringLiteral("Complemento:"), field("COMPLEMENTO"));
    page.Field(QStringLiteral("Cidade:"), field("CIDADE"));
    page.Field(QStringLiteral("Estado:"),
               StateText(Column(row, prefix + QLatin1String("ESTADO")), stateName));
    page.Field(QStringLiteral("CEP:"), field("CEP"));
}

} // namespace

ReportPage CustomerDataPage(const CustomerRows& rows, const ReportVariant& variant,
                            const ReportPermissions& permissions) {
    ReportPage page;
    page.title = QStringLiteral("DADOS DO CLIENTE");
    page.showCustomerNumber = false;
    // The 10-zone layout marks an empty number, name, model and panel telephone with "-".
    const bool tenZone = variant.family == ProductFamily::TenZone;
    auto headline = [&](const QString& text) { return tenZone ? DashWhenEmpty(text) : text; };
    const QVariantMap& c = rows.clientes;
    const QVariantMap& p = rows.painel;

    page.Field(QStringLiteral("Nº do cliente:"), headline(Text(c, "ID_CLIENTE")));
    page.Field(QStringLiteral("Nome do cliente:"), headline(Text(c, "NOME")));
    page.Field(QStringLiteral("Painel:"), headline(variant.modelName));
    page.Field(QStringLiteral("Versão do painel:"), DashWhenEmpty(Text(c, "VERSAO_PRODUTO")));
    page.Field(QStringLiteral("Código do Painel:"),
               MaskedCode(Text(p, "CODIGO_PAINEL"), permissions.panelCode));
    page.Field(QStringLiteral("Código do PC:"), MaskedCode(Text(p, "CODIGO_PC"), permissions.pcCode));
    page.Field(QStringLiteral("Fone do Painel:"), headline(Text(p, "FONE_PAINEL")));

    page.Section(QStringLiteral("Endereço do Painel"));
    Address(page, p, QStringLiteral("P_"), rows.estadoPainel);
    page.Section(QStringLiteral("Telefones"));
    page.Field(QStringLiteral("Telefone 1:"), DashWhenEmpty(Text(c, "FONE1")));
    page.Field(QStringLiteral("Telefone 2:"), DashWhenEmpty(Text(c, "FONE2")));
    page.Field(QStringLiteral("Telefone 3:"), DashWhenEmpty(Text(c, "FONE3")));
    page.Section(QStringLiteral("Endereço de Cobrança"));
    Address(page, c, QString(), rows.estadoCliente);

    page.Section(QString());
    page.Field(QStringLiteral("Data de criação:"), Text(c, "DATA_CRIACAO"));
    page.Field(QStringLiteral("Hora de criação:"), Text(c, "HORA_CRIACAO"));
    page.Memo(QStringLiteral("Observações:"), Text(c, "OBS"));
    return page;
}
