#include "report/report_pages.h"
#include "report/report_texts.h"

namespace {

// One printed attribute: its meaning and the bit of ATRIB_USUARIOnn it reads.
struct UserAttribute {
    const char* meaning;
    int bit;
};

QList<UserAttribute> Attributes(const ReportVariant& variant) {
    if (variant.family == ProductFamily::FiveZone)
        return {{"Armar", 0},
                {"Desarmar", 1},
                {"Armar stay e away", 2},
                {"Inibir zonas", 3},
                {"Ativar/desativar PGM", 4}};
    QList<UserAttribute> attributes{{"Partição A", 0},   {"Partição B", 1},
                                    {"Armar stay", 2},   {"Armar away", 3},
                                    {"Desarmar", 4},     {"Controle via telefone", 5},
                                    {"Inibir zonas", 6}, {"Ativar/desativar PGM", 7}};
    if (!variant.phoneControlAttribute)
        attributes.removeAt(5);
    return attributes;
}

QList<ReportMark> Marks(const QList<UserAttribute>& attributes, const QVariant& mask, bool allOn) {
    QList<ReportMark> marks;
    for (int k = 0; k < attributes.size(); ++k)
        marks.append({QStringLiteral("[%1]").arg(k + 1), allOn || BitSet(mask, attributes[k].bit)});
    return marks;
}

} // namespace

ReportPage UsersPage(const CustomerRows& rows, const ReportVariant& variant,
                     const ReportPermissions& permissions) {
    ReportPage page;
    page.title = QStringLiteral("PROGRAMAÇÃO DOS USUÁRIOS");
    page.columnStops = {0.0, 0.13, 0.42, 0.53};
    const bool fiveZone = variant.family == ProductFamily::FiveZone;
    const QList<UserAttribute> attributes = Attributes(variant);
    const QVariantMap& u = rows.usuarios;
    auto name = [&](const QString& column) {
        const QString text = ValueText(Column(u, column));
        return fiveZone ? DashWhenEmpty(text) : text;
    };
    auto code = [&](const QString& column) {
        return MaskedCode(ValueText(Column(u, column)), permissions.userCodes);
    };

    QList<ReportMark> legendMarks;
    QStringList meanings;
    for (int k = 0; k < attributes.size(); ++k) {
        legendMarks.append({QStringLiteral("[%1]").arg(k + 1), true});
        meanings << QString::fromUtf8(attributes[k].meaning);
    }
    page.Section(QStringLiteral("Legenda dos atributos"));
    page.Legend(legendMarks, meanings);
    page.Columns({QStringLiteral("Usuários"), QStringLiteral("Nome do Usuário"), QStringLiteral("Senhas"),
                  QStringLiteral("Atributos")});

    // The 5-zone master and installer hold every attribute; the 10-zone ones show none.
    const QList<ReportMark> chiefMarks = fiveZone ? Marks(attributes, {}, true) : QList<ReportMark>();
    page.Row(
        {QStringLiteral("MESTRE:"), name(QStringLiteral("MASTER")), code(QStringLiteral("SENHA_MASTER"))},
        chiefMarks);
    page.Row({QStringLiteral("Instalador:"), name(QStringLiteral("INSTALADOR")),
              code(QStringLiteral("SENHA_INSTALADOR"))},
             chiefMarks);
    const int users = fiveZone ? 15 : 48;
    for (int n = 1; n <= users; ++n) {
        const QString nn = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        page.Row({QStringLiteral("Usuário ") + nn, name(QStringLiteral("USUARIO%1").arg(n)),
                  code(QStringLiteral("SENHA_USUARIO") + nn)},
                 Marks(attributes, Column(u, QStringLiteral("ATRIB_USUARIO") + nn), false));
    }
    return page;
}
