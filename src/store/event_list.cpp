#include "store/event_list.h"

#include "store/db_connection.h"
#include "store/fb_statement.h"

#include <QEventLoop>
#include <QHash>

namespace {

enum Column { ID, COD_EVENTO, DATA, HORA, PARTICAO, EVENTO, USUARIO, ZONA };

// One text per distinct value: a column of few values stays one string shared by every row.
class TextPool {
public:
    QString Text(const FbStatement& query, int column) {
        if (query.IsNull(column))
            return {};
        const QByteArrayView bytes = query.TextAt(column);
        const QByteArray key = bytes.toByteArray();
        auto it = m_texts.constFind(key);
        if (it == m_texts.cend())
            it = m_texts.insert(key, QString::fromLatin1(bytes));
        return it.value();
    }

private:
    QHash<QByteArray, QString> m_texts;
};

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

bool EventList::Read(DbConnection& db, const EventQuery& query, QList<EventListRow>* rows, QString* error,
                     const ChunkHook& betweenChunks) {
    QVariantList params;
    const QString sql = query.SelectSql(&params);
    FbStatement statement(db);
    if (!statement.Prepare(sql) || !statement.Execute(params)) {
        SetError(error, statement.LastError());
        return false;
    }
    QList<EventListRow> read;
    TextPool pool;
    int inChunk = 0;
    while (statement.Fetch()) {
        EventListRow row;
        row.id = qint32(statement.IntegerAt(ID));
        row.number = statement.IsNull(COD_EVENTO) ? -1 : statement.IntegerAt(COD_EVENTO);
        if (!statement.IsNull(DATA))
            row.data = QDate::fromJulianDay(statement.JulianDayAt(DATA));
        if (!statement.IsNull(HORA))
            row.hora = QTime::fromMSecsSinceStartOfDay(statement.MsecsOfDayAt(HORA));
        row.particao = pool.Text(statement, PARTICAO);
        row.evento = pool.Text(statement, EVENTO);
        row.usuario = pool.Text(statement, USUARIO);
        row.zona = pool.Text(statement, ZONA);
        read.append(std::move(row));
        if (++inChunk == kChunkRows) {
            inChunk = 0;
            if (betweenChunks)
                betweenChunks();
        }
    }
    if (!statement.LastError().isEmpty()) {
        SetError(error, statement.LastError());
        return false;
    }
    *rows = std::move(read);
    return true;
}

int EventList::Count(DbConnection& db, const EventQuery& query, QString* error) {
    QVariantList params;
    const QString sql = query.CountSql(&params);
    bool ok = false;
    const QVariant count = db.SelectValue(sql, params, &ok);
    if (!ok) {
        SetError(error, db.LastError());
        return -1;
    }
    return count.toInt();
}

bool EventList::Delete(DbConnection& db, int customerId, const QList<qint32>& keys, int* deleted,
                       QString* error) {
    int total = 0;
    for (qsizetype start = 0; start < keys.size(); start += kDeleteChunk) {
        const QList<qint32> piece = keys.mid(start, kDeleteChunk);
        QStringList marks;
        QVariantList params{customerId};
        for (qint32 key : piece) {
            marks << QStringLiteral("?");
            params << key;
        }
        const QString sql =
            QStringLiteral(
                "delete from BUFFER_EVENTOS B where B.ID_CLIENTE = ? and B.ID_BUFFER_EVENTOS in (%1)")
                .arg(marks.join(QStringLiteral(", ")));
        int affected = 0;
        if (!db.Exec(sql, params, &affected)) {
            SetError(error, db.LastError());
            db.RollbackRetaining();
            if (deleted)
                *deleted = total;
            return false;
        }
        if (!db.CommitRetaining()) {
            SetError(error, db.LastError());
            if (deleted)
                *deleted = total;
            return false;
        }
        total += affected;
    }
    if (deleted)
        *deleted = total;
    return true;
}

EventListLoader::EventListLoader() {
    m_context.moveToThread(&m_thread);
}

EventListLoader::~EventListLoader() {
    if (!m_thread.isRunning())
        return;
    QMetaObject::invokeMethod(
        &m_context, [this] { m_connection.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

bool EventListLoader::Load(const QString& databaseName, const EventQuery& query, QList<EventListRow>* rows,
                           int* count, QString* error) {
    struct Result {
        bool ok = false;
        QList<EventListRow> rows;
        int count = -1;
        QString error;
    } result;
    if (!m_thread.isRunning())
        m_thread.start();
    QEventLoop loop;
    QMetaObject::invokeMethod(
        &m_context,
        [this, &result, &loop, databaseName, query] {
            if (m_connection && m_connection->DatabaseName() != databaseName)
                m_connection.reset();
            if (!m_connection) {
                m_connection = std::make_unique<DbConnection>();
                if (!m_connection->Connect(databaseName)) {
                    result.error = m_connection->LastError();
                    m_connection.reset();
                }
            }
            if (m_connection) {
                result.ok = EventList::Read(*m_connection, query, &result.rows, &result.error);
                if (result.ok) {
                    result.count = EventList::Count(*m_connection, query, &result.error);
                    result.ok = result.count >= 0;
                }
                // A transaction left open would hold back the engine's clean-up of old rows.
                m_connection->Commit();
            }
            // Queued: the loop quits once it runs, however early this ends.
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!result.ok) {
        SetError(error, result.error);
        return false;
    }
    *rows = std::move(result.rows);
    *count = result.count;
    return true;
}
