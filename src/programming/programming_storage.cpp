#include "programming/programming_storage.h"

#include "programming/image_fields.h"

#include <QTime>

namespace {

ProductFamily ModelFamily(const PanelModel& model) {
    return ImageFamilyOf(model.productCode);
}

QStringList ListOf(ProgField field, const PanelModel& model) {
    if (field == ProgField::CommunicationFormat)
        return CommunicationFormatList(model.productCode, model.storedVersion);
    return PgmModeList(ModelFamily(model));
}

// Column lookup without letter case: QSqlRecord field names come back in the database's case.
class RowReader {
public:
    explicit RowReader(const QVariantMap& row) {
        for (auto it = row.begin(); it != row.end(); ++it)
            m_values.insert(it.key().toUpper(), it.value());
    }
    bool has(const QString& column) const { return m_values.contains(column); }
    QVariant value(const QString& column) const { return m_values.value(column); }
    // A computed integer column: null counts as 0, as the data set's integer reading gives it.
    int integer(const QString& column) const {
        const QVariant v = value(column);
        return v.isNull() ? 0 : v.toInt();
    }
    QString text(const QString& column) const {
        const QVariant v = value(column);
        return v.isNull() ? QString() : v.toString();
    }

private:
    QVariantMap m_values;
};

void StoreFields(ProgrammingTable table, const ProgrammingImage& image, const PanelModel& model,
                 QVariantMap& row) {
    for (const FieldPlace& place : FieldPlaces()) {
        if (place.table != table || !place.column || FieldOffset(place.field, model.productCode) < 0)
            continue;
        const QString column = QString::fromLatin1(place.column);
        const quint8 b = image.value(place.field);
        switch (place.encoding) {
        case FieldEncoding::Number:
            row.insert(column, int(b));
            break;
        case FieldEncoding::Rings:
            row.insert(column, b >= 1 && b <= 15 ? b - 1 : -1);
            break;
        case FieldEncoding::OptionTextCode:
            row.insert(column, OptionListPosition(ListOf(place.field, model), b));
            break;
        default:
            row.insert(column, image.text(place.field));
        }
    }
}

void LoadFields(ProgrammingTable table, const RowReader& row, ProgrammingImage& image,
                const PanelModel& model) {
    for (const FieldPlace& place : FieldPlaces()) {
        if (place.table != table || !place.column || FieldOffset(place.field, model.productCode) < 0)
            continue;
        const QString column = QString::fromLatin1(place.column);
        if (!row.has(column))
            continue;
        switch (place.encoding) {
        case FieldEncoding::Rings: {
            const int position = row.integer(column);
            if (position >= 0 && position <= 14)
                image.setText(place.field, QString::number(position + 1));
            break;
        }
        case FieldEncoding::OptionTextCode: {
            const QStringList list = ListOf(place.field, model);
            const int position = row.integer(column);
            if (position >= 0 && position < list.size())
                image.setText(place.field, list.at(position));
            break;
        }
        default:
            image.setText(place.field, row.text(column));
        }
    }
}

void StoreTimes(const ProgrammingImage& image, QVariantMap& row) {
    for (const TimeOfDayPlace& place : TimeOfDayPlaces()) {
        const auto hour = ImageField::HourValue(image.value(place.hour), 23);
        const auto minute = ImageField::HourValue(image.value(place.minute), 59);
        row.insert(QString::fromLatin1(place.column),
                   hour && minute ? QVariant(QTime(*hour, *minute)) : QVariant(QMetaType(QMetaType::QTime)));
    }
}

void LoadTimes(const RowReader& row, ProgrammingImage& image) {
    for (const TimeOfDayPlace& place : TimeOfDayPlaces()) {
        const QString column = QString::fromLatin1(place.column);
        if (!row.has(column) || row.value(column).isNull())
            continue; // a null time leaves its hour and minute as they were
        const QTime time = row.value(column).toTime();
        if (!time.isValid())
            continue;
        image.setText(place.hour, QString::number(time.hour()));
        image.setText(place.minute, QString::number(time.minute()));
    }
}

void StoreZones(const ProgrammingImage& image, QVariantMap& row) {
    for (int a = 0; a < kZoneAttributeCount; ++a) {
        const auto attribute = ZoneAttribute(a);
        if (FamilyHasZoneAttribute(image.family(), attribute))
            row.insert(ZoneAttributeColumn(attribute), int(image.zoneMask(attribute)));
    }
    if (image.family() == ProductFamily::TenZone) {
        row.insert(QStringLiteral("ATRIB_ZONA9"), int(image.keypadZoneAttributes(9)));
        row.insert(QStringLiteral("ATRIB_ZONA10"), int(image.keypadZoneAttributes(10)));
    }
}

void LoadZones(const RowReader& row, ProgrammingImage& image) {
    for (int a = 0; a < kZoneAttributeCount; ++a) {
        const auto attribute = ZoneAttribute(a);
        const QString column = ZoneAttributeColumn(attribute);
        if (FamilyHasZoneAttribute(image.family(), attribute) && row.has(column))
            image.setZoneMask(attribute, quint8(row.integer(column)));
    }
    if (image.family() == ProductFamily::TenZone) {
        for (int zone : {9, 10}) {
            const QString column = QStringLiteral("ATRIB_ZONA%1").arg(zone);
            if (row.has(column))
                image.setKeypadZoneAttributes(zone, quint8(row.integer(column)));
        }
    }
    // The zone type list re-applies its rules, as the editor does when it shows the zone.
    for (int zone = 1; zone <= BoardZoneCount(image.family()); ++zone)
        image.setZoneType(zone, image.zoneType(zone));
}

void StoreUsers(const ProgrammingImage& image, QVariantMap& row) {
    for (int n = 1; n <= UserCount(image.family()); ++n) {
        row.insert(UserCodeColumn(n), image.userCode(n));
        row.insert(UserAttributeColumn(n), int(image.userAttributes(n)));
    }
}

void LoadUsers(const RowReader& row, ProgrammingImage& image) {
    for (int n = 1; n <= UserCount(image.family()); ++n) {
        if (row.has(UserCodeColumn(n)))
            image.setUserCode(n, row.text(UserCodeColumn(n)));
        if (row.has(UserAttributeColumn(n)))
            image.setUserAttributes(n, quint8(row.integer(UserAttributeColumn(n))));
    }
}

QString ProgBitColumn(int n) {
    return QStringLiteral("PROGBIT_%1").arg(n);
}

} // namespace

