#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "ActivityCommands.h"
#include "Frm_A_Schedule.h"
#include "Frm_Main.h"
#include "IniFile.h"
#include "ScheduleQueries.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"
#include "Workstation.h"

using namespace qv;
using schedule::Period;
using test::child;
using test::click;
using test::textOf;
using test::type;
using test::Workstation;

namespace {

const QDate kToday(2024, 3, 15);  // a Friday

QDateTime at(int days, int h, int m = 0, int s = 0) {
    return QDateTime(kToday.addDays(days), QTime(h, m, s));
}

}  // namespace

// The schedule lists, the list by customer and the reminder window, with the statements they run.
class TestScheduleLists : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }

    void addEntry(const QString& subject, const QVariant& start,
                  const QString& owner = QStringLiteral("Admin"),
                  const QString& company = QStringLiteral("甲公司"), int awoke = 0,
                  const QVariant& awokeDate = QVariant(QMetaType(QMetaType::QDateTime))) {
        db().execute(
            QStringLiteral("insert into T_Schedule (CustCode, Company, Subject, F_User, StartDate, Awoke, "
                           "AwokeDate) values ('KH-1', :c, :s, :u, :d, :a, :ad)"),
            {{"c", company}, {"s", subject}, {"u", owner}, {"d", start}, {"a", awoke}, {"ad", awokeDate}});
    }
    QStringList subjects(const schedule::Statement& s) {
        QSqlQuery q = db().exec(s.sql, s.params);
        QStringList out;
        while (q.next()) out << q.value(QStringLiteral("Subject")).toString();
        out.sort();
        return out;
    }
    void login(std::initializer_list<int> rights) {
        ws->loginAs(QStringLiteral("Admin"), 0, rights);
        mw->reminderTimer()->stop();
    }
    QString iniValue(const QString& key) { return IniFile(ws->data->ini().path()).readString("other", key); }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installActivityCommands(*ws->ctx, *mw);
        login({26, 27, 28, 54, 92});
        ws->clock.at = QDateTime(kToday, QTime(9, 30));
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // Each period takes every moment of its days, for every operator's entries or one's own.
    void periods_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("seesAll");
        QTest::addColumn<QStringList>("listed");
        const QStringList all{"d-1 23:59", "d0 00:00", "d1 00:00", "d1 10:00",
                              "d6 10:00",  "d7 00:00", "other d1"};
        QTest::newRow("all, right 92") << int(Period::All) << true << all;
        QTest::newRow("all, own") << int(Period::All) << false << QStringList(all.mid(0, 6));
        QTest::newRow("today") << int(Period::Today) << true << QStringList{"d0 00:00"};
        QTest::newRow("tomorrow, right 92")
            << int(Period::Tomorrow) << true << QStringList{"d1 00:00", "d1 10:00", "other d1"};
        QTest::newRow("tomorrow, own")
            << int(Period::Tomorrow) << false << QStringList{"d1 00:00", "d1 10:00"};
        QTest::newRow("week") << int(Period::Week) << false
                              << QStringList{"d0 00:00", "d1 00:00", "d1 10:00", "d6 10:00"};
        QTest::newRow("history") << int(Period::History) << true << QStringList{"d-1 23:59"};
    }
    void periods() {
        QFETCH(int, period);
        QFETCH(bool, seesAll);
        QFETCH(QStringList, listed);
        addEntry("d-1 23:59", at(-1, 23, 59, 59));
        addEntry("d0 00:00", at(0, 0));
        addEntry("d1 00:00", at(1, 0));
        addEntry("d1 10:00", at(1, 10));
        addEntry("d6 10:00", at(6, 10));
        addEntry("d7 00:00", at(7, 0));
        addEntry("other d1", at(1, 10), QStringLiteral("李四"));
        const schedule::Viewer viewer{seesAll, QStringLiteral("Admin")};
        QCOMPARE(subjects(schedule::periodStatement(Period(period), viewer, kToday)), listed);
    }

    // The search takes the whole to-date and nothing of the day after, the subject as a prefix.
    void search_data() {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("seesAll");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("any subject, right 92")
            << " " << true << QStringList{"C:\\报价单", "回访 1", "回访 2", "拜访", "李四的"};
        QTest::newRow("any subject, own")
            << "" << false << QStringList{"C:\\报价单", "回访 1", "回访 2", "拜访"};
        QTest::newRow("prefix") << "回访" << true << QStringList{"回访 1", "回访 2"};
        QTest::newRow("wildcard") << "_访" << true << QStringList{"回访 1", "回访 2", "拜访"};
        QTest::newRow("backslash is a character") << "C:\\" << true << QStringList{"C:\\报价单"};
        QTest::newRow("exclamation mark is a character") << "!" << true << QStringList{};
    }
    void search() {
        QFETCH(QString, subject);
        QFETCH(bool, seesAll);
        QFETCH(QStringList, listed);
        addEntry("回访 1", at(-5, 0));  // midnight of the first day
        addEntry("回访 2", at(0, 23, 59, 59));
        addEntry("拜访", at(-2, 8));
        addEntry("李四的", at(-2, 8), QStringLiteral("李四"));
        addEntry("后一天", at(1, 0));
        addEntry("前一天", at(-6, 23, 59));
        addEntry("C:\\报价单", at(-1, 9));
        const schedule::Viewer viewer{seesAll, QStringLiteral("Admin")};
        QCOMPARE(subjects(schedule::searchStatement(subject, kToday.addDays(-5), kToday, viewer)), listed);
    }

    // The list by customer: the company as typed, every operator's entries.
    void byCustomer() {
        addEntry("甲", at(-1, 9));
        addEntry("乙", at(-1, 9), QStringLiteral("李四"), QStringLiteral("乙公司"));
        addEntry("早", at(-40, 9));
        QCOMPARE(subjects(schedule::customerStatement(" ", kToday.addDays(-10), kToday)),
                 (QStringList{"乙", "甲"}));
        QCOMPARE(subjects(schedule::customerStatement("乙公司", kToday.addDays(-10), kToday)),
                 QStringList{"乙"});
        QCOMPARE(subjects(schedule::customerStatement("乙", kToday.addDays(-10), kToday)), QStringList());
    }

    // d = now − 1 day + n days; listed from the start of d's day to the end of d's month, in d's year.
    void reminderRule_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("n");
        QTest::addColumn<QVariant>("awokeDate");
        QTest::addColumn<int>("awoke");
        QTest::addColumn<bool>("listed");
        const QDateTime now(kToday, QTime(9, 30));
        QTest::newRow("d itself at 23:59") << now << 1 << QVariant(at(0, 23, 59)) << 1 << true;
        QTest::newRow("last day of the month")
            << now << 1 << QVariant(QDateTime(QDate(2024, 3, 31), QTime(18, 0))) << 1 << true;
        QTest::newRow("d - 1") << now << 1 << QVariant(at(-1, 12)) << 1 << false;
        QTest::newRow("n 0 takes yesterday") << now << 0 << QVariant(at(-1, 0)) << 1 << true;
        QTest::newRow("next month") << now << 1 << QVariant(QDateTime(QDate(2024, 4, 1), QTime(0, 0))) << 1
                                    << false;
        QTest::newRow("same day last year")
            << now << 1 << QVariant(QDateTime(QDate(2023, 3, 20), QTime(0, 0))) << 1 << false;
        QTest::newRow("same day next year")
            << now << 1 << QVariant(QDateTime(QDate(2025, 3, 20), QTime(0, 0))) << 1 << false;
        QTest::newRow("awoke 0") << now << 1 << QVariant(at(1, 0)) << 0 << false;
        QTest::newRow("no date") << now << 1 << QVariant(QMetaType(QMetaType::QDateTime)) << 1 << false;
        const QDateTime dec(QDate(2024, 12, 31), QTime(8, 0));
        QTest::newRow("December into January")
            << dec << 2 << QVariant(QDateTime(QDate(2025, 1, 20), QTime(0, 0))) << 1 << true;
        QTest::newRow("December to its end")
            << dec << 1 << QVariant(QDateTime(QDate(2024, 12, 31), QTime(23, 0))) << 1 << true;
    }
    void reminderRule() {
        QFETCH(QDateTime, now);
        QFETCH(int, n);
        QFETCH(QVariant, awokeDate);
        QFETCH(int, awoke);
        QFETCH(bool, listed);
        addEntry("提醒", at(0, 9), "李四", "甲公司", awoke, awokeDate);
        db().execute("update T_Schedule set finish='是'");  // finished entries are listed as well
        QCOMPARE(subjects(schedule::reminderStatement(now, n)).size(), listed ? 1 : 0);
    }

    // The reminders read a range of reminder dates through an index, not the whole schedule.
    void reminderRangeUsesAnIndex() {
        QString sql = schedule::reminderStatement(QDateTime(QDate(2024, 3, 15), QTime(9, 0)), 1).sql;
        sql.replace(QLatin1String(":from"), QLatin1String("'2024-03-15 00:00:00'"));
        sql.replace(QLatin1String(":to"), QLatin1String("'2024-04-01 00:00:00'"));
        const bool pg = db().driver() == Driver::Postgres;
        // On a small table the server would rightly read it whole; without a scan it must find an index.
        if (pg) db().execute(QStringLiteral("set enable_seqscan = off"));
        QSqlQuery plan =
            db().exec((pg ? QStringLiteral("explain ") : QStringLiteral("explain query plan ")) + sql);
        QString text;
        while (plan.next()) text += plan.value(plan.record().count() - 1).toString() + QLatin1Char('\n');
        if (pg) db().execute(QStringLiteral("set enable_seqscan = on"));
        QVERIFY2(text.contains(QLatin1String("AwokeDate"), Qt::CaseInsensitive) &&
                     text.contains(QLatin1String("index"), Qt::CaseInsensitive),
                 qPrintable(text));
    }

    // The tool-bar entry opens the list once; a period counts every row of its result.
    void listCountsEveryRow() {
        db().begin();
        for (int i = 0; i < 600; ++i) addEntry(QStringLiteral("s%1").arg(i), at(-i % 40, 10));
        db().commit();
        QAction* open = mw->action(Frm_Main::kScheduleList);
        open->trigger();
        open->trigger();
        QCOMPARE(mw->mdiArea()->subWindowList().size(), 1);
        auto* w = mw->findChild<Frm_A_Schedule*>();
        QVERIFY(w);
        QCOMPARE(child<QDateEdit>(*w, "Date_From")->date(), QDate(2024, 3, 1));
        QCOMPARE(child<QStatusBar>(*w, "StatusBar1")->currentMessage(), QString());
        auto* tree = child<QTreeWidget>(*w, "TreeView1");
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QVERIFY(root->isExpanded());
        QCOMPARE(root->childCount(), 4);
        emit tree->itemDoubleClicked(root, 0);
        QCOMPARE(child<QStatusBar>(*w, "StatusBar1")->currentMessage(),
                 QStringLiteral("当前共有 600 条工作日程记录"));
        emit tree->itemDoubleClicked(root->child(2), 0);  // this week
        QCOMPARE(child<QDateEdit>(*w, "Date_To")->date(), kToday.addDays(6));
        QCOMPARE(child<QStatusBar>(*w, "StatusBar1")->currentMessage(),
                 QStringLiteral("当前共有 15 条工作日程记录"));
    }

    // The login timer opens the reminders by itself only when awoke is 0, and only once.
    void reminderOpensByItself_data() {
        QTest::addColumn<QString>("awoke");  // empty: the key is missing
        QTest::addColumn<bool>("opens");
        QTest::newRow("0") << "0" << true;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("missing") << "" << false;
    }
    void reminderOpensByItself() {
        QFETCH(QString, awoke);
        QFETCH(bool, opens);
        if (!awoke.isEmpty()) QVERIFY(ws->data->ini().writeString("other", "awoke", awoke));
        int shown = 0;
        if (opens)
            ws->onModal([&](QDialog& d) {
                QCOMPARE(d.objectName(), QStringLiteral("Frm_Awoke"));
                ++shown;
            });
        QTimer* timer = mw->reminderTimer();
        timer->setInterval(5);
        timer->start();
        if (opens) {
            QTRY_COMPARE(shown, 1);
            QVERIFY(!timer->isActive());
        } else {
            QTest::qWait(50);  // several ticks pass without a window
            QVERIFY(timer->isActive());
        }
        timer->stop();
    }

    // First start: no Day key shows 0 and writes it on closing; the check box writes awoke at once;
    // an invalid day box is refused and leaves Day as it was.
    void reminderWindowSettings() {
        mw->reminderTimer()->start();
        addEntry("昨天", at(-1, 0), "李四", "甲公司", 1, at(-1, 0));
        ws->onModal([&](QDialog& d) {
            QVERIFY(!mw->reminderTimer()->isActive());
            QCOMPARE(textOf(d, "Edit_Day"), QStringLiteral("0"));
            QVERIFY(!child<QCheckBox>(d, "CB_Awoke")->isChecked());
            click(d, "CB_Awoke");
            QCOMPARE(iniValue("awoke"), QStringLiteral("0"));
            click(d, "Btn_Close");
        });
        mw->action("Menu_Reminder")->trigger();
        QCOMPARE(iniValue("Day"), QStringLiteral("0"));

        ws->onModal([&](QDialog& d) {
            QVERIFY(child<QCheckBox>(d, "CB_Awoke")->isChecked());
            type(d, "Edit_Day", "x1");
            ws->prompter.expect(QStringLiteral("“x1”不是有效的数字。"));
            click(d, "Btn_Refresh");
            click(d, "Btn_Close");
        });
        emit mw->reminderDue();
        QCOMPARE(iniValue("Day"), QStringLiteral("0"));
        QCOMPARE(iniValue("awoke"), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestScheduleLists)
#include "tst_schedule_lists.moc"
