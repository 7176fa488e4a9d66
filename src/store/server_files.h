#pragma once

#include <QString>

// Whether the files of a database server are this machine's own: the server named by a database
// name "host[/port]:path" listens on this machine (a loopback address, one of its addresses or its
// host name) and the database's folder is there. Only then can the program see, make and remove
// the server's files (the backup folder, a backup that failed); a server elsewhere is reached only
// through the engine. False for a plain path (the embedded engine's files are local anyway).
bool ServerFilesAreLocal(const QString& databaseName);
