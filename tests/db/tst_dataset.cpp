#include <QAbstractItemModelTester>
#include <QtTest>
#include <memory>

#include "Dataset.h"
#include "DatasetFixture.h"
#include "Transaction.h"

using namespace qv;

// The dataset is tested on two small tables of its own (DatasetFixture.h).
class TestDataset : public QObject, test::DatasetTables {
    Q_OBJECT

private slots:
    void init() { QVERIFY(create()); }
    void cleanup() { db.reset(); }

    void navigationAndFieldNames() {
        addCustomer(QStringLiteral("KH0001"), QStringLiteral("甲公司"));
        addCustomer(QStringLiteral("KH0002"), QStringLiteral("乙公司"));
        Dataset ds(*db, QStringLiteral("Qry_Cust"));
        QAbstractItemModelTester tester(&ds, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ds.setSql(QStringLiteral("select * from cust order by Code"));
        QSignalSpy moved(&ds, &Dataset::currentRowChanged);
        ds.open();
        QCOMPARE(ds.fieldNames(), (QStringList{"ID", "Code", "Company", "Amount", "Added"}));
        QCOMPARE(ds.fieldIndex(QStringLiteral("company")), 2);
        QCOMPARE(ds.text(QStringLiteral("Company")), QStringLiteral("甲公司"));
        QVERIFY(ds.bof());
        ds.next();
        QCOMPARE(ds.text(QStringLiteral("CODE")), QStringLiteral("KH0002"));
        QVERIFY(ds.eof());
        ds.next();
        QCOMPARE(ds.currentRow(), 1);
        ds.first();
        QCOMPARE(ds.currentRow(), 0);
        QCOMPARE(moved.count(), 3);
        QVERIFY(ds.locate(QStringLiteral("code"), QStringLiteral("kh0002")));
        QCOMPARE(ds.currentRow(), 1);
        QVERIFY(!ds.locate(QStringLiteral("code"), QStringLiteral("KH9999")));
    }

    void valuesWithQuotesAndWildcardsAreBound() {
        const QString tricky = QStringLiteral("O'Brien & 100% \"好\"_公司; drop table cust");
        addCustomer(QStringLiteral("Q1"), tricky);
        addCustomer(QStringLiteral("Q2"), QStringLiteral("O'Brien其他"));
        Dataset ds(*db, QStringLiteral("q"));
        ds.setSql(QStringLiteral("select * from cust where Company like :k order by Code"));
        ds.setParam(QStringLiteral("k"), QStringLiteral("o'brien%"));
        ds.open();
        QCOMPARE(ds.recordCount(), 2);  // case-insensitive, '%' typed by the operator stays a wildcard
        QCOMPARE(ds.text(QStringLiteral("Company")), tricky);
    }

    void detailFollowsItsMaster() {
        addCustomer(QStringLiteral("A1"), QStringLiteral("甲"));
        addCustomer(QStringLiteral("B2"), QStringLiteral("乙"));
        addCustomer(QStringLiteral("C3"), QStringLiteral("丙"));
        addContact(QStringLiteral("A1"), QStringLiteral("张三"));
        addContact(QStringLiteral("A1"), QStringLiteral("李四"));
        addContact(QStringLiteral("B2"), QStringLiteral("王五"));
        Dataset master(*db, QStringLiteral("Qry_Cust"));
        Dataset detail(*db, QStringLiteral("Qry_Contact"));
        QAbstractItemModelTester tester(&detail, QAbstractItemModelTester::FailureReportingMode::QtTest);
        master.setSql(QStringLiteral("select * from cust order by Code"));
        detail.setSql(QStringLiteral("select * from person where Code = :CustCode order by Name"));
        detail.setMaster(&master, QStringLiteral("Code"), QStringLiteral("CustCode"));
        master.open();
        detail.open();
        QCOMPARE(detail.recordCount(), 2);
        master.next();
        QCOMPARE(detail.recordCount(), 1);
        QCOMPARE(detail.text(QStringLiteral("Name")), QStringLiteral("王五"));
        master.next();
        QCOMPARE(detail.recordCount(), 0);
        QVERIFY(detail.isOpen());
        // A master that becomes empty leaves the detail empty too.
        master.setSql(QStringLiteral("select * from cust where Code = 'none'"));
        master.open();
        QCOMPARE(detail.recordCount(), 0);
    }

    void postAndDeleteReachExactlyOneRow() {
        // Two rows that look alike: only the key tells them apart.
        addContact(QStringLiteral("A1"), QStringLiteral("张三"));
        addContact(QStringLiteral("A1"), QStringLiteral("张三"));
        Dataset ds(*db, QStringLiteral("Qry_Contact"));
        ds.setSql(QStringLiteral("select * from person order by PersonID"));
        ds.setUpdateTable(QStringLiteral("person"), QStringLiteral("PersonID"));
        ds.open();
        ds.next();
        ds.edit();
        ds.setValue(QStringLiteral("Name"), QStringLiteral("张三丰"));
        QCOMPARE(ds.state(), Dataset::State::Edit);
        ds.post();
        QCOMPARE(count(QStringLiteral("Name = :n"), {{QStringLiteral("n"), QStringLiteral("张三丰")}}), 1);
        QCOMPARE(count(QStringLiteral("Name = :n"), {{QStringLiteral("n"), QStringLiteral("张三")}}), 1);

        ds.first();
        ds.remove();
        QCOMPARE(count(QStringLiteral("1=1")), 1);
        QCOMPARE(ds.text(QStringLiteral("Name")), QStringLiteral("张三丰"));

        // Append: the new row gets the identity the server assigned.
        ds.append();
        ds.setValue(QStringLiteral("Code"), QStringLiteral("B2"));
        ds.setValue(QStringLiteral("Name"), QStringLiteral("O'Neil"));
        ds.post();
        const QVariant id = ds.value(QStringLiteral("PersonID"));
        QVERIFY(id.toInt() > 0);
        QCOMPARE(db->scalar(QStringLiteral("select Name from person where PersonID = :i"),
                            {{QStringLiteral("i"), id}})
                     .toString(),
                 QStringLiteral("O'Neil"));
        QCOMPARE(ds.recordCount(), 2);

        // Cancel of an edit restores the row; cancel of an append removes it.
        ds.edit();
        ds.setValue(QStringLiteral("Name"), QStringLiteral("X"));
        ds.cancel();
        QCOMPARE(ds.text(QStringLiteral("Name")), QStringLiteral("O'Neil"));
        ds.append();
        ds.cancel();
        QCOMPARE(ds.loadedRows(), 2);

        // A row deleted by another workstation meanwhile: the edit is refused, not reported as done.
        db->exec(QStringLiteral("delete from person where PersonID = :i"), {{QStringLiteral("i"), id}});
        ds.edit();
        ds.setValue(QStringLiteral("Name"), QStringLiteral("Y"));
        QVERIFY_THROWS_EXCEPTION(DbError, ds.post());
    }

    void cachedUpdatesFailingInsideATransactionLeaveNothing() {
        addCustomer(QStringLiteral("A1"), QStringLiteral("甲"));
        addContact(QStringLiteral("A1"), QStringLiteral("旧行"));
        Dataset lines(*db, QStringLiteral("Qry_SaleDetail"));
        lines.setSql(QStringLiteral("select * from person order by PersonID"));
        lines.setUpdateTable(QStringLiteral("person"), QStringLiteral("PersonID"));
        lines.setCachedUpdates(true);
        lines.open();
        lines.edit();
        lines.setValue(QStringLiteral("Name"), QStringLiteral("改过"));
        lines.post();
        for (const char* n : {"一", "二"}) {
            lines.append();
            lines.setValue(QStringLiteral("Code"), QStringLiteral("A1"));
            lines.setValue(QStringLiteral("Name"), QString::fromUtf8(n));
            lines.post();
        }
        QVERIFY(lines.hasPendingUpdates());
        QCOMPARE(count(QStringLiteral("1=1")), 1);  // nothing sent yet

        // The header insert succeeds, the lines go out, then a later statement fails: all is undone.
        {
            Transaction tx(*db);
            db->exec(QStringLiteral("insert into cust (Code, Company) values ('B2', '乙')"));
            lines.applyUpdates();
            QCOMPARE(count(QStringLiteral("1=1")), 3);
            QVERIFY_THROWS_EXCEPTION(
                DbError, db->exec(QStringLiteral("insert into cust (Code, Company) values ('A1', 'dup')")));
        }
        QCOMPARE(count(QStringLiteral("1=1")), 1);
        QCOMPARE(db->scalar(QStringLiteral("select Name from person")).toString(), QStringLiteral("旧行"));
        QCOMPARE(db->scalar(QStringLiteral("select count(*) from cust")).toInt(), 1);
        QVERIFY(lines.hasPendingUpdates());  // still pending: the caller may try again

        // Sent again in a transaction that commits, everything arrives once.
        {
            Transaction tx(*db);
            lines.applyUpdates();
            tx.commit();
        }
        lines.commitUpdates();
        QVERIFY(!lines.hasPendingUpdates());
        QCOMPARE(count(QStringLiteral("1=1")), 3);
        QCOMPARE(count(QStringLiteral("Name = '改过'")), 1);

        // A cached delete is sent by key as well.
        lines.first();
        lines.remove();
        QCOMPARE(count(QStringLiteral("1=1")), 3);
        lines.applyUpdates();
        lines.commitUpdates();
        QCOMPARE(count(QStringLiteral("1=1")), 2);
    }

    void nestedTransactionsAndUniqueViolations() {
        {
            Transaction outer(*db);
            addCustomer(QStringLiteral("A1"), QStringLiteral("甲"));
            {
                Transaction inner(*db);
                addCustomer(QStringLiteral("B2"), QStringLiteral("乙"));
                inner.commit();  // only the outermost reaches the server
            }
            QCOMPARE(db->transactionDepth(), 1);
        }
        QCOMPARE(db->scalar(QStringLiteral("select count(*) from cust")).toInt(), 0);

        // An inner guard that gives up makes the outer commit fail and undo everything.
        {
            Transaction outer(*db);
            addCustomer(QStringLiteral("A1"), QStringLiteral("甲"));
            { Transaction inner(*db); }
            QVERIFY_THROWS_EXCEPTION(DbError, outer.commit());
        }
        QCOMPARE(db->scalar(QStringLiteral("select count(*) from cust")).toInt(), 0);

        addCustomer(QStringLiteral("A1"), QStringLiteral("甲"));
        try {
            addCustomer(QStringLiteral("A1"), QStringLiteral("again"));
            QFAIL("a duplicate code was accepted");
        } catch (const DbError& e) {
            QVERIFY2(e.isUniqueViolation(), qPrintable(e.nativeCode() + QLatin1Char(' ') + e.text()));
            QVERIFY(!e.statement().isEmpty());
        }
        // The connection is usable again afterwards (PostgreSQL aborts only the failed transaction).
        QCOMPARE(db->scalar(QStringLiteral("select count(*) from cust")).toInt(), 1);
    }

    void incrementalFetchingOfLargeResults() {
        {
            Transaction tx(*db);
            for (int i = 0; i < 3000; ++i)
                addContact(QStringLiteral("C%1").arg(i, 5, 10, QLatin1Char('0')),
                           QStringLiteral("人%1").arg(i));
            tx.commit();
        }
        Dataset ds(*db, QStringLiteral("big"));
        ds.setSql(QStringLiteral("select * from person order by PersonID"));
        ds.open();
        QCOMPARE(ds.loadedRows(), Dataset::kChunk);
        QVERIFY(ds.canFetchMore());
        QCOMPARE(ds.recordCount(), 3000);
        QCOMPARE(ds.loadedRows(), Dataset::kChunk);  // counting reads no rows
        // Other statements run while the list is only partly read.
        addContact(QStringLiteral("X"), QStringLiteral("新人"));
        QCOMPARE(count(QStringLiteral("Code = 'X'")), 1);
        ds.setCurrentRow(1500);
        QCOMPARE(ds.text(QStringLiteral("Name")), QStringLiteral("人1500"));
        ds.last();
        QVERIFY(ds.allFetched());
        QVERIFY(ds.loadedRows() >= 3000);

        // Closing a partly read result ends its statement: the table it read can be dropped at once on the
        // same connection (SQLite refuses that while a statement still reads the table).
        ds.open();
        QVERIFY(ds.canFetchMore());
        ds.close();
        QCOMPARE(ds.loadedRows(), 0);
        QCOMPARE(count(QStringLiteral("1=1")), 3001);
        db->exec(QStringLiteral("drop table person"));
        QVERIFY(!db->hasTable(QStringLiteral("person")));
    }

    void largeResultsAreShownThroughAWindow() {
        const int n = 30000;
        if (db->isSqlite())
            db->exec(
                QStringLiteral("insert into person (Code, Name) with recursive s(i) as (select 1 union all "
                               "select i + 1 from s where i < %1) select 'C' || i, 'N' || i from s")
                    .arg(n));
        else
            db->exec(QStringLiteral("insert into person (Code, Name) select 'C' || i, 'N' || i "
                                    "from generate_series(1, %1) i")
                         .arg(n));
        Dataset ds(*db, QStringLiteral("Qry_Cust"));
        ds.setSql(QStringLiteral("select * from person order by PersonID"));
        ds.setUpdateTable(QStringLiteral("person"), QStringLiteral("PersonID"));
        ds.open();
        QAbstractItemModelTester tester(&ds, QAbstractItemModelTester::FailureReportingMode::QtTest);
        while (ds.canFetchMore()) ds.fetchMore();
        // The view now sees every row, but only a window of them is held.
        QVERIFY(ds.isWindowed());
        QCOMPARE(ds.rowCount(), n);
        QVERIFY(ds.loadedRows() <= Dataset::kWindowThreshold + Dataset::kChunk);
        auto name = [&](int row) { return ds.data(ds.index(row, 2)).toString(); };
        QCOMPARE(name(n - 1), QStringLiteral("N%1").arg(n));
        QCOMPARE(name(15000), QStringLiteral("N15001"));
        QCOMPARE(name(3), QStringLiteral("N4"));
        for (int r = 20000; r < 29000; r += 7) QCOMPARE(name(r), QStringLiteral("N%1").arg(r + 1));
        QVERIFY(ds.loadedRows() <= 2 * Dataset::kWindowSize + Dataset::kChunk);
        QCOMPARE(ds.sum(QStringLiteral("PersonID")), double(n) * (n + 1) / 2);

        // Editing and deleting a row deep in the list reach exactly that row.
        ds.setCurrentRow(25000);
        ds.edit();
        ds.setValue(QStringLiteral("Name"), QStringLiteral("改名"));
        ds.post();
        QCOMPARE(count(QStringLiteral("Name = '改名' and PersonID = 25001")), 1);
        ds.setCurrentRow(12345);
        ds.remove();
        QCOMPARE(ds.rowCount(), n - 1);
        QCOMPARE(count(QStringLiteral("PersonID = 12346")), 0);
        QCOMPARE(name(12345), QStringLiteral("N12347"));
        QCOMPARE(ds.recordCount(), n - 1);

        // Appending while windowed puts the new row at the end.
        ds.append();
        ds.setValue(QStringLiteral("Code"), QStringLiteral("NEW"));
        ds.setValue(QStringLiteral("Name"), QStringLiteral("新"));
        ds.post();
        QCOMPARE(ds.rowCount(), n);
        QCOMPARE(name(n - 1), QStringLiteral("新"));

        // Sorting a large result is left to the server.
        ds.setSort(QStringLiteral("PersonID DESC"));
        QCOMPARE(ds.value(0, QStringLiteral("Name")).toString(), QStringLiteral("新"));
        QVERIFY_THROWS_EXCEPTION(DbError, ds.setSort(QStringLiteral("Name; drop table person")));
        ds.setSort(QString());
        QCOMPARE(ds.value(0, QStringLiteral("Name")).toString(), QStringLiteral("N1"));
        QVERIFY(ds.locate(QStringLiteral("Code"), QStringLiteral("C29999")));
        QCOMPARE(ds.currentRow(), 29997);
    }

    void rowsChangedBetweenReadsAreListedOnce() {
        {
            Transaction tx(*db);
            for (int i = 1; i <= 2000; ++i)
                addContact(QStringLiteral("C%1").arg(i), QStringLiteral("人%1").arg(i));
            tx.commit();
        }
        Dataset ds(*db, QStringLiteral("Qry_Contact"));
        ds.setSql(QStringLiteral("select * from person"));
        ds.setUpdateTable(QStringLiteral("person"), QStringLiteral("PersonID"));
        ds.open();
        QCOMPARE(ds.loadedRows(), Dataset::kChunk);
        // Another workstation changes early rows while the list is only partly read: on PostgreSQL the
        // changed rows move to the end of the table.
        db->exec(QStringLiteral("update person set Name = Name || '改' where PersonID <= 300"));
        ds.fetchAll();
        QList<int> ids;
        for (int r = 0; r < ds.rowCount(); ++r) ids << ds.value(r, QStringLiteral("PersonID")).toInt();
        std::sort(ids.begin(), ids.end());
        QCOMPARE(ids.size(), 2000);
        QCOMPARE(ids.first(), 1);
        QVERIFY(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    }

    void sortCalculatedFieldsAndDisplay() {
        addCustomer(QStringLiteral("A1"), QStringLiteral("b"));
        addCustomer(QStringLiteral("B2"), QStringLiteral("a"));
        addCustomer(QStringLiteral("C3"), QStringLiteral("c"));
        db->exec(QStringLiteral("update cust set Amount = 3.5, Added = :d where Code = 'A1'"),
                 {{QStringLiteral("d"), QDateTime(QDate(2026, 12, 11), QTime(9, 30))}});
        db->exec(QStringLiteral("update cust set Added = :d where Code = 'B2'"),
                 {{QStringLiteral("d"), QDate(2026, 1, 2)}});
        Dataset ds(*db, QStringLiteral("q"));
        QAbstractItemModelTester tester(&ds, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ds.setSql(QStringLiteral("select * from cust order by ID"));
        ds.setUpdateTable(QStringLiteral("cust"), QStringLiteral("ID"));
        ds.addCalculatedField(QStringLiteral("Twice"), [](const Dataset& d, int row) {
            return QVariant(d.value(row, QStringLiteral("Amount")).toDouble() * 2);
        });
        ds.open();
        QCOMPARE(ds.fieldCount(), 6);
        QVERIFY(ds.isCalculated(5));
        QCOMPARE(ds.value(QStringLiteral("Twice")).toDouble(), 7.0);
        QCOMPARE(ds.value(QStringLiteral("Added")).toDateTime(),
                 QDateTime(QDate(2026, 12, 11), QTime(9, 30)));

        ds.setDisplayLabel(QStringLiteral("Company"), QStringLiteral("公司名称"));
        ds.setDisplayFormat(QStringLiteral("Amount"), QStringLiteral("0.00"));
        QCOMPARE(ds.headerData(2, Qt::Horizontal).toString(), QStringLiteral("公司名称"));
        QCOMPARE(ds.data(ds.index(0, 3)).toString(), QStringLiteral("3.50"));
        QCOMPARE(ds.data(ds.index(0, 4)).toString(), QStringLiteral("2026-12-11 09:30:00"));
        QCOMPARE(ds.data(ds.index(1, 4)).toString(), QStringLiteral("2026-01-02"));

        ds.setSort(QStringLiteral("  Company DESC"));
        QCOMPARE(ds.value(0, QStringLiteral("Company")).toString(), QStringLiteral("c"));
        QCOMPARE(ds.value(2, QStringLiteral("Company")).toString(), QStringLiteral("a"));
        ds.setSort(QString());
        QCOMPARE(ds.value(0, QStringLiteral("Code")).toString(), QStringLiteral("A1"));

        // Editing in the grid: setData edits the row and posting writes it.
        QVERIFY(ds.setData(ds.index(2, 2), QStringLiteral("丙公司")));
        ds.post();
        QCOMPARE(db->scalar(QStringLiteral("select Company from cust where Code = 'C3'")).toString(),
                 QStringLiteral("丙公司"));
        QVERIFY(!(ds.flags(ds.index(0, 5)) & Qt::ItemIsEditable));
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
