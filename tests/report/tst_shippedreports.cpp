// The report templates shipped in the program folder: every path the program names finds its file, and
// each template prints the data it is given (customer sheet, envelope, labels, bills, list reports).
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <memory>

#include "AmountInWords.h"
#include "Dataset.h"
#include "Report.h"
#include "ReportEngine.h"
#include "ReportFixture.h"
#include "TestDb.h"

using namespace qv;
using namespace qv::test;

namespace {

QString programFolder() {
    const QString dir = qEnvironmentVariable("QUORVAN_BUILD_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/..") : dir;
}

QStringList texts(const PreparedPage& page) {
    QStringList out;
    for (const PreparedItem& it : page.allItems())
        if (it.kind == ReportObject::Kind::Text) out << it.text();
    return out;
}

QStringList texts(const PreparedReport& r) {
    QStringList out;
    for (const PreparedPage& p : r.pages) out << texts(p);
    return out;
}

}  // namespace

class TestShippedReports : public QObject {
    Q_OBJECT
    std::unique_ptr<Database> db;
    std::vector<std::unique_ptr<Dataset>> sets;

    Dataset* dataset(const QString& name, const QString& sql) {
        sets.push_back(std::make_unique<Dataset>(*db, name));
        sets.back()->setSql(sql);
        sets.back()->open();
        return sets.back().get();
    }
    Report load(const QString& path) {
        Report r;
        r.loadTemplate(programFolder(), path);
        return r;
    }

private slots:
    void init() {
        db = std::make_unique<Database>();
        QVERIFY(TestDb::openFresh(*db));
        db->execute(QStringLiteral("delete from info"));
        db->execute(
            QStringLiteral("insert into info (Company, Address, Postcode, tel) values "
                           "('星河贸易有限公司', '上海市浦东新区世纪大道88号', '200120', '021-5555')"));
    }
    void cleanup() {
        sets.clear();
        db.reset();
    }

