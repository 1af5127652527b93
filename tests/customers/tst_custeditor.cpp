#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "CodeSequence.h"
#include "CustomerCodes.h"
#include "CustomerEditorCommands.h"
#include "Frm_Main.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using test::child;
using test::click;
using test::textOf;
using test::type;
using test::Workstation;

namespace {

const QString kNotice = QStringLiteral("提醒");
const QString kFormConfig = QStringLiteral("FormConfig");

}  // namespace

class TestCustEditor : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }
    Dataset& customers() { return *ws->data->Qry_Cust; }

    void addCustomer(const QString& code, const QString& company,
                     const QString& user = QStringLiteral("Admin")) {
        db().execute(QStringLiteral("insert into custom (CustCode, Company, F_User) values (:c, :n, :u)"),
                     {{"c", code}, {"n", company}, {"u", user}});
    }
    // One row in each of the nine tables that repeat the customer code; the contact, schedule entry
    // and bill also repeat the company name.
    void addRelatedRows(const QString& code, const QString& company) {
        const Params p{{"c", code}, {"n", company}};
        db().execute(QStringLiteral("insert into contact (CustCode, Name, Company) values (:c, 'x', :n)"), p);
        db().execute(QStringLiteral("insert into T_Schedule (CustCode, Company) values (:c, :n)"), p);
        db().execute(QStringLiteral("insert into T_sale (BillCode, CustCode, Custname) values (:c, :c, :n)"),
                     p);
        for (const char* t : {"T_price", "T_SaleDetail", "T_visit", "T_feedback", "T_trackcust", "T_bargain"})
            db().execute(QStringLiteral("insert into %1 (custcode) values (:c)").arg(QLatin1String(t)), p);
    }
    int count(const QString& sql, const Params& p = {}) { return db().scalar(sql, p).toInt(); }
    QVariant customerValue(const QString& code, const QString& column) {
        return db().scalar(QStringLiteral("select %1 from custom where CustCode=:c").arg(column),
                           {{"c", code}});
    }
    void openCustomers() {
        ws->data->OpenQuery(customers(), QStringLiteral("select * from custom order by CustID"));
    }
    // Opens the editor through the main window's command; the driver works the dialog.
    void run(const char* command, Workstation::Driver driver) {
        ws->onModal(std::move(driver));
        mw->action(QLatin1String(command))->trigger();
    }
    static const QStringList& nineTables() {
        static const QStringList t{"contact", "T_Schedule", "T_price",     "T_sale",   "T_SaleDetail",
                                   "T_visit", "T_feedback", "T_trackcust", "T_bargain"};
        return t;
    }
    int rowsWithCode(const QString& table, const QString& code) {
        return count(QStringLiteral("select count(*) from %1 where CustCode=:c").arg(table), {{"c", code}});
    }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installCustomerEditorCommands(*ws->ctx, *mw);
        ws->loginAsAdmin();
        mw->reminderTimer()->stop();
        ws->clock.at = QDateTime(QDate(2024, 3, 15), QTime(9, 30));
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // --- automatic codes -------------------------------------------------------------------------

    void nextCode_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("next");
        QTest::newRow("tail carries") << "KH0009"
                                      << "KH0010";
        QTest::newRow("tail carries into the thousands") << "KH0999"
                                                         << "KH1000";
        QTest::newRow("digits only") << "0012"
                                     << "0013";
        QTest::newRow("short code gets four digits") << "12"
                                                     << "0013";
        QTest::newRow("one digit") << "7"
                                   << "0008";
        QTest::newRow("tail overflows into a fifth digit") << "A9999"
                                                           << "A10000";
        QTest::newRow("head with digits of its own") << "2024-0041"
                                                     << "2024-0042";
        QTest::newRow("letters in the tail") << "KH12"
                                             << "";
        QTest::newRow("letters only") << "ABCD"
                                      << "";
        QTest::newRow("blank in the tail") << "KH 12"
                                           << "";
        QTest::newRow("sign in the tail") << "K-123"
                                          << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void nextCode() {
        QFETCH(QString, code);
        QFETCH(QString, next);
        QCOMPARE(codeseq::nextCode(code), next);
        QCOMPARE(codeseq::tailIsNumber(code), !next.isEmpty());
    }

    // --- checks, in their order ------------------------------------------------------------------

    void refusals_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("company");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString noCode = QStringLiteral("客户编号不能为空!"),
                      noName = QStringLiteral("公司名称不能为空!");
        const QString tail = QStringLiteral("您选择了自动编码,请保持房源编码最后四位为数字");
        const QString codeTaken = QStringLiteral("客户编号有重复!"),
                      nameTaken = QStringLiteral("客户名称有重复!");
        // The database holds KH0001 "甲公司".
        QTest::newRow("empty code") << ""
                                    << "乙公司" << false << noCode << "Edit_Code";
        QTest::newRow("blank code") << "   "
                                    << "乙公司" << false << noCode << "Edit_Code";
        QTest::newRow("code before company") << ""
                                             << "" << false << noCode << "Edit_Code";
        QTest::newRow("blank company") << "KH0002"
                                       << "   " << false << noName << "Edit_CustName";
        QTest::newRow("company before duplicate code") << "KH0001"
                                                       << "" << false << noName << "Edit_CustName";
        QTest::newRow("automatic, letters") << "ABCD"
                                            << "乙公司" << true << tail << "Edit_Code";
        QTest::newRow("automatic, letters in the tail") << "KH12"
                                                        << "乙公司" << true << tail << "Edit_Code";
        QTest::newRow("automatic before duplicate") << "KH0001A"
                                                    << "甲公司" << true << tail << "Edit_Code";
        QTest::newRow("duplicate code") << "KH0001"
                                        << "乙公司" << false << codeTaken << "Edit_Code";
        QTest::newRow("duplicate code, blanks around") << " KH0001 "
                                                       << "乙公司" << false << codeTaken << "Edit_Code";
        QTest::newRow("duplicate code before name") << "KH0001"
                                                    << "甲公司" << false << codeTaken << "Edit_Code";
        QTest::newRow("duplicate name") << "KH0002"
                                        << "甲公司" << false << nameTaken << "Edit_CustName";
        QTest::newRow("duplicate name, blanks around") << "KH0002"
                                                       << " 甲公司 " << false << nameTaken << "Edit_CustName";
    }
    void refusals() {
        QFETCH(QString, code);
        QFETCH(QString, company);
        QFETCH(bool, automatic);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        addCustomer(QStringLiteral("KH0001"), QStringLiteral("甲公司"));
        openCustomers();
        ws->prompter.expect(message, QMessageBox::Ok, kNotice);
        bool stayed = false;
        run("AddCust", [&](QDialog& d) {
            if (automatic) click(d, QStringLiteral("cb_Auto"));
            type(d, QStringLiteral("Edit_Code"), code);
            type(d, QStringLiteral("Edit_CustName"), company);
            type(d, QStringLiteral("Edit_tel"), QStringLiteral("0571"));
            child<QTabWidget>(d, QStringLiteral("PageControl1"))->setCurrentIndex(1);
            click(d, QStringLiteral("Btn_OK"));
            stayed = d.isVisible() && d.result() != QDialog::Accepted;
            QCOMPARE(child<QTabWidget>(d, QStringLiteral("PageControl1"))->currentIndex(), 0);
            QCOMPARE(d.focusWidget() ? d.focusWidget()->objectName() : QString(), focus);
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), code);
            QCOMPARE(textOf(d, QStringLiteral("Edit_CustName")), company);
            QCOMPARE(textOf(d, QStringLiteral("Edit_tel")), QStringLiteral("0571"));
        });
        QVERIFY(stayed);
        QCOMPARE(count(QStringLiteral("select count(*) from custom")), 1);
    }

    // --- add mode --------------------------------------------------------------------------------

    void addKeepsAddingWithAutomaticCodes() {
        ws->data->ini().writeInt(kFormConfig, QStringLiteral("AutoCode"), 1);
        ws->data->ini().writeString(kFormConfig, QStringLiteral("AutoCode2"), QStringLiteral("KH0009"));
        openCustomers();
        run("AddCust", [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("添加客户信息"));
            QVERIFY(child<QCheckBox>(d, QStringLiteral("cb_Continue"))->isChecked());
            QVERIFY(child<QCheckBox>(d, QStringLiteral("cb_Auto"))->isChecked());
            QVERIFY(!child<QWidget>(d, QStringLiteral("DBNavigator1"))->isVisible());
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QStringLiteral("KH0009"));
            QCOMPARE(textOf(d, QStringLiteral("Combo_User")), QStringLiteral("Admin"));
            QCOMPARE(child<QDateEdit>(d, QStringLiteral("DateEdit1"))->date(), QDate(2024, 3, 15));

            type(d, QStringLiteral("Edit_CustName"), QStringLiteral("甲公司"));
            type(d, QStringLiteral("Edit_tel"), QStringLiteral("057188"));
            type(d, QStringLiteral("Combo_CustType"), QStringLiteral("正式客户"));
            type(d, QStringLiteral("Memo1"), QStringLiteral("简介"));
            click(d, QStringLiteral("Btn_OK"));
            QVERIFY(d.isVisible());
            // Entries are emptied for the next customer; the lists keep their values.
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QStringLiteral("KH0010"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_CustName")), QString());
            QCOMPARE(textOf(d, QStringLiteral("Edit_tel")), QString());
            QCOMPARE(textOf(d, QStringLiteral("Memo1")), QString());
            QCOMPARE(textOf(d, QStringLiteral("Combo_CustType")), QStringLiteral("正式客户"));
            // The shared list shows the new customer at once.
            QCOMPARE(customers().text(QStringLiteral("CustCode")), QStringLiteral("KH0009"));

            type(d, QStringLiteral("Edit_CustName"), QStringLiteral("乙公司"));
            click(d, QStringLiteral("Btn_OK"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QStringLiteral("KH0011"));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(customerValue(QStringLiteral("KH0009"), QStringLiteral("Company")).toString(),
                 QStringLiteral("甲公司"));
        QCOMPARE(customerValue(QStringLiteral("KH0009"), QStringLiteral("CustType")).toString(),
                 QStringLiteral("正式客户"));
        QCOMPARE(customerValue(QStringLiteral("KH0010"), QStringLiteral("Company")).toString(),
                 QStringLiteral("乙公司"));
        QCOMPARE(customerValue(QStringLiteral("KH0010"), QStringLiteral("Tel")).toString(), QString());
        QCOMPARE(customers().rowCount(), 2);
        QCOMPARE(ws->data->ini().readString(kFormConfig, QStringLiteral("AutoCode2")),
                 QStringLiteral("KH0011"));

        // Reopened, the dialog proposes the code after the last one saved.
        run("AddCust", [&](QDialog& d) {
            QVERIFY(child<QCheckBox>(d, QStringLiteral("cb_Auto"))->isChecked());
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QStringLiteral("KH0011"));
            // Clearing the box keeps the code for later and empties the box.
            click(d, QStringLiteral("cb_Auto"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QString());
            QCOMPARE(ws->data->ini().readInt(kFormConfig, QStringLiteral("AutoCode")), 0);
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("X1"));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(ws->data->ini().readInt(kFormConfig, QStringLiteral("AutoCode")), 0);
        QCOMPARE(ws->data->ini().readString(kFormConfig, QStringLiteral("AutoCode2")),
                 QStringLiteral("KH0011"));
        run("AddCust", [&](QDialog& d) {
            QVERIFY(!child<QCheckBox>(d, QStringLiteral("cb_Auto"))->isChecked());
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QString());
            click(d, QStringLiteral("cb_Auto"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QStringLiteral("KH0011"));
            click(d, QStringLiteral("Btn_Close"));
        });
    }

    void addClosesWithoutKeepAdding() {
        openCustomers();
        bool closed = false;
        run("AddCust", [&](QDialog& d) {
            child<QCheckBox>(d, QStringLiteral("cb_Continue"))->setChecked(false);
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("12"));
            type(d, QStringLiteral("Edit_CustName"), QStringLiteral("甲公司"));
            click(d, QStringLiteral("cb_Auto"));  // the stored proposal (none) replaces the code
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("12"));
            click(d, QStringLiteral("Btn_OK"));
            closed = d.result() == QDialog::Accepted;
        });
        QVERIFY(closed);
        QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode='12'")), 1);
        QCOMPARE(ws->data->ini().readString(kFormConfig, QStringLiteral("AutoCode2")),
                 QStringLiteral("0013"));
    }

    void addStoresEveryEntry() {
        db().execute(
            QStringLiteral("insert into Dict_Cust_Category (Code, Name) values ('01', '华东'), "
                           "('0101', '上海')"));
        openCustomers();
        ws->onModal([&](QDialog& d) {
            const QList<std::pair<QString, QString>> entries{
                {"Edit_Code", " KH7 "},          {"Edit_CustName", "  杭州某某公司  "},
                {"Edit_Main", " 张三 "},         {"Edit_Mobile", "13800000000"},
                {"Edit_tel", "0571-1"},          {"Edit_Fax", "0571.2"},
                {"Edit_Address", "文一路 1 号"}, {"Edit_Zip", "310000"},
                {"Combo_CustType", "试用客户 "}, {"Combo_CustLevel", "A"},
                {"Edit_Income", "100.5"},        {"Edit_Email", "a@b.cn"},
                {"Edit_Url", "www.b.cn"},        {"Edit_OtherInfo", "其它"},
                {"Memo1", " 第一行\n第二行 "},   {"Combo_Country", "中国"},
                {"Combo_Province", "浙江"},      {"Combo_city", "杭州"},
                {"Combo_CustFrom", "展鉴会"},    {"edit_other1", "f1"},
                {"Edit_other2", "f2"},           {"Edit_other3", "f3"},
                {"edit_other4", "f4"},           {"Edit_other5", "f5"},
                {"Edit_other6", " f6 "},         {"Memo3", " 对手 "}};
            for (const auto& [name, value] : entries) type(d, name, value);
            child<QDateEdit>(d, QStringLiteral("DateEdit1"))->setDate(QDate(2023, 12, 31));
            click(d, QStringLiteral("Btn_Category"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_Category")), QStringLiteral("上海"));
            click(d, QStringLiteral("Btn_OK"));
            click(d, QStringLiteral("Btn_Close"));
        });
        ws->onModal([&](QDialog& d) {  // the category picker
            auto* tree = child<QTreeWidget>(d, QStringLiteral("TreeView1"));
            tree->expandAll();
            QTreeWidgetItem* node = nullptr;
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                if ((*it)->text(0).startsWith(QLatin1String("0101"))) node = *it;
            QVERIFY(node);
            tree->setCurrentItem(node);
            child<QAction>(d, QStringLiteral("ChooseNode"))->trigger();
        });
        mw->action(QStringLiteral("AddCust"))->trigger();
        QSqlQuery q = db().exec(QStringLiteral("select * from custom"));
        QVERIFY(q.next());
        auto col = [&q](const char* c) { return q.value(QLatin1String(c)).toString(); };
        QCOMPARE(col("CustCode"), QStringLiteral("KH7"));  // the code is stored trimmed, like the texts
        QCOMPARE(col("Company"), QStringLiteral("杭州某某公司"));
        QCOMPARE(col("MainContact"), QStringLiteral("张三"));
        QCOMPARE(col("Category"), QStringLiteral("0101"));
        QCOMPARE(col("mobile"), QStringLiteral("13800000000"));
        QCOMPARE(col("Tel"), QStringLiteral("05711"));  // the digit filter dropped the "-"
        QCOMPARE(col("Fax"), QStringLiteral("0571.2"));
        QCOMPARE(col("Address"), QStringLiteral("文一路 1 号"));
        QCOMPARE(col("PostCode"), QStringLiteral("310000"));
        QCOMPARE(col("CustType"), QStringLiteral("试用客户"));
        QCOMPARE(col("custlevel"), QStringLiteral("A"));
        QCOMPARE(col("Income"), QStringLiteral("100.5"));
        QCOMPARE(col("Email"), QStringLiteral("a@b.cn"));
        QCOMPARE(col("Url"), QStringLiteral("www.b.cn"));
        QCOMPARE(col("OtherInfo"), QStringLiteral("其它"));
        QCOMPARE(col("Introduce"), QStringLiteral(" 第一行\n第二行 "));
        QCOMPARE(col("Country"), QStringLiteral("中国"));
        QCOMPARE(col("Province"), QStringLiteral("浙江"));
        QCOMPARE(col("City"), QStringLiteral("杭州"));
        QCOMPARE(col("CustFrom"), QStringLiteral("展鉴会"));
        QCOMPARE(col("field1"), QStringLiteral("f1"));
        QCOMPARE(col("field6"), QStringLiteral("f6"));
        QCOMPARE(col("Memo3"), QStringLiteral(" 对手 "));
        QCOMPARE(col("F_User"), QStringLiteral("Admin"));
        QCOMPARE(q.value(QStringLiteral("Adddate")).toDateTime().date(), QDate(2023, 12, 31));
    }

    void namesSaveAsTyped_data() {
        QTest::addColumn<QString>("company");
        QTest::newRow("quotes") << QStringLiteral("O'Brien \"大\" 公司");
        QTest::newRow("wildcards") << QStringLiteral("100% 纯_棉");
        QTest::newRow("chinese") << QStringLiteral("北京市海淀区中关村科技发展有限责任公司");
        QTest::newRow("200 characters") << QString(200, QChar(0x516C));
        QTest::newRow("statement text") << QStringLiteral("x'); delete from custom; --");
    }
    void namesSaveAsTyped() {
        QFETCH(QString, company);
        // A name that the wildcard would match is not a duplicate.
        addCustomer(QStringLiteral("OLD"), QStringLiteral("100x 纯a棉"));
        openCustomers();
        run("AddCust", [&](QDialog& d) {
            child<QCheckBox>(d, QStringLiteral("cb_Continue"))->setChecked(false);
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("N1"));
            type(d, QStringLiteral("Edit_CustName"), company);
            click(d, QStringLiteral("Btn_OK"));
        });
        QCOMPARE(customerValue(QStringLiteral("N1"), QStringLiteral("Company")).toString(), company);
        QCOMPARE(count(QStringLiteral("select count(*) from custom")), 2);
    }

    // --- edit mode -------------------------------------------------------------------------------

    // Customer A (KH01) and customer B (KH02) share the company name 甲公司; each has a row in
    // every related table.
    void sharedNameFixture() {
        addCustomer(QStringLiteral("KH01"), QStringLiteral("甲公司"));
        addCustomer(QStringLiteral("KH02"), QStringLiteral("甲公司"));
        addRelatedRows(QStringLiteral("KH01"), QStringLiteral("甲公司"));
        addRelatedRows(QStringLiteral("KH02"), QStringLiteral("甲公司"));
        openCustomers();
        QVERIFY(customers().locate(QStringLiteral("CustCode"), QStringLiteral("KH01")));
    }

    void editCarriesCodeAndName() {
        sharedNameFixture();
        run("EditCust", [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("编辑客户信息"));
            QVERIFY(!child<QCheckBox>(d, QStringLiteral("cb_Continue"))->isVisible());
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QStringLiteral("KH01"));
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("KH-99"));
            type(d, QStringLiteral("Edit_CustName"), QStringLiteral("乙公司"));
            click(d, QStringLiteral("Btn_OK"));
            QVERIFY(d.isVisible());  // edit mode stays open
            // Saved again: the code saved is no longer a change.
            type(d, QStringLiteral("Edit_Main"), QStringLiteral("赵六"));
            click(d, QStringLiteral("Btn_OK"));
            click(d, QStringLiteral("Btn_Close"));
        });
        for (const QString& t : nineTables()) {
            QCOMPARE(rowsWithCode(t, QStringLiteral("KH-99")), 1);
            QCOMPARE(rowsWithCode(t, QStringLiteral("KH01")), 0);
            QCOMPARE(rowsWithCode(t, QStringLiteral("KH02")), 1);
        }
        auto named = [this](const char* sql, const char* name) {
            return count(QString::fromLatin1(sql), {{"n", QString::fromUtf8(name)}});
        };
        QCOMPARE(named("select count(*) from contact where Company=:n and CustCode='KH-99'", "乙公司"), 1);
        QCOMPARE(named("select count(*) from T_Schedule where Company=:n and CustCode='KH-99'", "乙公司"), 1);
        QCOMPARE(named("select count(*) from T_sale where Custname=:n and CustCode='KH-99'", "乙公司"), 1);
        // The other customer of the same name keeps its rows as they were.
        QCOMPARE(named("select count(*) from contact where Company=:n and CustCode='KH02'", "甲公司"), 1);
        QCOMPARE(named("select count(*) from T_Schedule where Company=:n and CustCode='KH02'", "甲公司"), 1);
        QCOMPARE(named("select count(*) from T_sale where Custname=:n and CustCode='KH02'", "甲公司"), 1);
        QCOMPARE(customerValue(QStringLiteral("KH02"), QStringLiteral("Company")).toString(),
                 QStringLiteral("甲公司"));
        QCOMPARE(customerValue(QStringLiteral("KH-99"), QStringLiteral("Company")).toString(),
                 QStringLiteral("乙公司"));
        QCOMPARE(customerValue(QStringLiteral("KH-99"), QStringLiteral("MainContact")).toString(),
                 QStringLiteral("赵六"));
        QCOMPARE(customers().text(QStringLiteral("CustCode")), QStringLiteral("KH-99"));
    }

    void editRollsBackWhenOneTableRefuses() {
        sharedNameFixture();
        // A visit already carries the new code and a unique index forbids a second one: the carrying
        // of the code fails in its sixth statement, after five tables changed.
        db().execute(QStringLiteral("insert into T_visit (custcode) values ('KH-99')"));
        db().execute(QStringLiteral("create unique index ux_test_visit on T_visit (custcode)"));
        ws->prompter.expect(QStringLiteral("保存数据失败!"), QMessageBox::Ok, kNotice);
        run("EditCust", [&](QDialog& d) {
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("KH-99"));
            type(d, QStringLiteral("Edit_CustName"), QStringLiteral("乙公司"));
            type(d, QStringLiteral("Edit_tel"), QStringLiteral("123"));
            click(d, QStringLiteral("Btn_OK"));
            QVERIFY(d.isVisible());
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QStringLiteral("KH-99"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_CustName")), QStringLiteral("乙公司"));
            click(d, QStringLiteral("Btn_Close"));
        });
        for (const QString& t : nineTables()) {
            QCOMPARE(rowsWithCode(t, QStringLiteral("KH01")), 1);
            QCOMPARE(rowsWithCode(t, QStringLiteral("KH02")), 1);
        }
        QCOMPARE(count(QStringLiteral("select count(*) from contact where Company='乙公司'")), 0);
        QCOMPARE(customerValue(QStringLiteral("KH01"), QStringLiteral("Company")).toString(),
                 QStringLiteral("甲公司"));
        QCOMPARE(customerValue(QStringLiteral("KH01"), QStringLiteral("Tel")).toString(), QString());
        QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode='KH-99'")), 0);
        // The shared list shows the customer as the database holds it.
        QCOMPARE(customers().text(QStringLiteral("CustCode")), QStringLiteral("KH01"));
        QCOMPARE(customers().text(QStringLiteral("Company")), QStringLiteral("甲公司"));
    }

    // Blanks around a code are no part of it; a change of letter case is a real change, carried
    // into the related rows, and the customer's own row is no duplicate of it.
    void codeCaseAndBlanks_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("stored");
        QTest::newRow("blanks around the same code") << " KH01  " << QString() << "KH01";
        QTest::newRow("letter case only") << "kh01" << QString() << "kh01";
        QTest::newRow("new code with blanks") << " KH-9 " << QString() << "KH-9";
        QTest::newRow("another's code with blanks") << "KH02 "
                                                    << "客户编号重复，请你换一个客户编号"
                                                    << "KH01";
        QTest::newRow("another's code in other case") << "kh02"
                                                      << "客户编号重复，请你换一个客户编号"
                                                      << "KH01";
    }
    void codeCaseAndBlanks() {
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        QFETCH(QString, stored);
        addCustomer(QStringLiteral("KH01"), QStringLiteral("甲公司"));
        addCustomer(QStringLiteral("KH02"), QStringLiteral("乙公司"));
        addRelatedRows(QStringLiteral("KH01"), QStringLiteral("甲公司"));
        openCustomers();
        if (!refusal.isEmpty()) ws->prompter.expect(refusal, QMessageBox::Ok, kNotice);
        run("EditCust", [&](QDialog& d) {
            type(d, QStringLiteral("Edit_Code"), typed);
            click(d, QStringLiteral("Btn_OK"));
            click(d, QStringLiteral("Btn_Close"));
        });
        // Codes are compared as stored, letter case included.
        auto codesIn = [this](const QString& table) {
            QSqlQuery q = db().exec(QStringLiteral("select CustCode from %1").arg(table));
            QStringList out;
            while (q.next()) out << q.value(0).toString();
            out.sort();
            return out;
        };
        QStringList both{stored, QStringLiteral("KH02")};
        both.sort();
        QCOMPARE(codesIn(QStringLiteral("custom")), both);
        for (const QString& t : nineTables()) QCOMPARE(codesIn(t), QStringList{stored});
        QCOMPARE(customers().text(QStringLiteral("CustCode")), stored);
    }

    void editChecks() {
        addCustomer(QStringLiteral("KH01"), QStringLiteral("甲公司"));
        addCustomer(QStringLiteral("KH02"), QStringLiteral("乙公司"));
        openCustomers();
        ws->prompter.expect(QStringLiteral("客户编号重复，请你换一个客户编号"), QMessageBox::Ok, kNotice);
        run("EditCust", [&](QDialog& d) {
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("KH02"));
            click(d, QStringLiteral("Btn_OK"));
            QCOMPARE(d.focusWidget()->objectName(), QStringLiteral("Edit_Code"));
            // Back to its own code, which is no change; another customer's name is no duplicate here.
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("KH01"));
            type(d, QStringLiteral("Edit_CustName"), QStringLiteral("乙公司"));
            click(d, QStringLiteral("Btn_OK"));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(count(QStringLiteral("select count(*) from custom where Company='乙公司'")), 2);
        QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode='KH01'")), 1);
    }

    void editLoadsAndNavigates() {
        db().execute(QStringLiteral("insert into Dict_Cust_Category (Code, Name) values ('01', '华东')"));
        addCustomer(QStringLiteral("KH01"), QStringLiteral("甲公司"));
        addCustomer(QStringLiteral("KH02"), QStringLiteral("乙公司"));
        db().execute(
            QStringLiteral("update custom set Category='01', Adddate=:d, Tel='1' where CustCode='KH01'"),
            {{"d", QDateTime(QDate(2020, 1, 2), QTime(13, 45, 10))}});
        openCustomers();
        run("EditCust", [&](QDialog& d) {
            QCOMPARE(textOf(d, QStringLiteral("Edit_Category")), QStringLiteral("华东"));
            QCOMPARE(child<QDateEdit>(d, QStringLiteral("DateEdit1"))->date(), QDate(2020, 1, 2));
            type(d, QStringLiteral("Edit_tel"), QStringLiteral("999"));  // dropped by the move
            QTest::mouseClick(child<QToolButton>(d, QStringLiteral("Nav_Next")), Qt::LeftButton);
            QCOMPARE(textOf(d, QStringLiteral("Edit_Code")), QStringLiteral("KH02"));
            QCOMPARE(textOf(d, QStringLiteral("Edit_Category")), QString());
            QCOMPARE(customers().text(QStringLiteral("CustCode")), QStringLiteral("KH02"));
            QTest::mouseClick(child<QToolButton>(d, QStringLiteral("Nav_First")), Qt::LeftButton);
            QCOMPARE(textOf(d, QStringLiteral("Edit_tel")), QStringLiteral("1"));
            type(d, QStringLiteral("Edit_Main"), QStringLiteral("钱七"));
            click(d, QStringLiteral("Btn_OK"));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(customerValue(QStringLiteral("KH01"), QStringLiteral("Tel")).toString(),
                 QStringLiteral("1"));
        QCOMPARE(customerValue(QStringLiteral("KH01"), QStringLiteral("Category")).toString(),
                 QStringLiteral("01"));
        // An untouched date keeps its time of day.
        QCOMPARE(customerValue(QStringLiteral("KH01"), QStringLiteral("Adddate")).toDateTime(),
                 QDateTime(QDate(2020, 1, 2), QTime(13, 45, 10)));
    }

    void ownerListFollowsRight_data() {
        QTest::addColumn<bool>("seeAll");
        QTest::newRow("with right 91") << true;
        QTest::newRow("without right 91") << false;
    }
    void ownerListFollowsRight() {
        QFETCH(bool, seeAll);
        if (seeAll)
            ws->loginAs(QStringLiteral("张三"), 1, {2, 3, 91});
        else
            ws->loginAs(QStringLiteral("张三"), 1, {2, 3});
        mw->reminderTimer()->stop();
        addCustomer(QStringLiteral("KH01"), QStringLiteral("甲公司"), QStringLiteral("张三"));
        openCustomers();
        for (const char* command : {"AddCust", "EditCust"})
            run(command, [&](QDialog& d) {
                QCOMPARE(child<QComboBox>(d, QStringLiteral("Combo_User"))->isEnabled(), seeAll);
                QCOMPARE(textOf(d, QStringLiteral("Combo_User")), QStringLiteral("张三"));
                click(d, QStringLiteral("Btn_Close"));
            });
    }

    // --- captions, lists, entry boxes, buttons ----------------------------------------------------

    void freeFieldCaptions() {
        db().execute(
            QStringLiteral("update T_FieldShow set Name='行业' where TableName='Custom' and Field='field1'"));
        db().execute(
            QStringLiteral("update T_FieldShow set Name='规模' where TableName='Custom' and Field='field4'"));
        openCustomers();
        run("AddCust", [&](QDialog& d) {
            QCOMPARE(child<QLabel>(d, QStringLiteral("field1"))->text(), QStringLiteral("行业"));
            QCOMPARE(child<QLabel>(d, QStringLiteral("field4"))->text(), QStringLiteral("规模"));
            QCOMPARE(child<QLabel>(d, QStringLiteral("field2"))->text(), QStringLiteral("字符项2"));
            // A configuration row naming an entry box leaves the box empty.
            QCOMPARE(textOf(d, QStringLiteral("Memo3")), QString());
            click(d, QStringLiteral("Btn_Close"));
        });
    }

    void listsAndDefaults() {
        ws->data->ini().writeInt(kFormConfig, QStringLiteral("CustType"), 1);
        ws->data->ini().writeInt(kFormConfig, QStringLiteral("CustFrom"), 0);
        const QString province =
            db().scalar(QStringLiteral("select spro from citytel order by ID")).toString();
        QSqlQuery q = db().exec(QStringLiteral("select scity from citytel where spro=:p"), {{"p", province}});
        QStringList cities;
        while (q.next()) cities << q.value(0).toString().trimmed();
        QVERIFY(!cities.isEmpty());
        openCustomers();
        run("AddCust", [&](QDialog& d) {
            auto* type = child<QComboBox>(d, QStringLiteral("Combo_CustType"));
            QCOMPARE(type->currentText(), QStringLiteral("试用客户"));  // second row of Dict_Type
            QCOMPARE(child<QComboBox>(d, QStringLiteral("Combo_CustFrom"))->currentText(),
                     QStringLiteral("展览会"));
            QCOMPARE(child<QComboBox>(d, QStringLiteral("Combo_Country"))->currentText(), QString());
            auto* pro = child<QComboBox>(d, QStringLiteral("Combo_Province"));
            pro->showPopup();
            pro->hidePopup();
            QVERIFY(pro->findText(province) >= 0);
            pro->setCurrentIndex(pro->findText(province));
            auto* city = child<QComboBox>(d, QStringLiteral("Combo_city"));
            city->showPopup();
            city->hidePopup();
            QStringList shown;
            for (int i = 0; i < city->count(); ++i) shown << city->itemText(i);
            QCOMPARE(shown, cities);
            auto* user = child<QComboBox>(d, QStringLiteral("Combo_User"));
            user->showPopup();
            user->hidePopup();
            QVERIFY(user->findText(QStringLiteral("Admin")) >= 0);
            click(d, QStringLiteral("Btn_Close"));
        });
    }

    void entryBoxes() {
        openCustomers();
        run("AddCust", [&](QDialog& d) {
            for (const char* box : {"Edit_tel", "Edit_Fax", "Edit_Mobile", "Edit_Income"}) {
                auto* e = child<QLineEdit>(d, QLatin1String(box));
                QTest::keyClicks(e, QStringLiteral("12ab-3.5"));
                QCOMPARE(e->text(), QStringLiteral("123.5"));
            }
            auto* zip = child<QLineEdit>(d, QStringLiteral("Edit_Zip"));
            QTest::keyClicks(zip, QStringLiteral("31x00123"));
            QCOMPARE(zip->text(), QStringLiteral("310012"));
            // Enter moves on to the next entry.
            QApplication::setActiveWindow(&d);
            auto* name = child<QLineEdit>(d, QStringLiteral("Edit_CustName"));
            name->setFocus();
            QTest::keyClick(name, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), child<QWidget>(d, QStringLiteral("Edit_Category")));
            QCOMPARE(d.result(), int(QDialog::Rejected));
            click(d, QStringLiteral("Btn_Close"));
        });
    }

    // The category box opens its picker from the keyboard, as a drop-down list does.
    void categoryPickerFromKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("F4") << int(Qt::Key_F4) << int(Qt::NoModifier);
        QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier);
        QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier);
    }
    void categoryPickerFromKeyboard() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        db().execute(QStringLiteral("insert into Dict_Cust_Category (Code, Name) values ('01', '华东')"));
        openCustomers();
        ws->onModal([&](QDialog& d) {
            auto* box = child<QLineEdit>(d, QStringLiteral("Edit_Category"));
            box->setFocus();
            QTest::keyClick(box, Qt::Key_A);  // an ordinary key neither types nor picks
            QCOMPARE(box->text(), QString());
            QVERIFY(!ws->allDriversUsed());
            QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QCOMPARE(box->text(), QStringLiteral("华东"));
            click(d, QStringLiteral("Btn_Close"));
        });
        ws->onModal([&](QDialog& d) {  // the category picker
            auto* tree = child<QTreeWidget>(d, QStringLiteral("TreeView1"));
            tree->expandAll();
            QTreeWidgetItem* node = nullptr;
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                if ((*it)->text(0).startsWith(QLatin1String("01"))) node = *it;
            QVERIFY(node);
            tree->setCurrentItem(node);
            child<QAction>(d, QStringLiteral("ChooseNode"))->trigger();
        });
        mw->action(QStringLiteral("AddCust"))->trigger();
    }

    void mailWebAndListEditors() {
        QStringList opened;
        for (const char* entry : {"Menu_CustType", "Menu_CustLevel", "Menu_Country", "Menu_CustFrom"}) {
            const QString name = QLatin1String(entry);
            mw->setHandler(name, [&opened, name] { opened << name; });
        }
        openCustomers();
        run("AddCust", [&](QDialog& d) {
            type(d, QStringLiteral("Edit_Email"), QStringLiteral("sales@b.cn"));
            click(d, QStringLiteral("Btn_Send"));
            QTest::mouseDClick(child<QLineEdit>(d, QStringLiteral("Edit_Email")), Qt::LeftButton);
            type(d, QStringLiteral("Edit_Url"), QStringLiteral("www.b.cn"));
            click(d, QStringLiteral("Btn_Open"));
            QTest::mouseDClick(child<QLineEdit>(d, QStringLiteral("Edit_Url")), Qt::LeftButton);
            type(d, QStringLiteral("Edit_Url"), QStringLiteral("https://b.cn/x"));
            click(d, QStringLiteral("Btn_Open"));
            for (const char* b : {"Btn_CustType", "Btn_CustLevel", "Btn_Country", "Btn_CustFrom"})
                click(d, QLatin1String(b));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(ws->shell.opened, QStringList({"mailto:sales@b.cn?subject=意见", "mailto:sales@b.cn",
                                                "http://www.b.cn", "www.b.cn", "https://b.cn/x"}));
        QCOMPARE(opened, QStringList({"Menu_CustType", "Menu_CustLevel", "Menu_Country", "Menu_CustFrom"}));

        // Without the right to a list editor its button is disabled.
        ws->loginAs(QStringLiteral("张三"), 1, {2});
        mw->reminderTimer()->stop();
        run("AddCust", [&](QDialog& d) {
            QVERIFY(!child<QToolButton>(d, QStringLiteral("Btn_CustType"))->isEnabled());
            click(d, QStringLiteral("Btn_Close"));
        });
    }

    // --- commands --------------------------------------------------------------------------------

    void commandPreconditions() {
        // No customer: editing does nothing.
        openCustomers();
        mw->action(QStringLiteral("EditCust"))->trigger();
        addCustomer(QStringLiteral("KH01"), QStringLiteral("甲公司"));
        customers().refresh();
        // One editor at a time.
        run("EditCust", [&](QDialog& d) {
            mw->action(QStringLiteral("AddCust"))->trigger();
            mw->action(QStringLiteral("EditCust"))->trigger();
            click(d, QStringLiteral("Btn_Close"));
        });
        // Closed, it opens again.
        run("AddCust", [&](QDialog& d) { click(d, QStringLiteral("Btn_Close")); });
    }

    void categoryOfTheWorkbench() {
        db().execute(QStringLiteral("insert into Dict_Cust_Category (Code, Name) values ('01', '华东')"));
        // A stand-in for the workbench with its category tree, the category 01 selected.
        auto* bench = new QWidget;
        bench->setObjectName(QStringLiteral("Frm_Custom"));
        auto* tree = new QTreeWidget(bench);
        tree->setObjectName(QStringLiteral("TreeView1"));
        auto* root = new QTreeWidgetItem(tree, {QStringLiteral("客户分类")});
        auto* node = new QTreeWidgetItem(root, {QStringLiteral("01-华东")});
        tree->setCurrentItem(node);
        mw->showChildForm(QStringLiteral("Frm_Custom"), [bench] { return bench; });
        openCustomers();
        run("AddCust", [&](QDialog& d) {
            QCOMPARE(textOf(d, QStringLiteral("Edit_Category")), QStringLiteral("华东"));
            type(d, QStringLiteral("Edit_Code"), QStringLiteral("KH01"));
            type(d, QStringLiteral("Edit_CustName"), QStringLiteral("甲公司"));
            click(d, QStringLiteral("Btn_OK"));
            click(d, QStringLiteral("Btn_Close"));
        });
        QCOMPARE(customerValue(QStringLiteral("KH01"), QStringLiteral("Category")).toString(),
                 QStringLiteral("01"));
        // The root selected: no category.
        tree->setCurrentItem(root);
        run("AddCust", [&](QDialog& d) {
            QCOMPARE(textOf(d, QStringLiteral("Edit_Category")), QString());
            click(d, QStringLiteral("Btn_Close"));
        });
    }
};

QTEST_MAIN(TestCustEditor)
#include "tst_custeditor.moc"
