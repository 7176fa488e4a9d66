#pragma once

#include "programming/programming_image.h"
#include "programming/template_file.h"

#include <QString>

struct Settings;

// Factory programming of a new customer (`progDefault`): the model's default template when its
// file exists, otherwise the built-in factory values.

// The settings key ("Config" section) that holds the default template path of a product code:
// "ProgDefault10" (1), "ProgDefault5" (2), "ProgDefault10Eco" (3 and 4); empty for other codes.
QString DefaultTemplateKey(int productCode);
// The path kept under that key.
QString DefaultTemplatePath(const Settings& settings, int productCode);

struct DefaultTemplate {
    TemplateStatus status = TemplateStatus::Missing;
    QByteArray image;     // exactly ImageSize(family) bytes when Loaded
    bool cleaned = false; // the file was in the older form of 16-byte lines ending in CR LF
    QString error;        // why the file could not be read, or why the cleaned file could not be rewritten
};

// Reads a default template as ReadTemplateFile does (a missing or too short one leaves the
// built-in programming to apply); a file in the older line form is rewritten in the plain form.
DefaultTemplate ReadDefaultTemplate(const QString& path, ProductFamily family);

// The built-in factory programming on top of the initial fill: panel and PC codes "6093"; master
// code "2581", installer code "7462"; every zone "Imediata" (10-zone: in partition A, keypad zones
// 9 and 10 in partition A with their stay box); users with partitions A and B and disarm (10-zone)
// or arm and disarm (5-zone); entry and exit 60 s, siren 5 min, PGM 3, without mains 1 min,
// intelligent zone 60 s, answering-machine bypass 0, auto-test interval 0, no movement 0; all
// hours and minutes "00"; 6 rings; accounts "0001" and "0002" (5-zone: "6093"); format
// "88 - Contact ID"; phones empty; PGMs "00 - Desabilitado"; tone dialling; report mode
// "Report desativado".
ProgrammingImage BuiltInFactoryImage(int productCode);

struct FactoryProgramming {
    ProgrammingImage image;
    bool fromTemplate = false;
    // The 10-zone built-in programming also switches the customer screen's answering-machine
    // bypass off.
    bool clearAnsweringMachineBypass = false;
    DefaultTemplate defaultTemplate;
};

// `progDefault` of a new customer: `defaultTemplatePath` is the value of DefaultTemplateKey's
// setting.
FactoryProgramming ProgDefault(int productCode, const QString& defaultTemplatePath);
