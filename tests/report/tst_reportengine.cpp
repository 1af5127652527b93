// The report engine: pages prepared from a dataset read by index, band layout in millimetres, text
// wrap and growth across pages, sums and page numbers, errors naming the object, painting at any resolution.
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "Dataset.h"
#include "DbError.h"
#include "Report.h"
#include "ReportEngine.h"
#include "ReportFixture.h"
#include "TestDb.h"

using namespace qv;
using namespace qv::test;

namespace {

QStringList textsOf(const PreparedReport& r, const QString& prefix = {}) {
    QStringList out;
    for (const PreparedPage& p : r.pages)
        for (const PreparedItem& it : p.allItems())
            if (it.kind == ReportObject::Kind::Text && it.text().startsWith(prefix)) out << it.text();
    return out;
}

// The bounding box, in mm, of the dark pixels of an image painted at `dpi`.
QRectF inkBox(const QImage& img, double dpi) {
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qGray(line[x]) < 128) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    }
    const double k = 25.4 / dpi;
    return QRectF(x0 * k, y0 * k, (x1 + 1 - x0) * k, (y1 + 1 - y0) * k);
}

}  // namespace

class TestReportEngine : public QObject {
    Q_OBJECT
    std::unique_ptr<Database> db;
    std::unique_ptr<Dataset> cust;

    Report listReport() {
        Report r(QStringLiteral("fr_CustBasic"));
        r.setTemplate(customerList());
        r.setSource(QStringLiteral("fr_Cust"), cust.get());
        return r;
    }

private slots:
    void init() {
        db = std::make_unique<Database>();
        QVERIFY(TestDb::openFresh(*db));
        cust = std::make_unique<Dataset>(*db, QStringLiteral("Qry_Cust"));
        cust->setSql(QStringLiteral("select * from custom order by CustCode"));
    }
    void cleanup() {
        cust.reset();
        db.reset();
    }

    void listOfCustomers_data() {
        QTest::addColumn<int>("customers");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty list") << 0 << 1;
        QTest::newRow("three customers") << 3 << 1;
        // 297 - 20 margins - 8 footer - 12 title - 8 header = 249 mm: 35 lines of 7 mm on page 1.
        QTest::newRow("two pages") << 36 << 2;
    }
    void listOfCustomers() {
        QFETCH(int, customers);
        QFETCH(int, pages);
        addCustomers(*db, customers);
        cust->open();
        const PreparedReport r = prepareReport(listReport());
        QCOMPARE(int(r.pages.size()), pages);
        QCOMPARE(textsOf(r, QStringLiteral(u"客户名单")).size(), 1);  // title on the first page only
        QCOMPARE(textsOf(r, QStringLiteral(u"编号")).size(), pages);  // column header on every page
        const QStringList names = textsOf(r, QStringLiteral(u"客户"));
        QCOMPARE(names.size(), customers + 1);
        if (customers >= 3) QCOMPARE(names.mid(1, 3), (QStringList{u"客户1"_qs, u"客户2"_qs, u"客户3"_qs}));
        QStringList footers;
        for (int p = 1; p <= pages; ++p) footers << QStringLiteral(u"第 %1 页 / 共 %2 页").arg(p).arg(pages);
        QCOMPARE(textsOf(r, QStringLiteral(u"第 ")), footers);
        QCOMPARE(textsOf(r, QStringLiteral(u"共 ")).filter(QStringLiteral(u"家")),
                 QStringList{QStringLiteral(u"共 %1 家").arg(customers)});
        // Positions are millimetres from the paper's edge: the first data line sits under the
        // title and the column header.
        if (customers > 0) {
            const auto items = r.pages[0].allItems();
            const auto first = std::find_if(items.begin(), items.end(),
                                            [](const PreparedItem& i) { return i.text() == u"C1000001"_qs; });
            QVERIFY(first != items.end());
            QCOMPARE(first->rect, QRectF(10, 10 + 12 + 8, 40, 7));
        }
    }

    // A windowed result is printed row by row by index: every row, and the current row stays put.
    void everyRowWithoutMovingTheCurrentRow() {
        addCustomers(*db, 10050);
        cust->open();
        cust->setCurrentRow(5);
        QSignalSpy moved(cust.get(), &Dataset::currentRowChanged);
        int calls = 0;
        PrepareOptions opt;
        opt.progress = [&](int, int) { return ++calls > 0; };
        const PreparedReport r = prepareReport(listReport(), opt);
        QVERIFY(!r.cancelled);
        QVERIFY(calls > 1);
        const QStringList codes = textsOf(r, QStringLiteral("C1"));
        QCOMPARE(codes.size(), 10050);
        QCOMPARE(codes.first(), QStringLiteral("C1000001"));
        QCOMPARE(codes.last(), QStringLiteral("C1010050"));
        QCOMPARE(codes.at(7000), QStringLiteral("C1007001"));
        QCOMPARE(cust->currentRow(), 5);
        QCOMPARE(cust->text(QStringLiteral("CustCode")), QStringLiteral("C1000006"));
        QCOMPARE(moved.count(), 0);
        // Pages far behind are kept packed and still carry their page count.
        const QStringList footers = textsOf(r, QStringLiteral(u"第 "));
        QCOMPARE(footers.size(), int(r.pages.size()));
        QVERIFY(!r.pages[100].packed.isEmpty());
        QCOMPARE(footers.at(100), QStringLiteral(u"第 101 页 / 共 %1 页").arg(r.pages.size()));
        QVERIFY(cust->isWindowed());
    }

