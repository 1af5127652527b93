#include <QtTest>

#include "BillNumber.h"
#include "Database.h"
#include "Money.h"
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
};

QTEST_MAIN(TestSaleBill)
#include "tst_salebill.moc"
