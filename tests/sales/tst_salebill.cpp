#include <QSqlQuery>
#include <QtTest>

#include "BillNumber.h"
#include "Database.h"
#include "Dataset.h"
#include "Frm_Data.h"
#include "Money.h"
#include "SaleBillSave.h"
#include "SaleCommission.h"
#include "WindowTest.h"

using namespace qv;

namespace {

Money money(const char* text) {
    Money m;
    if (!Money::parse(QLatin1String(text), &m)) qFatal("bad money literal %s", text);
    return m;
}

}  // namespace

class TestSaleBill : public test::WindowTest {
    Q_OBJECT

    Database& db() { return ws->db(); }
    void storeBill(const QString& code) {
        db().execute(QStringLiteral("insert into T_sale (BillCode, CustCode) values (:b, 'KH0001')"),
                     {{QStringLiteral("b"), code}});
    }
    void storeRate(const QString& people, const QString& goods, const QString& rate) {
        db().execute(
            QStringLiteral("insert into T_PeopleTC (people, GoodsCode, GoodsTC) values (:p, :g, :r)"),
            {{QStringLiteral("p"), people}, {QStringLiteral("g"), goods}, {QStringLiteral("r"), rate}});
    }

    Dataset& lines() { return *ws->data->Qry_SaleDetail; }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }
    // The line list of a new bill, in cached updates as the editor holds it.
    void openLines() {
        lines().clearMaster();
        lines().setCachedUpdates(true);
        lines().setSql(QStringLiteral("select * from T_SaleDetail where BillCode=:BillCode"));
        lines().setParam(QStringLiteral("BillCode"), QString());
        lines().open();
    }
    void addLine(const QString& code, const char* price, double number, double discount) {
        lines().append();
        lines().setValue(QStringLiteral("Product_Code"), code);
        lines().setValue(QStringLiteral("SalePrice"), money(price).toVariant());
        lines().setValue(QStringLiteral("Number"), number);
        lines().setValue(QStringLiteral("DisCount"), discount);
        lines().post();
    }
    SaleBillHeader header(const QString& code) {
        SaleBillHeader h;
        h.billCode = code;
        h.saleDate = ws->clock.now();
        h.custCode = QStringLiteral("KH0001");
        h.custName = QStringLiteral("星河贸易");
        h.user = QStringLiteral("admin");
        h.salesman = QStringLiteral("张三");
        h.freeFields = QStringList{QStringLiteral("一"), QStringLiteral("二")};
        return h;
    }
    // Makes the server refuse every line of the product code FAIL.
    void refuseFailingLines() {
        if (db().isSqlite()) {
            db().execute(
                QStringLiteral("create trigger refuse_fail before insert on T_SaleDetail "
                               "when new.Product_Code='FAIL' begin select raise(abort, 'refused'); end"));
        } else {
            db().execute(
                QStringLiteral("create function refuse_fail() returns trigger language plpgsql as $$ "
                               "begin if new.Product_Code='FAIL' then raise exception 'refused'; end if; "
                               "return new; end $$"));
            db().execute(
                QStringLiteral("create trigger refuse_fail before insert on T_SaleDetail "
                               "for each row execute function refuse_fail()"));
        }
    }

protected:
    bool needsWorkstation(const char* testFunction) const override {
        return !QByteArray(testFunction).endsWith("Rule");
    }

