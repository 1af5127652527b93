#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "CustomerEditorCommands.h"
#include "DBGrid.h"
#include "Frm_Custom.h"
#include "Frm_Main.h"
#include "GridServices.h"
#include "RecordCommands.h"
#include "TestDb.h"
#include "Transaction.h"
#include "WidgetAccess.h"
#include "WindowTest.h"
#include "WorkbenchCommands.h"

using namespace qv;
using test::Workstation;

namespace {

const QString kOwner = QStringLiteral("王五");
const QString kOther = QStringLiteral("李四");

QString count(int n) { return QStringLiteral("当前共有 %1 条客户记录").arg(n); }

QStringList captions(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

std::initializer_list<int> noRights() { return {}; }

}  // namespace

class TestWorkbench : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }
    Frm_Data& data() { return *ws->data; }
    Dataset& customers() { return *ws->data->Qry_Cust; }
    void exec(const QString& sql, const Params& p = {}) { db().execute(sql, p); }

    void addCustomer(const QString& code, const QString& company, const QString& owner = kOwner,
                     const QString& category = QString()) {
        exec("insert into custom (CustCode, Company, F_User, Category) values (:c, :n, :u, :k)",
             {{"c", code}, {"n", company}, {"u", owner}, {"k", category}});
    }
    void addContact(const QString& code, const QString& name, const QString& owner = kOwner,
                    const QString& tel = QString()) {
        exec("insert into contact (CustCode, Name, F_User, Tel) values (:c, :n, :u, :t)",
             {{"c", code}, {"n", name}, {"u", owner}, {"t", tel}});
    }
    // `n` rows in each of the eight detail tables; contacts, schedule entries and bills alternate
    // between the two operators.
    void addDetails(const QString& code, int n) {
        for (int i = 0; i < n; ++i) {
            const QString owner = i % 2 ? kOther : kOwner;
            const Params p{{"c", code}, {"u", owner}, {"b", QStringLiteral("%1-%2").arg(code).arg(i)}};
            addContact(code, QStringLiteral("联系人%1").arg(i), owner);
            exec("insert into T_Schedule (CustCode, F_User) values (:c, :u)", p);
            exec("insert into T_sale (BillCode, CustCode, F_User) values (:b, :c, :u)", p);
            for (const char* t : {"T_price", "T_visit", "T_feedback", "T_trackcust", "T_bargain"})
                exec(QStringLiteral("insert into %1 (custcode) values (:c)").arg(QLatin1String(t)), p);
        }
    }
    void addCategory(const QString& code, const QString& name) {
        exec("insert into Dict_Cust_Category (Code, Name) values (:c, :n)", {{"c", code}, {"n", name}});
    }

    Frm_Custom* open() {
        mw->action(Frm_Main::kWorkbench)->trigger();
        auto* w = mw->findChild<Frm_Custom*>();
        if (!w) qFatal("no workbench");
        return w;
    }
    template <class T>
    T* child(const QString& name) {
        return test::child<T>(*mw, name);
    }
    DBGrid* grid(const QString& name) { return child<DBGrid>(name); }

    // The customer codes of the list, sorted.
    QStringList codes() {
        QStringList out;
        Dataset& c = customers();
        if (!c.isOpen()) return out;
        for (int r = 0; r < c.recordCount(); ++r) out << c.value(r, QStringLiteral("CustCode")).toString();
        std::sort(out.begin(), out.end());
        return out;
    }
    QString status() { return mw->statusPanel(2)->text(); }
    int rows(Dataset* ds) { return ds->isOpen() ? ds->recordCount() : -1; }

    void search(int entry, const QString& text) {
        child<QComboBox>("Combo_Type")->setCurrentIndex(entry);
        auto* key = child<QLineEdit>("Edit_Key");
        key->setText(text);
        QTest::keyClick(key, Qt::Key_Return);
    }
    QTreeWidgetItem* node(const QString& code) {
        auto* tree = child<QTreeWidget>("TreeView1");
        if (code.isEmpty()) return tree->topLevelItem(0);
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, kCodeRole).toString() == code) return *it;
        QTest::qFail(qPrintable(QStringLiteral("no category %1 in the tree").arg(code)), __FILE__, __LINE__);
        static QTreeWidgetItem missing;
        return &missing;
    }
    void clickCategory(const QString& code) {
        auto* tree = child<QTreeWidget>("TreeView1");
        emit tree->itemClicked(node(code), 0);
    }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installWorkbenchCommands(*ws->ctx, *mw);
        installRecordCommands(*ws->ctx, *mw);
        mw->reminderTimer()->stop();
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // Without right 91 the list, the contact page and the schedule page hold the operator's own
    // rows only, however the list was loaded; the other six pages show every operator's rows.
    void ownerFilters_data() {
        QTest::addColumn<bool>("seesAll");
        QTest::newRow("right 91") << true;
        QTest::newRow("without right 91") << false;
    }
    void ownerFilters() {
        QFETCH(bool, seesAll);
        addCategory("01", QStringLiteral("华东"));
        addCustomer("K1", QStringLiteral("甲公司"), kOwner, "01");
        addCustomer("K2", QStringLiteral("乙公司"), kOther, "01");
        addDetails("K1", 4);
        addDetails("K2", 2);
        if (seesAll)
            ws->loginAs(kOwner, 1, {5, 91});
        else
            ws->loginAs(kOwner, 1, {5});
        open();
        const QStringList mine = seesAll ? QStringList{"K1", "K2"} : QStringList{"K1"};
        QCOMPARE(codes(), mine);
        QCOMPARE(status(), count(mine.size()));

        QVERIFY(customers().locate("CustCode", "K1"));
        Frm_Data& d = data();
        QCOMPARE(rows(d.Qry_Contact), seesAll ? 4 : 2);
        QCOMPARE(rows(d.Qry_Schedule), seesAll ? 4 : 2);
        for (Dataset* ds : {d.Qry_Sale, d.Qry_price, d.Qry_visit, d.Qry_feedback, d.Qry_track, d.Qry_bargain})
            QCOMPARE(rows(ds), 4);
        for (int r = 0; r < rows(d.Qry_Contact); ++r)
            if (!seesAll) QCOMPARE(d.Qry_Contact->value(r, "F_User").toString(), kOwner);

        // Every other way of loading the list keeps the filter.
        clickCategory("01");
        QCOMPARE(codes(), mine);
        clickCategory(QString());
        QCOMPARE(codes(), mine);
        search(2, QStringLiteral("公司"));
        QCOMPARE(codes(), mine);
        search(9, QStringLiteral("联系人"));
        QCOMPARE(codes(), mine);
        child<QMenu>("Menu_Cust")->findChild<QAction*>("Menu_CustRefresh")->trigger();
        QCOMPARE(codes(), mine);
        mw->action(Frm_Main::kWorkbench)->trigger();
        QCOMPARE(codes(), mine);
    }

    // A category lists its own customers and those of every category below it, at any depth; the
    // root lists every customer the operator may see.
    void categoryFilter_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<bool>("seesAll");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("top level") << "01" << true << QStringList{"A", "B", "C"};
        QTest::newRow("second level") << "0101" << true << QStringList{"B", "C"};
        QTest::newRow("deepest") << "010101" << true << QStringList{"C"};
        QTest::newRow("other branch") << "02" << true << QStringList{"D", "E"};
        QTest::newRow("root") << "" << true << QStringList{"A", "B", "C", "D", "E", "F"};
        QTest::newRow("top level, own only") << "01" << false << QStringList{"A", "C"};
        QTest::newRow("root, own only") << "" << false << QStringList{"A", "C", "E", "F"};
    }
    void categoryFilter() {
        QFETCH(QString, category);
        QFETCH(bool, seesAll);
        QFETCH(QStringList, expected);
        addCategory("01", QStringLiteral("华东"));
        addCategory("0101", QStringLiteral("上海"));
        addCategory("010101", QStringLiteral("浦东"));
        addCategory("02", QStringLiteral("华北"));
        addCategory("0201", QStringLiteral("北京"));
        addCustomer("A", "a", kOwner, "01");
        addCustomer("B", "b", kOther, "0101");
        addCustomer("C", "c", kOwner, "010101");
        addCustomer("D", "d", kOther, "02");
        addCustomer("E", "e", kOwner, "0201");
        addCustomer("F", "f", kOwner, "");
        ws->loginAs(kOwner, 0, seesAll ? std::initializer_list<int>{91} : noRights());
        open();
        QCOMPARE(child<QTreeWidget>("TreeView1")->currentItem(), node(QString()));
        clickCategory("02");  // something else first: the click must replace it
        clickCategory(category);
        QCOMPARE(codes(), expected);
        QCOMPARE(status(), count(expected.size()));
    }

    // The quick search: customer fields and contact fields, typed text with quotes, wildcards,
    // Chinese text and long names, codes with letters, no match.
    void quickSearch_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        const QString longName = QString(198, QChar(0x6D4B)) + QStringLiteral("结尾");
        QTest::newRow("company, Chinese") << 2 << "华联" << QStringList{"K1"};
        QTest::newRow("company, quote") << 2 << "O'Brien" << QStringList{"AB-0001"};
        QTest::newRow("company, percent typed") << 2 << "100%" << QStringList{"K3"};
        QTest::newRow("company, underscore stays a wildcard") << 2 << "a_b" << QStringList{"K5", "K6"};
        QTest::newRow("company, end of a 200-character name") << 2 << "结尾" << QStringList{"K4"};
        QTest::newRow("company, whole 200-character name") << 2 << longName << QStringList{"K4"};
        QTest::newRow("company, nothing typed")
            << 2 << "" << QStringList{"AB-0001", "K1", "K3", "K4", "K5", "K6", "XY9-0002"};
        QTest::newRow("code with letters") << 1 << "ab-" << QStringList{"AB-0001"};
        QTest::newRow("address") << 3 << "南京路" << QStringList{"K1"};
        QTest::newRow("contact name, codes with letters")
            << 9 << "张伟" << QStringList{"AB-0001", "XY9-0002"};
        QTest::newRow("contact name with quote") << 9 << "D'Arcy" << QStringList{"K3"};
        QTest::newRow("contact office telephone") << 10 << "6688" << QStringList{"K1"};
        QTest::newRow("contact, no match") << 9 << "没有这个人" << QStringList{};
    }
    void quickSearch() {
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        addCustomer("K1", QStringLiteral("上海华联超市"));
        exec("update custom set Address=:a where CustCode='K1'", {{"a", QStringLiteral("上海市南京路1号")}});
        addCustomer("AB-0001", QStringLiteral("O'Brien & Sons"));
        addCustomer("K3", QStringLiteral("100% 纯净水"));
        addCustomer("K4", QString(198, QChar(0x6D4B)) + QStringLiteral("结尾"));
        addCustomer("K5", "a_b");
        addCustomer("K6", "axb");
        addCustomer("XY9-0002", QStringLiteral("星光"));
        addContact("AB-0001", QStringLiteral("张伟"));
        addContact("XY9-0002", QStringLiteral("张伟强"));
        addContact("K1", QStringLiteral("李明"), kOwner, "021-66880000");
        addContact("K3", QStringLiteral("D'Arcy"));
        ws->loginAs(kOwner, 0, {5, 91});
        open();
        search(entry, typed);
        QCOMPARE(codes(), expected);
        QCOMPARE(status(), count(expected.size()));
        QVERIFY(child<QPushButton>("Btn_Search")->isEnabled());
    }

    // Choosing a heading moves to the entry after it; the entry decides what is searched.
    void searchEntries() {
        ws->loginAsAdmin();
        Frm_Custom* w = open();
        auto* combo = child<QComboBox>("Combo_Type");
        QCOMPARE(combo->count(), 12);
        QCOMPARE(combo->currentText(), QStringLiteral("公司名称"));
        QCOMPARE(w->searchTarget(), workbench::Target::Customer);
        combo->setCurrentIndex(8);
        QCOMPARE(combo->currentText(), QStringLiteral("联系人"));
        QCOMPARE(w->searchTarget(), workbench::Target::Contact);
        combo->setCurrentIndex(0);
        QCOMPARE(combo->currentText(), QStringLiteral("客户编号"));
        QCOMPARE(w->searchTarget(), workbench::Target::Customer);
        combo->setCurrentIndex(11);
        QCOMPARE(w->searchTarget(), workbench::Target::Contact);
        combo->setCurrentIndex(6);
        QCOMPARE(w->searchTarget(), workbench::Target::Customer);
    }

    // Many matching contacts: the list still holds every customer the operator may see.
    void contactSearchManyCustomers_data() {
        QTest::addColumn<bool>("seesAll");
        QTest::newRow("right 91") << true;
        QTest::newRow("without right 91") << false;
    }
    void contactSearchManyCustomers() {
        QFETCH(bool, seesAll);
        const int n = workbench::kMaxListedCodes + 100;
        {
            Transaction tx(db());
            for (int i = 0; i < n; ++i) {
                const QString code = QStringLiteral("KH%1").arg(i, 4, 10, QLatin1Char('0'));
                addCustomer(code, code, i % 2 ? kOther : kOwner);
                addContact(code, QStringLiteral("批量%1").arg(i));
                addContact(code, QStringLiteral("批量甲%1").arg(i));
            }
            tx.commit();
        }
        ws->loginAs(kOwner, 0, seesAll ? std::initializer_list<int>{5, 91} : std::initializer_list<int>{5});
        open();
        search(9, QStringLiteral("批量"));
        const int expected = seesAll ? n : n / 2;
        QCOMPARE(customers().recordCount(), expected);
        QCOMPARE(status(), count(expected));
    }

    // A caption without a configured column: the error box, and the list stays closed.
    void searchColumnMissing() {
        addCustomer("K1", "a");
        exec("delete from T_FieldShow where TableName='Custom' and Name=:n", {{"n", QStringLiteral("网址")}});
        ws->loginAsAdmin();
        open();
        ws->prompter.expect(QStringLiteral("查询字段“网址”没有对应的列"), QMessageBox::Ok,
                            QStringLiteral("错误"));
        search(7, "x");
        QVERIFY(!customers().isOpen());
        QVERIFY(child<QPushButton>("Btn_Search")->isEnabled());
    }

    // Moving to another customer re-reads the eight pages, the bills by their own statement.
    void detailsFollowCustomer() {
        addCustomer("K1", "a");
        addCustomer("K2", "b");
        addDetails("K1", 1);
        addDetails("K2", 3);
        ws->loginAsAdmin();
        open();
        Frm_Data& d = data();
        const QList<Dataset*> pages{d.Qry_Contact, d.Qry_Schedule, d.Qry_Sale,  d.Qry_price,
                                    d.Qry_visit,   d.Qry_feedback, d.Qry_track, d.Qry_bargain};
        for (const char* code : {"K2", "K1", "K2"}) {
            QVERIFY(customers().locate("CustCode", QLatin1String(code)));
            for (Dataset* ds : pages) {
                QCOMPARE(rows(ds), code == QLatin1String("K1") ? 1 : 3);
                QCOMPARE(ds->value(0, "CustCode").toString(), QLatin1String(code));
            }
        }
        // The bills' grid shows the new rows as well.
        QCOMPARE(grid("Grid_Sale")->view()->model()->rowCount(), 3);
    }

    // "刷新" of a detail page re-applies its columns and reads no rows.
    void detailRefreshColumnsOnly() {
        addCustomer("K1", "a");
        addDetails("K1", 1);
        ws->loginAsAdmin();
        open();
        DBGrid* g = grid("Grid_price");
        const int columns = g->columnCount();
        QVERIFY(columns > 1);
        exec("insert into T_price (custcode) values ('K1')");
        exec("update T_FieldShow set Show=0 where TableName='price' and ShowID=0");
        QMenu* menu = mw->findChild<Frm_Custom*>()->detailMenu("Grid_price");
        QCOMPARE(captions(menu),
                 (QStringList{"新增&A", "编辑&E", "删除&D", "设置列显示", "保存列属性", "刷新"}));
        menu->actions().last()->trigger();
        QCOMPARE(g->columnCount(), columns - 1);
        QCOMPARE(rows(data().Qry_price), 1);
    }

    // The customer grid's "设置列显示" runs the main window's column chooser, then shows its choice.
    void customerColumnChooser() {
        addCustomer("K1", "a");
        ws->loginAsAdmin();
        open();
        DBGrid* g = grid("Grid_Cust");
        const int columns = g->columnCount();
        int chooser = 0;
        mw->setHandler("ShowField_Cust", [&] {
            ++chooser;
            exec("update T_FieldShow set Show=0 where TableName='Custom' and Field='Fax'");
        });
        child<QMenu>("Menu_Cust")->findChild<QAction*>("Menu_CustShowField")->trigger();
        QCOMPARE(chooser, 1);
        QCOMPARE(g->columnCount(), columns - 1);
    }

    // Pop-up menus, pages and the rights the workbench applies to its own controls.
    void layoutAndRights_data() {
        QTest::addColumn<bool>("granted");
        QTest::newRow("rights 5, 6, 7, 30") << true;
        QTest::newRow("without them") << false;
    }
    void layoutAndRights() {
        QFETCH(bool, granted);
        addCustomer("K1", "a");
        if (granted)
            ws->loginAs(kOwner, 0, {5, 6, 7, 30, 91});
        else
            ws->loginAs(kOwner, 0, {91});
        Frm_Custom* w = open();
        QCOMPARE(w->windowTitle(), QStringLiteral("客户信息"));
        QVERIFY(qobject_cast<QMdiSubWindow*>(w->parentWidget())->isMaximized());
        QCOMPARE(captions(w->customerMenu()),
                 (QStringList{"新增&A", "编辑&E", "删除&D", "组合查询(&A)", "批量修改", "设置列显示",
                              "保存列属性", "刷新", "导出数据"}));
        QMenu* exports = child<QMenu>("Menu_CustExport");
        QCOMPARE(captions(exports),
                 (QStringList{"导出客户手机号码", "导出客户电子信箱", "导出客户为Excel文件"}));
        QCOMPARE(captions(w->treeMenu()), (QStringList{"刷新", "客户分类管理"}));
        auto* pages = child<QTabWidget>("PageControl1");
        QStringList tabs;
        for (int i = 0; i < pages->count(); ++i) tabs << pages->tabText(i);
        QCOMPARE(tabs, (QStringList{"联系人资料", "工作日程", "销售记录", "商品报价", "售后回访", "投诉反馈",
                                    "客户跟进", "合同管理"}));

        QCOMPARE(child<QPushButton>("Btn_Search")->isEnabled(), granted);
        QCOMPARE(w->customerMenu()->findChild<QAction*>("Menu_CustBatchEdit")->isEnabled(), granted);
        QCOMPARE(exports->menuAction()->isEnabled(), granted);
        // The export entries ask for the right themselves, whatever reaches them: no file is asked for.
        if (!granted)
            for (QAction* a : exports->actions()) a->trigger();
        // The page buttons are the main window's commands: the rights gate reaches them.
        QCOMPARE(child<QToolButton>("Btn_AddContact")->isEnabled(), granted);
        QCOMPARE(child<QToolButton>("Btn_AddContact")->text(), QStringLiteral("新增&A"));
        QVERIFY(!child<QToolButton>("Btn_Delbargain")->isEnabled());
        QCOMPARE(child<QToolButton>("Btn_CombinedSearch")->isEnabled(), granted);
        QCOMPARE(child<QToolButton>("Btn_CombinedSearch")->text(), QStringLiteral("组合查询(&A)"));
        // Enter in the search box does nothing while the search button is disabled.
        search(2, "zzz");
        QCOMPARE(codes(), granted ? QStringList{} : QStringList{"K1"});

        // Another login changes the commands' rights: the buttons follow and keep their captions.
        ws->loginAs(kOwner, 0, granted ? std::initializer_list<int>{} : std::initializer_list<int>{5, 30});
        QCOMPARE(child<QToolButton>("Btn_AddContact")->isEnabled(), !granted);
        QCOMPARE(child<QToolButton>("Btn_AddContact")->text(), QStringLiteral("新增&A"));
        QCOMPARE(child<QToolButton>("Btn_CombinedSearch")->text(), QStringLiteral("组合查询(&A)"));
    }

    // Double-clicks stand for the pages' edit commands and ask for their rights: a page whose edit
    // right is missing opens nothing, whichever page it is.
    void doubleClicks_data() {
        QTest::addColumn<int>("missing");
        QTest::addColumn<QStringList>("expected");
        const QStringList all{"EditCust",  "EditSchedule", "EditContact", "Editsale",   "Editprice",
                              "Editvisit", "Editfeedback", "Edittrack",   "Editbargain"};
        const int rights[] = {3, 24, 31, 18, 35, 39, 43, 47, 51};
        QTest::newRow("every edit right") << 0 << all;
        for (int i = 0; i < all.size(); ++i) {
            QStringList expected = all;
            expected.removeAt(i);
            QTest::addRow("without %d", rights[i]) << rights[i] << expected;
        }
    }
    void doubleClicks() {
        QFETCH(int, missing);
        QFETCH(QStringList, expected);
        addCustomer("K1", "a");
        addCustomer("K2", "b");
        addDetails("K1", 1);
        LoginState::Rights rights;
        rights.fill(true);
        if (missing) rights[missing - 1] = false;
        ws->login.set(kOwner, 0, rights);
        mw->reminderTimer()->stop();
        open();
        QVERIFY(customers().locate("CustCode", "K1"));
        QStringList ran;
        for (const char* c : {"EditCust", "EditSchedule", "EditContact", "Editsale", "Editprice", "Editvisit",
                              "Editfeedback", "Edittrack", "Editbargain"})
            mw->setHandler(QLatin1String(c), [&ran, c] { ran << QLatin1String(c); });
        for (const char* g : {"Grid_Cust", "Grid_Sch", "Grid_Contact", "Grid_Sale", "Grid_price",
                              "Grid_visit", "Grid_suggest", "Grid_track", "Grid_bargain"})
            emit grid(QLatin1String(g))->rowDoubleClicked(0);
        QCOMPARE(ran, expected);

        // A customer without records: the pages have no rows, nothing opens.
        ran.clear();
        QVERIFY(customers().locate("CustCode", "K2"));
        for (const char* g : {"Grid_Contact", "Grid_Sale", "Grid_price", "Grid_bargain"})
            emit grid(QLatin1String(g))->rowDoubleClicked(0);
        QCOMPARE(ran, QStringList{});
    }

    // A code changed in the customer editor: once saved, the eight pages show the customer's rows
    // under the code as saved (the rows were carried before the pages read them again). A change of
    // letter case is carried too; blanks around the code are no change. A new company name shows
    // on the contact page.
    void pagesAfterCodeChange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("stored");
        QTest::newRow("new code") << "KH-99"
                                  << "a"
                                  << "KH-99";
        QTest::newRow("new code and company") << "KH-99"
                                              << "乙公司"
                                              << "KH-99";
        QTest::newRow("letter case only") << "k1"
                                          << "a"
                                          << "k1";
        QTest::newRow("blanks around the code") << " K1 "
                                                << "a"
                                                << "K1";
        QTest::newRow("company only") << "K1"
                                      << "乙公司"
                                      << "K1";
    }
    void pagesAfterCodeChange() {
        QFETCH(QString, typed);
        QFETCH(QString, company);
        QFETCH(QString, stored);
        addCustomer("K1", "a");
        addCustomer("K2", "b");
        addDetails("K1", 2);
        addDetails("K2", 1);
        exec("update contact set Company='a' where CustCode='K1'");
        installCustomerEditorCommands(*ws->ctx, *mw);
        ws->loginAsAdmin();
        mw->reminderTimer()->stop();
        open();
        QVERIFY(customers().locate("CustCode", "K1"));
        ws->onModal([&](QDialog& d) {
            test::type(d, QStringLiteral("Edit_Code"), typed);
            test::type(d, QStringLiteral("Edit_CustName"), company);
            test::click(d, QStringLiteral("Btn_OK"));
            test::click(d, QStringLiteral("Btn_Close"));
        });
        QVERIFY(mw->runCommand(QStringLiteral("EditCust")));
        QCOMPARE(customers().text("CustCode"), stored);
        Frm_Data& d = data();
        const QList<std::pair<Dataset*, const char*>> pages{
            {d.Qry_Contact, "Grid_Contact"}, {d.Qry_Schedule, "Grid_Sch"},   {d.Qry_Sale, "Grid_Sale"},
            {d.Qry_price, "Grid_price"},     {d.Qry_visit, "Grid_visit"},    {d.Qry_feedback, "Grid_suggest"},
            {d.Qry_track, "Grid_track"},     {d.Qry_bargain, "Grid_bargain"}};
        for (const auto& [ds, gridName] : pages) {
            QCOMPARE(grid(QLatin1String(gridName))->view()->model()->rowCount(), 2);
            for (int r = 0; r < 2; ++r) QCOMPARE(ds->value(r, "CustCode").toString(), stored);
        }
        for (int r = 0; r < 2; ++r) QCOMPARE(d.Qry_Contact->value(r, "Company").toString(), company);
        // The other customer's rows stay its own.
        QVERIFY(customers().locate("CustCode", "K2"));
        for (const auto& [ds, gridName] : pages) QCOMPARE(rows(ds), 1);
    }

    // The status line shows the count of each load and is cleared when the window closes.
    void statusLine() {
        addCustomer("K1", "a");
        addCustomer("K2", "b");
        ws->loginAsAdmin();
        Frm_Custom* w = open();
        QCOMPARE(status(), count(2));
        addCustomer("K3", "c");
        w->customerMenu()->findChild<QAction*>("Menu_CustRefresh")->trigger();
        QCOMPARE(codes().size(), 3);
        QCOMPARE(status(), count(2));  // a refresh leaves the count as it was
        mw->action(Frm_Main::kWorkbench)->trigger();
        QCOMPARE(status(), count(3));
        QCOMPARE(mw->findChildren<Frm_Custom*>().size(), 1);
        qobject_cast<QMdiSubWindow*>(w->parentWidget())->close();
        QTRY_VERIFY(mw->findChildren<Frm_Custom*>().isEmpty());
        QCOMPARE(status(), QString());
    }

    // The first show of the main window opens the workbench once.
    void firstShowOpensWorkbench() {
        addCustomer("K1", "a");
        ws->loginAsAdmin();
        QVERIFY(mw->runCommand(Frm_Main::kFirstShowWorkbench));
        QCOMPARE(mw->findChildren<Frm_Custom*>().size(), 1);
        QCOMPARE(codes(), QStringList{"K1"});
        QCOMPARE(status(), count(1));
    }

    // The customer delete acts on the rows selected in the workbench's grid.
    void deleteSelectedCustomers() {
        for (const char* c : {"K1", "K2", "K3", "K4"}) {
            addCustomer(QLatin1String(c), QLatin1String(c));
            addDetails(QLatin1String(c), 1);
        }
        ws->loginAsAdmin();
        open();
        QStringList order;
        for (int r = 0; r < 4; ++r) order << customers().value(r, "CustCode").toString();
        grid("Grid_Cust")->selectRows({1, 3});
        ws->prompter.expect(QStringLiteral("删除客户记录,将删除当前客户所有相关的记录"), QMessageBox::Yes,
                            QStringLiteral("警告"));
        mw->action("DelCust")->trigger();
        QStringList left{order[0], order[2]};
        std::sort(left.begin(), left.end());
        QCOMPARE(codes(), left);
        QCOMPARE(db().scalar("select count(*) from T_sale").toInt(), 2);
        // The sales page follows the customer that became current.
        QCOMPARE(data().Qry_Sale->value(0, "CustCode").toString(), customers().text("CustCode"));
    }
};

QTEST_MAIN(TestWorkbench)
#include "tst_workbench.moc"