    // The nine paths as the program names them, with their band source and bill total object.
    void allPathsLoad_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("bigMoney");
        QTest::newRow("fr_CustBasic") << "Reports/fr_CustBasic.frf"
                                      << "fr_Cust" << false;
        QTest::newRow("fr_envelop") << "Reports/fr_envelop.frf"
                                    << "fr_Cust" << false;
        QTest::newRow("fr_label") << "Reports/fr_label.frf"
                                  << "frDB_label" << false;
        QTest::newRow("fr_bills") << "Reports/fr_bills.frf"
                                  << "frDB_bills" << true;
        QTest::newRow("frReport1") << "reports\\fr_bill1.frf"
                                   << "Qry_SaleDetail" << false;
        QTest::newRow("fr_price") << "reports\\fr_price.frf"
                                  << "Qry_price" << false;
        QTest::newRow("fr_visit") << "reports\\fr_visit.frf"
                                  << "Qry_visit" << false;
        QTest::newRow("fr_track") << "reports\\fr_track.frf"
                                  << "Qry_track" << false;
        QTest::newRow("fr_bargain") << "reports\\fr_bargain.frf"
                                    << "Qry_bargain" << false;
    }
    void allPathsLoad() {
        QFETCH(QString, path);
        QFETCH(QString, source);
        QFETCH(bool, bigMoney);
        const Report r = load(path);
        QVERIFY2(!r.reportTemplate().isEmpty(), qPrintable(r.filePath()));
        const ReportBand* master = r.reportTemplate().band(ReportBand::Kind::MasterData);
        QVERIFY(master);
        QCOMPARE(master->source, source);
        QCOMPARE(r.reportTemplate().findObject(QStringLiteral("Memo_BigMoney")) != nullptr, bigMoney);
    }

    // Customer reports print what the customer list holds: every customer, in Chinese, or a page
    // without data rows for an empty list.
    void customerReports_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("customers");
        QTest::addColumn<int>("pages");
        QTest::newRow("sheet, three (two a page)") << "Reports/fr_CustBasic.frf"
                                                   << "fr_Cust" << 3 << 2;
        QTest::newRow("sheet, none") << "Reports/fr_CustBasic.frf"
                                     << "fr_Cust" << 0 << 1;
        QTest::newRow("envelope, three") << "Reports/fr_envelop.frf"
                                         << "fr_Cust" << 3 << 3;
        QTest::newRow("envelope, none") << "Reports/fr_envelop.frf"
                                        << "fr_Cust" << 0 << 1;
        QTest::newRow("labels, fifteen") << "Reports/fr_label.frf"
                                         << "frDB_label" << 15 << 2;
        QTest::newRow("labels, none") << "Reports/fr_label.frf"
                                      << "frDB_label" << 0 << 1;
    }
    void customerReports() {
        QFETCH(QString, path);
        QFETCH(QString, source);
        QFETCH(int, customers);
        QFETCH(int, pages);
        addCustomers(*db, customers);
        db->execute(QStringLiteral("update custom set MainContact = '王小明'"));
        Report r = load(path);
        r.setSource(source, dataset(QStringLiteral("Qry_Cust"),
                                    QStringLiteral("select * from custom order by CustCode")));
        r.setSource(QStringLiteral("info"),
                    dataset(QStringLiteral("Qry_Custom"), QStringLiteral("select * from info")));
        const PreparedReport p = prepareReport(r);
        QCOMPARE(int(p.pages.size()), pages);
        const QStringList all = texts(p);
        for (int i = 1; i <= customers; ++i) {
            QVERIFY2(all.contains(QStringLiteral(u"客户%1").arg(i)), qPrintable(all.join(QLatin1Char('|'))));
            QVERIFY(all.contains(QStringLiteral(u"北京市海淀区中关村大街%1号").arg(i)));
        }
        QCOMPARE(all.filter(QStringLiteral(u"客户"))
                     .filter(QRegularExpression(QStringLiteral(u"^客户\\d+$")))
                     .size(),
                 customers);
        if (path.contains(QStringLiteral("envelop")) && customers > 0) {
            // Postcode 10001 of the first customer, digit by digit in its boxes; the sender is our company.
            const QStringList first = texts(p.pages[0]);
            QCOMPARE(first.mid(0, 6), (QStringList{u"1"_qs, u"0"_qs, u"0"_qs, u"0"_qs, u"1"_qs, QString()}));
            QVERIFY(first.contains(QStringLiteral(u"星河贸易有限公司")));
            QVERIFY(first.contains(QStringLiteral(u"王小明　收")));
        }
    }

    // Labels after the list was filtered to one category print only that category's customers.
    void labelsOfOneCategory() {
        addCustomers(*db, 6);
        Report r = load(QStringLiteral("Reports/fr_label.frf"));
        r.setSource(
            QStringLiteral("frDB_label"),
            dataset(QStringLiteral("Qry_Cust"), QStringLiteral("select * from custom where Category = 'B' "
                                                               "order by CustCode")));
        const QStringList all = texts(prepareReport(r));
        QCOMPARE(all.filter(QRegularExpression(QStringLiteral(u"^客户\\d+$"))),
                 (QStringList{u"客户2"_qs, u"客户4"_qs, u"客户6"_qs}));
    }

    // The envelope's postcode boxes are where a pre-printed envelope has them, at any resolution.
    void envelopeBoxes_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("screen") << 96.0;
        QTest::newRow("printer") << 1200.0;
    }
    void envelopeBoxes() {
        QFETCH(double, dpi);
        addCustomers(*db, 1);
        db->execute(QStringLiteral("update custom set PostCode = null"));
        Report r = load(QStringLiteral("Reports/fr_envelop.frf"));
        r.setSource(QStringLiteral("fr_Cust"),
                    dataset(QStringLiteral("Qry_Cust"), QStringLiteral("select * from custom")));
        r.setSource(QStringLiteral("info"),
                    dataset(QStringLiteral("Qry_Custom"), QStringLiteral("select * from info")));
        const PreparedReport p = prepareReport(r);
        QCOMPARE(p.pages[0].width, 220.0);
        QCOMPARE(p.pages[0].height, 110.0);
        QImage img(int(85 / 25.4 * dpi), int(25 / 25.4 * dpi), QImage::Format_RGB32);
        img.setDotsPerMeterX(qRound(dpi / 0.0254));
        img.setDotsPerMeterY(qRound(dpi / 0.0254));
        img.fill(Qt::white);
        QPainter painter(&img);
        paintPage(painter, p.pages[0]);
        painter.end();
        // Scan the row through the middle of the boxes for the left edge of each box.
        const int y = int(15 / 25.4 * dpi);
        QList<double> edges;
        bool inInk = false;
        for (int x = 0; x < img.width(); ++x) {
            const bool ink = qGray(img.pixel(x, y)) < 128;
            if (ink && !inInk) edges << x * 25.4 / dpi;
            inInk = ink;
        }
        QCOMPARE(edges.size(), 12);  // left and right side of six boxes
        const double tol = std::max(0.2, 25.4 / dpi);
        for (int i = 0; i < 6; ++i) {
            QVERIFY2(std::abs(edges[2 * i] - (20 + 10 * i)) <= tol,
                     qPrintable(QString::number(edges[2 * i])));
            QVERIFY2(std::abs(edges[2 * i + 1] - (28 - 0.3 + 10 * i)) <= tol + 0.3,
                     qPrintable(QString::number(edges[2 * i + 1])));
        }
    }

    // The bill: its lines with prices, the total in figures, and the words the caller put into
    // Memo_BigMoney; the layout without prices has no such object and prints without it.
    void bills() {
        db->execute(QStringLiteral("insert into T_sale (BillCode, F_User) values ('XS001', 'admin')"));
        db->execute(
            QStringLiteral("insert into T_SaleDetail (BillCode, Product_Code, Product, SalePrice, Number, "
                           "DisCount, SaleMoney) values ('XS001', 'P1', '打印纸', 25.5, 2, 1, 51), "
                           "('XS001', 'P2', '墨盒', 60.125, 1, 1, 60.125)"));
        addCustomers(*db, 1);
        Dataset* lines = dataset(
            QStringLiteral("Qry_SaleDetail"),
            QStringLiteral("select * from T_SaleDetail where BillCode = 'XS001' order by Product_Code"));
        for (const QString& path :
             {QStringLiteral("Reports/fr_bills.frf"), QStringLiteral("reports\\fr_bill1.frf")}) {
            Report r = load(path);
            r.setSource(QStringLiteral("frDB_bills"), lines);
            r.setSource(QStringLiteral("Qry_SaleDetail"), lines);
            r.setSource(QStringLiteral("Qry_Sale"),
                        dataset(QStringLiteral("Qry_Sale"), QStringLiteral("select * from T_sale")));
            r.setSource(QStringLiteral("Custom"),
                        dataset(QStringLiteral("Custom"), QStringLiteral("select * from custom")));
            r.setSource(QStringLiteral("info"),
                        dataset(QStringLiteral("Qry_Custom"), QStringLiteral("select * from info")));
            if (ReportObject* words = r.findObject(QStringLiteral("Memo_BigMoney")))
                words->text = amountInWords(Money::fromUnits(1111250));
            const QStringList all = texts(prepareReport(r));
            QVERIFY(all.contains(QStringLiteral(u"星河贸易有限公司")));
            QVERIFY(all.contains(QStringLiteral(u"客户：客户1")));
            QVERIFY(all.contains(QStringLiteral(u"单号：XS001")));
            QVERIFY(all.contains(QStringLiteral(u"墨盒")));
            const bool priced = path.contains(QStringLiteral("bills"));
            // 111.125 and 60.125 print to even, as the words do.
            QCOMPARE(all.contains(QStringLiteral("111.12")), priced);
            QCOMPARE(all.contains(QStringLiteral("60.12")), priced);
            QCOMPARE(all.contains(QStringLiteral(u"壹佰壹拾壹元壹角贰分")), priced);
        }
    }

    // The list reports name only columns their views have.
    void listReports_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("view");
        QTest::newRow("price") << "reports\\fr_price.frf"
                               << "Qry_price"
                               << "V_Temp_price";
        QTest::newRow("visit") << "reports\\fr_visit.frf"
                               << "Qry_visit"
                               << "V_Temp_visit";
        QTest::newRow("track") << "reports\\fr_track.frf"
                               << "Qry_track"
                               << "V_Temp_track";
        QTest::newRow("bargain") << "reports\\fr_bargain.frf"
                                 << "Qry_bargain"
                                 << "V_Temp_bargain";
    }
    void listReports() {
        QFETCH(QString, path);
        QFETCH(QString, source);
        QFETCH(QString, view);
        Report r = load(path);
        r.setSource(source, dataset(source, QStringLiteral("select * from %1").arg(view)));
        const PreparedReport p = prepareReport(r);
        QCOMPARE(p.pages.size(), size_t(1));
        QVERIFY(texts(p).contains(QStringLiteral(u"共 0 条")));
    }
};

QTEST_MAIN(TestShippedReports)
#include "tst_shippedreports.moc"
