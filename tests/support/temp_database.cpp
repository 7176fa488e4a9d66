#include "support/temp_database.h"

#include "store/db_connection.h"
#include "store/sql_script.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QtTest>

namespace {

QString OlderShapeScript() {
    return QStringLiteral("ALTER TABLE CLIENTES DROP VERSAO_PRODUTO;\n"
                          "ALTER TABLE TEMPOS DROP NAO_MOVIMENTO;\n"
                          "ALTER TABLE REPORT DROP COD_NAO_MOVIMENTO;\n"
                          "DROP TABLE AUDITORIA;\n"
                          "DROP GENERATOR GEN_AUDITORIA_ID;\n"
                          "DROP INDEX UNQ_BUFFER_EVENTOS_CLI_EVENTO;\n");
}

// One database per shape, built once per process and copied for each test.
QString Template(TempDatabase::Shape shape, QString* error) {
    static QTemporaryDir folder;
    static QHash<int, QString> built;
    const int key = int(shape);
    if (built.contains(key))
        return built.value(key);
    const QString path = folder.filePath(shape == TempDatabase::Shape::Current ? "current.fdb" : "older.fdb");
    if (!CreateNewDatabase(path, error))
        return {};
    if (shape == TempDatabase::Shape::Older && !TempDatabase::RunScript(path, OlderShapeScript(), error))
        return {};
    built.insert(key, path);
    return path;
}

} // namespace

TempDatabase::TempDatabase() = default;

QString TempDatabase::Path() const {
    return FilePath(QStringLiteral("zrv.fdb"));
}

QString TempDatabase::FilePath(const QString& name) const {
    return QDir(m_dir.path()).filePath(name);
}

bool TempDatabase::Create(Shape shape) {
    m_error.clear();
    const QString source = Template(shape, &m_error);
    if (source.isEmpty())
        return false;
    QFile::remove(Path());
    if (!QFile::copy(source, Path())) {
        m_error = QStringLiteral("cannot copy %1 to %2").arg(source, Path());
        return false;
    }
    QFile::setPermissions(Path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    return true;
}

bool TempDatabase::RunScript(const QString& databaseName, const QString& script, QString* error) {
    DbConnection db;
    if (!db.Connect(databaseName)) {
        if (error)
            *error = db.LastError();
        return false;
    }
    const bool ok = RunSqlScript(db, script, error) && db.Commit();
    if (!ok && error && error->isEmpty())
        *error = db.LastError();
    db.Disconnect();
    return ok;
}

QList<QVariantList> SelectRows(DbConnection& db, const QString& sql, const QVariantList& params) {
    bool ok = false;
    const QList<QVariantList> rows = db.SelectRows(sql, params, &ok);
    if (!ok)
        qWarning("SelectRows failed: %s: %s", qPrintable(sql), qPrintable(db.LastError()));
    return rows;
}
