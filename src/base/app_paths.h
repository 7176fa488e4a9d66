#pragma once

#include <QString>

// The application folder: where zrv.fdb, ZRVConfig.ini, Modem.ini, Templates and BKP live.
// On Windows installations it is the executable's folder. Here it is, in order:
//  1. $TELVORA_HOME when set (tests, the demo, several installations side by side);
//  2. the executable's folder when it is writable (a build tree or a portable copy);
//  3. the per-user data folder (~/.local/share/Telvora), created when missing.
QString ApplicationFolder();

// A file or folder name inside the application folder.
QString ApplicationPath(const QString& name);
