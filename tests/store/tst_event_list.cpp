// The event viewer's statements against a real embedded database: every filter criterion and the
// two ways of combining them select exactly the expected rows of a small fixture (and the count
// agrees), texts with quotes are data, the order has the clicked column first and the one sorted
// before it second, and deleting by key touches only the chosen rows of the customer.
#include "store/event_list.h"
#include "support/connected_data_module.h"
#include "support/event_fixture.h"

#include <QTest>

namespace {

QList<int> Numbers(const QList<EventListRow>& rows) {
    QList<int> numbers;
    for (const EventListRow& row : rows)
        numbers << int(row.number);
    return numbers;
}

EventFilter Dates(const QString& from, const QString& to) {
    EventFilter f;
    f.byDate = true;
    f.fromDate = ParseDate(from);
    f.toDate = ParseDate(to);
    return f;
}

EventFilter Times(const QString& from, const QString& to) {
    EventFilter f;
    f.byTime = true;
    f.fromTime = QTime::fromString(from, QStringLiteral("HH:mm"));
    f.toTime = QTime::fromString(to, QStringLiteral("HH:mm"));
    return f;
}

} // namespace

Q_DECLARE_METATYPE(EventFilter)

class TestEventList : public QObject {
    Q_OBJECT

    ConnectedDataModule m_db;
    int m_customer = 0;
    int m_other = 0;

