#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "ActivityCommands.h"
#include "DBNavigator.h"
#include "Dataset.h"
#include "Frm_Main.h"
#include "NullableDateEdit.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"
#include "Workstation.h"

using namespace qv;
using test::child;
using test::click;
using test::textOf;
using test::type;
using test::Workstation;

// The schedule entry editor, run through the main window's commands on the workbench's lists.
class TestSchedule : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }
    Dataset& entries() { return *ws->data->Qry_Schedule; }

    void addCustomer(const QString& code, const QString& company) {
        db().execute(
            QStringLiteral("insert into custom (CustCode, Company, F_User) values (:c, :n, 'Admin')"),
            {{"c", code}, {"n", company}});
    }
    void addEntry(const QString& subject, const QString& owner, const QDateTime& start) {
        db().execute(
            QStringLiteral("insert into T_Schedule (CustCode, Company, Subject, F_User, StartDate, Awoke) "
                           "values ('KH-1', '甲公司', :s, :u, :d, 0)"),
            {{"s", subject}, {"u", owner}, {"d", start}});
    }
    void openLists() {
        ws->data->OpenQuery(*ws->data->Qry_Cust, QStringLiteral("select * from custom order by CustID"));
        ws->data->OpenQuery(
            entries(),
            QStringLiteral("select * from T_Schedule where CustCode=:CustCode order by ScheduleID"));
        ws->data->Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("KH-1"));
    }
    QVariant entryValue(const QString& subject, const QString& column) {
        return db().scalar(QStringLiteral("select %1 from T_Schedule where Subject=:s").arg(column),
                           {{"s", subject}});
    }
    void run(const char* command, Workstation::Driver driver) {
        ws->onModal(std::move(driver));
        mw->action(QLatin1String(command))->trigger();
    }
    void login(const QString& user, int permit) {
        ws->loginAs(user, permit, {23, 24, 25, 91});
        mw->reminderTimer()->stop();
    }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installActivityCommands(*ws->ctx, *mw);
        login(QStringLiteral("Admin"), 0);
        ws->clock.at = QDateTime(QDate(2024, 3, 15), QTime(9, 30, 12));
        addCustomer(QStringLiteral("KH-1"), QStringLiteral("甲公司"));
        addCustomer(QStringLiteral("KH-2"), QStringLiteral("乙公司"));
        db().execute(QStringLiteral(
            "insert into contact (CustCode, Company, Name) values ('KH-1', '甲公司', ' 张三 ')"));
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // Add mode keeps adding for the current customer; refused entries write nothing.
    void addKeepsAddingForTheCurrentCustomer() {
        openLists();
        run("AddSchedule", [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("添加工作日程"));
            QCOMPARE(child<QPushButton>(d, "Btn_OK")->text(), QStringLiteral("新增(&A)"));
            auto* cust = child<QComboBox>(d, "Combo_Cust");
            QCOMPARE(cust->currentText(), QStringLiteral("甲公司"));
            QVERIFY(!cust->isEnabled());
            QCOMPARE(cust->count(), 0);  // the company list is never read
            QVERIFY(!child<DBNavigator>(d, "DBNavigator1")->isEnabled());
            QCOMPARE(child<QTimeEdit>(d, "Time_Start")->time(), QTime(9, 30, 12));
            QVERIFY(!child<NullableDateEdit>(d, "Date_Awoke")->isChecked());

            ws->prompter.expect(QStringLiteral("事务主题不能为空"), QMessageBox::Ok, QStringLiteral("提醒"));
            click(d, "Btn_OK");

            type(d, "Combo_Subject", QStringLiteral("回访"));
            type(d, "Combo_Type", QStringLiteral("电话"));
            auto* contact = child<QComboBox>(d, "Combo_Contact");
            contact->setFocus();
            QTRY_COMPARE(contact->count(), 1);
            QCOMPARE(contact->itemText(0), QStringLiteral("张三"));
            type(d, "Combo_Contact", QStringLiteral("张三"));
            child<QDateEdit>(d, "Date_Start")->setDate(QDate(2024, 3, 20));
            child<QTimeEdit>(d, "Time_Start")->setTime(QTime(14, 5, 7));
            child<QComboBox>(d, "Combo_Finish")->setCurrentIndex(1);
            child<QCheckBox>(d, "CB_Awoke")->setChecked(true);
            type(d, "Memo1", QStringLiteral("带资料"));
            click(d, "Btn_OK");
            QVERIFY(d.isVisible());
            QCOMPARE(textOf(d, "Combo_Subject"), QString());
            QCOMPARE(textOf(d, "Combo_Contact"), QString());
            QCOMPARE(textOf(d, "Memo1"), QString());
            QCOMPARE(textOf(d, "Combo_Finish"), QStringLiteral("否"));  // kept for the next entry
            QVERIFY(child<QCheckBox>(d, "CB_Awoke")->isChecked());

            type(d, "Combo_Subject", QStringLiteral("送样"));
            auto* awoke = child<NullableDateEdit>(d, "Date_Awoke");
            awoke->setValue(QDateTime(QDate(2024, 3, 18), QTime(0, 0)));
            click(d, "Btn_OK");
            click(d, "Btn_Close");
        });
        QCOMPARE(entryValue("回访", "CustCode").toString(), QStringLiteral("KH-1"));
        QCOMPARE(entryValue("回访", "Company").toString(), QStringLiteral("甲公司"));
        QCOMPARE(entryValue("回访", "Contact").toString(), QStringLiteral("张三"));
        QCOMPARE(entryValue("回访", "StartDate").toDateTime(),
                 QDateTime(QDate(2024, 3, 20), QTime(14, 5, 7)));
        QVERIFY(entryValue("回访", "AwokeDate").isNull());
        QCOMPARE(entryValue("回访", "finish").toString(), QStringLiteral("否"));
        QCOMPARE(entryValue("回访", "Awoke").toInt(), 1);
        QCOMPARE(entryValue("回访", "F_User").toString(), QStringLiteral("Admin"));
        QCOMPARE(entryValue("送样", "AwokeDate").toDateTime().date(), QDate(2024, 3, 18));
        QCOMPARE(entries().rowCount(), 2);  // both show on the customer's schedule page
    }

    // Saving an entry unchanged keeps its time to the second and its customer; the saver owns it.
    void editWithoutChangesKeepsTheEntry() {
        addEntry(QStringLiteral("拜访"), QStringLiteral("李四"),
                 QDateTime(QDate(2024, 3, 16), QTime(10, 11, 12)));
        db().execute(QStringLiteral("update T_Schedule set CustCode='KH-OLD' where Subject='拜访'"));
        ws->data->OpenQuery(entries(), QStringLiteral("select * from T_Schedule order by ScheduleID"));
        run("EditSchedule", [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("编辑工作日程"));
            QCOMPARE(child<QPushButton>(d, "Btn_OK")->text(), QStringLiteral("保存(&S)"));
            QCOMPARE(textOf(d, "Combo_Cust"), QStringLiteral("甲公司"));
            click(d, "Btn_OK");
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(entryValue("拜访", "StartDate").toDateTime(),
                 QDateTime(QDate(2024, 3, 16), QTime(10, 11, 12)));
        QCOMPARE(entryValue("拜访", "CustCode").toString(), QStringLiteral("KH-OLD"));
        QCOMPARE(entryValue("拜访", "F_User").toString(), QStringLiteral("Admin"));
    }

    // An ordinary operator views another's entry without saving it; his own entries can be saved.
    void ordinaryOperatorSavesOnlyHisOwn() {
        login(QStringLiteral("王五"), 1);
        addEntry(QStringLiteral("甲"), QStringLiteral("李四"), QDateTime(QDate(2024, 3, 16), QTime(10, 0)));
        addEntry(QStringLiteral("乙"), QStringLiteral("王五"), QDateTime(QDate(2024, 3, 17), QTime(10, 0)));
        ws->data->OpenQuery(entries(), QStringLiteral("select * from T_Schedule order by ScheduleID"));
        run("EditSchedule", [&](QDialog& d) {
            QVERIFY(!child<QPushButton>(d, "Btn_OK")->isEnabled());
            QCOMPARE(textOf(d, "Combo_Subject"), QStringLiteral("甲"));
            child<DBNavigator>(d, "DBNavigator1")->move(DBNavigator::Button::Next);
            QCOMPARE(textOf(d, "Combo_Subject"), QStringLiteral("乙"));
            QVERIFY(child<QPushButton>(d, "Btn_OK")->isEnabled());
            child<DBNavigator>(d, "DBNavigator1")->move(DBNavigator::Button::Prior);
            QVERIFY(!child<QPushButton>(d, "Btn_OK")->isEnabled());
            click(d, "Btn_Close");
        });
    }

    // A text the database refuses: its message is shown, nothing is saved, the schedule page is
    // usable again and the dialog keeps what was typed.
    void failedPostKeepsTheDialog() {
        openLists();
        run("AddSchedule", [&](QDialog& d) {
            child<QComboBox>(d, "Combo_Type")->lineEdit()->setMaxLength(200);  // let an overlong text through
            type(d, "Combo_Subject", QStringLiteral("回访"));
            type(d, "Combo_Type", QString(60, QLatin1Char('x')));
            ws->prompter.expectCaption(QStringLiteral("错误"));  // the database's own text
            click(d, "Btn_OK");
            QCOMPARE(ws->prompter.shown().size(), 1);
            QCOMPARE(ws->prompter.shown().first().icon, QMessageBox::Critical);
            QVERIFY(d.isVisible());
            QCOMPARE(textOf(d, "Combo_Type"), QString(60, QLatin1Char('x')));
            QCOMPARE(entries().state(), Dataset::State::Browse);
            QCOMPARE(entries().rowCount(), 0);
            type(d, "Combo_Type", QStringLiteral("电话"));
            click(d, "Btn_OK");
            click(d, "Btn_Close");
        });
        QCOMPARE(entryValue("回访", "Type").toString(), QStringLiteral("电话"));
        QCOMPARE(entries().rowCount(), 1);
    }
};

QTEST_MAIN(TestSchedule)
#include "tst_schedule.moc"
