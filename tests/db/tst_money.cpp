#include <QtTest>

#include "Dialect.h"
#include "Money.h"

using qv::Money;

class TestMoney : public QObject {
    Q_OBJECT
private slots:
    void product_data() {
        QTest::addColumn<QString>("price");
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("expected");
        QTest::newRow("price x qty x discount") << "2.5" << 3.0 << 0.9 << "6.7500";
        QTest::newRow("tie below rounds to even 0") << "0.0001" << 0.5 << 1.0 << "0.0000";
        QTest::newRow("tie above rounds to even 2") << "0.0001" << 1.5 << 1.0 << "0.0002";
        QTest::newRow("no discount") << "19.99" << 7.0 << 1.0 << "139.9300";
        QTest::newRow("fractional quantity") << "3.3333" << 0.3 << 1.0 << "1.0000";
        QTest::newRow("negative quantity (returns)") << "10" << -2.5 << 0.95 << "-23.7500";
        QTest::newRow("large amount") << "123456789.1234" << 1000.0 << 1.0 << "123456789123.4000";
    }
    void product() {
        QFETCH(QString, price);
        QFETCH(double, quantity);
        QFETCH(double, factor);
        QFETCH(QString, expected);
        Money p;
        QVERIFY(Money::parse(price, &p));
        QCOMPARE(Money::product(p, quantity, factor).toString(), expected);
    }

    void parseAndFormat_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("four");
        QTest::addColumn<QString>("two");
        QTest::newRow("integer") << "12" << true << "12.0000" << "12.00";
        QTest::newRow("fifth place tie to even down") << "0.00005" << true << "0.0000" << "0.00";
        QTest::newRow("fifth place tie to even up") << "0.00015" << true << "0.0002" << "0.00";
        QTest::newRow("negative tie") << "-0.00025" << true << "-0.0002" << "0.00";
        QTest::newRow("two places half even") << "2.125" << true << "2.1250" << "2.12";
        QTest::newRow("exponent") << "1.5e2" << true << "150.0000" << "150.00";
        QTest::newRow("blanks") << " 7.5 " << true << "7.5000" << "7.50";
        QTest::newRow("letters") << "12a" << false << "" << "";
        QTest::newRow("empty") << "" << false << "" << "";
    }
    void parseAndFormat() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QString, four);
        QFETCH(QString, two);
        Money m;
        QCOMPARE(Money::parse(text, &m), ok);
        if (!ok) return;
        QCOMPARE(m.toString(), four);
        QCOMPARE(m.toString(2), two);
    }

    void storedValuesReadBackExactly() {
        // A four-place value stored as a floating-point number comes back as the same money value.
        for (const char* s : {"0.1", "1234567.8901", "0.0003", "99999999.9999"}) {
            Money m;
            QVERIFY(Money::parse(QString::fromLatin1(s), &m));
            QCOMPARE(Money::fromDouble(m.toDouble()), m);
            QCOMPARE(Money::fromVariant(QVariant(m.toDouble())), m);
        }
    }

    void boundValues() {
        auto d = qv::Dialect::create(qv::Driver::Sqlite);
        QCOMPARE(d->bindValue(QDateTime(QDate(2026, 3, 5), QTime(8, 9, 10))).toString(),
                 QStringLiteral("2026-03-05 08:09:10"));
        QCOMPARE(d->bindValue(QDate(2026, 3, 5)).toString(), QStringLiteral("2026-03-05 00:00:00"));
        QCOMPARE(d->bindValue(true).toInt(), 1);
        QVERIFY(d->bindValue(QVariant(QMetaType(QMetaType::QDateTime))).isNull());
        QCOMPARE(d->bindValue(QStringLiteral("it's")).toString(), QStringLiteral("it's"));
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
