// The test harness itself: what the scripted prompter answers and reports, what a workstation reports
// when a test case ends, how a missing control fails a case, and when test databases are removed.
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

#include "TestDb.h"
#include "Transaction.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using test::ScriptedPrompter;
using test::Workstation;

using MB = QMessageBox;
Q_DECLARE_METATYPE(QMessageBox::StandardButtons)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class TestHarness : public test::WindowTest {
    Q_OBJECT

    bool needsWorkstation(const char* function) const override {
        return !QByteArrayList{"safeButton",
                               "prompterReports",
                               "expectCaption",
                               "missingControlFailsTheCase",
                               "forgottenCheckFailsTheCase",
                               "caseDatabasesAreRemoved"}
                    .contains(function);
    }

private slots:
    // An unscripted message is answered with the button that changes nothing.
    void safeButton_data() {
        QTest::addColumn<MB::StandardButtons>("buttons");
        QTest::addColumn<MB::StandardButton>("answer");
        QTest::newRow("yes/no") << (MB::Yes | MB::No) << MB::No;
        QTest::newRow("ok/cancel") << (MB::Ok | MB::Cancel) << MB::Cancel;
        QTest::newRow("yes/no/cancel") << (MB::Yes | MB::No | MB::Cancel) << MB::No;
        QTest::newRow("retry/cancel") << (MB::Retry | MB::Cancel) << MB::Cancel;
        QTest::newRow("only ok") << MB::StandardButtons(MB::Ok) << MB::Ok;
        QTest::newRow("only yes") << MB::StandardButtons(MB::Yes) << MB::Yes;
    }
    void safeButton() {
        QFETCH(MB::StandardButtons, buttons);
        QFETCH(MB::StandardButton, answer);
        ScriptedPrompter p;
        QCOMPARE(
            p.message(QStringLiteral("删除吗？"), QStringLiteral("警告"), MB::Question, buttons, nullptr),
            answer);
        const QStringList problems = p.takeProblems();
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().contains(QStringLiteral("删除吗？")), qPrintable(problems.first()));
    }

    // Each kind of problem is reported, once.
    void prompterReports() {
        ScriptedPrompter p;
        p.expect(QStringLiteral("甲"), MB::Yes, QStringLiteral("询问"));
        p.expect(QStringLiteral("乙"));
        p.nextFile(QStringLiteral("/tmp/a.xls"));
        // Right text, wrong caption: not the expected message.
        QCOMPARE(
            p.message(QStringLiteral("甲"), QStringLiteral("警告"), MB::Question, MB::Yes | MB::No, nullptr),
            MB::No);
        QCOMPARE(p.openFileName(QStringLiteral("打开"), QString(), QString(), nullptr),
                 QStringLiteral("/tmp/a.xls"));
        QCOMPARE(p.saveFileName(QStringLiteral("另存为"), QString(), QString(), nullptr), QString());
        QStringList problems = p.takeProblems();
        QCOMPARE(problems.size(), 4);
        QVERIFY(problems[0].startsWith(QStringLiteral("unexpected message: \"甲\" (caption \"警告\")")));
        QVERIFY(problems[1].contains(QStringLiteral("另存为")));
        QCOMPARE(problems[2], QStringLiteral("expected message not shown: \"甲\""));
        QCOMPARE(problems[3], QStringLiteral("expected message not shown: \"乙\""));
        QVERIFY(p.takeProblems().isEmpty());

        p.nextFile(QStringLiteral("/tmp/b.xls"));
        QCOMPARE(p.takeProblems(), QStringList{QStringLiteral("file answer not used: \"/tmp/b.xls\"")});
    }

    // "This many messages with this caption", whatever their text.
    void expectCaption() {
        ScriptedPrompter p;
        p.expectCaption(QStringLiteral("错误"), MB::Ok, 2).expect(QStringLiteral("完成"));
        for (const char* text : {"第一", "第二"})
            QCOMPARE(
                p.message(QString::fromUtf8(text), QStringLiteral("错误"), MB::Critical, MB::Ok, nullptr),
                MB::Ok);
        QCOMPARE(p.message(QStringLiteral("第三"), QStringLiteral("错误"), MB::Critical, MB::Ok, nullptr),
                 MB::Ok);
        QCOMPARE(p.message(QStringLiteral("完成"), QStringLiteral("提示"), MB::Information, MB::Ok, nullptr),
                 MB::Ok);
        QCOMPARE(p.takeProblems().size(), 1);  // the third error

        p.expectCaption(QStringLiteral("错误"), MB::Ok, 2);
        p.message(QStringLiteral("第一"), QStringLiteral("错误"), MB::Critical, MB::Ok, nullptr);
        QCOMPARE(
            p.takeProblems(),
            QStringList{QStringLiteral("expected message not shown: 1 message(s) with caption \"错误\"")});
    }

    // A prompter whose test forgot to check it still fails the case when it goes.
    void forgottenCheckFailsTheCase() {
        QEXPECT_FAIL("", "the expected message was never shown", Continue);
        {
            ScriptedPrompter p;
            p.expect(QStringLiteral("甲"));
        }
        ScriptedPrompter checked;
        checked.expect(QStringLiteral("乙"));
        QVERIFY(!checked.verify());  // reported here, not again when it goes
    }

    // Dialog drivers not used, dialogs without a driver, dialogs left open.
    void workstationReports() {
        QDialog d;
        d.setObjectName(QStringLiteral("Frm_Probe"));
        QCOMPARE(ws->ctx->runModal(d), int(QDialog::Rejected));  // no driver queued
        QCOMPARE(ws->takeProblems(), QStringList{QStringLiteral("dialog without a driver: Frm_Probe/")});
        ws->onModal([](QDialog& d) { d.accept(); });
        QVERIFY(!ws->allDriversUsed());
        QCOMPARE(ws->takeProblems(),
                 QStringList{QStringLiteral("1 dialog driver(s) not used: the dialog did not open")});

        ws->onModal([](QDialog& d) { d.accept(); });
        QCOMPARE(ws->ctx->runModal(d), int(QDialog::Accepted));
        QVERIFY(ws->takeProblems().isEmpty());

        d.show();
        QCOMPARE(Workstation::closeOpenDialogs(),
                 QStringList{QStringLiteral("dialog left open: Frm_Probe/")});
        QVERIFY(!d.isVisible());
    }

    // A second workstation has a connection of its own: it sees what the first one committed.
    void anotherWorkstation() {
        const auto other = ws->another();
        const QString count = QStringLiteral("select count(*) from Dict_Type where name = '别处'");
        {
            Transaction t(ws->db());
            ws->db().execute(QStringLiteral("insert into Dict_Type (name) values ('别处')"));
            QCOMPARE(other->db().scalar(count).toInt(), 0);  // not yet committed
            t.commit();
        }
        QCOMPARE(other->db().scalar(count).toInt(), 1);
    }

    // A control the test looks for and does not find fails the case; the test goes on with a stand-in.
    void missingControlFailsTheCase() {
        QDialog d;
        d.setObjectName(QStringLiteral("Frm_Probe"));
        QEXPECT_FAIL("", "the control does not exist", Continue);
        QLineEdit* e = test::child<QLineEdit>(d, "Edit_None");
        QVERIFY(e);
        QVERIFY(e->parent() != &d);
        QEXPECT_FAIL("", "the control does not exist", Continue);
        QCOMPARE(test::textOf(d, QStringLiteral("Edit_None")), QString());
    }

    // The databases of a case are gone when the case ends, on either server.
    void caseDatabasesAreRemoved() {
        const ConnectionSettings s = test::TestDb::fresh();
        test::TestDb::endCase();
        if (!test::TestDb::usingPostgres()) {
            QVERIFY(!QFile::exists(s.database));
            return;
        }
        Database server(QStringLiteral("probe"));
        QVERIFY(server.open(ConnectionSettings::fromKeywords(qEnvironmentVariable("QUORVAN_TEST_PG"),
                                                             QStringLiteral("postgres"))));
        QCOMPARE(server
                     .scalar(QStringLiteral("select count(*) from pg_database where datname = :n"),
                             {{QStringLiteral("n"), s.database}})
                     .toInt(),
                 0);
    }
};

QTEST_MAIN(TestHarness)
#include "tst_harness.moc"
