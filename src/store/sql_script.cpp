#include "store/sql_script.h"

#include "store/db_connection.h"
#include "store/firebird_client.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <unistd.h>

QStringList SplitSqlScript(const QString& script) {
    QStringList statements;
    QString current;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script[i];
        const QChar next = i + 1 < n ? script[i + 1] : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && script[i] != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 1;
            current += QLatin1Char(' ');
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A quoted text or name runs to the next lone quote of its kind ('' is a quote inside).
            current += c;
            for (++i; i < n; ++i) {
                current += script[i];
                if (script[i] == c) {
                    if (i + 1 < n && script[i + 1] == c)
                        current += script[++i];
                    else
                        break;
                }
            }
        } else if (c == QLatin1Char(';')) {
            const QString statement = current.trimmed();
            if (!statement.isEmpty())
                statements << statement;
            current.clear();
        } else {
            current += c;
        }
    }
    const QString rest = current.trimmed();
    if (!rest.isEmpty())
        statements << rest;
    return statements;
}

bool RunSqlScript(DbConnection& db, const QString& script, QString* error) {
    static const QRegularExpression commit(QStringLiteral("^COMMIT(\\s+WORK)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression structural(
        QStringLiteral("^(CREATE|ALTER|DROP|RECREATE|SET\\s+GENERATOR|COMMENT)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString& statement : SplitSqlScript(script)) {
        bool ok;
        if (commit.match(statement).hasMatch()) {
            ok = db.CommitRetaining();
        } else {
            ok = db.Exec(statement);
            if (ok && structural.match(statement).hasMatch())
                ok = db.CommitRetaining();
        }
        if (!ok) {
            if (error)
                *error = statement.simplified() + QStringLiteral("\n") + db.LastError();
            db.RollbackRetaining();
            return false;
        }
    }
    return true;
}

QString SchemaScript() {
    QFile file(QStringLiteral(":/db/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

namespace {

// Puts a finished database file under its name, never over an existing file: linked under the new
// name (which fails when the name is taken), then the temporary name removed.
bool MoveIntoPlace(const QString& from, const QString& to, QString* error) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        if (error)
            *error = errno == EEXIST
                         ? QStringLiteral("O arquivo %1 já existe.").arg(QDir::toNativeSeparators(to))
                         : QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    QFile::remove(from);
    return true;
}

bool BuildSchema(const QString& name, const QString& schema, QString* error) {
    DbConnection db;
    bool ok = db.Connect(name);
    if (!ok && error)
        *error = db.LastError();
    if (ok)
        ok = RunSqlScript(db, schema, error);
    if (ok && !db.Commit()) {
        ok = false;
        if (error)
            *error = db.LastError();
    }
    db.Disconnect();
    return ok;
}

} // namespace

bool CreateNewDatabase(const QString& databaseName, QString* error) {
    const QString name = NormalizeDatabaseName(databaseName);
    const QString schema = SchemaScript();
    if (schema.isEmpty()) {
        if (error)
            *error = QStringLiteral("O esquema do banco de dados não está disponível.");
        return false;
    }
    if (IsRemoteDatabaseName(name))
        return CreateDatabaseFile(name, error) && BuildSchema(name, schema, error);

    if (QFileInfo::exists(name)) {
        if (error)
            *error = QStringLiteral("O arquivo %1 já existe.").arg(QDir::toNativeSeparators(name));
        return false;
    }
    // Built under another name and put in place only when complete: an interrupted creation never
    // leaves a half-made database under the real name. A leftover of an interrupted one is
    // replaced.
    const QString building = name + QStringLiteral(".criando");
    QFile::remove(building);
    if (!CreateDatabaseFile(building, error))
        return false;
    const bool ok = BuildSchema(building, schema, error) && MoveIntoPlace(building, name, error);
    if (!ok)
        QFile::remove(building);
    return ok;
}
