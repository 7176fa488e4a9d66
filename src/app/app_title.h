#pragma once

#include <QString>

// The application title that captions every window and message box: "Telvora " and the short
// version ("Telvora 1.0").
QString ApplicationTitle();
