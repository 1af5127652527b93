// Saving a prepared report: every format keeps the data safe whatever it holds (";", quotes, line
// breaks, markup, Chinese), and our own saved report opens again with the same pages.
#include <QtTest>
#include <memory>

#include "Dataset.h"
#include "DbError.h"
#include "Report.h"
#include "ReportEngine.h"
#include "ReportExport.h"
#include "ReportFixture.h"
#include "TestDb.h"

using namespace qv;
using namespace qv::test;

Q_DECLARE_METATYPE(qv::ExportFormat)

class TestReportExport : public QObject {
    Q_OBJECT
    std::unique_ptr<Database> db;
    std::unique_ptr<Dataset> cust;
    PreparedReport prepared;

private slots:
    void initTestCase() {
        db = std::make_unique<Database>();
        QVERIFY(TestDb::openFresh(*db));
        addCustomers(*db, 2);
        db->execute(QStringLiteral("update custom set Company = :c where CustCode = 'C1000001'"),
                    {{QStringLiteral("c"), QStringLiteral(u"A;B \"q\"\n<b>&中文")}});
        cust = std::make_unique<Dataset>(*db, QStringLiteral("Qry_Cust"));
        cust->setSql(QStringLiteral("select * from custom order by CustCode"));
        cust->open();
        ReportTemplate t = customerList();
        t.bands[2].objects[1].frame = ReportObject::FrameAll;
        Report r;
        r.setTemplate(t);
        r.setSource(QStringLiteral("fr_Cust"), cust.get());
        prepared = prepareReport(r);
    }
    void cleanupTestCase() {
        cust.reset();
        db.reset();
    }

    void formats_data() {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<QStringList>("contains");
        QTest::addColumn<QStringList>("lacks");
        QTest::newRow("csv") << ExportFormat::Csv << QByteArray("\xEF\xBB\xBF")
                             << QStringList{u"C1000001;\"A;B \"\"q\"\"\n<b>&中文\"\r\n"_qs,
                                            u"C1000002;客户2\r\n"_qs, u"编号;公司\r\n"_qs}
                             << QStringList{};
        QTest::newRow("html") << ExportFormat::Html << QByteArray("<!DOCTYPE html>")
                              << QStringList{u"<td style=\"border:1px solid black\">A;B &quot;q&quot;<br>&lt;b&gt;&amp;中文</td>"_qs,
                                             u"<td>C1000001</td>"_qs}
                              << QStringList{u"<b>&"_qs};
        // 中 is U+4E2D (20013), 文 U+6587 (25991); the Company cell ends at (50 + 60) mm × 1.3 = 8107 twips.
        QTest::newRow("rtf") << ExportFormat::Rtf << QByteArray("{\\rtf1")
                             << QStringList{u"A;B \"q\"\\line <b>&\\u20013?\\u25991?"_qs, u"\\cellx8107"_qs,
                                            u"\\clbrdrt\\brdrs"_qs, u"\\page"_qs}
                             << QStringList{u"中"_qs};
        QTest::newRow("text") << ExportFormat::Text << QByteArray()
                              << QStringList{u"C1000001"_qs, u"A;B \"q\" <b>&中文"_qs, u"\f"_qs}
                              << QStringList{};
    }
    void formats() {
        QFETCH(ExportFormat, format);
        QFETCH(QByteArray, prefix);
        QFETCH(QStringList, contains);
        QFETCH(QStringList, lacks);
        // Two pages: the table formats keep the page break where they have one.
        PreparedReport twoPages = prepared;
        twoPages.pages.push_back(prepared.pages[0]);
        const QByteArray bytes = exportBytes(twoPages, format);
        QVERIFY(bytes.startsWith(prefix));
        const QString text = QString::fromUtf8(bytes);
        for (const QString& s : contains) QVERIFY2(text.contains(s), qPrintable(s));
        for (const QString& s : lacks) QVERIFY2(!text.contains(s), qPrintable(s));
        QVERIFY(bytes.isValidUtf8());
    }

    void savedReportOpensWithTheSamePages() {
        const QString path = TestDb::tempDir() + QStringLiteral("/list.frp");
        exportReport(prepared, ExportFormat::Saved, path);
        const PreparedReport back = loadSavedReport(path);
        QCOMPARE(back.pages.size(), prepared.pages.size());
        QCOMPARE(back.pages[0].items.size(), prepared.pages[0].items.size());
        QCOMPARE(exportBytes(back, ExportFormat::Saved), exportBytes(prepared, ExportFormat::Saved));
        QCOMPARE(exportBytes(back, ExportFormat::Csv), exportBytes(prepared, ExportFormat::Csv));
        QVERIFY_THROWS_EXCEPTION(DbError, savedReportFromBytes("<html/>", QStringLiteral("x.frp")));
    }

    void pdfEmbedsItsFonts() {
        const QString path = TestDb::tempDir() + QStringLiteral("/list.pdf");
        exportReport(prepared, ExportFormat::Pdf, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray pdf = f.readAll();
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(pdf.contains("/FontFile"));
    }

    void unwritablePlaceIsAnError_data() {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("pdf") << ExportFormat::Pdf;
        QTest::newRow("csv") << ExportFormat::Csv;
    }
    void unwritablePlaceIsAnError() {
        QFETCH(ExportFormat, format);
        const QString path = TestDb::tempDir() + QStringLiteral("/no/such/folder/out.x");
        try {
            exportReport(prepared, format, path);
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(path), qPrintable(e.text()));
        }
    }
};

QTEST_MAIN(TestReportExport)
#include "tst_reportexport.moc"
