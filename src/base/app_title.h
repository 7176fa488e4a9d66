#pragma once

#include <QString>

// The application title that captions every window and message box: "Telvora " and the short
// form of the file version. The version is cut before its third point (1.12.0.128 gives 1.12.0),
// and a last part "0" is dropped with its point (1.12.0 gives 1.12; 1.0.10 stays). Without a
// version the title is the product name alone.
QString ShortVersion(const QString& fileVersion);
QString ApplicationTitle(const QString& fileVersion);
// The title of this build ("Telvora 1.0").
QString ApplicationTitle();

// The version this program was built as (TELVORA_VERSION).
QString BuildVersion();