    QList<int> Select(const EventFilter& filter,
                      const QList<EventSortKey>& order = {{EventColumn::Numero, false}},
                      int* count = nullptr) {
        EventQuery query;
        query.customerId = m_customer;
        query.filter = filter;
        query.order = order;
        QList<EventListRow> rows;
        QString error;
        if (!EventList::Read(m_db.dm.IBDB, query, &rows, &error))
            qWarning("%s", qPrintable(error));
        if (count)
            *count = EventList::Count(m_db.dm.IBDB, query, &error);
        return Numbers(rows);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_db.Open(), qPrintable(m_db.Error()));
        m_customer = AddEventCustomer(m_db.dm, 1, QStringLiteral("Padaria"));
        m_other = AddEventCustomer(m_db.dm, 1, QStringLiteral("Farmácia"));
        QVERIFY(m_customer > 0 && m_other > 0);
        QVERIFY(InsertEvents(m_db.dm.IBDB, m_customer, SmallEventFixture()));
        // Another customer's copy of every row never shows.
        QVERIFY(InsertEvents(m_db.dm.IBDB, m_other, SmallEventFixture()));
    }

    void filterSelectsExactlyItsRows_data() {
        QTest::addColumn<EventFilter>("filter");
        QTest::addColumn<QList<int>>("expected");
        const QList<int> all{1, 2, 3, 4, 5, 6};
        QTest::newRow("no criterion") << EventFilter() << all;
        QTest::newRow("dates") << Dates("02/03/2026", "03/03/2026") << QList<int>{3, 4, 5};
        QTest::newRow("one day") << Dates("01/03/2026", "01/03/2026") << QList<int>{1, 2};
        QTest::newRow("date box unchecked") << [] {
            EventFilter f = Dates("02/03/2026", "02/03/2026");
            f.byDate = false;
            return f;
        }() << all;
        QTest::newRow("evening") << Times("22:00", "23:59") << QList<int>{2, 3};
        QTest::newRow("night over midnight") << Times("22:00", "06:00") << QList<int>{2, 3, 4};
        EventFilter partitionA;
        partitionA.byPartition = partitionA.partitionA = true;
        QTest::newRow("partition A") << partitionA << QList<int>{1, 2, 5};
        EventFilter partitionBoth = partitionA;
        partitionBoth.partitionB = true;
        QTest::newRow("partitions A and B") << partitionBoth << all;
        EventFilter partitionNone;
        partitionNone.byPartition = true;
        QTest::newRow("partition box, neither ticked") << partitionNone << all;
        EventFilter disarm;
        disarm.byEvent = true;
        disarm.events = {QStringLiteral("DESARME DO USUÁRIO ")};
        QTest::newRow("event") << disarm << QList<int>{2, 4};
        EventFilter noEvent;
        noEvent.byEvent = true;
        QTest::newRow("event box, nothing chosen") << noEvent << all;
        EventFilter users;
        users.byUser = true;
        users.users = {QStringLiteral("Mestre"), QStringLiteral("5")};
        QTest::newRow("user 5 and Mestre") << users << QList<int>{1, 2, 6};
        EventFilter user12;
        user12.byUser = true;
        user12.users = {QStringLiteral("12")};
        QTest::newRow("user 12") << user12 << QList<int>{4};
        EventFilter zone;
        zone.byZone = true;
        zone.zones = {QStringLiteral("3")};
        QTest::newRow("zone 3") << zone << QList<int>{3};
        EventFilter numbers;
        numbers.byNumber = true;
        numbers.fromNumber = QStringLiteral("2");
        numbers.toNumber = QStringLiteral("4");
        QTest::newRow("numbers") << numbers << QList<int>{2, 3, 4};
        EventFilter oneNumber = numbers;
        oneNumber.toNumber.clear();
        QTest::newRow("one number edit filled") << oneNumber << all;

        EventFilter both = Dates("01/03/2026", "02/03/2026");
        both.byZone = true;
        both.zones = {QStringLiteral("3")};
        QTest::newRow("every criterion: dates and zone") << both << QList<int>{3};
        EventFilter either = Dates("01/03/2026", "01/03/2026");
        either.byZone = true;
        either.zones = {QStringLiteral("3")};
        either.matchAll = false;
        QTest::newRow("one criterion: date or zone") << either << QList<int>{1, 2, 3};
        EventFilter nothing;
        nothing.matchAll = false;
        QTest::newRow("one criterion, no box") << nothing << all;

        EventFilter quoted;
        quoted.byEvent = true;
        quoted.events = {QStringLiteral("ARME D'ACESSO")};
        QTest::newRow("text with a quote") << quoted << QList<int>{6};
        EventFilter injection;
        injection.byEvent = true;
        injection.events = {QStringLiteral("x') or (1=1")};
        QTest::newRow("text that would be SQL") << injection << QList<int>{};
    }
    void filterSelectsExactlyItsRows() {
        QFETCH(EventFilter, filter);
        QFETCH(QList<int>, expected);
        QVERIFY(CheckEventFilter(filter).isEmpty());
        int count = -1;
        QCOMPARE(Select(filter, {{EventColumn::Numero, false}}, &count), expected);
        QCOMPARE(count, expected.size());
    }

    void filterInTheWrongOrderIsRefused_data() {
        QTest::addColumn<EventFilter>("filter");
        QTest::addColumn<QString>("message");
        QTest::newRow("dates reversed") << Dates("03/03/2026", "01/03/2026") << MsgFilterDatesReversed();
        QTest::newRow("impossible date")
            << Dates("31/02/2026", "01/03/2026") << MsgFilterDateInvalid(QString());
        EventFilter numbers;
        numbers.byNumber = true;
        numbers.fromNumber = QStringLiteral("9");
        numbers.toNumber = QStringLiteral("2");
        QTest::newRow("numbers reversed") << numbers << MsgFilterNumbersReversed();
        numbers.fromNumber = QStringLiteral("99999999999");
        QTest::newRow("number too large") << numbers << MsgFilterNumberInvalid(QStringLiteral("99999999999"));
    }
    void filterInTheWrongOrderIsRefused() {
        QFETCH(EventFilter, filter);
        QFETCH(QString, message);
        QCOMPARE(CheckEventFilter(filter), message);
    }

    void orderHasTheClickedColumnThenThePreviousOne_data() {
        QTest::addColumn<QList<EventColumn>>("clicks");
        QTest::addColumn<QList<int>>("expected");
        using C = EventColumn;
        QTest::newRow("number") << QList<C>{C::Numero} << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::newRow("number twice: descending")
            << QList<C>{C::Numero, C::Numero} << QList<int>{6, 5, 4, 3, 2, 1};
        // Ties on the event text come in date order, downwards as "Data" was last sorted.
        QTest::newRow("date descending, then event")
            << QList<C>{C::Data, C::Data, C::Evento} << QList<int>{6, 1, 4, 2, 3, 5};
        QTest::newRow("date, then event") << QList<C>{C::Data, C::Evento} << QList<int>{6, 1, 2, 4, 3, 5};
        // Rows without a zone first, then zone 3 before zone 10.
        QTest::newRow("zone") << QList<C>{C::Zona} << QList<int>{1, 2, 4, 6, 3, 5};
        QTest::newRow("time, then partition")
            << QList<C>{C::Hora, C::Particao} << QList<int>{1, 5, 2, 4, 6, 3};
    }
    void orderHasTheClickedColumnThenThePreviousOne() {
        QFETCH(QList<EventColumn>, clicks);
        QFETCH(QList<int>, expected);
        QList<EventSortKey> order;
        bool reset = true;
        for (EventColumn column : clicks) {
            order = OrderAfterTitleClick(order, column, reset);
            reset = false;
        }
        QCOMPARE(Select(EventFilter(), order), expected);
    }

    void deleteTakesOnlyTheChosenRowsOfTheCustomer() {
        ConnectedDataModule db;
        QVERIFY2(db.Open(), qPrintable(db.Error()));
        const int customer = AddEventCustomer(db.dm, 1, QStringLiteral("Oficina"));
        const int other = AddEventCustomer(db.dm, 1, QStringLiteral("Loja"));
        // More rows than one statement deletes.
        QList<FixtureEvent> many;
        for (int n = 1; n <= EventList::kDeleteChunk * 2 + 10; ++n)
            many << FixtureEvent{n, "05/05/2026", "10:00", "A", "AUTOTESTE", "", ""};
        QVERIFY(InsertEvents(db.dm.IBDB, customer, many));
        QVERIFY(InsertEvents(db.dm.IBDB, other, SmallEventFixture()));
        const QList<QVariantList> keys =
            SelectRows(db.dm.IBDB,
                       "select ID_BUFFER_EVENTOS from BUFFER_EVENTOS where ID_CLIENTE = ? and COD_EVENTO > 5",
                       {customer});
        QList<qint32> chosen;
        for (const QVariantList& key : keys)
            chosen << key.value(0).toInt();
        // A key of the other customer slipped into the list is not deleted.
        chosen << SelectRows(db.dm.IBDB,
                             "select min(ID_BUFFER_EVENTOS) from BUFFER_EVENTOS where ID_CLIENTE = ?",
                             {other})
                      .value(0)
                      .value(0)
                      .toInt();
        int deleted = 0;
        QString error;
        QVERIFY2(EventList::Delete(db.dm.IBDB, customer, chosen, &deleted, &error), qPrintable(error));
        QCOMPARE(deleted, many.size() - 5);
        QCOMPARE(db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {customer}), 5);
        QCOMPARE(db.Count("BUFFER_EVENTOS", "where ID_CLIENTE = ?", {other}), 6);
        // Committed: a second connection sees it.
        DbConnection second;
        QVERIFY(second.Connect(db.database.Path()));
        QCOMPARE(second.SelectValue("select count(*) from BUFFER_EVENTOS where ID_CLIENTE = ?", {customer})
                     .toInt(),
                 5);
    }
};

QTEST_GUILESS_MAIN(TestEventList)
#include "tst_event_list.moc"
