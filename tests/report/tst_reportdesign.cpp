// The designer's editing logic: selection on the design page, moves and resizes, bands, undo.
#include <QKeyEvent>
#include <QtTest>

#include "DesignCanvas.h"
#include "ReportDesign.h"
#include "ReportFixture.h"

using namespace qv;
using test::band;
using test::textObject;

namespace {

// Title band 12 mm with "Title"; master band 7 mm with "A" and "B" overlapping at x 30..40.
ReportTemplate sample() {
    ReportTemplate t;
    t.page.top = 10;
    t.page.left = 15;
    ReportBand title = band(ReportBand::Kind::ReportTitle, 12);
    title.objects.push_back(textObject(QStringLiteral("Title"), QRectF(10, 0, 100, 10), QStringLiteral("T")));
    ReportBand data = band(ReportBand::Kind::MasterData, 7, QStringLiteral("fr_Cust"));
    data.objects.push_back(
        textObject(QStringLiteral("A"), QRectF(10, 0, 30, 7), QStringLiteral("[Company]")));
    data.objects.push_back(textObject(QStringLiteral("B"), QRectF(30, 1, 30, 5), QString()));
    t.bands = {title, data};
    return t;
}

}  // namespace

class TestReportDesign : public QObject {
    Q_OBJECT
private slots:
    // Objects are found where the page shows them: bands stacked from the top margin, x from the
    // paper's edge (from the left margin on a label sheet); the later of two overlapping objects wins.
    void hitTesting_data() {
        QTest::addColumn<bool>("labels");
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("object");
        QTest::newRow("title") << false << QPointF(50, 15) << 0 << 0;
        QTest::newRow("master, first") << false << QPointF(15, 25) << 1 << 0;
        QTest::newRow("overlap: the later") << false << QPointF(35, 25) << 1 << 1;
        QTest::newRow("nothing") << false << QPointF(150, 25) << -1 << -1;
        QTest::newRow("label sheet: shifted by the margin") << true << QPointF(15, 25) << -1 << -1;
        QTest::newRow("label sheet, first") << true << QPointF(30, 25) << 1 << 0;
    }
    void hitTesting() {
        QFETCH(bool, labels);
        QFETCH(QPointF, at);
        QFETCH(int, band);
        QFETCH(int, object);
        ReportTemplate t = sample();
        t.labels.enabled = labels;
        const ReportDesign d(t);
        const ReportDesign::Selection s = d.objectAt(at);
        QCOMPARE(s.band, band);
        QCOMPARE(s.object, object);
    }

    // A drag is one undo step however many moves it makes; typed sizes keep at least 1 mm; undo goes
    // back step by step and the design stays modified until it is saved.
    void changesAndUndo() {
        ReportDesign d(sample());
        QVERIFY(!d.isModified());
        d.select({1, 0});
        d.beginChange();
        d.moveSelected(1, 0, true);
        d.moveSelected(1, 2, true);
        QCOMPARE(d.selected()->rect, QRectF(12, 2, 30, 7));
        d.setSelectedRect(QRectF(5, 1, 0.2, -3));
        QCOMPARE(d.selected()->rect, QRectF(5, 1, 1, 1));
        // Typing is one step; a field inserted after it another.
        d.setText(QStringLiteral("[Company]x"));
        d.setText(QStringLiteral("[Company]xy"));
        d.insertField(QStringLiteral("Custom"), QStringLiteral("Tel"));
        QCOMPARE(d.selected()->text, QStringLiteral("[Company]xy[Custom.\"Tel\"]"));
        d.undo();
        QCOMPARE(d.selected()->text, QStringLiteral("[Company]xy"));
        d.markSaved();
        QVERIFY(!d.isModified());
        d.undo();
        QVERIFY(d.isModified());
        QCOMPARE(d.selected()->text, QStringLiteral("[Company]"));
        d.undo();
        QCOMPARE(d.selected()->rect, QRectF(12, 2, 30, 7));
        d.undo();
        QCOMPARE(d.selected()->rect, QRectF(10, 0, 30, 7));
        QVERIFY(!d.canUndo());
    }

    // Bands go in the order they print; the selection follows its band; deleting an object or band
    // is undone with its objects.
    void bandsAndObjects() {
        ReportDesign d(sample());
        d.select({1, 1});
        d.addBand(ReportBand::Kind::PageHeader);
        d.addBand(ReportBand::Kind::Summary);
        QCOMPARE(d.reportTemplate().bands.size(), size_t(4));
        QCOMPARE(d.reportTemplate().bands[1].kind, ReportBand::Kind::PageHeader);
        QCOMPARE(d.reportTemplate().bands[3].kind, ReportBand::Kind::Summary);
        QCOMPARE(d.selected()->name, QStringLiteral("B"));
        QCOMPARE(d.bandOrigin(2), QPointF(0, 10 + 12 + 10));

        d.addObject(1, ReportObject::Kind::Text);
        d.addObject(1, ReportObject::Kind::Line);
        QCOMPARE(d.selected()->name, QStringLiteral("Line1"));
        QCOMPARE(d.reportTemplate().bands[1].objects[0].name, QStringLiteral("Memo1"));
        d.deleteSelected();
        QVERIFY(!d.selected());
        d.deleteBand(2);
        QCOMPARE(d.reportTemplate().bands.size(), size_t(3));
        d.undo();
        QCOMPARE(d.reportTemplate().bands[2].objects.size(), size_t(2));
        d.undo();
        QCOMPARE(d.selected()->name, QStringLiteral("Line1"));
    }

    // The arrow keys move the selected object by a millimetre; with Shift they resize it.
    void arrowKeys() {
        ReportDesign d(sample());
        DesignCanvas canvas(d);
        d.select({0, 0});
        QTest::keyClick(&canvas, Qt::Key_Right);
        QTest::keyClick(&canvas, Qt::Key_Down);
        QTest::keyClick(&canvas, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(d.selected()->rect, QRectF(11, 1, 99, 10));
        d.undo();
        QCOMPARE(d.selected()->rect, QRectF(11, 1, 100, 10));
    }

    // Dragging with the mouse moves the object under the pointer; dragging its handle resizes it.
    void mouseDrag() {
        ReportDesign d(sample());
        DesignCanvas canvas(d);
        const double s = canvas.scale();
        auto px = [s](double x, double y) { return QPoint(qRound(x * s), qRound(y * s)); };
        QTest::mousePress(&canvas, Qt::LeftButton, {}, px(20, 25));
        QTest::mouseMove(&canvas, px(30, 30));
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, px(30, 30));
        QCOMPARE(d.selection().object, 0);
        // A click on a band's empty strip selects the band alone.
        QTest::mouseClick(&canvas, Qt::LeftButton, {}, px(150, 25));
        QCOMPARE(d.selection().band, 1);
        QVERIFY(!d.selected());
        d.select({1, 0});
        const QRectF moved = d.selected()->rect;
        QVERIFY(qAbs(moved.x() - 20) < 0.3 && qAbs(moved.y() - 5) < 0.3);
        // The handle at the bottom-right corner.
        const QRectF r = d.objectRect(d.selection());
        QTest::mousePress(&canvas, Qt::LeftButton, {}, px(r.right(), r.bottom()));
        QTest::mouseMove(&canvas, px(r.right() + 10, r.bottom()));
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, px(r.right() + 10, r.bottom()));
        QVERIFY(qAbs(d.selected()->rect.width() - 40) < 0.3);
        d.undo();
        d.undo();
        QCOMPARE(d.selected()->rect, QRectF(10, 0, 30, 7));
    }
};

QTEST_MAIN(TestReportDesign)
#include "tst_reportdesign.moc"