QVariantMap RowFromImage(ProgrammingTable table, const ProgrammingImage& image, const PanelModel& model) {
    Q_ASSERT(image.family() == ModelFamily(model));
    QVariantMap row;
    StoreFields(table, image, model, row);
    switch (table) {
    case ProgrammingTable::Tempos:
        StoreTimes(image, row);
        break;
    case ProgrammingTable::Zonas:
        StoreZones(image, row);
        break;
    case ProgrammingTable::Usuarios:
        StoreUsers(image, row);
        break;
    case ProgrammingTable::Opcoes:
        for (int n = 1; n <= ProgBitCount(image.family()); ++n)
            row.insert(ProgBitColumn(n), int(image.progBit(n)));
        break;
    default:
        break;
    }
    return row;
}

ProgrammingRows RowsFromImage(const ProgrammingImage& image, const PanelModel& model) {
    ProgrammingRows rows;
    for (ProgrammingTable table : kProgrammingTables)
        rows.insert(TableName(table), RowFromImage(table, image, model));
    return rows;
}

void ApplyRowToImage(ProgrammingTable table, const QVariantMap& values, ProgrammingImage& image,
                     const PanelModel& model) {
    Q_ASSERT(image.family() == ModelFamily(model));
    const RowReader row(values);
    LoadFields(table, row, image, model);
    switch (table) {
    case ProgrammingTable::Tempos:
        LoadTimes(row, image);
        break;
    case ProgrammingTable::Zonas:
        LoadZones(row, image);
        break;
    case ProgrammingTable::Usuarios:
        LoadUsers(row, image);
        break;
    case ProgrammingTable::Opcoes:
        for (int n = 1; n <= ProgBitCount(image.family()); ++n) {
            if (row.has(ProgBitColumn(n)))
                image.setProgBit(n, quint8(row.integer(ProgBitColumn(n))));
        }
        break;
    default:
        break;
    }
}

void ApplyRowsToImage(const ProgrammingRows& rows, ProgrammingImage& image, const PanelModel& model) {
    // OPCOES first: the zone type rules read the partitioned option.
    static const ProgrammingTable order[] = {ProgrammingTable::Painel, ProgrammingTable::Opcoes,
                                             ProgrammingTable::Fones,  ProgrammingTable::Report,
                                             ProgrammingTable::Tempos, ProgrammingTable::Usuarios,
                                             ProgrammingTable::Zonas};
    for (ProgrammingTable table : order) {
        const auto it = rows.constFind(TableName(table));
        if (it != rows.constEnd())
            ApplyRowToImage(table, it.value(), image, model);
    }
}

QStringList ImageColumns(ProgrammingTable table, const PanelModel& model) {
    return RowFromImage(table, ProgrammingImage::Initial(model.productCode), model).keys();
}
