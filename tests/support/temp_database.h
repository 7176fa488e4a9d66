#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

class DbConnection;

// A fresh database file in a temporary folder, for one test. The first database of each shape in
// a test process is built from the schema; later ones are copies of it, so a test can afford a
// new database every time.
class TempDatabase {
public:
    enum class Shape {
        Current,
        // The shape of older installations: without CLIENTES.VERSAO_PRODUTO,
        // TEMPOS.NAO_MOVIMENTO and REPORT.COD_NAO_MOVIMENTO.
        Older,
    };

    TempDatabase();

    // Creates zrv.fdb in the folder; false (with Error()) when it could not.
    bool Create(Shape shape = Shape::Current);

    QString Folder() const { return m_dir.path(); }
    // The database file, <folder>/zrv.fdb.
    QString Path() const;
    QString FilePath(const QString& name) const;
    QString Error() const { return m_error; }

    // Runs statements (";"-separated script) on a database file outside any data module, committed.
    static bool RunScript(const QString& databaseName, const QString& script, QString* error = nullptr);

private:
    QTemporaryDir m_dir;
    QString m_error;
};

// Every row of a select with positional parameters; an empty list (and a test warning) on failure.
QList<QVariantList> SelectRows(DbConnection& db, const QString& sql, const QVariantList& params = {});
