// The data grid and the column configuration services: layouts applied from and saved to the
// configuration table, decimals, footer totals, edit buttons, sort markers, code levels and trees.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>
#include <memory>

#include "DBGrid.h"
#include "Dataset.h"
#include "DbError.h"
#include "GridModel.h"
#include "GridServices.h"
#include "TestDb.h"
#include "WindowTest.h"

using namespace qv;
using test::Workstation;

namespace {

struct FieldRow {
    QString field, name;
    int show = 1, showId = 0, width = 80, showUp = 0, sumField = 0, showButton = 0, fieldType = 0,
        dotsize = 0;
};

void addFieldRows(Database& db, const QString& key, const QList<FieldRow>& rows) {
    for (const FieldRow& r : rows)
        db.execute(
            QStringLiteral("insert into T_FieldShow (TableName, Field, Name, Show, ShowID, Width, ShowUp, "
                           "SumField, ShowButton, F_Field, FieldType, dotsize) values (:key, :field, :name, "
                           ":show, :showid, :width, :showup, :sum, :button, 0, :ftype, :dot)"),
            {{QStringLiteral("key"), key},
             {QStringLiteral("field"), r.field},
             {QStringLiteral("name"), r.name},
             {QStringLiteral("show"), r.show},
             {QStringLiteral("showid"), r.showId},
             {QStringLiteral("width"), r.width},
             {QStringLiteral("showup"), r.showUp},
             {QStringLiteral("sum"), r.sumField},
             {QStringLiteral("button"), r.showButton},
             {QStringLiteral("ftype"), r.fieldType},
             {QStringLiteral("dot"), r.dotsize}});
}

void addLine(Database& db, const QString& code, const QString& product, double price, double number) {
    db.execute(
        QStringLiteral("insert into T_SaleDetail (BillCode, Product_Code, Product, SalePrice, Number, "
                       "DisCount, SaleMoney) values ('B1', :code, :product, :price, :number, 1, :money)"),
        {{QStringLiteral("code"), code},
         {QStringLiteral("product"), product},
         {QStringLiteral("price"), price},
         {QStringLiteral("number"), number},
         {QStringLiteral("money"), price * number}});
}

QStringList titles(const DBGrid& g) {
    QStringList out;
    for (int c : g.visualColumns()) out << g.columnTitle(c);
    return out;
}

QStringList fields(const DBGrid& g) {
    QStringList out;
    for (int c : g.visualColumns()) out << g.columnField(c);
    return out;
}

QStringList columnOf(Dataset& ds, const QString& field) {
    QStringList out;
    ds.fetchAll();
    for (int r = 0; r < ds.loadedRows(); ++r) out << ds.value(r, field).toString();
    return out;
}

}  // namespace

