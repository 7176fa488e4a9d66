#pragma once

#include "store/event_query.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

class DbConnection;

// One row of the event viewer. Texts that are null in the database are null strings.
struct EventListRow {
    qint32 id = 0;      // ID_BUFFER_EVENTOS
    qint64 number = -1; // COD_EVENTO, -1 when null
    QDate data;
    QTime hora;
    QString particao;
    QString evento;
    QString usuario;
    QString zona;
};

// Reads the rows of an EventQuery through its own statement of the connection (in its transaction),
// `kChunkRows` at a time: between chunks the caller may let its window repaint. The few distinct
// texts of the columns (event names, users, zones) are shared between rows, so twenty thousand rows
// cost little more than their numbers. On failure the rows are left as they were and *error tells
// why.
class EventList {
public:
    using ChunkHook = std::function<void()>;
    static constexpr int kChunkRows = 2000;

    static bool Read(DbConnection& db, const EventQuery& query, QList<EventListRow>* rows,
                     QString* error = nullptr, const ChunkHook& betweenChunks = {});
    // The number of rows the query selects; -1 (with *error) when the count fails.
    static int Count(DbConnection& db, const EventQuery& query, QString* error = nullptr);
    // Deletes the customer's events with these keys, in pieces of at most kDeleteChunk keys per
    // statement, and commits (the transaction kept). Rows of another customer are never touched,
    // and rows stored meanwhile (a download running) are not among the keys. False with *error
    // when a statement fails: what was deleted before stays deleted and committed.
    static bool Delete(DbConnection& db, int customerId, const QList<qint32>& keys, int* deleted = nullptr,
                       QString* error = nullptr);
    static constexpr int kDeleteChunk = 250;
};

// Reads and counts the rows of EventQuery's on a thread of its own, over a connection of its own to
// the database (read committed: it sees what the program's connection has committed; its
// transaction ends after every load). The calling thread keeps running its events meanwhile, except
// the operator's input, and Load returns when the rows are there: the engine's sort and the fetch
// never hold up the window's repaints. The connection is made at the first load and kept.
class EventListLoader {
public:
    EventListLoader();
    ~EventListLoader();
    EventListLoader(const EventListLoader&) = delete;
    EventListLoader& operator=(const EventListLoader&) = delete;

    bool Load(const QString& databaseName, const EventQuery& query, QList<EventListRow>* rows, int* count,
              QString* error = nullptr);

private:
    QThread m_thread;
    QObject m_context; // lives on m_thread: what runs there is queued to it
    // Made, used and dropped on m_thread only.
    std::unique_ptr<DbConnection> m_connection;
};
