// Grid export to Excel workbooks (read back with the workbook readers) and grid printing.
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "DBGrid.h"
#include "Dataset.h"
#include "GridExport.h"
#include "GridPrint.h"
#include "GridServices.h"
#include "SheetReader.h"
#include "TestDb.h"
#include "WindowTest.h"

using namespace qv;
using test::Workstation;

namespace {

int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(pdf).count(page));
}

}  // namespace

class TestGridExport : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Dataset> ds;
    std::unique_ptr<DBGrid> grid;
    QString dir;

    Database& db() { return ws->db(); }
    Context& ctx() { return *ws->ctx; }

    void addBill(const QString& bill, const QDateTime& date) {
        db().execute(QStringLiteral("insert into T_sale (BillCode, SaleDate) values (:b, :d)"),
                     {{QStringLiteral("b"), bill}, {QStringLiteral("d"), date}});
    }
    void addLine(const QString& bill, const QString& code, const QString& product, double price,
                 double number) {
        db().execute(
            QStringLiteral("insert into T_SaleDetail (BillCode, Product_Code, Product, SalePrice, Number) "
                           "values (:b, :c, :p, :price, :n)"),
            {{QStringLiteral("b"), bill},
             {QStringLiteral("c"), code},
             {QStringLiteral("p"), product},
             {QStringLiteral("price"), price},
             {QStringLiteral("n"), number}});
    }
    void addManyLines(int n) {
        db().execute(
            QStringLiteral("insert into T_SaleDetail (BillCode, Product_Code, Product, SalePrice, Number) "
                           "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                           "select 'B', 'P' || i, '商品 ' || i, i, 1 from n")
                .arg(n));
    }
    void layOut() {
        const QStringList rows{"Product_Code|编码|0|0", "Product|名称|1|0", "SalePrice|单价|2|1",
                               "Number|数量|3|0", "SaleDate|日期|4|0"};
        for (const QString& r : rows) {
            const QStringList p = r.split(QLatin1Char('|'));
            db().execute(QStringLiteral(
                             "insert into T_FieldShow (TableName, Field, Name, Show, ShowID, Width, dotsize) "
                             "values ('Exp', :f, :n, 1, :id, 90, :dot)"),
                         {{QStringLiteral("f"), p[0]},
                          {QStringLiteral("n"), p[1]},
                          {QStringLiteral("id"), p[2].toInt()},
                          {QStringLiteral("dot"), p[3].toInt()}});
        }
        QVERIFY(ApplyGridLayout(ctx(), *grid, *ds, QStringLiteral("Exp")));
    }
    void openLines() {
        ds->setSql(
            QStringLiteral("select d.Product_Code, d.Product, d.SalePrice, d.Number, s.SaleDate "
                           "from T_SaleDetail d left join T_sale s on s.BillCode = d.BillCode "
                           "order by d.SaleDetailID"));
        ds->open();
    }

    // File names and code rules are checked without a database.
    bool needsWorkstation(const char* function) const override {
        return !QByteArrayList{"fileNames"}.contains(function);
    }
    void setUp() override {
        ds = std::make_unique<Dataset>(db(), QStringLiteral("Qry_Probe"));
        grid = std::make_unique<DBGrid>();
        dir = QDir(test::TestDb::tempDir())
                  .filePath(QStringLiteral("export-%1").arg(QTest::currentTestFunction()));
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
    }
    void tearDown() override {
        grid.reset();
        ds.reset();
    }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void fileNames_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        const QString xls = QStringLiteral("EXCEL文件(*.xls)");
        const QString xlsx = QStringLiteral("EXCEL 2007 文件(*.xlsx)");
        QTest::newRow("no extension") << "report" << xls << "report.xls";
        QTest::newRow("no extension, no filter told") << "report" << QString() << "report.xls";
        QTest::newRow("no extension, xlsx filter") << "report" << xlsx << "report.xlsx";
        QTest::newRow("xls") << "report.xls" << xls << "report.xls";
        QTest::newRow("xls typed, xlsx filter") << "report.xls" << xlsx << "report.xls";
        QTest::newRow("upper-case XLS") << "report.XLS" << xls << "report.XLS.xls";
        QTest::newRow("upper-case XLS, xlsx filter") << "report.XLS" << xlsx << "report.XLS.xlsx";
        QTest::newRow("mixed case") << "report.Xls" << xls << "report.Xls.xls";
        QTest::newRow("blanks trimmed") << "  /tmp/a b.xls  " << xls << "/tmp/a b.xls";
        QTest::newRow("blanks trimmed, xlsx filter") << "  /tmp/a b  " << xlsx << "/tmp/a b.xlsx";
        QTest::newRow("xlsx") << "report.xlsx" << xls << "report.xlsx";
        QTest::newRow("upper-case XLSX") << "report.XLSX" << xls << "report.XLSX.xls";
        QTest::newRow(".xls inside") << "report.xls.bak" << xls << "report.xls.bak";
        QTest::newRow("other extension") << "report.csv" << xls << "report.csv.xls";
        QTest::newRow("other extension, xlsx filter") << "report.csv" << xlsx << "report.csv.xlsx";
    }

    void fileNames() {
        QFETCH(QString, chosen);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QCOMPARE(excelFileName(chosen, filter), written);
    }

    void refusals() {
        // Not open: refused before any dialog.
        ws->prompter.expect(QStringLiteral("数据没有显示不能导出成Excel文件!"), QMessageBox::Ok,
                            QStringLiteral("提醒"));
        ExportGridToExcel(ctx(), *ds, *grid);
        // Open but empty.
        openLines();
        ws->prompter.expect(QStringLiteral("没有数据,不能导出成Excel文件!"), QMessageBox::Ok,
                            QStringLiteral("提醒"));
        ExportGridToExcel(ctx(), *ds, *grid);
        // The save dialog cancelled: nothing written, nothing asked.
        addLine(QStringLiteral("B1"), QStringLiteral("P1"), QStringLiteral("螺丝"), 1, 1);
        ds->refresh();
        ws->prompter.nextFile(QString());
        ExportGridToExcel(ctx(), *ds, *grid);
        ws->prompter.nextFile(QStringLiteral("   "));
        ExportGridToExcel(ctx(), *ds, *grid);
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList());
        QVERIFY(ws->shell.opened.isEmpty());
    }

    void exportWritesTheShownColumnsAndRows_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QByteArray>("magic");  // the workbook's first bytes: BIFF8 compound file or zip
        const QString xls = QStringLiteral("EXCEL文件(*.xls)");
        const QString xlsx = QStringLiteral("EXCEL 2007 文件(*.xlsx)");
        const QByteArray cfb("\xD0\xCF\x11\xE0", 4), zip("PK\x03\x04", 4);
        QTest::newRow("xls, opened") << "lines"
                                     << "lines.xls" << true << xls << cfb;
        QTest::newRow("xlsx, not opened") << "lines.xlsx"
                                          << "lines.xlsx" << false << xls << zip;
        QTest::newRow("XLS gets .xls") << "lines.XLS"
                                       << "lines.XLS.xls" << true << xls << cfb;
        QTest::newRow("xlsx filter, no extension") << "lines"
                                                   << "lines.xlsx" << false << xlsx << zip;
    }

    void exportWritesTheShownColumnsAndRows() {
        QFETCH(QString, chosen);
        QFETCH(QString, file);
        QFETCH(bool, open);
        QFETCH(QString, filter);
        QFETCH(QByteArray, magic);
        addBill(QStringLiteral("B1"), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
        addBill(QStringLiteral("B2"), QDateTime(QDate(2024, 3, 6), QTime(14, 30, 5)));
        addLine(QStringLiteral("B1"), QStringLiteral("P1"), QStringLiteral("O'Neil 扳手"), 3.5, 2);
        addLine(QStringLiteral("B2"), QStringLiteral("P2"), QStringLiteral("钳子\n第二行"), 10, 1.25);
        addLine(QStringLiteral("B9"), QStringLiteral("P3"), QString(), 0, 0);
        openLines();
        layOut();
        grid->moveColumn(1, 0);                                         // 名称 first
        grid->view()->setColumnHidden(grid->columnOf("Number"), true);  // not shown: not exported

        const QString path = QDir(dir).filePath(file);
        ws->prompter.nextFile(QDir(dir).filePath(chosen), filter);
        ws->prompter.expect(QStringLiteral("文件%1已建立，是否打开文件？").arg(path),
                            open ? QMessageBox::Ok : QMessageBox::Cancel, QStringLiteral("提醒"));
        ExportGridToExcel(ctx(), *ds, *grid);
        QCOMPARE(ws->shell.opened, open ? QStringList{path} : QStringList{});
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{file});
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(4), magic);

        const SheetTable t = readSheet(path);
        QCOMPARE(t.rowCount(), 4);
        QCOMPARE(t.headers(), (QStringList{"名称", "编码", "单价", "日期"}));
        QCOMPARE(t.rows[1], (QStringList{"O'Neil 扳手", "P1", "3.5", "2024-03-05"}));
        QCOMPARE(t.rows[2], (QStringList{"钳子\n第二行", "P2", "10", "2024-03-06 14:30:05"}));
        QCOMPARE(t.rows[3], (QStringList{"", "P3", "0", ""}));
    }

    void exportReadsEveryRow() {
        // More rows than the dataset keeps at once: the export reads them through its window.
        const int n = Dataset::kWindowThreshold + 2000;
        addManyLines(n);
        openLines();
        layOut();
        QVERIFY(ds->loadedRows() < n);
        const QString path = QDir(dir).filePath(QStringLiteral("many.xlsx"));
        ws->prompter.nextFile(path);
        ws->prompter.expect(QStringLiteral("文件%1已建立，是否打开文件？").arg(path), QMessageBox::Cancel);
        ExportGridToExcel(ctx(), *ds, *grid);
        const SheetTable t = readSheet(path);
        QCOMPARE(t.rowCount(), n + 1);
        for (int r : {1, 513, n / 2, n}) QCOMPARE(t.rows[r].value(0), QStringLiteral("P%1").arg(r));
        QCOMPARE(t.rows[n].value(2), QString::number(n));
        QVERIFY(ds->loadedRows() < n);
    }

    void printingFillsSeveralPages() {
        addManyLines(300);
        openLines();
        layOut();
        grid->setFooterVisible(true);
        const QString path = QDir(dir).filePath(QStringLiteral("grid.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        GridPrintOptions opt;
        opt.title = QStringLiteral("销售分析");
        const int pages = PrintGrid(*grid, printer, opt);
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(pdfPages(path), pages);

        // Narrow margins and optimal widths still print every row; an empty result prints one page.
        opt.marginsMm = QMarginsF(2, 2, 2, 2);
        opt.optimalWidths = true;
        QPrinter second(QPrinter::HighResolution);
        second.setOutputFormat(QPrinter::PdfFormat);
        second.setOutputFileName(QDir(dir).filePath(QStringLiteral("narrow.pdf")));
        const int narrow = PrintGrid(*grid, second, opt);
        QVERIFY(narrow >= 2 && narrow <= pages);

        db().execute(QStringLiteral("delete from T_SaleDetail"));
        ds->refresh();
        QPrinter empty(QPrinter::HighResolution);
        empty.setOutputFormat(QPrinter::PdfFormat);
        empty.setOutputFileName(QDir(dir).filePath(QStringLiteral("empty.pdf")));
        QCOMPARE(PrintGrid(*grid, empty, opt), 1);
    }

    // A row that cannot be read while the preview paints its pages is shown in the error box; the
    // preview stays usable and nothing escapes into the event loop.
    void previewShowsAFailedRead() {
        addManyLines(3);
        ds->addCalculatedField(QStringLiteral("Broken"), [](const Dataset&, int) -> QVariant {
            throw DbError(QStringLiteral("读取失败"));
        });
        openLines();
        grid->setDataset(ds.get());
        ws->prompter.expect(QStringLiteral("读取失败"), QMessageBox::Ok, QStringLiteral("错误"));
        bool shown = false;
        ws->onModal([&](QDialog& d) {
            shown = d.isVisible();
            d.reject();
        });
        PreviewGrid(ctx(), *grid, GridPrintOptions{});
        QVERIFY(shown);
        QVERIFY(ws->allDriversUsed());
    }
};

QTEST_MAIN(TestGridExport)
#include "tst_gridexport.moc"
