#pragma once

#include <QString>

// The application folder: where zrv.fdb, ZRVConfig.ini, Modem.ini, Templates and BKP live.
// On Windows installations it is the executable's folder. Here it is $TELVORA_HOME when set
// (tests, the demo, several installations side by side), else the executable's folder. It never
// moves elsewhere by itself: a folder that cannot be written shows up as the missing or
// unreachable database it holds.
QString ApplicationFolder();

// A file or folder name inside the application folder.
QString ApplicationPath(const QString& name);