    void cancelled() {
        addCustomers(*db, 300);
        cust->open();
        PrepareOptions opt;
        opt.progress = [](int done, int) { return done < 64; };
        const PreparedReport r = prepareReport(listReport(), opt);
        QVERIFY(r.cancelled);
        QCOMPARE(textsOf(r, QStringLiteral("C1")).size(), 64);
    }

    // Long Chinese text wraps anywhere between characters, grows its band, and runs on over pages
    // without losing a character; sums over the master band print with the format asked for.
    void wrapGrowAndOverflow() {
        addCustomers(*db, 2);
        cust->open();
        ReportTemplate t;
        ReportBand data = band(ReportBand::Kind::MasterData, 6, QStringLiteral("fr_Cust"));
        ReportObject memo = textObject(QStringLiteral("Memo"), QRectF(20, 0, 30, 6), QString());
        QString longText;
        for (int i = 0; i < 400; ++i) longText += QStringLiteral(u"中文地址换行测试");
        memo.text = QStringLiteral("[Company]") + longText;
        memo.wordWrap = memo.grow = true;
        data.objects.push_back(memo);
        ReportBand summary = band(ReportBand::Kind::Summary, 8);
        ReportObject total =
            textObject(QStringLiteral("Total"), QRectF(20, 0, 50, 8), QStringLiteral("[SUM(CustID)]"));
        total.format = QStringLiteral("0.0");
        summary.objects.push_back(total);
        t.bands = {data, summary};
        Report r;
        r.setTemplate(t);
        r.setSource(QStringLiteral("fr_Cust"), cust.get());
        const PreparedReport p = prepareReport(r);
        QVERIFY(p.pages.size() > 4);
        QString joined;
        double maxLine = 0;
        for (const PreparedPage& pg : p.pages)
            for (const PreparedItem& it : pg.allItems()) {
                if (it.rect.bottom() > 297 - 10 + 1e-6) QFAIL("an item runs past the bottom margin");
                if (it.text().contains(QStringLiteral("."))) continue;
                for (const QString& l : it.lines) maxLine = std::max(maxLine, double(l.size()));
                joined += it.lines.join(QString());
            }
        QCOMPARE(joined, QStringLiteral(u"客户1") + longText + QStringLiteral(u"客户2") + longText);
        QVERIFY(maxLine > 3 && maxLine < 12);  // about 30 mm of 10 pt characters per line
        QCOMPARE(textsOf(p).last(), QStringLiteral("3.0"));
    }

    void unknownNames_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("field of the band") << "[NoSuchField]"
                                           << "NoSuchField";
        QTest::newRow("field of a source") << "[fr_Cust.\"Nothing\"]"
                                           << "Nothing";
        QTest::newRow("source") << "[Custom.\"Company\"]"
                                << "Custom";
        QTest::newRow("sum") << "[SUM(Money)]"
                             << "Money";
    }
    void unknownNames() {
        QFETCH(QString, text);
        QFETCH(QString, named);
        cust->open();
        Report r;
        r.loadTemplate(TestDb::tempDir(), QStringLiteral("Reports\\fr_test.frf"));
        ReportTemplate t = customerList();
        t.bands[2].objects.push_back(textObject(QStringLiteral("Memo_Bad"), QRectF(0, 0, 10, 5), text));
        r.setTemplate(t);
        r.setSource(QStringLiteral("fr_Cust"), cust.get());
        try {
            prepareReport(r);
            QFAIL("no error");
        } catch (const DbError& e) {
            for (const QString& s : {QStringLiteral("fr_test.frf"), QStringLiteral("Memo_Bad"), named})
                QVERIFY2(e.text().contains(s), qPrintable(e.text()));
        }
    }

    // Boxes land where the template puts them, in mm from the paper's edge, at screen and printer
    // resolutions alike.
    void positionsAtAnyResolution_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("screen") << 96.0;
        QTest::newRow("printer") << 1200.0;
    }
    void positionsAtAnyResolution() {
        QFETCH(double, dpi);
        ReportTemplate t;
        t.page = {
            .width = 110, .height = 220, .landscape = true, .left = 0, .top = 0, .right = 0, .bottom = 0};
        ReportBand title = band(ReportBand::Kind::ReportTitle, 30);
        ReportObject box;
        box.kind = ReportObject::Kind::Rect;
        box.rect = QRectF(12, 8.5, 7, 9);
        box.lineWidth = 0.3;
        title.objects.push_back(box);
        t.bands = {title};
        Report r;
        r.setTemplate(t);
        const PreparedReport p = prepareReport(r);
        QCOMPARE(p.pages.size(), size_t(1));
        QCOMPARE(p.pages[0].width, 220.0);
        // Paint the top-left 40 x 30 mm of the page.
        QImage img(int(40 / 25.4 * dpi), int(30 / 25.4 * dpi), QImage::Format_RGB32);
        img.setDotsPerMeterX(qRound(dpi / 0.0254));
        img.setDotsPerMeterY(qRound(dpi / 0.0254));
        img.fill(Qt::white);
        QPainter painter(&img);
        paintPage(painter, p.pages[0]);
        painter.end();
        const QRectF ink = inkBox(img, dpi);
        const double tol = std::max(0.2, 2 * 25.4 / dpi);  // a pixel each side at screen resolution
        QVERIFY2(std::abs(ink.left() - 12) <= tol && std::abs(ink.top() - 8.5) <= tol &&
                     std::abs(ink.right() - 19) <= tol && std::abs(ink.bottom() - 17.5) <= tol,
                 qPrintable(QStringLiteral("ink at %1,%2 %3x%4")
                                .arg(ink.x())
                                .arg(ink.y())
                                .arg(ink.width())
                                .arg(ink.height())));
    }
};

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
