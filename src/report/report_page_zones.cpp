#include "report/report_pages.h"
#include "report/report_texts.h"

namespace {

struct Attribute {
    const char* column; // ZONAS column of the board zones' mask
    const char* meaning;
};

// Marks "[1]" .. "[n]", mark k on when `on(k)` answers true.
template <typename On> QList<ReportMark> Marks(int count, On on) {
    QList<ReportMark> marks;
    for (int k = 1; k <= count; ++k)
        marks.append({QStringLiteral("[%1]").arg(k), on(k)});
    return marks;
}

QList<ReportMark> LegendMarks(int count) {
    return Marks(count, [](int) { return true; });
}

QString ZoneName(const CustomerRows& rows, int zone, bool dash) {
    const QString name = ValueText(Column(rows.zonas, QStringLiteral("ZONA%1").arg(zone)));
    return dash ? DashWhenEmpty(name) : name;
}

void BoardZones(ReportPage& page, const CustomerRows& rows, const QList<Attribute>& attributes, int first,
                int last, bool dash) {
    for (int zone = first; zone <= last; ++zone) {
        page.Row({QStringLiteral("Zona %1").arg(zone), ZoneName(rows, zone, dash)},
                 Marks(attributes.size(), [&](int k) {
                     return BitSet(Column(rows.zonas, QString::fromLatin1(attributes[k - 1].column)),
                                   zone - 1);
                 }));
    }
}

QStringList Meanings(const QList<Attribute>& attributes) {
    QStringList meanings;
    for (const Attribute& a : attributes)
        meanings << QString::fromUtf8(a.meaning);
    return meanings;
}

const QStringList kColumns{QStringLiteral("Zonas"), QStringLiteral("Identificação"),
                           QStringLiteral("Atributos")};

void TenZone(ReportPage& page, const CustomerRows& rows) {
    // Attribute 4 is partition B on a partitioned panel and the stay zone otherwise.
    const bool partitioned = BitSet(Column(rows.opcoes, QStringLiteral("PROGBIT_1")), 3);
    const char* stayOrB = partitioned ? "Zona partição B" : "Zona Stay";
    const QList<Attribute> board{
        {"HABDESABZONA", "Desabilitada"},         {"ZONA24H", "Zona 24h"},
        {"ZONAPARTICAOA", "Zona partição A"},     {"ZONAPARTICAOB", stayOrB},
        {"ZONASILENCIOSA", "Zona silenciosa"},    {"ZONASEGUIDORA", "Zona seguidora"},
        {"ZONATEMPOENTRADA", "Tempo de entrada"}, {"ZONATEMPOSAIDA", "Tempo de saída"},
        {"ZONAINTELIGENTE", "Zona inteligente"},  {"ZONAAUTOANULAVEL", "Zona auto-anulável"},
        {"ZONADEFOGO", "Zona NA (incêndio)"},     {"ZONABYPASS", "Permite inibir (bypass)"}};
    page.Section(QStringLiteral("ZONAS DA PLACA"));
    page.Section(QStringLiteral("Legenda dos atributos"));
    page.Legend(LegendMarks(board.size()), Meanings(board));
    page.Columns(kColumns);
    BoardZones(page, rows, board, 1, 8, false);

    const QStringList keypad{QStringLiteral("Zona partição A"),  QString::fromUtf8(stayOrB),
                             QStringLiteral("Tempo de entrada"), QStringLiteral("Tempo de saída"),
                             QStringLiteral("Zona silenciosa"),  QStringLiteral("Zona seguidora"),
                             QStringLiteral("Zona inteligente"), QStringLiteral("Chime")};
    page.Section(QStringLiteral("ZONAS DE TECLADO"));
    page.Section(QStringLiteral("Legenda dos atributos"));
    page.Legend(LegendMarks(keypad.size()), keypad);
    page.Columns(kColumns);
    for (int zone : {9, 10}) {
        const QVariant mask = Column(rows.zonas, QStringLiteral("ATRIB_ZONA%1").arg(zone));
        page.Row({QStringLiteral("Zona %1").arg(zone), ZoneName(rows, zone, false)},
                 Marks(keypad.size(), [&](int k) { return BitSet(mask, k - 1); }));
    }
}

void FiveZone(ReportPage& page, const CustomerRows& rows) {
    const QList<Attribute> attributes{{"HABDESABZONA", "Desabilitada"},
                                      {"ZONA24H", "Zona 24h"},
                                      {"ZONAPARTICAOB", "Zona stay"},
                                      {"ZONASILENCIOSA", "Zona silenciosa"},
                                      {"ZONASEGUIDORA", "Zona seguidora"},
                                      {"ZONATEMPOENTRADA", "Tempo de entrada"},
                                      {"ZONATEMPOSAIDA", "Tempo de saída"},
                                      {"ZONAINTELIGENTE", "Zona inteligente"},
                                      {"ZONAAUTOANULAVEL", "Zona auto-anulável"},
                                      {"ZONADEFOGO", "Zona NA (incêndio)"},
                                      {"ZONABYPASS", "Permite inibir (bypass)"}};
    page.Section(QStringLiteral("Legenda dos atributos"));
    page.Legend(LegendMarks(attributes.size()), Meanings(attributes));
    page.Section(QStringLiteral("ZONAS DA PLACA"));
    page.Columns(kColumns);
    BoardZones(page, rows, attributes, 1, 4, true);
    page.Section(QStringLiteral("ZONA DE TECLADO"));
    page.Columns(kColumns);
    BoardZones(page, rows, attributes, 5, 5, true);
}

} // namespace

ReportPage ZonesPage(const CustomerRows& rows, const ReportVariant& variant) {
    ReportPage page;
    page.title = QStringLiteral("PROGRAMAÇÃO DAS ZONAS");
    page.columnStops = {0.0, 0.12, 0.40};
    if (variant.family == ProductFamily::TenZone)
        TenZone(page, rows);
    else
        FiveZone(page, rows);
    return page;
}
