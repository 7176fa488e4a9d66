#pragma once

#include <QString>

// The application folder: where zrv.fdb, ZRVConfig.ini, Modem.ini, Templates and BKP live.
// On Windows installations it is the executable's folder. Here it is $TELVORA_HOME when set
// (tests, the demo, several installations side by side); else the executable's folder when it is
// a build tree or a copy in a folder this user may write to; else (an installed program, whose
// shared files sit in ../share/telvora beside its bin folder, or a folder this user may not write
// to) the user's data folder, $XDG_DATA_HOME/Telvora (~/.local/share/Telvora): each user keeps
// settings and database there. The choice depends only on where the executable is, never on
// which files exist, so a missing database is reported where it was looked for instead of being
// looked for somewhere else.
QString ApplicationFolder();

// True when the application folder is the user's data folder (an installed program, no
// $TELVORA_HOME): the one folder that a first start on a new account finds empty.
bool ApplicationFolderIsUserData();

// A file or folder name inside the application folder.
QString ApplicationPath(const QString& name);

// The rule above for an executable in `executableFolder` (no $TELVORA_HOME).
QString ChooseApplicationFolder(const QString& executableFolder, const QString& userDataFolder);
