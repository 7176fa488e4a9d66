#include "report/report_variant.h"

#include <QStringList>

namespace {

bool OneOf(const QString& version, std::initializer_list<const char*> versions) {
    for (const char* v : versions) {
        if (version == QLatin1String(v))
            return true;
    }
    return false;
}

const QString kMedical = QStringLiteral("Habilita emergência médica (4 + 6):");
const QString kFire = QStringLiteral("Habilita pânico de incêndio (7 + 9):");
const QString kExitBeep = QStringLiteral("Bipe no teclado ao contar tempo de saída:");
const QString kEntryExitBeep = QStringLiteral("Bipe no teclado ao contar tempo de entrada e saída:");

void TenZone(ReportVariant& v) {
    v.phoneAccessCaption = QStringLiteral("Habilita acesso via telefone:");
    if (v.product3Or4) {
        if (v.version == QLatin1String("1.3")) {
            v.modelName = QStringLiteral("ORVAN 10 MAX");
            v.picturePath = QStringLiteral(":/report/products/orvan10max.svg");
        } else if (v.version == QLatin1String("1.0") && v.productCode == 4) {
            v.modelName = QStringLiteral("ORVAN 9 MAX");
            v.picturePath = QStringLiteral(":/report/products/orvan9.svg");
        } else {
            v.modelName = QStringLiteral("ORVAN 10 ECO");
            v.picturePath = QStringLiteral(":/report/products/orvan10eco.svg");
        }
        v.autoTestText = true;
        v.armDisarmRow = false;
        v.maintenanceRow = false;
        v.armDisarmInverted = true;
        v.medicalCaption = QStringLiteral("Habilita emergência médica (4+6) e incêndio (7+9):");
        v.fireCaption = QStringLiteral("Habilita pedido de manutenção (* + #):");
        v.exitBeepCaption = kEntryExitBeep;
        v.phoneAccessCaption = QStringLiteral("Detectar tom de linha antes de discar");
        v.zone8RemoteRow = false;
        v.sirenLineProblemRow = true;
        v.phoneControlAttribute = false;
        v.noMovementRows = true;
        return;
    }
    v.modelName = QStringLiteral("ORVAN 10");
    v.picturePath = QStringLiteral(":/report/products/orvan10.svg");
    if (v.version == QLatin1String("1.0")) {
        v.armDisarmRow = false;
    } else if (OneOf(v.version, {"1.1", "1.2", "1.3", "1.4"})) {
        v.autoTestNumber = false;
        v.autoTestText = true;
        v.maintenanceRow = false;
        v.armDisarmInverted = true;
        v.medicalCaption = QStringLiteral("Habilita emergência médica (4+6) e incêndio (7+9):");
        v.fireCaption = QStringLiteral("Habilita pedido de manutenção (* + #):");
        if (v.version != QLatin1String("1.1"))
            v.exitBeepCaption = kEntryExitBeep;
    } else {
        v.autoTestText = true;
    }
}

void FiveZone(ReportVariant& v) {
    v.modelName = QStringLiteral("ORVAN 5");
    v.picturePath = QStringLiteral(":/report/products/orvan5.svg");
    if (OneOf(v.version, {"1.0", "1.1"})) {
        v.armDisarmRow = false;
    } else if (OneOf(v.version, {"1.2", "1.3", "1.4", "1.5"})) {
        v.autoTestNumber = false;
        v.autoTestText = true;
        v.maintenanceRow = false;
        v.armDisarmInverted = true;
        v.medicalCaption = QStringLiteral("Habilita emergência médica (4 + 6) e incêndio (7 + 9)");
        v.fireCaption = QStringLiteral("Habilita pedido de manutenção (* + #)");
        if (v.version != QLatin1String("1.2"))
            v.exitBeepCaption = kEntryExitBeep;
    }
    v.zone8RemoteRow = false;
}

} // namespace

ReportVariant ReportVariant::For(const QString& produto, const QString& versao) {
    ReportVariant v;
    v.productCode = ProductCodeOf(produto);
    v.version = versao.trimmed().isEmpty() ? QStringLiteral("1.0") : versao.trimmed();
    v.family = FamilyOf(v.productCode);
    v.product3Or4 = v.productCode == 3 || v.productCode == 4;
    v.medicalCaption = kMedical;
    v.fireCaption = kFire;
    v.exitBeepCaption = kExitBeep;
    if (v.family == ProductFamily::TenZone)
        TenZone(v);
    else if (v.family == ProductFamily::FiveZone)
        FiveZone(v);
    return v;
}
