#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "CustomerEditorCommands.h"
#include "Frm_Main.h"
#include "NullableDateEdit.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using test::Workstation;
using test::child;
using test::click;
using test::textOf;
using test::type;

namespace {

const QString kAskDelete = QStringLiteral("你确定要删除该联系人吗！");
const QString kNotYours = QStringLiteral("不是你的联系人，你没有权限删除！");

}  // namespace

class TestContacts : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }
    Dataset& customers() { return *ws->data->Qry_Cust; }
    Dataset& contacts() { return *ws->data->Qry_Contact; }

    void addCustomer(const QString& code, const QString& company) {
        db().execute(QStringLiteral("insert into custom (CustCode, Company, Address, PostCode, F_User) "
                                    "values (:c, :n, '文一路 1 号', '310000', 'Admin')"),
                     {{"c", code}, {"n", company}});
    }
    void addContact(const QString& code, const QString& name, bool main, const QString& owner = "Admin",
                    const QVariant& birthday = QVariant()) {
        db().execute(QStringLiteral("insert into contact (CustCode, Company, Name, Main, F_User, Birthday) "
                                    "values (:c, '甲公司', :n, :m, :u, :b)"),
                     {{"c", code},
                      {"n", name},
                      {"m", main ? 1 : 0},
                      {"u", owner},
                      {"b", birthday.isValid() ? birthday : QVariant(QMetaType(QMetaType::QDateTime))}});
    }
    // The workbench's lists: every customer, and the contacts of the current one.
    void openLists(const QString& current = QStringLiteral("KH-A01")) {
        ws->data->OpenQuery(customers(), QStringLiteral("select * from custom order by CustID"));
        ws->data->OpenQuery(
            contacts(), QStringLiteral("select * from contact where CustCode=:CustCode order by ContactId"));
        customers().locate(QStringLiteral("CustCode"), current);
    }
    QString mainContact(const QString& code = QStringLiteral("KH-A01")) {
        return db()
            .scalar(QStringLiteral("select MainContact from custom where CustCode=:c"), {{"c", code}})
            .toString();
    }
    QVariant contactValue(const QString& name, const QString& column) {
        return db().scalar(QStringLiteral("select %1 from contact where Name=:n").arg(column), {{"n", name}});
    }
    void run(const char* command, Workstation::Driver driver) {
        ws->onModal(std::move(driver));
        mw->action(QLatin1String(command))->trigger();
    }
    void login(const QString& user, int permit) {
        ws->loginAs(user, permit, {30, 31, 32, 91});
        mw->reminderTimer()->stop();
    }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installCustomerEditorCommands(*ws->ctx, *mw);
        login(QStringLiteral("Admin"), 0);
        ws->clock.at = QDateTime(QDate(2024, 3, 15), QTime(9, 30));
        // A customer code with letters and signs.
        addCustomer(QStringLiteral("KH-A01"), QStringLiteral("甲公司"));
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void addKeepsAddingAndSetsMainContact() {
        openLists();
        run("AddContact", [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("添加联系人"));
            QCOMPARE(child<QPushButton>(d, QStringLiteral("Btn_Save"))->text(), QStringLiteral("新增(&A)"));
            QCOMPARE(textOf(d, QStringLiteral("Combo_Cust")), QStringLiteral("甲公司"));
            QVERIFY(!child<QComboBox>(d, QStringLiteral("Combo_Cust"))->isEnabled());
            QCOMPARE(textOf(d, QStringLiteral("Edit_Address")), QStringLiteral("文一路 1 号"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_PostCode")), QStringLiteral("310000"));
            QVERIFY(child<QCheckBox>(d, QStringLiteral("CB_Main"))->isChecked());
            QVERIFY(!child<NullableDateEdit>(d, QStringLiteral("DateTimePicker1"))->isChecked());

            type(d, QStringLiteral("Edit_Name"), QStringLiteral("张三"));
            type(d, QStringLiteral("Combo_Zw"), QStringLiteral("经理"));
            QTest::keyClicks(child<QLineEdit>(d, QStringLiteral("Edit_Tel")), QStringLiteral("0571-88"));
            type(d, QStringLiteral("Edit_Email"), QStringLiteral(" z@b.cn "));
            click(d, QStringLiteral("Btn_Save"));
            QVERIFY(d.isVisible());
            // Ready for the next contact of the same customer.
            QCOMPARE(textOf(d, QStringLiteral("Edit_Name")), QString());
            QCOMPARE(textOf(d, QStringLiteral("Combo_Zw")), QString());
            QCOMPARE(textOf(d, QStringLiteral("Edit_Tel")), QString());
            QCOMPARE(textOf(d, QStringLiteral("Combo_Cust")), QStringLiteral("甲公司"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_Address")), QStringLiteral("文一路 1 号"));
            QVERIFY(child<QCheckBox>(d, QStringLiteral("CB_Main"))->isChecked());

            type(d, QStringLiteral("Edit_Name"), QStringLiteral("李四"));
            click(d, QStringLiteral("Btn_Save"));
            child<QCheckBox>(d, QStringLiteral("CB_Main"))->setChecked(false);
            type(d, QStringLiteral("Edit_Name"), QStringLiteral("王五"));
            click(d, QStringLiteral("Btn_Save"));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("Main")).toInt(), 1);
        QCOMPARE(contactValue(QStringLiteral("李四"), QStringLiteral("Main")).toInt(), 1);
        QCOMPARE(contactValue(QStringLiteral("王五"), QStringLiteral("Main")).toInt(), 0);
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("Tel")).toString(),
                 QStringLiteral("057188"));
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("Email")).toString(),
                 QStringLiteral(" z@b.cn "));
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("Position")).toString(),
                 QStringLiteral("经理"));
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("F_User")).toString(),
                 QStringLiteral("Admin"));
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("CustCode")).toString(),
                 QStringLiteral("KH-A01"));
        QVERIFY(contactValue(QStringLiteral("张三"), QStringLiteral("Birthday")).isNull());
        // The last one saved ticked is the main contact, also in the shared customer list.
        QCOMPARE(mainContact(), QStringLiteral("李四"));
        QCOMPARE(customers().text(QStringLiteral("MainContact")), QStringLiteral("李四"));
        QCOMPARE(contacts().rowCount(), 3);
    }

    void editUntickingKeepsMainContact() {
        addContact(QStringLiteral("KH-A01"), QStringLiteral("张三"), true);
        db().execute(QStringLiteral("update custom set MainContact='张三'"));
        openLists();
        bool closed = false;
        run("EditContact", [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("编辑联系人"));
            QCOMPARE(child<QPushButton>(d, QStringLiteral("Btn_Save"))->text(), QStringLiteral("保存(&S)"));
            QVERIFY(child<QCheckBox>(d, QStringLiteral("CB_Main"))->isChecked());
            child<QCheckBox>(d, QStringLiteral("CB_Main"))->setChecked(false);
            type(d, QStringLiteral("Edit_Mobile"), QStringLiteral("139"));
            click(d, QStringLiteral("Btn_Save"));
            closed = d.result() == QDialog::Accepted;
        });
        QVERIFY(closed);
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("Main")).toInt(), 0);
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("Mobile")).toString(),
                 QStringLiteral("139"));
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("F_User")).toString(),
                 QStringLiteral("Admin"));
        QCOMPARE(mainContact(), QStringLiteral("张三"));
    }

    void navigatorReloads() {
        addContact(QStringLiteral("KH-A01"), QStringLiteral("张三"), true);
        addContact(QStringLiteral("KH-A01"), QStringLiteral("李四"), false);
        openLists();
        run("EditContact", [&](QDialog& d) {
            QCOMPARE(textOf(d, QStringLiteral("Edit_Name")), QStringLiteral("张三"));
            QTest::mouseClick(child<QToolButton>(d, QStringLiteral("Nav_Next")), Qt::LeftButton);
            QCOMPARE(textOf(d, QStringLiteral("Edit_Name")), QStringLiteral("李四"));
            QVERIFY(!child<QCheckBox>(d, QStringLiteral("CB_Main"))->isChecked());
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(contacts().text(QStringLiteral("Name")), QStringLiteral("李四"));
    }

    void ownership_data() {
        QTest::addColumn<int>("permit");
        QTest::addColumn<bool>("own");
        QTest::addColumn<bool>("canSave");
        QTest::addColumn<bool>("canDelete");
        QTest::newRow("ordinary operator, own contact") << 1 << true << true << true;
        QTest::newRow("ordinary operator, another's contact") << 1 << false << false << false;
        QTest::newRow("manager, another's contact") << 0 << false << true << true;
        // Saving is refused only to ordinary operators; deleting to everyone but managers.
        QTest::newRow("other role, another's contact") << 2 << false << true << false;
    }
    void ownership() {
        QFETCH(int, permit);
        QFETCH(bool, own);
        QFETCH(bool, canSave);
        QFETCH(bool, canDelete);
        login(QStringLiteral("王五"), permit);
        addContact(QStringLiteral("KH-A01"), QStringLiteral("张三"), false, own ? "王五" : "赵六");
        openLists();
        run("EditContact", [&](QDialog& d) {
            QCOMPARE(child<QPushButton>(d, QStringLiteral("Btn_Save"))->isEnabled(), canSave);
            if (canSave) {
                type(d, QStringLiteral("Edit_Fax"), QStringLiteral("1"));
                click(d, QStringLiteral("Btn_Save"));
            } else {
                click(d, QStringLiteral("Btn_Close"));
            }
        });
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("Fax")).toString(),
                 canSave ? QStringLiteral("1") : QString());
        if (canDelete)
            ws->prompter.expect(kAskDelete, QMessageBox::Yes);
        else
            ws->prompter.expect(kNotYours, QMessageBox::Ok);
        mw->action(QStringLiteral("DelContact"))->trigger();
        QCOMPARE(db().scalar(QStringLiteral("select count(*) from contact")).toInt(), canDelete ? 0 : 1);
        QCOMPARE(contacts().rowCount(), canDelete ? 0 : 1);
    }

    void deleteAsksFirst() {
        addContact(QStringLiteral("KH-A01"), QStringLiteral("张三"), false);
        openLists();
        ws->prompter.expect(kAskDelete, QMessageBox::No, QStringLiteral("询问"));
        mw->action(QStringLiteral("DelContact"))->trigger();
        QCOMPARE(db().scalar(QStringLiteral("select count(*) from contact")).toInt(), 1);
        // Nothing to delete: no question.
        ws->data->OpenQuery(contacts(), QStringLiteral("select * from contact where 1=0"));
        mw->action(QStringLiteral("DelContact"))->trigger();
    }

    void deletingTheMainContact_data() {
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("mainAfter");
        // 张三 and 李四 are main contacts, 李四 saved last; 王五 is not a main contact.
        QTest::newRow("the main contact: the other main contact follows") << "李四"
                                                                          << "张三";
        QTest::newRow("an earlier main contact") << "张三"
                                                 << "李四";
        QTest::newRow("not a main contact") << "王五"
                                            << "李四";
    }
    void deletingTheMainContact() {
        QFETCH(QString, deleted);
        QFETCH(QString, mainAfter);
        addContact(QStringLiteral("KH-A01"), QStringLiteral("张三"), true);
        addContact(QStringLiteral("KH-A01"), QStringLiteral("李四"), true);
        addContact(QStringLiteral("KH-A01"), QStringLiteral("王五"), false);
        db().execute(QStringLiteral("update custom set MainContact='李四'"));
        openLists();
        QVERIFY(contacts().locate(QStringLiteral("Name"), deleted));
        ws->prompter.expect(kAskDelete, QMessageBox::Yes);
        mw->action(QStringLiteral("DelContact"))->trigger();
        QCOMPARE(mainContact(), mainAfter);
        QCOMPARE(customers().text(QStringLiteral("MainContact")), mainAfter);
        QCOMPARE(db().scalar(QStringLiteral("select count(*) from contact")).toInt(), 2);
    }

    void deletingTheOnlyMainContactClearsIt() {
        addContact(QStringLiteral("KH-A01"), QStringLiteral("张三"), true);
        db().execute(QStringLiteral("update custom set MainContact='张三'"));
        openLists();
        ws->prompter.expect(kAskDelete, QMessageBox::Yes);
        mw->action(QStringLiteral("DelContact"))->trigger();
        QCOMPARE(mainContact(), QString());
    }

    void birthday_data() {
        QTest::addColumn<QDate>("stored");
        QTest::addColumn<int>("action");  // 0 leave, 1 untick, 2 tick with the date below
        QTest::addColumn<QDate>("picked");
        QTest::addColumn<QDate>("expected");
        const QDate b(1990, 5, 1), p(1985, 2, 3);
        QTest::newRow("empty stays empty") << QDate() << 0 << QDate() << QDate();
        QTest::newRow("set stays set") << b << 0 << QDate() << b;
        QTest::newRow("saved unticked keeps the stored date") << b << 1 << QDate() << b;
        QTest::newRow("ticked stores the shown date") << QDate() << 2 << p << p;
        QTest::newRow("another date replaces it") << b << 2 << p << p;
    }
    void birthday() {
        QFETCH(QDate, stored);
        QFETCH(int, action);
        QFETCH(QDate, picked);
        QFETCH(QDate, expected);
        addContact(QStringLiteral("KH-A01"), QStringLiteral("张三"), false, QStringLiteral("Admin"),
                   stored.isValid() ? QVariant(stored.startOfDay()) : QVariant());
        openLists();
        run("EditContact", [&](QDialog& d) {
            auto* picker = child<NullableDateEdit>(d, QStringLiteral("DateTimePicker1"));
            QCOMPARE(picker->isChecked(), stored.isValid());
            if (stored.isValid()) QCOMPARE(picker->date(), stored);
            if (action == 1) QTest::mouseClick(picker->checkBox(), Qt::LeftButton);
            if (action == 2) {
                if (!picker->isChecked()) QTest::mouseClick(picker->checkBox(), Qt::LeftButton);
                picker->editor()->setDate(picked);
            }
            click(d, QStringLiteral("Btn_Save"));
        });
        const QVariant v = contactValue(QStringLiteral("张三"), QStringLiteral("Birthday"));
        QCOMPARE(v.isNull(), !expected.isValid());
        if (expected.isValid()) QCOMPARE(v.toDateTime().date(), expected);
    }

    void refusals() {
        openLists();
        ws->prompter.expect(QStringLiteral("联系人姓名不能为空"), QMessageBox::Ok, QStringLiteral("警告"));
        run("AddContact", [&](QDialog& d) {
            type(d, QStringLiteral("Edit_Name"), QStringLiteral("  "));
            click(d, QStringLiteral("Btn_Save"));
            QCOMPARE(d.focusWidget()->objectName(), QStringLiteral("Edit_Name"));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(db().scalar(QStringLiteral("select count(*) from contact")).toInt(), 0);
    }

    void sharedCompanyNameStaysWithTheCurrentCustomer() {
        addCustomer(QStringLiteral("KH-B02"), QStringLiteral("甲公司"));
        openLists(QStringLiteral("KH-B02"));
        run("AddContact", [&](QDialog& d) {
            type(d, QStringLiteral("Edit_Name"), QStringLiteral("张三"));
            click(d, QStringLiteral("Btn_Save"));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(contactValue(QStringLiteral("张三"), QStringLiteral("CustCode")).toString(),
                 QStringLiteral("KH-B02"));
        QCOMPARE(mainContact(QStringLiteral("KH-B02")), QStringLiteral("张三"));
        QCOMPARE(mainContact(QStringLiteral("KH-A01")), QString());
    }

    void commandsNeedRows() {
        // No customers in the list: adding does nothing; no contacts: editing does nothing.
        ws->data->OpenQuery(customers(), QStringLiteral("select * from custom where 1=0"));
        mw->action(QStringLiteral("AddContact"))->trigger();
        openLists();
        mw->action(QStringLiteral("EditContact"))->trigger();
    }

    void mailAndListEditors() {
        QStringList opened;
        for (const char* entry : {"Menu_Position", "Menu_Department"}) {
            const QString name = QLatin1String(entry);
            mw->setHandler(name, [&opened, name] { opened << name; });
        }
        ws->loginAs(QStringLiteral("Admin"), 0, {30, 80, 81});
        mw->reminderTimer()->stop();
        db().execute(QStringLiteral("insert into Dict_zw (name) values (' 总经理助理 ')"));
        openLists();
        run("AddContact", [&](QDialog& d) {
            type(d, QStringLiteral("Edit_Email"), QStringLiteral(" z@b.cn "));
            QTest::mouseDClick(child<QLineEdit>(d, QStringLiteral("Edit_Email")), Qt::LeftButton);
            click(d, QStringLiteral("Btn_Zw"));
            click(d, QStringLiteral("Btn_Depart"));
            auto* zw = child<QComboBox>(d, QStringLiteral("Combo_Zw"));
            zw->showPopup();
            zw->hidePopup();
            QVERIFY(zw->findText(QStringLiteral("总经理助理")) >= 0);
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(ws->shell.opened, QStringList{QStringLiteral("mailto:z@b.cn")});
        QCOMPARE(opened, QStringList({"Menu_Position", "Menu_Department"}));
    }
};

QTEST_MAIN(TestContacts)
#include "tst_contacts.moc"
