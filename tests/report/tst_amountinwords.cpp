#include <QtTest>

#include "AmountInWords.h"
#include "DbError.h"

using qv::Money;

class TestAmountInWords : public QObject {
    Q_OBJECT
private slots:
    void words_data() {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("expected");  // empty: refused
        QTest::newRow("zero") << "0" << u8"零元零角零分";
        QTest::newRow("ordinary") << "123.45" << u8"壹佰贰拾叁元肆角伍分";
        QTest::newRow("zeros keep their units") << "100" << u8"壹佰零拾零元零角零分";
        QTest::newRow("one milliard") << "1000000000" << u8"壹拾零亿零仟零佰零拾零万零仟零佰零拾零元零角零分";
        QTest::newRow("cents only") << "0.07" << u8"零元零角柒分";
        // Half to even, as the money type prints the figures: 0.005 -> 0.00, 0.015 -> 0.02.
        QTest::newRow("half cent rounds to even down") << "0.005" << u8"零元零角零分";
        QTest::newRow("one and a half cents round to even up") << "0.015" << u8"零元零角贰分";
        QTest::newRow("two and a half cents round to even down") << "0.025" << u8"零元零角贰分";
        QTest::newRow("round carries into yuan") << "9.996" << u8"壹拾零元零角零分";
        QTest::newRow("largest amount")
            << "999999999999.99" << u8"玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分";
        QTest::newRow("10^12 refused") << "1000000000000"
                                       << "";
        QTest::newRow("rounding up to 10^12 refused") << "999999999999.995"
                                                      << "";
        QTest::newRow("negative refused") << "-1"
                                          << "";
    }
    void words() {
        QFETCH(QString, amount);
        QFETCH(QString, expected);
        Money m;
        QVERIFY(Money::parse(amount, &m));
        if (expected.isEmpty()) {
            try {
                qv::amountInWords(m);
                QFAIL("the amount was not refused");
            } catch (const qv::DbError& e) {
                QVERIFY(!e.text().isEmpty());
            }
            return;
        }
        QCOMPARE(qv::amountInWords(m), expected);
    }
};

QTEST_GUILESS_MAIN(TestAmountInWords)
#include "tst_amountinwords.moc"
