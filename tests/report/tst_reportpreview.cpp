// The preview window: page moves, zoom, find, save and open again, printing a page range with copies,
// and ShowReport on an empty report and on a template naming an unknown field.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include "Frm_Preview.h"
#include "Report.h"
#include "ReportCommands.h"
#include "ReportFixture.h"
#include "ScriptedPrompter.h"
#include "TestDb.h"

using namespace qv;
using namespace qv::test;

namespace {

PreparedReport threePages() {
    PreparedReport r;
    for (int p = 1; p <= 3; ++p) {
        PreparedPage page;
        page.width = 220;
        page.height = 110;
        page.landscape = true;
        PreparedItem it;
        it.rect = QRectF(20, 10, 80, 8);
        it.lines = {QStringLiteral(u"页面%1").arg(p)};
        it.lineHeight = 5;
        it.fontFamily = printFamily({});
        page.items.push_back(it);
        if (p != 1) {
            it.rect.translate(0, 20);
            it.lines = {QStringLiteral(u"客户甲 %1").arg(p)};
            page.items.push_back(it);
        }
        r.pages.push_back(page);
    }
    return r;
}

QString label(Frm_Preview& w) {
    auto* l = w.findChild<QLabel*>(QStringLiteral("Label_Page"));
    return l ? l->text() : QStringLiteral("(no Label_Page)");
}
// False when the window has no such button, so that the test case fails instead of the executable.
bool click(Frm_Preview& w, const char* name) {
    auto* b = w.findChild<QPushButton*>(QLatin1String(name));
    if (b) b->click();
    return b != nullptr;
}

}  // namespace