private slots:
    void nextBillNumberRule_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("expected");
        const QString day = QStringLiteral("FH20240315");
        QTest::newRow("first of the day") << QStringList() << day + "0001";
        QTest::newRow("tenth") << QStringList{day + "0007", day + "0009", day + "0008"} << day + "0010";
        QTest::newRow("gaps follow the highest") << QStringList{day + "0001", day + "0042"} << day + "0043";
        QTest::newRow("after 9999") << QStringList{day + "9998", day + "9999"} << day + "10000";
        QTest::newRow("10000th is not repeated") << QStringList{day + "9999", day + "10000"} << day + "10001";
        QTest::newRow("hand-made tails ignored")
            << QStringList{day + "0003", day + "00A9", day + "-999", day, day + " 12"} << day + "0004";
        QTest::newRow("other days ignored")
            << QStringList{"FH202403140099", "FH202403160099"} << day + "0001";
    }
    void nextBillNumberRule() {
        QFETCH(QStringList, stored);
        QFETCH(QString, expected);
        QCOMPARE(billnumber::next(QStringLiteral("FH20240315"), stored), expected);
        QCOMPARE(billnumber::prefix(QDate(2024, 3, 15)), QStringLiteral("FH20240315"));
    }

    // The stored bills of the clock's day decide; bills of other days with higher sequences do not.
    void nextBillNumberFromStoredBills() {
        const QDate today = ws->clock.today();
        QCOMPARE(billnumber::nextFor(db(), today), billnumber::prefix(today) + "0001");
        storeBill(billnumber::prefix(today.addDays(-1)) + "0500");
        storeBill(billnumber::prefix(today.addDays(1)) + "0600");
        storeBill(billnumber::prefix(today) + "0009");
        storeBill(billnumber::prefix(today) + "0002");
        QCOMPARE(billnumber::nextFor(db(), today), billnumber::prefix(today) + "0010");
        storeBill(billnumber::prefix(today) + "10000");
        QCOMPARE(billnumber::nextFor(db(), today), billnumber::prefix(today) + "10001");
    }

    void commissionRule_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("price");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2.5% of 10 x 3") << "2.5%"
                                        << "10" << 3.0 << "0.7500";
        QTest::newRow("text after the first %") << "2.5%/件%"
                                                << "10" << 3.0 << "0.7500";
        QTest::newRow("no rate") << ""
                                 << "10" << 3.0 << "0.0000";
        QTest::newRow("no %") << "2.5"
                              << "10" << 3.0 << "0.0000";
        QTest::newRow("not a number") << "abc%"
                                      << "10" << 3.0 << "0.0000";
        QTest::newRow("quantity 0") << "2.5%"
                                    << "10" << 0.0 << "0.0000";
        QTest::newRow("half to even") << "1%"
                                      << "0.0125" << 1.0 << "0.0001";
    }
    void commissionRule() {
        QFETCH(QString, rate);
        QFETCH(QString, price);
        QFETCH(double, quantity);
        QFETCH(QString, expected);
        QCOMPARE(salecalc::commission(rate, money(price.toLatin1()), quantity).toString(), expected);
    }

    void lineAmountRule_data() {
        QTest::addColumn<QString>("price");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("discount");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "10" << 3.0 << 1.0 << "30.0000";
        QTest::newRow("discounted") << "10" << 3.0 << 0.85 << "25.5000";
        QTest::newRow("quantity 0") << "12.5" << 0.0 << 1.0 << "0.0000";
        QTest::newRow("half to even") << "0.0001" << 0.5 << 1.0 << "0.0000";
    }
    void lineAmountRule() {
        QFETCH(QString, price);
        QFETCH(double, quantity);
        QFETCH(double, discount);
        QFETCH(QString, expected);
        QCOMPARE(salecalc::lineAmount(money(price.toLatin1()), quantity, discount).toString(), expected);
    }

    // The salesman's first rate for the product (lowest ID) applies; other salesmen's rates do not.
    void rateOfSalesman() {
        QCOMPARE(salecalc::rateOf(db(), QStringLiteral("张三"), QStringLiteral("SP0001")), QString());
        storeRate(QStringLiteral("李四"), QStringLiteral("SP0001"), QStringLiteral("9%"));
        storeRate(QStringLiteral("张三"), QStringLiteral("SP0001"), QStringLiteral("2.5%"));
        storeRate(QStringLiteral("张三"), QStringLiteral("SP0001"), QStringLiteral("7%"));
        storeRate(QStringLiteral("张三"), QStringLiteral("SP0002"), QStringLiteral("4%"));
        QCOMPARE(salecalc::rateOf(db(), QStringLiteral("张三"), QStringLiteral("SP0001")),
                 QStringLiteral("2.5%"));
        QCOMPARE(
            salecalc::commission(salecalc::rateOf(db(), QStringLiteral("张三"), QStringLiteral("SP0001")),
                                 money("10"), 3.0)
                .toString(),
            QStringLiteral("0.7500"));
    }
    // Header and lines in one go: amounts on the discounted value, commissions on the undiscounted
    // one, a line of quantity 0 stored with nothing to pay, every line under the bill's number.
    void saveStoresHeaderAndComputedLines() {
        storeRate(QStringLiteral("张三"), QStringLiteral("SP0001"), QStringLiteral("2.5%"));
        storeRate(QStringLiteral("张三"), QStringLiteral("SP0002"), QStringLiteral("五%"));
        openLines();
        addLine(QStringLiteral("SP0001"), "10", 3, 0.8);
        addLine(QStringLiteral("SP0002"), "12.5", 0, 1);
        addLine(QStringLiteral("SP0003"), "7", 2, 1);
        SaleBillSave save(db(), lines());
        QString error;
        QCOMPARE(save.saveNew(header(QStringLiteral("FH202403150001")), &error), SaleBillSave::Result::Saved);
        QVERIFY(error.isEmpty());
        QCOMPARE(count(QStringLiteral("select count(*) from T_sale where BillCode='FH202403150001' and "
                                      "Custname='星河贸易' and people='张三' and Bill2='二'")),
                 1);
        QSqlQuery q =
            db().exec(QStringLiteral("select Product_Code, SaleMoney, TCMoney, BillCode from T_SaleDetail "
                                     "order by Product_Code"));
        const QStringList expected{"SP0001 24.0000 0.7500", "SP0002 0.0000 0.0000", "SP0003 14.0000 0.0000"};
        QStringList got;
        while (q.next()) {
            QCOMPARE(q.value(3).toString(), QStringLiteral("FH202403150001"));
            got << q.value(0).toString() + " " + Money::fromVariant(q.value(1)).toString() + " " +
                       Money::fromVariant(q.value(2)).toString();
        }
        QCOMPARE(got, expected);
        QVERIFY(!lines().hasPendingUpdates());
    }

    // A line the server refuses takes the header and the other lines with it.
    void failingLineRollsBackTheBill() {
        refuseFailingLines();
        openLines();
        addLine(QStringLiteral("SP0001"), "10", 1, 1);
        addLine(QStringLiteral("FAIL"), "10", 1, 1);
        SaleBillSave save(db(), lines());
        QString error;
        QCOMPARE(save.saveNew(header(QStringLiteral("FH202403150001")), &error),
                 SaleBillSave::Result::Failed);
        QVERIFY(!error.isEmpty());
        QCOMPARE(count(QStringLiteral("select count(*) from T_sale")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from T_SaleDetail")), 0);
        QVERIFY(lines().hasPendingUpdates());
        QVERIFY(!db().inTransaction());
        // The kept lines go out whole on the next save.
        db().execute(db().isSqlite() ? QStringLiteral("drop trigger refuse_fail")
                                     : QStringLiteral("drop trigger refuse_fail on T_SaleDetail"));
        QCOMPARE(save.saveNew(header(QStringLiteral("FH202403150001"))), SaleBillSave::Result::Saved);
        QCOMPARE(count(QStringLiteral("select count(*) from T_SaleDetail where BillCode='FH202403150001'")),
                 2);
    }

    // A number stored meanwhile stores nothing; saved again under a new number, every line follows it.
    void takenNumberStoresNothingAndLinesFollowTheNewNumber() {
        storeBill(QStringLiteral("FH202403150001"));
        openLines();
        addLine(QStringLiteral("SP0001"), "10", 1, 1);
        addLine(QStringLiteral("SP0002"), "10", 2, 1);
        SaleBillSave save(db(), lines());
        QCOMPARE(save.saveNew(header(QStringLiteral("FH202403150001"))), SaleBillSave::Result::NumberTaken);
        QCOMPARE(count(QStringLiteral("select count(*) from T_SaleDetail")), 0);
        const QString fresh = billnumber::nextFor(db(), ws->clock.today());
        QCOMPARE(fresh, QStringLiteral("FH202403150002"));
        QCOMPARE(save.saveNew(header(fresh)), SaleBillSave::Result::Saved);
        QCOMPARE(count(QStringLiteral("select count(*) from T_SaleDetail where BillCode='FH202403150002'")),
                 2);
        QCOMPARE(count(QStringLiteral("select count(*) from T_sale")), 2);
    }
};

QTEST_MAIN(TestSaleBill)
#include "tst_salebill.moc"
