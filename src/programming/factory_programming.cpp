#include "programming/factory_programming.h"

#include "base/settings.h"
#include "programming/panel_codes.h"

#include <QSaveFile>

QString DefaultTemplateKey(int productCode) {
    switch (productCode) {
    case 1:
        return QStringLiteral("ProgDefault10");
    case 2:
        return QStringLiteral("ProgDefault5");
    case 3:
    case 4:
        return QStringLiteral("ProgDefault10Eco");
    default:
        return {};
    }
}

QString DefaultTemplatePath(const Settings& settings, int productCode) {
    switch (productCode) {
    case 1:
        return settings.ProgDefault10;
    case 2:
        return settings.ProgDefault5;
    case 3:
    case 4:
        return settings.ProgDefault10Eco;
    default:
        return {};
    }
}

DefaultTemplate ReadDefaultTemplate(const QString& path, ProductFamily family) {
    const TemplateFile file = ReadTemplateFile(path, family);
    DefaultTemplate result{file.status, file.image, file.lineForm, file.error};
    if (file.lineForm && file.status == TemplateStatus::Loaded) {
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file.image) != file.image.size() || !out.commit())
            result.error = out.errorString(); // the image is still good; only the rewrite failed
    }
    return result;
}

ProgrammingImage BuiltInFactoryImage(int productCode) {
    ProgrammingImage image = ProgrammingImage::Initial(productCode);
    const ProductFamily family = image.family();
    const bool tenZone = family == ProductFamily::TenZone;

    image.setText(ProgField::PanelCode, kFactoryPanelCode);
    image.setText(ProgField::PcCode, kFactoryPanelCode);

    // Every zone "Imediata" with no attribute but partition A on the 10-zone family.
    for (int a = 0; a < kZoneAttributeCount; ++a)
        image.setZoneMask(ZoneAttribute(a), 0);
    if (tenZone) {
        image.setZoneMask(ZoneAttribute::PartitionA, 0xFF);
        // The keypad zones' stay box is checked only while it stands for partition B, that is while
        // the image is partitioned when the zones are set (the options come later).
        const quint8 keypad =
            quint8(1u << KeypadPartitionA | (image.isPartitioned() ? 1u << KeypadStay : 0u));
        image.setKeypadZoneAttributes(9, keypad);
        image.setKeypadZoneAttributes(10, keypad);
    }

    image.setText(ProgField::MasterCode, QStringLiteral("2581"));
    image.setText(ProgField::InstallerCode, QStringLiteral("7462"));
    const quint8 userBits = tenZone ? quint8(1u << UserPartitionA | 1u << UserPartitionB | 1u << UserDisarm)
                                    : quint8(1u << User5Arm | 1u << User5Disarm);
    for (int n = 1; n <= UserCount(family); ++n)
        image.setUserAttributes(n, userBits);

    const std::pair<ProgField, const char*> times[] = {
        {ProgField::EntryDelay, "60"},
        {ProgField::ExitDelay, "60"},
        {ProgField::SirenTime, "5"},
        {ProgField::PgmTime, "3"},
        {ProgField::NoMainsTime, "1"},
        {ProgField::IntelligentZoneTime, "60"},
        {ProgField::AnsweringMachineTime, "0"},
        {ProgField::AutoTestInterval, "0"},
        {ProgField::NoMovementTime, "0"},
        {ProgField::AutoArmHour, "00"},
        {ProgField::AutoArmMinute, "00"},
        {ProgField::AutoTestHour, "00"},
        {ProgField::AutoTestMinute, "00"},
        {ProgField::PgmOnHour, "00"},
        {ProgField::PgmOnMinute, "00"},
        {ProgField::PgmOffHour, "00"},
        {ProgField::PgmOffMinute, "00"},
        {ProgField::ClockAdjustment, "0"},
    };
    for (const auto& [field, text] : times)
        image.setText(field, QString::fromLatin1(text));

    image.setText(ProgField::Rings, QStringLiteral("6"));
    if (tenZone) {
        image.setText(ProgField::AccountA, QStringLiteral("0001"));
        image.setText(ProgField::AccountB, QStringLiteral("0002"));
    } else {
        image.setText(ProgField::AccountA, kFactoryPanelCode);
    }
    image.setText(ProgField::CommunicationFormat,
                  CommunicationFormatList(productCode, QString()).constLast());
    for (ProgField phone : {ProgField::MonitoringPhone1, ProgField::MonitoringPhone2, ProgField::PcPhone})
        image.setText(phone, QString());
    for (ProgField pgm : {ProgField::Pgm1Mode, ProgField::Pgm2Mode, ProgField::Pgm3Mode, ProgField::Pgm4Mode})
        image.setText(pgm, PgmModeList(family).constFirst());
    image.setOption(NamedOption::ToneDialling, true);
    image.setReportMode(0);
    return image;
}

FactoryProgramming ProgDefault(int productCode, const QString& defaultTemplatePath) {
    const ProductFamily family = ImageFamilyOf(productCode);
    FactoryProgramming result{ProgrammingImage::Initial(productCode), false, false,
                              ReadDefaultTemplate(defaultTemplatePath, family)};
    if (result.defaultTemplate.status == TemplateStatus::Loaded) {
        result.image.setBytes(result.defaultTemplate.image);
        result.fromTemplate = true;
        return result;
    }
    result.image = BuiltInFactoryImage(productCode);
    result.clearAnsweringMachineBypass = family == ProductFamily::TenZone;
    return result;
}
