#pragma once

#include "programming/product_codes.h"

#include <QString>
#include <QStringList>
#include <QVector>

// How a programming editor adapts to the customer's model and stored version: which options it
// offers and how it captions them, which characters the telephone fields take, which times and
// report codes exist and which describing texts stand beside the times. The editors run it in
// their show step, so a version changed in the template dialog takes effect at once.
struct EditorVariant {
    int productCode = 1;
    QString version;
    ProductFamily family = ProductFamily::TenZone;
    bool orvan9Max = false;

    // The emergency options as the oldest versions offer them (three separate boxes for medical
    // emergency, fire and maintenance) instead of the newer pairs and the arm/disarm report.
    bool oldPanicOptions = false;
    // "Enviar arme/desarme para o monitoramento" is offered (newer versions, not codes 3 and 4).
    bool armDisarmReport = false;
    // The auto-test interval shows its describing text instead of a fixed "horas" unit.
    bool autoTestText = false;
    // The arm after no movement time with its text and report code (product codes 3 and 4).
    bool noMovement = false;
    // The user attribute "Controle via telefone" (not for product codes 3 and 4).
    bool phoneControlAttribute = true;
    // Characters the telephone fields accept: digits only, or digits, "#", "*" and ",".
    QString phoneCharacters;
    QStringList formatList;
    ProductModel model = ProductModel::Orvan10; // the header's picture and name
    QString modelName;                          // "Orvan 10 Max"

    static EditorVariant For(int productCode, const QString& storedVersion, bool orvan9Max = false);
};

// How an option check box shows its state besides being checked: a pair of labels of which the one
// that matches the bit is enabled ("Tom" / "Pulso").
struct OptionLabels {
    QString whenSet;
    QString whenClear;
};

// One option check box of the options section: its number (16 × byte index + bit), its caption and
// its labels (empty when it has none).
struct EditorOption {
    int number;
    QString caption;
    OptionLabels labels;
};

// The option check boxes the editor offers for a variant, in screen order. The report mode is a
// list of its own and not among them.
QVector<EditorOption> EditorOptions(const EditorVariant& variant);