class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void pageMoves() {
        ScriptedPrompter prompter;
        Frm_Preview w(threePages(), prompter);
        QCOMPARE(label(w), QStringLiteral(u"第 1 页 / 共 3 页"));
        QVERIFY(click(w, "Btn_Next"));
        QVERIFY(click(w, "Btn_Next"));
        QVERIFY(click(w, "Btn_Next"));  // stays on the last page
        QCOMPARE(label(w), QStringLiteral(u"第 3 页 / 共 3 页"));
        QVERIFY(click(w, "Btn_Prior"));
        QCOMPARE(label(w), QStringLiteral(u"第 2 页 / 共 3 页"));
        QVERIFY(click(w, "Btn_First"));
        QCOMPARE(w.state().page(), 0);
        QVERIFY(click(w, "Btn_Last"));
        QCOMPARE(w.state().page(), 2);
        QTest::keyClick(&w, Qt::Key_PageUp);
        QCOMPARE(w.state().page(), 1);
        QTest::keyClick(&w, Qt::Key_PageDown);
        QCOMPARE(w.state().page(), 2);
        QVERIFY_PROMPTS(prompter);
    }

    void zoom() {
        PreviewState s(threePages());
        const QSizeF viewport(456, 1000);
        s.setZoom(PreviewState::Zoom::PageWidth);
        QCOMPARE(s.pixelsPerMm(viewport, 96), (456.0 - 16) / 220);
        s.setZoom(PreviewState::Zoom::WholePage);
        QCOMPARE(s.pixelsPerMm(QSizeF(1000, 126), 96), (126.0 - 16) / 110);
        s.setZoom(PreviewState::Zoom::Percent, 100);
        QCOMPARE(s.pixelsPerMm(viewport, 96), 96 / 25.4);
        s.zoomBy(2);
        QCOMPARE(s.pixelsPerMm(viewport, 96), 2 * 96 / 25.4);
    }

    // Find moves to the page of each match in turn and wraps round; a text nowhere says so.
    void find() {
        ScriptedPrompter prompter;
        Frm_Preview w(threePages(), prompter);
        auto* edit = w.findChild<QLineEdit*>(QStringLiteral("Edit_Find"));
        QVERIFY(edit);
        edit->setText(QStringLiteral(u"客户甲"));
        QVERIFY(click(w, "Btn_Find"));
        QCOMPARE(w.state().page(), 1);
        QCOMPARE(w.state().matchItem(), 1);
        QTest::keyClick(&w, Qt::Key_F3);
        QCOMPARE(w.state().page(), 2);
        QTest::keyClick(&w, Qt::Key_F3);
        QCOMPARE(w.state().page(), 1);
        prompter.expect(QStringLiteral(u"没有找到“无此文字”。"));
        edit->setText(QStringLiteral(u"无此文字"));
        QVERIFY(click(w, "Btn_Find"));
        QVERIFY_PROMPTS(prompter);
    }

    // Saved through the save button, opened again through the open button: the same pages.
    void saveAndOpen() {
        ScriptedPrompter prompter;
        const QString path = TestDb::tempDir() + QStringLiteral("/preview.frp");
        Frm_Preview w(threePages(), prompter);
        prompter.nextFile(path);
        QVERIFY(click(w, "Btn_Save"));
        QVERIFY(QFile::exists(path));
        Frm_Preview other(PreparedReport{}, prompter);
        QCOMPARE(label(other), QStringLiteral(u"第 0 页 / 共 0 页"));
        prompter.nextFile(path);
        QVERIFY(click(other, "Btn_Open"));
        QCOMPARE(label(other), QStringLiteral(u"第 1 页 / 共 3 页"));
        QCOMPARE(exportBytes(other.state().report(), ExportFormat::Csv),
                 exportBytes(threePages(), ExportFormat::Csv));
        // A place that cannot be written is an error box, not a silent failure.
        const QString bad = TestDb::tempDir() + QStringLiteral("/no/folder/x.csv");
        prompter.expect(QStringLiteral(u"无法写入文件 %1：").arg(bad) +
                        QStringLiteral("No such file or directory"));
        prompter.nextFile(bad);
        QVERIFY(click(w, "Btn_Save"));
        QCOMPARE(prompter.shown().size(), 1);
        QVERIFY(prompter.shown()[0].text.startsWith(QStringLiteral(u"无法写入文件")));
        QVERIFY_PROMPTS(prompter);
    }

    // Printing a page range with copies on the template's paper, turned for landscape.
    void printRangeAndCopies() {
        const QString path = TestDb::tempDir() + QStringLiteral("/printed.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setCopyCount(2);
        printReport(threePages(), printer, 2, 3);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString pdf = QString::fromLatin1(f.readAll());
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
        QCOMPARE(int(pdf.count(page)), printer.supportsMultipleCopies() ? 2 : 4);
        // 220 x 110 mm is 623.6 x 311.8 points.
        static const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 (\\d+)(?:\\.\\d+)? (\\d+)"));
        const auto m = box.match(pdf);
        QVERIFY(m.hasMatch());
        QVERIFY2(std::abs(m.captured(1).toInt() - 623) <= 1 && std::abs(m.captured(2).toInt() - 311) <= 1,
                 qPrintable(m.captured(0)));
    }

    // ShowReport: no template file gives an empty preview and no message; an unknown field gives the
    // error box naming the file and the object, and no preview.
    void showReport_data() {
        QTest::addColumn<bool>("broken");
        QTest::newRow("missing template") << false;
        QTest::newRow("unknown field") << true;
    }
    void showReport() {
        QFETCH(bool, broken);
        ScriptedPrompter prompter;
        Report r(QStringLiteral("fr_CustBasic"));
        r.loadTemplate(TestDb::tempDir(), QStringLiteral("Reports\\fr_none.frf"));
        if (broken) {
            ReportTemplate t;
            ReportBand title = band(ReportBand::Kind::ReportTitle, 10);
            title.objects.push_back(
                textObject(QStringLiteral("Memo_Bad"), QRectF(0, 0, 10, 5), QStringLiteral("[Nothing]")));
            t.bands = {title};
            r.setTemplate(t);
        }
        int previews = 0, pages = -1;
        auto runModal = [&](QDialog& d) {
            if (auto* p = qobject_cast<Frm_Preview*>(&d)) {
                ++previews;
                pages = p->state().pageCount();
            }
            return int(QDialog::Rejected);
        };
        if (broken)
            prompter.expectCaption(QStringLiteral("错误")).onShow([](const ScriptedPrompter::Shown& s) {
                QVERIFY(s.text.contains(QStringLiteral("fr_none.frf")) &&
                        s.text.contains(QStringLiteral("Memo_Bad")));
            });
        QCOMPARE(qv::showReport(r, prompter, nullptr, runModal), !broken);
        QCOMPARE(previews, broken ? 0 : 1);
        if (!broken) QCOMPARE(pages, 0);
        QCOMPARE(prompter.shown().size(), broken ? 1 : 0);
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
