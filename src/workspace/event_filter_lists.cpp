#include "workspace/event_filter_lists.h"

#include "programming/panel_events.h"
#include "programming/product_codes.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace {

constexpr int kCatalogueEntries = 40; // beyond the longest list

bool FiveZone(int productCode) {
    return FamilyOf(productCode) == ProductFamily::FiveZone;
}

QStringList Numbers(int last) {
    QStringList numbers;
    for (int n = 1; n <= last; ++n)
        numbers << QString::number(n);
    return numbers;
}

} // namespace

QStringList FilterUserEntries(int productCode) {
    return QStringList{QStringLiteral("Mestre")} + Numbers(FiveZone(productCode) ? 15 : 48);
}

QStringList FilterZoneEntries(int productCode) {
    return Numbers(FiveZone(productCode) ? 5 : 10);
}

QStringList FilterEventEntries(int productCode) {
    QStringList texts;
    for (EventCatalogue catalogue : {EventCatalogue::Session, EventCatalogue::Reception}) {
        for (int index = 0; index < kCatalogueEntries; ++index) {
            const QString text = PanelEvents::CatalogueEntry(productCode, catalogue, index);
            if (!text.isEmpty() && !texts.contains(text))
                texts << text;
        }
    }
    QCollator collator{QLocale(QLocale::Portuguese, QLocale::Brazil)};
    std::sort(texts.begin(), texts.end(),
              [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return texts;
}
