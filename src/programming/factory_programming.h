#pragma once

#include "programming/programming_image.h"

#include <QString>

struct Settings;

// Factory programming of a new customer (`progDefault`): the model's default template when its
// file exists, otherwise the built-in factory values.

// The settings key ("Config" section) that holds the default template path of a product code:
// "ProgDefault10" (1), "ProgDefault5" (2), "ProgDefault10Eco" (3 and 4); empty for other codes.
QString DefaultTemplateKey(int productCode);
// The path kept under that key.
QString DefaultTemplatePath(const Settings& settings, int productCode);

enum class TemplateStatus {
    Loaded,
    Missing,    // no such file: the built-in programming applies
    TooShort,   // fewer bytes than the image holds: refused, the built-in programming applies
    Unreadable, // the file exists but cannot be read
};

struct DefaultTemplate {
    TemplateStatus status = TemplateStatus::Missing;
    QByteArray image;     // exactly ImageSize(family) bytes when Loaded
    bool cleaned = false; // the file was in the older form of 16-byte lines ending in CR LF
    QString error;        // why the file could not be read, or why the cleaned file could not be rewritten
};

// Reads a default template: the raw image bytes (304 or 256), of which the first image-size bytes
// count. The older form, lines of 16 bytes each followed by CR LF, is recognised by its length
// (image size plus two bytes per line, the last line end optional) and by CR LF at every line end,
// and the file is rewritten in the plain form. Image bytes that happen to be CR LF at a 16-byte
// boundary of a plain file are therefore never taken for line ends.
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
