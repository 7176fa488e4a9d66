#pragma once

#include <QString>
#include <QStringList>

class DbConnection;

// Scripts as isql reads them: statements ended by ";", "--" and "/* */" comments, quoted texts
// and names kept whole. "COMMIT" or "COMMIT WORK" commits the transaction (keeping it open), and
// every statement that changes the structure is committed at once, as isql does by default, so a
// later statement of the same script can use what it created.
QStringList SplitSqlScript(const QString& script);

// Runs a script in the connection's transaction; stops at the first failing statement, rolls back
// what the script left uncommitted and puts the statement and the engine's text in *error.
bool RunSqlScript(DbConnection& db, const QString& script, QString* error);

// The schema of db/schema.sql, compiled into the program.
QString SchemaScript();

// Creates a new database file from the schema (embedded for a plain path, on the server for
// "host:path"). Refuses to replace an existing file. A local file is built under the name + ".criando"
// and takes its name only when complete; a failed one is removed again.
bool CreateNewDatabase(const QString& databaseName, QString* error);