class TestGrid : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Dataset> ds;
    std::unique_ptr<DBGrid> grid;

    Database& db() { return ws->db(); }
    Context& ctx() { return *ws->ctx; }

    void openLines() {
        addLine(db(), QStringLiteral("P1"), QStringLiteral("螺丝"), 3.5, 2);
        addLine(db(), QStringLiteral("P2"), QStringLiteral("O'Neil 扳手"), 10, 1.5);
        addLine(db(), QStringLiteral("P3"), QStringLiteral("钳子\n第二行"), 0.25, 4);
        ds->setSql(QStringLiteral("select * from T_SaleDetail order by SaleDetailID"));
        ds->open();
    }

    // Product_Code, SalePrice (hidden), Number (sum, marker), Product (button), SaleMoney (sum)
    void addProbeLayout() {
        addFieldRows(db(), QStringLiteral("Probe"),
                     {{QStringLiteral("Product"), QStringLiteral("名称"), 1, 3, 150, 0, 0, 1},
                      {QStringLiteral("Number"), QStringLiteral("数量"), 1, 1, 60, 1, 1},
                      {QStringLiteral("Product_Code"), QStringLiteral("编码"), 1, 0, 90},
                      {QStringLiteral("SalePrice"), QStringLiteral("单价"), 0, 2, 70},
                      {QStringLiteral("SaleMoney"), QStringLiteral("金额"), 1, 2, 100, 0, 0, 0, 1, 3}});
    }

    // File names and code rules are checked without a database.
    bool needsWorkstation(const char* function) const override {
        return !QByteArrayList{"decimalsFormats", "codeLevel"}.contains(function);
    }
    void setUp() override {
        ds = std::make_unique<Dataset>(db(), QStringLiteral("Qry_Probe"));
        grid = std::make_unique<DBGrid>();
        grid->setObjectName(QStringLiteral("Grid_Probe"));
    }
    void tearDown() override {
        grid.reset();
        ds.reset();
    }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void applyLayoutBuildsTheConfiguredColumns() {
        openLines();
        addProbeLayout();
        QAbstractItemModelTester tester(grid->gridModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Probe")));

        QVERIFY(grid->isConfigured());
        QCOMPARE(fields(*grid), (QStringList{"Product_Code", "Number", "SaleMoney", "Product"}));
        QCOMPARE(titles(*grid), (QStringList{"编码", "数量", "金额", "名称"}));
        QCOMPARE(grid->view()->horizontalHeader()->sectionSize(3), 150);
        QCOMPARE(grid->columnWidth(0), 90);
        // The captions become the dataset's display labels.
        QCOMPARE(ds->displayLabel(QStringLiteral("Number")), QStringLiteral("数量"));
        QCOMPARE(grid->gridModel()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("数量"));
        // Markers, sums and buttons as configured; the grid keeps the dataset's rows.
        QCOMPARE(grid->sortMarker(1), SortMarker::Ascending);
        QCOMPARE(grid->markedColumns(), QVector<int>{1});
        QVERIFY(grid->column(1).sum);
        QVERIFY(grid->column(2).sum);  // FieldType 1
        QVERIFY(!grid->column(0).sum);
        QVERIFY(grid->showsButton(0, 3));
        QVERIFY(!grid->showsButton(0, 0));
        QCOMPARE(grid->gridModel()->rowCount(), 3);
        QCOMPARE(grid->gridModel()->index(1, 3).data().toString(), QStringLiteral("O'Neil 扳手"));
        // Memo text is drawn on one line; the whole text is in the tool tip.
        QCOMPARE(grid->gridModel()->index(2, 3).data().toString(), QStringLiteral("钳子 第二行"));
        QCOMPARE(grid->gridModel()->index(2, 3).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("钳子\n第二行"));
        QCOMPARE(grid->gridModel()->index(0, 3).data(Qt::ToolTipRole).toString(), QString());
        QCOMPARE(grid->cellText(2, 3), QStringLiteral("钳子\n第二行"));

        // Applying again (as windows do on refresh) gives the same grid.
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Probe")));
        QCOMPARE(fields(*grid), (QStringList{"Product_Code", "Number", "SaleMoney", "Product"}));
        QCOMPARE(grid->markedColumns(), QVector<int>{1});
    }

    void applyLayoutWithoutShownRowsShowsTheDatasetFields() {
        openLines();
        addFieldRows(db(), QStringLiteral("AllHidden"),
                     {{QStringLiteral("Product"), QStringLiteral("名称"), 0}});
        for (const QString& key : {QStringLiteral("AllHidden"), QStringLiteral("NoSuchKey")}) {
            QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, key));
            QVERIFY(!grid->isConfigured());
            QCOMPARE(fields(*grid), ds->fieldNames());
            QCOMPARE(titles(*grid), ds->fieldNames());
        }
        // A configured grid goes back to the dataset's fields as well.
        addProbeLayout();
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Probe")));
        QCOMPARE(grid->columnCount(), 4);
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("NoSuchKey")));
        QCOMPARE(grid->columnCount(), ds->fieldCount());
    }

    void applyLayoutKeysAreComparedWithoutCase() {
        openLines();
        addProbeLayout();
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("PROBE")));
        QCOMPARE(grid->columnCount(), 4);
    }

    void applyLayoutShowsAtMost51Columns() {
        openLines();
        QList<FieldRow> rows;
        for (int i = 0; i < 60; ++i)
            rows << FieldRow{QStringLiteral("Product"), QStringLiteral("名称%1").arg(i), 1, i};
        addFieldRows(db(), QStringLiteral("Wide"), rows);
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Wide")));
        QCOMPARE(grid->columnCount(), kMaxGridColumns);
    }

    void decimals_data() {
        QTest::addColumn<int>("ini1");
        QTest::addColumn<int>("ini2");
        QTest::addColumn<int>("dotsize");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("footer");  // the sum 13.75 of the column
        QTest::newRow("INI1 2") << 2 << 5 << 1 << "3.50" << "0.00" << "13.75";
        QTest::newRow("INI1 0") << 0 << 5 << 1 << "4" << "0" << "14";
        QTest::newRow("INI1 1") << 1 << 5 << 1 << "3.5" << "0.0" << "13.8";
        QTest::newRow("INI1 10") << 10 << 5 << 1 << "3.5000000000" << "0.0000000000" << "13.7500000000";
        QTest::newRow("INI1 11 out of range") << 11 << 5 << 1 << "3.5" << "" << "13.75";
        QTest::newRow("INI1 -1 out of range") << -1 << 5 << 1 << "3.5" << "" << "13.75";
        QTest::newRow("INI2 for dotsize 2") << 2 << 3 << 2 << "3.500" << "0.000" << "13.750";
        QTest::newRow("dotsize 0") << 2 << 3 << 0 << "3.5" << "" << "13.75";
        QTest::newRow("dotsize 4 unknown") << 2 << 3 << 4 << "3.5" << "" << "13.75";
    }

    void decimals() {
        QFETCH(int, ini1);
        QFETCH(int, ini2);
        QFETCH(int, dotsize);
        QFETCH(QString, shown);
        QFETCH(QString, format);
        QFETCH(QString, footer);
        ctx().options.ini1 = ini1;
        ctx().options.ini2 = ini2;
        openLines();
        addFieldRows(db(), QStringLiteral("Dec"),
                     {{QStringLiteral("SalePrice"), QStringLiteral("单价"), 1, 0, 80, 0, 1, 0, 0, dotsize}});
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Dec")));
        QCOMPARE(grid->column(0).format, format);
        QCOMPARE(grid->gridModel()->index(0, 0).data().toString(), shown);
        grid->setFooterVisible(true);
        QCOMPARE(grid->footerText(0), footer);
    }

    void decimalsFormats() {
        QCOMPARE(decimalsFormat(0), QStringLiteral("0"));
        QCOMPARE(decimalsFormat(3), QStringLiteral("0.000"));
        QCOMPARE(decimalsFormat(10), QStringLiteral("0.0000000000"));
        QCOMPARE(decimalsFormat(11), QString());
        QCOMPARE(decimalsFormat(-1), QString());
    }

    void applyLayoutStopsAtAFieldThatDoesNotExist() {
        openLines();
        addFieldRows(db(), QStringLiteral("Bad"),
                     {{QStringLiteral("Product_Code"), QStringLiteral("编码"), 1, 0},
                      {QStringLiteral("Number"), QStringLiteral("数量"), 1, 1},
                      {QStringLiteral("NoSuchField"), QStringLiteral("没有"), 1, 2},
                      {QStringLiteral("Product"), QStringLiteral("名称"), 1, 3}});
        ws->prompter.expect(QStringLiteral("字段 NoSuchField 不存在"), QMessageBox::Ok,
                            QStringLiteral("错误"));
        QVERIFY(!ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Bad")));
        QCOMPARE(fields(*grid), (QStringList{"Product_Code", "Number"}));
        QCOMPARE(ds->displayLabel(QStringLiteral("Product")), QStringLiteral("Product"));
    }

    void footerTotalsComeFromTheWholeResult() {
        // 2000 lines: the footer is right although the grid has read only the first chunk.
        db().execute(
            QStringLiteral("insert into T_SaleDetail (BillCode, Product_Code, Number, SaleMoney) "
                           "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
                           "select 'B', 'P' || i, i, 0.5 from n"));
        ds->setSql(QStringLiteral("select * from T_SaleDetail"));
        ds->open();
        addProbeLayout();
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Probe")));
        grid->setFooterVisible(true);
        QCOMPARE(grid->footerText(1), QStringLiteral("2001000"));
        QCOMPARE(grid->footerText(2), QStringLiteral("1000.00"));  // amounts: two decimals
        QCOMPARE(grid->footerText(0), QString());
        QVERIFY(ds->loadedRows() < 2000);

        // An edit of a shown row changes the total.
        ds->setUpdateTable(QStringLiteral("T_SaleDetail"), QStringLiteral("SaleDetailID"));
        ds->first();
        const double before = ds->value(QStringLiteral("Number")).toDouble();
        ds->edit();
        ds->setValue(QStringLiteral("Number"), before + 1000);
        ds->post();
        QCOMPARE(grid->footerText(1), QStringLiteral("2002000"));
    }

    void editButtonsRunTheProductPicker_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("pickers");
        // The two spellings are different keys to the program though the same rows to the database.
        QTest::newRow("gridsale: button columns") << "gridsale" << QStringList{"Product_Code", "Product"};
        QTest::newRow("GridSale: every column")
            << "GridSale"
            << QStringList{"Product_Code", "Product",  "Product_Specific", "Unit_Name", "SalePrice",
                           "Number",       "DisCount", "CMoney",           "memo"};
        QTest::newRow("other spelling: none") << "GRIDSALE" << QStringList{};
    }

    void editButtonsRunTheProductPicker() {
        QFETCH(QString, key);
        QFETCH(QStringList, pickers);
        ds->addCalculatedField(QStringLiteral("CMoney"), [](const Dataset&, int) { return QVariant(); });
        openLines();
        grid->setReadOnly(false);
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, key));
        QSignalSpy buttons(grid.get(), &DBGrid::editButtonClicked);
        QSignalSpy picker(grid.get(), &DBGrid::productPickerRequested);
        QStringList picked;
        for (int c = 0; c < grid->columnCount(); ++c) {
            // Buttons show where configured (ShowButton 1: the code and the name).
            const bool configured = grid->columnField(c) == QLatin1String("Product_Code") ||
                                    grid->columnField(c) == QLatin1String("Product");
            QCOMPARE(grid->column(c).button, configured);
            picker.clear();
            grid->clickEditButton(1, c);
            QCOMPARE(grid->currentRow(), 1);
            QCOMPARE(ds->currentRow(), 1);
            if (!picker.isEmpty()) {
                QCOMPARE(picker.first().at(1).toInt(), 1);
                picked << picker.first().at(0).toString();
            }
        }
        QCOMPARE(buttons.size(), grid->columnCount());
        QCOMPARE(picked, pickers);
    }

    void saveLayoutStoresTheArrangedOrderAndWidths() {
        openLines();
        addProbeLayout();
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Probe")));
        grid->moveColumn(3, 0);  // Product dragged to the front
        grid->setColumnWidth(grid->columnOf(QStringLiteral("Number")), 77);
        QCOMPARE(fields(*grid), (QStringList{"Product", "Product_Code", "Number", "SaleMoney"}));
        ws->prompter.expect(QStringLiteral("列属性已成功保存!"), QMessageBox::Ok, QStringLiteral("提醒"));
        SaveGridLayout(ctx(), *grid, QStringLiteral("Probe"), true);

        QSqlQuery q =
            db().exec(QStringLiteral("select Field, ShowID, Width from T_FieldShow where TableName='Probe' "
                                     "and Show=1 order by ShowID"));
        QStringList stored;
        while (q.next())
            stored << QStringLiteral("%1 %2 %3")
                          .arg(q.value(0).toString())
                          .arg(q.value(1).toInt())
                          .arg(q.value(2).toInt());
        QCOMPARE(stored,
                 (QStringList{"Product 0 150", "Product_Code 1 90", "Number 2 77", "SaleMoney 3 100"}));
        // The hidden row keeps its place.
        QCOMPARE(
            db().scalar(QStringLiteral(
                            "select ShowID from T_FieldShow where TableName='Probe' and Field='SalePrice'"))
                .toInt(),
            2);

        // Without confirmation nothing is shown; the next layout comes back as saved.
        SaveGridLayout(ctx(), *grid, QStringLiteral("Probe"), false);
        DBGrid other;
        QVERIFY(ApplyGridLayout(ctx(), other, *ds, QStringLiteral("Probe")));
        QCOMPARE(fields(other), (QStringList{"Product", "Product_Code", "Number", "SaleMoney"}));
        QCOMPARE(other.columnWidth(2), 77);
    }

    void sortByMarkers_data() {
        QTest::addColumn<QStringList>("marks");  // field, "+" or "-", in marking order
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("codes");  // Product_Code in the sorted order
        QTest::newRow("none") << QStringList{} << "" << QStringList{"G1", "G2", "G3", "G4"};
        QTest::newRow("Goods1") << QStringList{"Goods1", "+"} << "  Goods1"
                                << QStringList{"G3", "G1", "G4", "G2"};
        QTest::newRow("Goods1 desc") << QStringList{"Goods1", "-"} << "  Goods1 DESC "
                                     << QStringList{"G2", "G4", "G1", "G3"};
        QTest::newRow("Goods2 then Goods1")
            << QStringList{"Goods2", "+", "Goods1", "-"} << "  Goods2, Goods1 DESC "
            << QStringList{"G4", "G1", "G2", "G3"};
        QTest::newRow("Goods1 then Goods2") << QStringList{"Goods1", "+", "Goods2", "+"} << "  Goods1, Goods2"
                                            << QStringList{"G3", "G1", "G4", "G2"};
        QTest::newRow("Goods2 desc then Goods1")
            << QStringList{"Goods2", "-", "Goods1", "+"} << "  Goods2 DESC , Goods1"
            << QStringList{"G3", "G2", "G1", "G4"};
    }

    void sortByMarkers() {
        QFETCH(QStringList, marks);
        QFETCH(QString, text);
        QFETCH(QStringList, codes);
        const QList<QStringList> products{
            {"G1", "b", "x"}, {"G2", "d", "y"}, {"G3", "a", "y"}, {"G4", "c", "x"}};
        for (const QStringList& p : products)
            db().execute(
                QStringLiteral("insert into T_Products (Product_Code, Goods1, Goods2) values (:c, :g1, :g2)"),
                {{QStringLiteral("c"), p[0]}, {QStringLiteral("g1"), p[1]}, {QStringLiteral("g2"), p[2]}});
        ds->setSql(QStringLiteral("select * from T_Products order by Product_Code"));
        ds->open();
        addFieldRows(db(), QStringLiteral("Goods"),
                     {{QStringLiteral("Product_Code"), QStringLiteral("编码"), 1, 0},
                      {QStringLiteral("Goods1"), QStringLiteral("商品1"), 1, 1, 80, 1},
                      {QStringLiteral("Goods2"), QStringLiteral("商品2"), 1, 2}});
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Goods")));
        grid->clearSortMarkers();
        for (int i = 0; i + 1 < marks.size(); i += 2)
            grid->setSortMarker(grid->columnOf(marks[i]), marks[i + 1] == QLatin1String("-")
                                                              ? SortMarker::Descending
                                                              : SortMarker::Ascending);
        QCOMPARE(SortByMarkers(*grid, *ds), text);
        QCOMPARE(columnOf(*ds, QStringLiteral("Product_Code")), codes);
    }

    void sortMarkersFollowTitleClicks() {
        openLines();
        addProbeLayout();
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Probe")));
        QSignalSpy titles(grid.get(), &DBGrid::titleClicked);
        QSignalSpy changed(grid.get(), &DBGrid::sortMarkersChanged);
        auto* header = grid->view()->horizontalHeader();
        // Without title sorting a click only reports the title.
        emit header->sectionClicked(0);
        QCOMPARE(titles.size(), 1);
        QCOMPARE(titles.first().first().toString(), QStringLiteral("Product_Code"));
        QCOMPARE(changed.size(), 0);
        QCOMPARE(grid->markedColumns(), QVector<int>{1});

        grid->setTitleSorting(true);
        emit header->sectionClicked(0);  // replaces the configured marker
        QCOMPARE(grid->markedColumns(), QVector<int>{0});
        QCOMPARE(grid->sortMarker(0), SortMarker::Ascending);
        QCOMPARE(grid->sortMarker(1), SortMarker::None);
        emit header->sectionClicked(0);  // toggles
        QCOMPARE(grid->sortMarker(0), SortMarker::Descending);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(SortByMarkers(*grid, *ds), QStringLiteral("  Product_Code DESC "));
        QCOMPARE(columnOf(*ds, QStringLiteral("Product_Code")), (QStringList{"P3", "P2", "P1"}));
    }

    void currentRowFollowsBothWays() {
        openLines();
        addProbeLayout();
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Probe")));
        QCOMPARE(grid->currentRow(), 0);
        ds->setCurrentRow(2);
        QCOMPARE(grid->currentRow(), 2);
        grid->view()->setCurrentIndex(grid->gridModel()->index(1, 2));
        QCOMPARE(ds->currentRow(), 1);
        QCOMPARE(ds->value(QStringLiteral("Product_Code")).toString(), QStringLiteral("P2"));
        // Re-opening the dataset puts both on its first row.
        ds->refresh();
        QCOMPARE(ds->currentRow(), 1);
        QCOMPARE(grid->currentRow(), 1);
        ds->open();
        QCOMPARE(grid->currentRow(), 0);

        // Several rows selected; whole rows.
        grid->setMultiSelect(true);
        grid->selectRows({0, 2});
        QCOMPARE(grid->selectedRows(), (QList<int>{0, 2}));
        grid->setMultiSelect(false);
        ds->last();
        QCOMPARE(grid->selectedRows(), QList<int>{2});
    }

    void readOnlyAndEditableGrids() {
        openLines();
        ds->setUpdateTable(QStringLiteral("T_SaleDetail"), QStringLiteral("SaleDetailID"));
        addProbeLayout();
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Probe")));
        GridModel* m = grid->gridModel();
        QVERIFY(grid->isReadOnly());
        QVERIFY(!(m->flags(m->index(0, 3)) & Qt::ItemIsEditable));
        QVERIFY(!m->setData(m->index(0, 3), QStringLiteral("x")));

        grid->setReadOnly(false);
        QVERIFY(m->flags(m->index(0, 3)) & Qt::ItemIsEditable);
        QVERIFY(m->setData(m->index(0, 3), QStringLiteral("新名称")));
        ds->post();
        QCOMPARE(db().scalar(QStringLiteral("select Product from T_SaleDetail where Product_Code='P1'"))
                     .toString(),
                 QStringLiteral("新名称"));
        // The grid's flags come from its dataset: a dataset without an update table is not edited.
        Dataset plain(db(), QStringLiteral("Qry_Plain"));
        plain.setSql(QStringLiteral("select * from T_SaleDetail"));
        plain.open();
        DBGrid g2;
        g2.setReadOnly(false);
        g2.setDataset(&plain);
        QVERIFY(!(g2.gridModel()->flags(g2.gridModel()->index(0, 0)) & Qt::ItemIsEditable));
    }

    void datasetErrorsInTheGridGoToTheErrorBox() {
        openLines();
        ds->setUpdateTable(QStringLiteral("T_SaleDetail"), QStringLiteral("NoSuchKey"));
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("NoSuchKey")));
        grid->setReadOnly(false);
        ws->prompter.expect(DbError(QStringLiteral("数据集 Qry_Probe 不能修改")).text(), QMessageBox::Ok,
                            QStringLiteral("错误"));
        QVERIFY(!grid->gridModel()->setData(grid->gridModel()->index(0, 2), QStringLiteral("x")));
    }

    // Yes/no columns show a check mark, not 1/0, and are not edited in the grid, also in an editable
    // grid and under a configured layout; printed they show "√" or nothing.
    void yesNoColumnsShowACheckMark_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("configured");
        QTest::newRow("contact.Main") << "contact"
                                      << "Main" << false;
        QTest::newRow("T_Schedule.Awoke") << "T_Schedule"
                                          << "Awoke" << false;
        QTest::newRow("T_Schedule.Awoke, configured") << "T_Schedule"
                                                      << "Awoke" << true;
    }
    void yesNoColumnsShowACheckMark() {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(bool, configured);
        for (int v : {1, 0})
            db().execute(QStringLiteral("insert into %1 (CustCode, %2) values ('K1', :v)").arg(table, field),
                         {{QStringLiteral("v"), v}});
        ds->setSql(QStringLiteral("select CustCode, %1 from %2 order by %1 desc").arg(field, table));
        ds->open();
        if (configured) {
            addFieldRows(db(), QStringLiteral("YesNo"),
                         {{field, QStringLiteral("提醒"), 1, 0, 60},
                          {QStringLiteral("CustCode"), QStringLiteral("编号"), 1, 1, 90}});
            QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("YesNo")));
        } else {
            grid->setDataset(ds.get());
        }
        grid->setReadOnly(false);
        GridModel* m = grid->gridModel();
        const int c = grid->columnOf(field);
        QVERIFY(c >= 0);
        QCOMPARE(m->index(0, c).data(Qt::DisplayRole), QVariant());
        QCOMPARE(m->index(0, c).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(m->index(1, c).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!(m->flags(m->index(0, c)) & Qt::ItemIsEditable));
        QVERIFY(!(m->flags(m->index(0, c)) & Qt::ItemIsUserCheckable));
        QVERIFY(!m->setData(m->index(0, c), 0));
        QCOMPARE(grid->cellText(0, c), QStringLiteral("√"));
        QCOMPARE(grid->cellText(1, c), QString());
        // Other columns keep their text.
        const int code = grid->columnOf(QStringLiteral("CustCode"));
        QCOMPARE(m->index(0, code).data(Qt::DisplayRole).toString(), QStringLiteral("K1"));
        QCOMPARE(m->index(0, code).data(Qt::CheckStateRole), QVariant());
    }

    void codeLevel_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("level");
        for (int len = 1; len <= 32; ++len)
            QTest::addRow("length %d", len) << kCodePattern << QString(len, QLatin1Char('1'))
                                            << (len % 2 == 0 && len <= 30 ? len / 2 : -1);
        QTest::newRow("empty code") << kCodePattern << "" << -1;
        QTest::newRow("empty pattern") << ""
                                       << "01" << -1;
        QTest::newRow("uneven levels") << "324"
                                       << "01234" << 2;
        QTest::newRow("uneven levels, no match") << "324"
                                                 << "0123" << -1;
        QTest::newRow("not a pattern") << "2x2"
                                       << "0101" << -1;
    }

    void codeLevel() {
        QFETCH(QString, pattern);
        QFETCH(QString, code);
        QFETCH(int, level);
        QCOMPARE(CodeLevel(pattern, code), level);
    }

    void loadCodeTreeNestsByCode() {
        db().execute(QStringLiteral("delete from Dict_Cust_Category"));
        const QList<QStringList> rows{{"01", "华北"},   {"0101", "北京"},   {"010101", "海淀"},
                                      {"011", "坏码"},  {"0102 ", "天津"},  {"02", "华东"},
                                      {"0201", "上海"}, {"030101", "孤儿"}, {"04", "华南 "}};
        for (const QStringList& r : rows)
            db().execute(QStringLiteral("insert into Dict_Cust_Category (Code, Name) values (:c, :n)"),
                         {{QStringLiteral("c"), r[0]}, {QStringLiteral("n"), r[1]}});
        QTreeWidget tree;
        tree.addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("旧")}));
        LoadCodeTree(ctx(), tree, QStringLiteral("dict_cust_category"), QStringLiteral("客户分类"));

        QCOMPARE(tree.topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree.topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("客户分类"));
        QVERIFY(root->isExpanded());
        std::function<QString(QTreeWidgetItem*)> shape = [&](QTreeWidgetItem* item) {
            QStringList kids;
            for (int i = 0; i < item->childCount(); ++i) kids << shape(item->child(i));
            return item->text(0) + (kids.isEmpty() ? QString() : QStringLiteral("(") + kids.join(',') + ')');
        };
        // Codes of odd length are skipped; a code whose parent is missing hangs under the root.
        QCOMPARE(shape(root),
                 QStringLiteral("客户分类(01-华北(0101-北京(010101-海淀),0102-天津),02-华东(0201-上海),"
                                "030101-孤儿,04-华南)"));
        QCOMPARE(root->child(0)->child(0)->data(0, kCodeRole).toString(), QStringLiteral("0101"));
        QCOMPARE(root->child(0)->data(0, kImageIndexRole).toInt(), 0);
        QVERIFY(!root->child(0)->isExpanded());

        // Only tables of the schema reach the statement.
        QVERIFY_THROWS_EXCEPTION(DbError, LoadCodeTree(ctx(), tree, QStringLiteral("admin; drop table admin"),
                                                       QStringLiteral("x")));
        QVERIFY(db().hasTable(QStringLiteral("admin")));
    }

    void loadRightsTreeBuildsTwoLevels() {
        QTreeWidget tree;
        LoadRightsTree(ctx(), tree, QStringLiteral("T_PartAuthority"), QStringLiteral(" Partname=:role"),
                       {{QStringLiteral("role"), QStringLiteral("普通用户")}});
        QSqlQuery q =
            db().exec(QStringLiteral("select Code, FunctionName, Tag from T_PartAuthority "
                                     "where PartName='普通用户' order by Code"));
        int tops = 0, nodes = 0;
        QTreeWidgetItem* top = nullptr;
        while (q.next()) {
            const QString code = q.value(0).toString().trimmed();
            QTreeWidgetItem* item = nullptr;
            if (code.size() == 2) {
                item = top = tree.topLevelItem(tops++);
            } else if (code.size() == 4) {
                QVERIFY(top);
                for (int i = 0; i < top->childCount(); ++i)
                    if (top->child(i)->data(0, kCodeRole).toString() == code) item = top->child(i);
            }
            QVERIFY2(item, qPrintable(code));
            ++nodes;
            QCOMPARE(item->data(0, kCodeRole).toString(), code);
            QCOMPARE(item->text(0), q.value(1).toString().trimmed());
            QCOMPARE(item->data(0, kImageIndexRole).toInt(), code.toInt());
            const int tag = q.value(2).toInt();
            QCOMPARE(item->checkState(0), tag == 2   ? Qt::Checked
                                          : tag == 3 ? Qt::PartiallyChecked
                                                     : Qt::Unchecked);
        }
        QVERIFY(tops > 1);
        QCOMPARE(tree.topLevelItemCount(), tops);
        int count = 0;
        for (QTreeWidgetItemIterator it(&tree); *it; ++it) ++count;
        QCOMPARE(count, nodes);
        QVERIFY(tree.topLevelItem(0)->isExpanded());
        QVERIFY(!tree.topLevelItem(1)->isExpanded());

        // A value with a quote is bound: no rows, no error.
        LoadRightsTree(ctx(), tree, QStringLiteral("T_UserAuthority"), QStringLiteral(" username=:name"),
                       {{QStringLiteral("name"), QStringLiteral("O'Brien")}});
        QCOMPARE(tree.topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
