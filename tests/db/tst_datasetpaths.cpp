#include <QAbstractItemModelTester>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "Dataset.h"
#include "DatasetFixture.h"
#include "Transaction.h"

using namespace qv;

namespace {

// The values of one field over every row of the dataset, read to its end.
QList<int> allInts(Dataset& ds, const QString& field) {
    ds.last();
    QList<int> out;
    for (int r = 0; r < ds.rowCount(); ++r) out << ds.value(r, field).toInt();
    return out;
}

bool eachOnce(QList<int> ids) {
    std::sort(ids.begin(), ids.end());
    return std::adjacent_find(ids.begin(), ids.end()) == ids.end();
}

}  // namespace

// Row order, rollbacks, counts and master–detail links of the dataset: the paths a list takes when
// the database refuses something or changes under it.
class TestDatasetPaths : public QObject, test::DatasetTables {
    Q_OBJECT

private slots:
    void init() {
        if (QByteArray(QTest::currentTestFunction()) != "statementsEndInTheKeyOfTheirDrivingTable")
            QVERIFY(create());
    }
    void cleanup() { db.reset(); }

    void statementsEndInTheKeyOfTheirDrivingTable_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("ordered");
        QTest::newRow("no order") << "select * from admin where IsUser = 1"
                                  << "select * from admin where IsUser = 1 order by admin.UserID";
        QTest::newRow("alias and join") << "select c.*, t.Name from contact t join custom c on c.CustCode = "
                                           "t.CustCode order by c.Company desc"
                                        << "select c.*, t.Name from contact t join custom c on c.CustCode = "
                                           "t.CustCode order by c.Company desc, "
                                           "t.ContactId";
        QTest::newRow("as alias") << "select * from custom as c where c.F_User = :u"
                                  << "select * from custom as c where c.F_User = :u order by c.CustID";
        QTest::newRow("order before a limit")
            << "select * from custom order by Company limit 10"
            << "select * from custom order by Company, custom.CustID limit 10";
        QTest::newRow("ends in the key") << "select * from custom order by CustID desc"
                                         << "select * from custom order by CustID desc";
        QTest::newRow("ends in the qualified key") << "select * from custom c order by c.Company, c.custid"
                                                   << "select * from custom c order by c.Company, c.custid";
        QTest::newRow("comma join")
            << "select * from custom, contact where custom.CustCode = contact.CustCode"
            << "select * from custom, contact where custom.CustCode = contact.CustCode "
               "order by custom.CustID";
        QTest::newRow("words in literals and brackets") << "select * from custom where Memo2 = 'x order by "
                                                           "y' and CustCode in (select CustCode from contact "
                                                           "order by Name limit 3)"
                                                        << "select * from custom where Memo2 = 'x order by "
                                                           "y' and CustCode in (select CustCode from contact "
                                                           "order by Name limit 3) order by custom.CustID";
        QTest::newRow("trailing semicolon") << "select * from custom;"
                                            << "select * from custom order by custom.CustID;";
        QTest::newRow("grouped") << "select Company, count(*) from custom group by Company"
                                 << "select Company, count(*) from custom group by Company";
        QTest::newRow("aggregate") << "select sum(Amount) from custom"
                                   << "select sum(Amount) from custom";
        QTest::newRow("distinct") << "select distinct Company from custom"
                                  << "select distinct Company from custom";
        QTest::newRow("compound") << "select Name from contact union select Company from custom"
                                  << "select Name from contact union select Company from custom";
        QTest::newRow("derived table") << "select * from (select * from custom) x"
                                       << "select * from (select * from custom) x";
        QTest::newRow("table without key") << "select * from T_Tempsum_name"
                                           << "select * from T_Tempsum_name";
    }
    void statementsEndInTheKeyOfTheirDrivingTable() {
        QFETCH(QString, statement);
        QFETCH(QString, ordered);
        const QHash<QString, QString> keys{{QStringLiteral("admin"), QStringLiteral("UserID")},
                                           {QStringLiteral("custom"), QStringLiteral("CustID")},
                                           {QStringLiteral("contact"), QStringLiteral("ContactId")}};
        const auto dialect = Dialect::create(Driver::Postgres);
        dialect->setKeyLookup([&](const QString& t) { return keys.value(t.toLower()); });
        QCOMPARE(dialect->keyOrdered(statement), ordered);
    }

    // Rows read without an order, and the first n of them, follow the key on both servers, also after
    // updates have moved rows in the server's storage.
    void rowsWithoutAnOrderFollowTheKey() {
        for (int i = 1; i <= 40; ++i) addContact(QStringLiteral("C%1").arg(i), QStringLiteral("人%1").arg(i));
        db->exec(QStringLiteral("update person set Name = Name || '改' where PersonID <= 10"));
        Dataset ds(*db, QStringLiteral("Qry_Contact"));
        ds.setSql(QStringLiteral("select * from person"));
        ds.open();
        QList<int> expected;
        for (int i = 1; i <= 40; ++i) expected << i;
        QCOMPARE(allInts(ds, QStringLiteral("PersonID")), expected);

        QSqlQuery q = db->exec(db->dialect().top(5, QStringLiteral("select * from person where Main = 0")));
        QList<int> first;
        while (q.next()) first << q.value(0).toInt();
        QCOMPARE(first, expected.mid(0, 5));
    }

    // A result over a join ordered by a column with many equal values, read in pages while rows are
    // updated between the reads: every row appears exactly once.
    void pagedJoinListsEveryRowOnceWhileRowsChange() {
        addCustomers(7);
        const int n = 3000;
        if (db->isSqlite())
            db->exec(
                QStringLiteral("insert into person (Code, Name) with recursive s(i) as (select 1 union all "
                               "select i + 1 from s where i < %1) select 'C0000' || (i % 7 + 1), 'N' || i "
                               "from s")
                    .arg(n));
        else
            db->exec(QStringLiteral("insert into person (Code, Name) select 'C0000' || (i % 7 + 1), 'N' || i "
                                    "from generate_series(1, %1) i")
                         .arg(n));
        Dataset ds(*db, QStringLiteral("Qry_Contact"));
        ds.setSql(QStringLiteral(
            "select p.PersonID, p.Name, c.Company from person p join cust c on c.Code = p.Code "
            "order by c.Company"));
        ds.open();
        QVERIFY(ds.canFetchMore());
        int round = 0;
        while (ds.canFetchMore()) {
            db->exec(QStringLiteral("update person set Name = Name || 'x' where PersonID % 3 = :r"),
                     {{QStringLiteral("r"), round++ % 3}});
            ds.fetchMore();
        }
        const QList<int> ids = allInts(ds, QStringLiteral("PersonID"));
        QCOMPARE(ids.size(), n);
        QVERIFY(eachOnce(ids));
    }

    // A delete whose transaction rolls back: the row the list had dropped comes back, and a long list
    // that was only partly read (SQLite ends its open statement at the rollback) still lists every row
    // exactly once when scrolled to its end.
    void failedDeleteBringsTheRowBack_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("at");
        QTest::newRow("short list") << 3 << 1;
        QTest::newRow("long list partly read") << 1500 << 600;
    }
    void failedDeleteBringsTheRowBack() {
        QFETCH(int, rows);
        QFETCH(int, at);
        addCustomers(rows);
        Dataset ds(*db, QStringLiteral("Qry_Cust"));
        QAbstractItemModelTester tester(&ds, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ds.setSql(QStringLiteral("select * from cust"));
        ds.setUpdateTable(QStringLiteral("cust"), QStringLiteral("ID"));
        ds.open();
        Dataset other(*db, QStringLiteral("Qry_Other"));  // only reads, and is left partly read
        other.setSql(QStringLiteral("select * from cust"));
        other.open();
        ds.setCurrentRow(at);
        const QVariant key = ds.value(QStringLiteral("ID"));
        {
            Transaction tx(*db);
            ds.remove();
            QVERIFY(!ds.locate(QStringLiteral("ID"), key));
            // Undoing a new table makes SQLite end the statements still reading: `other` reads again.
            db->exec(QStringLiteral("create table scratch (ID integer)"));
            QVERIFY_THROWS_EXCEPTION(DbError, addCustomer(QStringLiteral("C00001"), QStringLiteral("重复")));
        }
        QCOMPARE(db->transactionDepth(), 0);
        QCOMPARE(db->scalar(QStringLiteral("select count(*) from cust")).toInt(), rows);
        QCOMPARE(ds.value(at, QStringLiteral("ID")), key);
        for (Dataset* d : {&ds, &other}) {
            const QList<int> ids = allInts(*d, QStringLiteral("ID"));
            QCOMPARE(ids.size(), rows);
            QVERIFY(eachOnce(ids));
        }
    }

    // A partly read list that deleted a row of its own, then sees another transaction roll back (which
    // ends its open statement on SQLite when the transaction changed the schema): read on to the end,
    // it lists every remaining row once.
    void partlyReadListReadsOnAfterAnotherRollback() {
        const int n = 3000;
        addCustomers(n);
        Dataset ds(*db, QStringLiteral("Qry_Cust"));
        ds.setSql(QStringLiteral("select * from cust"));
        ds.setUpdateTable(QStringLiteral("cust"), QStringLiteral("ID"));
        ds.open();
        ds.setCurrentRow(100);
        QCOMPARE(ds.value(QStringLiteral("ID")).toInt(), 101);
        ds.remove();
        // Twice, the second time after reading on.
        for (int row : {200, 1100}) {
            ds.setCurrentRow(row);
            Transaction tx(*db);
            addCustomer(QStringLiteral("NEW"), QStringLiteral("新"));
            // Undoing a new table makes SQLite end every statement still reading on the connection.
            db->exec(QStringLiteral("create table scratch (ID integer)"));
            QVERIFY_THROWS_EXCEPTION(DbError, addCustomer(QStringLiteral("C00001"), QStringLiteral("重复")));
        }
        const QList<int> ids = allInts(ds, QStringLiteral("ID"));
        QCOMPARE(ids.size(), n - 1);
        QVERIFY(eachOnce(ids));
        QVERIFY(!ids.contains(101));
        QCOMPARE(ids.last(), n);
    }

    // Counts and sums of a partly read list follow posts and deletes, written at once or cached.
    void countAndSumThroughAPartlyReadList_data() {
        QTest::addColumn<bool>("cached");
        QTest::newRow("written at once") << false;
        QTest::newRow("cached") << true;
    }
    void countAndSumThroughAPartlyReadList() {
        QFETCH(bool, cached);
        const int n = 1500;
        addCustomers(n);
        Dataset ds(*db, QStringLiteral("Qry_Cust"));
        ds.setSql(QStringLiteral("select * from cust"));
        ds.setUpdateTable(QStringLiteral("cust"), QStringLiteral("ID"));
        ds.setCachedUpdates(cached);
        ds.open();
        QVERIFY(ds.canFetchMore());
        QCOMPARE(ds.recordCount(), n);
        QCOMPARE(ds.sum(QStringLiteral("Amount")), 1125750.0);  // 1 + 2 + ... + 1500

        ds.append();
        ds.setValue(QStringLiteral("Code"), QStringLiteral("NEW"));
        ds.setValue(QStringLiteral("Amount"), 100000);
        ds.post();
        QCOMPARE(ds.recordCount(), n + 1);
        QCOMPARE(ds.sum(QStringLiteral("Amount")), 1225750.0);

        ds.setCurrentRow(9);  // Amount 10
        ds.edit();
        ds.setValue(QStringLiteral("Amount"), 1010);
        ds.post();
        QCOMPARE(ds.sum(QStringLiteral("Amount")), 1226750.0);

        ds.setCurrentRow(100);  // Amount 101
        QCOMPARE(ds.value(QStringLiteral("Amount")).toInt(), 101);
        ds.remove();
        QCOMPARE(ds.recordCount(), n);
        QCOMPARE(ds.sum(QStringLiteral("Amount")), 1226649.0);

        // Scrolled to the end, the list holds each row once, the new one included.
        QVERIFY(ds.canFetchMore());
        const QList<int> amounts = allInts(ds, QStringLiteral("Amount"));
        QCOMPARE(amounts.size(), n);
        QCOMPARE(amounts.count(100000), 1);
        QCOMPARE(ds.recordCount(), n);
        QCOMPARE(ds.sum(QStringLiteral("Amount")), 1226649.0);
        if (cached) {
            QCOMPARE(db->scalar(QStringLiteral("select count(*) from cust")).toInt(), n);
            ds.cancelUpdates();
            QCOMPARE(ds.recordCount(), n);
            QCOMPARE(ds.sum(QStringLiteral("Amount")), 1125750.0);
        } else {
            QCOMPARE(db->scalar(QStringLiteral("select sum(Amount) from cust")).toDouble(), 1226649.0);
        }
    }

    // A detail keeps its rows while it is edited or holds unsent changes, and follows its master once
    // they are done; a master that is adding a row shows no details.
    void detailWaitsForItsEditsAndFollowsNewMasterRows() {
        addCustomer(QStringLiteral("A1"), QStringLiteral("甲"));
        addCustomer(QStringLiteral("B2"), QStringLiteral("乙"));
        addContact(QStringLiteral("A1"), QStringLiteral("张三"));
        addContact(QStringLiteral("A1"), QStringLiteral("李四"));
        addContact(QStringLiteral("B2"), QStringLiteral("王五"));
        Dataset master(*db, QStringLiteral("Qry_Cust"));
        Dataset detail(*db, QStringLiteral("Qry_Contact"));
        master.setSql(QStringLiteral("select * from cust order by Code"));
        master.setUpdateTable(QStringLiteral("cust"), QStringLiteral("ID"));
        detail.setSql(QStringLiteral("select * from person where Code = :CustCode order by Name"));
        detail.setUpdateTable(QStringLiteral("person"), QStringLiteral("PersonID"));
        detail.setMaster(&master, QStringLiteral("Code"), QStringLiteral("CustCode"));
        master.open();
        detail.open();
        QCOMPARE(detail.rowCount(), 2);

        // Edited: the master moves on, the edit stays where it was and is stored on its own row.
        detail.edit();
        detail.setValue(QStringLiteral("Name"), QStringLiteral("李四改"));
        master.next();
        QCOMPARE(detail.state(), Dataset::State::Edit);
        QCOMPARE(detail.rowCount(), 2);
        QCOMPARE(detail.text(QStringLiteral("Name")), QStringLiteral("李四改"));
        detail.post();
        QCOMPARE(count(QStringLiteral("Code = 'A1' and Name = :n"),
                       {{QStringLiteral("n"), QStringLiteral("李四改")}}),
                 1);
        // Then it shows the current master's rows.
        QCOMPARE(detail.rowCount(), 1);
        QCOMPARE(detail.text(QStringLiteral("Name")), QStringLiteral("王五"));

        // Pending cached changes: kept until they are sent or dropped.
        detail.setCachedUpdates(true);
        detail.append();
        detail.setValue(QStringLiteral("Code"), QStringLiteral("B2"));
        detail.setValue(QStringLiteral("Name"), QStringLiteral("新人"));
        detail.post();
        master.first();
        QCOMPARE(detail.rowCount(), 2);
        QVERIFY(detail.hasPendingUpdates());
        detail.cancelUpdates();
        QCOMPARE(detail.rowCount(), 2);
        QCOMPARE(detail.text(QStringLiteral("Name")), QStringLiteral("李四"));  // then 李四改 (was 张三)
        detail.setCachedUpdates(false);

        // A master adding a row has no details yet; cancelling brings back those of its current row.
        master.last();
        master.append();
        QCOMPARE(detail.rowCount(), 0);
        master.cancel();
        QCOMPARE(master.text(QStringLiteral("Code")), QStringLiteral("B2"));
        QCOMPARE(detail.rowCount(), 1);
        // Posted, the new master row shows its own (no) details.
        master.append();
        master.setValue(QStringLiteral("Code"), QStringLiteral("C3"));
        master.post();
        QCOMPARE(detail.rowCount(), 0);
        QCOMPARE(detail.params().value(QStringLiteral("CustCode")).toString(), QStringLiteral("C3"));
    }

    // A COMMIT the server refuses (here a deferred reference check) leaves nothing written, no
    // transaction open, and the lists that changed rows in it show the database again.
    void failedCommitRollsBack() {
        if (db->isSqlite()) db->exec(QStringLiteral("pragma foreign_keys = on"));
        db->exec(QStringLiteral("create table parent (ID integer primary key)"));
        db->exec(QStringLiteral(
            "create table child (ID integer primary key, ParentID integer references parent (ID) "
            "deferrable initially deferred)"));
        addCustomers(3);
        Dataset ds(*db, QStringLiteral("Qry_Cust"));
        ds.setSql(QStringLiteral("select * from cust"));
        ds.setUpdateTable(QStringLiteral("cust"), QStringLiteral("ID"));
        ds.open();
        {
            Transaction tx(*db);
            ds.remove();
            db->exec(QStringLiteral("insert into child (ID, ParentID) values (1, 99)"));
            QCOMPARE(ds.rowCount(), 2);
            QVERIFY_THROWS_EXCEPTION(DbError, tx.commit());
            QCOMPARE(db->transactionDepth(), 0);
        }
        QCOMPARE(db->transactionDepth(), 0);
        QCOMPARE(db->scalar(QStringLiteral("select count(*) from child")).toInt(), 0);
        QCOMPARE(db->scalar(QStringLiteral("select count(*) from cust")).toInt(), 3);
        QCOMPARE(ds.rowCount(), 3);
        // The connection takes the next transaction as usual.
        {
            Transaction tx(*db);
            db->exec(QStringLiteral("insert into parent (ID) values (99)"));
            db->exec(QStringLiteral("insert into child (ID, ParentID) values (1, 99)"));
            tx.commit();
        }
        QCOMPARE(db->scalar(QStringLiteral("select count(*) from child")).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDatasetPaths)
#include "tst_datasetpaths.moc"
