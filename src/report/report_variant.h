#pragma once

#include "programming/product_codes.h"

#include <QString>

// How the programming report adapts to the customer's model and stored version: which rows it
// prints, which captions it changes and how it reads the shared arm/disarm and maintenance bit.
struct ReportVariant {
    int productCode = 0;
    QString version;
    ProductFamily family = ProductFamily::None;
    bool product3Or4 = false;

    QString modelName;   // "Painel:": "ORVAN 10", "ORVAN 10 MAX", "ORVAN 9 MAX", ...
    QString picturePath; // the model's picture

    // "Intervalo de auto-teste:" as a number with "horas", as the auto-test text, or both.
    bool autoTestNumber = true;
    bool autoTestText = false;
    bool armDisarmRow = true;   // "Enviar arme/desarme para o monitoramento:"
    bool maintenanceRow = true; // "Habilita pedido de manutenção (* + #):"
    // The bit those two rows share reads "[NÃO]" when set.
    bool armDisarmInverted = false;
    QString medicalCaption;     // in place of "Habilita emergência médica (4 + 6):"
    QString fireCaption;        // in place of "Habilita pânico de incêndio (7 + 9):"
    QString exitBeepCaption;    // in place of "Bipe no teclado ao contar tempo de saída:"
    QString phoneAccessCaption; // "Habilita acesso via telefone:" (10-zone family)
    bool zone8RemoteRow = true; // "Zona 8 para controle remoto:" (10-zone family)
    bool sirenLineProblemRow = false;
    bool phoneControlAttribute = true; // user attribute "Controle via telefone"
    bool noMovementRows = false;

    // The variant of a customer's PRODUTO and VERSAO_PRODUTO ("1.0" when empty). A product code
    // outside 1..4 gives family None.
    static ReportVariant For(const QString& produto, const QString& versao);
};
