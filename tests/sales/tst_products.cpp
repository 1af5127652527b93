#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "CodeSequence.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "Frm_Products.h"
#include "Frm_S_goods.h"
#include "IniFile.h"
#include "SalesCommands.h"
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

const QString kWarning = QStringLiteral("警告");
const QString kCodeTaken = QStringLiteral("商品编码有重复，请您换一个商品编码!");

}  // namespace

class TestProducts : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }
    Dataset& products() { return *ws->data->Qry_Products; }
    int count(const QString& sql, const Params& p = {}) { return db().scalar(sql, p).toInt(); }

    void addProduct(const QString& code, const QString& name, const QString& type = QString()) {
        db().execute(QStringLiteral("insert into T_Products (Product_Code, Product, GoodsType, Goods7, "
                                    "SalePrice, CostPrice) values (:c, :n, :t, 'seven', 12.5, 8)"),
                     {{"c", code}, {"n", name}, {"t", type}});
    }
    void openProducts() {
        ws->data->OpenQuery(products(), QStringLiteral("select * from T_products order by Product_ID"));
    }
    void run(const char* command, Workstation::Driver driver) {
        ws->onModal(std::move(driver));
        QVERIFY(mw->runCommand(QLatin1String(command)));
    }
    int autocoding() { return db().scalar(QStringLiteral("select autocoding from T_SoftInfo")).toInt(); }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installSalesCommands(*ws->ctx, *mw, {});
        ws->loginAsAdmin();
        mw->reminderTimer()->stop();
    }
    void tearDown() override { mw.reset(); }
    bool needsWorkstation(const char* fn) const override { return qstrcmp(fn, "nextCode") != 0; }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void nextCode_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("next");
        QTest::newRow("tail 0009") << "SP0009"
                                   << "SP0010";
        QTest::newRow("tail 0999") << "SP0999"
                                   << "SP1000";
        QTest::newRow("tail 9999") << "SP9999"
                                   << "SP10000";
        QTest::newRow("short, empty head") << "12"
                                           << "0013";
        QTest::newRow("only four digits") << "0001"
                                          << "0002";
        QTest::newRow("letters at the end") << "SP00A1"
                                            << "";
    }
    void nextCode() {
        QFETCH(QString, code);
        QFETCH(QString, next);
        QCOMPARE(codeseq::nextCode(code), next);
        QCOMPARE(codeseq::tailIsNumber(code), !next.isEmpty());
    }

    // The switch lives in T_SoftInfo, the counter in this workstation's Config.ini; both survive
    // closing and reopening the editor, and every saved product advances the counter.
    void autocodingKeptAcrossReopening() {
        db().execute(QStringLiteral("update T_SoftInfo set autocoding=0"));
        ws->data->ini().writeString(QStringLiteral("Other"), QStringLiteral("GoodsCode"),
                                    QStringLiteral("SP0009"));
        run("AddProducts", [this](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("添加商品"));
            QVERIFY(!child<QCheckBox>(d, "cb_Auto")->isChecked());
            QCOMPARE(textOf(d, "Edit_Code"), QString());
            click(d, "cb_Auto");
            QCOMPARE(autocoding(), 1);
            QVERIFY(ws->ctx->options.autocoding);
            QCOMPARE(textOf(d, "Edit_Code"), QStringLiteral("SP0009"));
            type(d, "Edit_Name", QStringLiteral("Bolt"));
            click(d, "Btn_OK");
            QCOMPARE(textOf(d, "Edit_Code"), QStringLiteral("SP0010"));
            QCOMPARE(textOf(d, "Edit_Name"), QString());
            QCOMPARE(textOf(d, "Edit_SalePrice"), QStringLiteral("0"));
            click(d, "Btn_Close");
        });
        QCOMPARE(count(QStringLiteral("select count(*) from T_Products where Product_Code='SP0009'")), 1);
        QCOMPARE(ws->data->ini().readString(QStringLiteral("Other"), QStringLiteral("GoodsCode")),
                 QStringLiteral("SP0010"));
        run("AddProducts", [this](QDialog& d) {
            QVERIFY(child<QCheckBox>(d, "cb_Auto")->isChecked());
            QCOMPARE(textOf(d, "Edit_Code"), QStringLiteral("SP0010"));
            // Automatic codes need a numeric tail.
            type(d, "Edit_Code", QStringLiteral("SPX"));
            type(d, "Edit_Name", QStringLiteral("Nut"));
            ws->prompter.expect(QStringLiteral("请保持商品编码最后四位为数字"), QMessageBox::Ok,
                                QStringLiteral("询问"));
            click(d, "Btn_OK");
            QVERIFY_WORKSTATION(*ws);
            type(d, "Edit_Code", QStringLiteral("12"));
            click(d, "Btn_OK");
            QCOMPARE(textOf(d, "Edit_Code"), QStringLiteral("0013"));
            click(d, "cb_Auto");
            QCOMPARE(autocoding(), 0);
            QCOMPARE(textOf(d, "Edit_Code"), QString());
            // Without automatic codes any code is taken, and the box is emptied after saving.
            type(d, "Edit_Code", QStringLiteral("SPX"));
            type(d, "Edit_Name", QStringLiteral("Washer"));
            click(d, "Btn_OK");
            QCOMPARE(textOf(d, "Edit_Code"), QString());
            click(d, "Btn_Close");
        });
        QCOMPARE(count(QStringLiteral("select count(*) from T_Products")), 3);
        run("AddProducts", [](QDialog& d) {
            QVERIFY(!child<QCheckBox>(d, "cb_Auto")->isChecked());
            d.reject();
        });
    }

    // Required boxes and a price that is no number stop the save with a message; nothing is stored.
    void refusedEntries_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("message");
        QTest::newRow("no code") << ""
                                 << "Bolt"
                                 << "1"
                                 << "商品编码不能为空!";
        QTest::newRow("no name") << "SP1"
                                 << ""
                                 << "1"
                                 << "商品名称不能为空!";
        QTest::newRow("price only a full stop") << "SP1"
                                                << "Bolt"
                                                << "."
                                                << "“.”不是有效的数字";
        QTest::newRow("price empty") << "SP1"
                                     << "Bolt"
                                     << ""
                                     << "“”不是有效的数字";
    }
    void refusedEntries() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, price);
        QFETCH(QString, message);
        db().execute(QStringLiteral("update T_SoftInfo set autocoding=0"));
        run("AddProducts", [&](QDialog& d) {
            type(d, "Edit_Code", code);
            type(d, "Edit_Name", name);
            type(d, "Edit_SalePrice", price);
            ws->prompter.expect(message);
            click(d, "Btn_OK");
            d.reject();
        });
        QCOMPARE(count(QStringLiteral("select count(*) from T_Products")), 0);
    }

    // A code another product holds (letter case aside) is refused when adding and when changing a
    // code; keeping one's own code is no duplicate.
    void duplicateCodes_data() {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("refused");
        QTest::newRow("add, same code") << false << "SP0001" << true;
        QTest::newRow("add, other case") << false << "sp0001" << true;
        QTest::newRow("add, free code") << false << "SP0003" << false;
        QTest::newRow("edit, another's code") << true << "sp0001" << true;
        QTest::newRow("edit, own code") << true << "SP0002" << false;
        QTest::newRow("edit, own code in other case") << true << "sp0002" << false;
    }
    void duplicateCodes() {
        QFETCH(bool, edit);
        QFETCH(QString, code);
        QFETCH(bool, refused);
        addProduct(QStringLiteral("SP0001"), QStringLiteral("One"));
        addProduct(QStringLiteral("SP0002"), QStringLiteral("Two"));
        openProducts();
        products().last();
        run(edit ? "EditProducts" : "AddProducts", [&](QDialog& d) {
            type(d, "Edit_Code", code);
            type(d, "Edit_Name", QStringLiteral("Changed"));
            if (refused) ws->prompter.expect(kCodeTaken, QMessageBox::Ok, kWarning);
            click(d, "Btn_OK");
            d.reject();
        });
        const int rows = count(QStringLiteral("select count(*) from T_Products"));
        QCOMPARE(rows, edit || refused ? 2 : 3);
        QCOMPARE(count(QStringLiteral("select count(*) from T_Products where Product='Changed'")),
                 refused ? 0 : 1);
        QCOMPARE(products().rowCount(), rows);
    }

    // Another workstation stores the same code between the check and the insert: the unique index
    // refuses it, the operator sees the duplicate message and the list keeps no row that is not stored.
    void duplicateFromAnotherWorkstation() {
        openProducts();
        auto other = ws->another();
        connect(&products(), &Dataset::stateChanged, this, [&other](Dataset::State s) {
            if (s == Dataset::State::Insert)
                other->db().execute(QStringLiteral(
                    "insert into T_Products (Product_Code, Product) values ('SP0100', 'Theirs')"));
        });
        run("AddProducts", [this](QDialog& d) {
            type(d, "Edit_Code", QStringLiteral("SP0100"));
            type(d, "Edit_Name", QStringLiteral("Mine"));
            ws->prompter.expect(kCodeTaken, QMessageBox::Ok, kWarning);
            click(d, "Btn_OK");
            QCOMPARE(textOf(d, "Edit_Code"), QStringLiteral("SP0100"));
            d.reject();
        });
        disconnect(&products(), nullptr, this, nullptr);
        QCOMPARE(products().rowCount(), 0);
        QCOMPARE(products().state(), Dataset::State::Browse);
        QCOMPARE(count(QStringLiteral("select count(*) from T_Products where Product='Mine'")), 0);
    }

    // A changed code is carried into the product's bill lines and commission rates with the row;
    // other products' rows stay; a save that keeps the code touches neither table.
    void codeChangeCarried() {
        addProduct(QStringLiteral("SP0001"), QStringLiteral("One"));
        addProduct(QStringLiteral("SP0002"), QStringLiteral("Two"));
        for (const char* c : {"SP0001", "sp0001", "SP0002"}) {
            db().execute(
                QStringLiteral("insert into T_SaleDetail (Product_Code, BillCode) values (:c, 'B1')"),
                {{"c", c}});
            db().execute(
                QStringLiteral("insert into T_PeopleTC (people, GoodsCode, GoodsTC) values ('Li', :c, '2%')"),
                {{"c", c}});
        }
        openProducts();
        run("EditProducts", [this](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("编辑商品"));
            QCOMPARE(textOf(d, "Edit_Code"), QStringLiteral("SP0001"));
            QCOMPARE(textOf(d, "Edit_Goods7"), QStringLiteral("seven"));
            type(d, "Edit_Name", QStringLiteral("One bis"));
            click(d, "Btn_OK");
            QCOMPARE(count(QStringLiteral("select count(*) from T_SaleDetail where Product_Code='SP0001'")),
                     2);
            type(d, "Edit_Code", QStringLiteral("SP0009"));
            click(d, "Btn_OK");
            d.reject();
        });
        const auto rows = [this](const char* table, const char* column, const char* code) {
            return count(QStringLiteral("select count(*) from %1 where %2=:c")
                             .arg(QLatin1String(table), QLatin1String(column)),
                         {{"c", QLatin1String(code)}});
        };
        QCOMPARE(rows("T_SaleDetail", "Product_Code", "SP0009"), 2);
        QCOMPARE(rows("T_PeopleTC", "GoodsCode", "SP0009"), 2);
        QCOMPARE(rows("T_SaleDetail", "Product_Code", "SP0002"), 1);
        QCOMPARE(rows("T_PeopleTC", "GoodsCode", "SP0002"), 1);
        QCOMPARE(rows("T_Products", "Product_Code", "SP0009"), 1);
        // The free fields keep their stored values.
        QCOMPARE(db().scalar(QStringLiteral("select Goods7 from T_Products where Product_Code='SP0009'"))
                     .toString(),
                 QStringLiteral("seven"));
        QCOMPARE(products().text(QStringLiteral("Product_Code")), QStringLiteral("SP0009"));
    }

    // A code change that the database refuses (another workstation took the code meanwhile) writes
    // nothing: the message is shown, the bill lines keep the old code and the list shows the row as stored.
    void failedCodeChangeRollsBack() {
        addProduct(QStringLiteral("SP0001"), QStringLiteral("One"));
        db().execute(
            QStringLiteral("insert into T_SaleDetail (Product_Code, BillCode) values ('SP0001', 'B1')"));
        openProducts();
        auto other = ws->another();
        connect(&products(), &Dataset::stateChanged, this, [&other](Dataset::State s) {
            if (s == Dataset::State::Edit)
                other->db().execute(QStringLiteral(
                    "insert into T_Products (Product_Code, Product) values ('SP0050', 'Theirs')"));
        });
        run("EditProducts", [this](QDialog& d) {
            type(d, "Edit_Code", QStringLiteral("SP0050"));
            type(d, "Edit_Name", QStringLiteral("Renamed"));
            ws->prompter.expect(kCodeTaken, QMessageBox::Ok, kWarning);
            click(d, "Btn_OK");
            d.reject();
        });
        disconnect(&products(), nullptr, this, nullptr);
        QCOMPARE(count(QStringLiteral("select count(*) from T_SaleDetail where Product_Code='SP0001'")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from T_Products where Product='Renamed'")), 0);
        QCOMPARE(products().state(), Dataset::State::Browse);
        QCOMPARE(products().text(QStringLiteral("Product_Code")), QStringLiteral("SP0001"));
        QCOMPARE(products().text(QStringLiteral("Product")), QStringLiteral("One"));
    }

    // The product window's list follows every key typed into the search boxes.
    void searchAsYouType() {
        addProduct(QStringLiteral("SP0001"), QStringLiteral("Bolt M6"));
        addProduct(QStringLiteral("SP0002"), QStringLiteral("Bolt M8"));
        addProduct(QStringLiteral("XX0003"), QStringLiteral("Nut M8"));
        QList<int> counts;
        ws->onModal([&](QDialog& d) {
            QCOMPARE(child<QLabel>(d, "StatusText")->text(), QStringLiteral("当前共有 3条商品记录"));
            QCOMPARE(child<QTreeWidget>(d, "TreeView1")->topLevelItem(0)->text(0),
                     QStringLiteral("商品分类"));
            ws->onModal([&](QDialog& s) {
                auto* name = child<QLineEdit>(s, "Edit_Name");
                for (const char* key : {"B", "o", "l", "t", " ", "M", "8"}) {
                    QTest::keyClick(name, key[0]);
                    counts << products().rowCount();
                }
                type(s, "Edit_Code", QStringLiteral("SP"));
                counts << products().rowCount();
                click(s, "Btn_Quit");
            });
            click(d, "Btn_Search");
            QCOMPARE(child<QLabel>(d, "StatusText")->text(), QStringLiteral("当前共有 1 条产品记录"));
            // The grid prints under its own title.
            ws->onModal([](QDialog& preview) {
                QCOMPARE(preview.objectName(), QStringLiteral("Frm_PrintPreview"));
                QCOMPARE(preview.windowTitle(), QStringLiteral("货品列表"));
                preview.reject();
            });
            click(d, "Btn_Print");
            d.reject();
        });
        QVERIFY(mw->runCommand(Frm_Main::kProductList));
        QCOMPARE(counts, (QList<int>{2, 2, 2, 2, 2, 2, 1, 1}));
        QCOMPARE(products().text(QStringLiteral("Product_Code")), QStringLiteral("SP0002"));
    }

    void searchStatement_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("specific");
        QTest::addColumn<QString>("sql");
        QTest::newRow("all empty") << ""
                                   << ""
                                   << ""
                                   << "select * from T_products";
        QTest::newRow("code and model")
            << "SP"
            << ""
            << "M8"
            << "select * from T_products where (product_Code like :code)AND(Product_Specific like :specific)";
    }
    void searchStatement() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, specific);
        QFETCH(QString, sql);
        Params params;
        QCOMPARE(Frm_S_goods::statement(code, name, specific, &params), sql);
        if (!code.isEmpty())
            QCOMPARE(params.value(QStringLiteral("code")).toString(),
                     QLatin1Char('%') + code + QLatin1Char('%'));
    }

    // The unit list is read again each time it opens, in the order the units were entered.
    void unitsRefilledInTableOrder() {
        db().execute(QStringLiteral("delete from Dict_unit"));
        for (const char* u : {"箱", "个", " 米 "})
            db().execute(QStringLiteral("insert into Dict_unit (name) values (:n)"),
                         {{"n", QString::fromUtf8(u)}});
        run("AddProducts", [this](QDialog& d) {
            auto* units = child<QComboBox>(d, "Combo_Unit");
            units->showPopup();
            units->hidePopup();
            QCOMPARE(units->count(), 3);
            QCOMPARE(units->itemText(0), QStringLiteral("箱"));
            QCOMPARE(units->itemText(2), QStringLiteral("米"));
            db().execute(QStringLiteral("insert into Dict_unit (name) values ('kg')"));
            units->showPopup();
            units->hidePopup();
            QCOMPARE(units->count(), 4);
            QCOMPARE(units->itemText(3), QStringLiteral("kg"));
            d.reject();
        });
    }

    // Add, edit and delete follow the main window's actions; search, export and print their own rights.
    void buttonsFollowRights() {
        ws->loginAs(QStringLiteral("Li"), 1, {10, 14});
        ws->onModal([](QDialog& d) {
            QVERIFY(child<QToolButton>(d, "Btn_AddProducts")->isEnabled());
            QVERIFY(!child<QToolButton>(d, "Btn_EditProducts")->isEnabled());
            QVERIFY(!child<QToolButton>(d, "Btn_DelProducts")->isEnabled());
            QVERIFY(child<QToolButton>(d, "Btn_Search")->isEnabled());
            QVERIFY(!child<QToolButton>(d, "Btn_Excel")->isEnabled());
            QVERIFY(!child<QToolButton>(d, "Btn_Print")->isEnabled());
            QCOMPARE(child<QToolButton>(d, "Btn_AddProducts")->text(), QStringLiteral("新增&A"));
            d.reject();
        });
        QVERIFY(mw->runCommand(Frm_Main::kProductList));
    }

    // Editing needs a product: with an empty list the command opens nothing.
    void editNeedsAProduct() {
        openProducts();
        QVERIFY(mw->runCommand(QStringLiteral("EditProducts")));
        QVERIFY(ws->allDriversUsed());
    }

    // A category shows its products and those of the categories below it; the root shows all.
    void categoryFilter() {
        db().execute(
            QStringLiteral("insert into Dict_Product_Category (Code, Name) values ('01', 'Metal'), ('0101', "
                           "'Bolts'), ('02', 'Wood')"));
        addProduct(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("01"));
        addProduct(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("0101"));
        addProduct(QStringLiteral("C"), QStringLiteral("c"), QStringLiteral("02"));
        ws->onModal([this](QDialog& d) {
            auto& w = static_cast<Frm_Products&>(d);
            auto* tree = child<QTreeWidget>(d, "TreeView1");
            QTreeWidgetItem* root = tree->topLevelItem(0);
            QVERIFY(root->isExpanded());
            QTreeWidgetItem* metal = root->child(0);
            QCOMPARE(metal->text(0), QStringLiteral("01-Metal"));
            w.categoryClicked(metal);
            QCOMPARE(products().rowCount(), 2);
            QCOMPARE(child<QLabel>(d, "StatusText")->text(), QStringLiteral("当前共有 2 条商品记录"));
            w.categoryClicked(metal->child(0));
            QCOMPARE(products().rowCount(), 1);
            w.categoryClicked(root);
            QCOMPARE(products().rowCount(), 3);
            d.reject();
        });
        QVERIFY(mw->runCommand(Frm_Main::kProductList));
    }
};

QTEST_MAIN(TestProducts)
#include "tst_products.moc"
