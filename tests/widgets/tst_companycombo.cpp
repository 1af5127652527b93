#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "CompanyComboBox.h"
#include "Database.h"
#include "Money.h"
#include "TestDb.h"
#include "Workstation.h"

using namespace qv;
using test::TestDb;
using test::Workstation;

// The customer drop-down that completes over the database, and the money range the amount boxes use.
class TstCompanyCombo : public QObject {
    Q_OBJECT

    std::unique_ptr<Workstation> ws_;

    void addCustomers(const QStringList& companies) {
        int n = 0;
        for (const QString& c : companies)
            ws_->db().execute(
                QStringLiteral("insert into custom (CustCode, Company) values (:code, :company)"),
                {{QStringLiteral("code"), QStringLiteral("C%1").arg(++n)}, {QStringLiteral("company"), c}});
    }

private slots:
    void init() { ws_ = std::make_unique<Workstation>(TestDb::fresh()); }
    void cleanup() {
        QVERIFY_WORKSTATION(*ws_);
        ws_.reset();
    }

    void namesStartingWith_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("first names") << "" << 3 << QStringList{"Acme", "acme west", "Beta"};
        QTest::newRow("prefix, any case") << "ACME" << 10 << QStringList{"Acme", "acme west"};
        QTest::newRow("limit") << "a" << 1 << QStringList{"Acme"};
        QTest::newRow("duplicates once, trimmed") << "Gam" << 10 << QStringList{"Gamma"};
        QTest::newRow("wildcard kept") << "%ta" << 10 << QStringList{"Beta", "Zeta"};
        QTest::newRow("nothing") << "Q" << 10 << QStringList{};
    }
    void namesStartingWith() {
        QFETCH(QString, prefix);
        QFETCH(int, limit);
        QFETCH(QStringList, names);
        addCustomers({"Zeta", "Gamma", "Beta", "acme west", "Acme", "Gamma  "});
        QCOMPARE(CompanyComboBox::namesStartingWith(ws_->db(), prefix, limit), names);
    }

    // Nothing is read until the list opens or the operator types; typing offers names and keeps the
    // typed text as it was typed.
    void typingCompletesAndKeepsTheText() {
        addCustomers({"Acme", "Acme West", "Beta"});
        CompanyComboBox box;
        box.setDatabase(&ws_->db());
        box.setPrompter(&ws_->prompter);
        QCOMPARE(box.count(), 0);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.lineEdit()->setFocus();
        QTest::keyClicks(box.lineEdit(), QStringLiteral("acm"));
        QCOMPARE(box.offered(), (QStringList{"Acme", "Acme West"}));
        QCOMPARE(box.currentText(), QStringLiteral("acm"));
        QCOMPARE(box.count(), 0);  // the items stay unread until the list opens

        box.showPopup();
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.currentText(), QStringLiteral("acm"));
        box.hidePopup();
    }

    void moneyRange_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("units");
        QTest::newRow("largest") << "922337203685477.5807" << true
                                 << qint64(std::numeric_limits<qint64>::max());
        QTest::newRow("smallest") << "-922337203685477.5808" << true
                                  << qint64(std::numeric_limits<qint64>::min());
        QTest::newRow("one more") << "922337203685477.5808" << false << qint64(0);
        QTest::newRow("wrapped before") << "1000000000000000" << false << qint64(0);
        QTest::newRow("below") << "-1e15" << false << qint64(0);
        QTest::newRow("rounds into range")
            << "922337203685477.58074" << true << qint64(std::numeric_limits<qint64>::max());
    }
    void moneyRange() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qint64, units);
        Money m = Money::fromUnits(42);
        QCOMPARE(Money::parse(text, &m), ok);
        QCOMPARE(m.units(), ok ? units : qint64(42));  // a refused text leaves the value alone
    }
};

QTEST_MAIN(TstCompanyCombo)
#include "tst_companycombo.moc"
