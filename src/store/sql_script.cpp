#include "store/sql_script.h"

#include "store/db_connection.h"
#include "store/firebird_client.h"

#include <QFile>
#include <QRegularExpression>

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

bool CreateNewDatabase(const QString& databaseName, QString* error) {
    const QString name = NormalizeDatabaseName(databaseName);
    const QString schema = SchemaScript();
    if (schema.isEmpty()) {
        if (error)
            *error = QStringLiteral("O esquema do banco de dados não está disponível.");
        return false;
    }
    if (!CreateDatabaseFile(name, error))
        return false;
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
    if (!ok && !IsRemoteDatabaseName(name))
        QFile::remove(name);
    return ok;
}
