#include <QtTest>

#include "DbError.h"
#include "Report.h"
#include "ReportTemplate.h"

using namespace qv;

namespace {

ReportTemplate sample() {
    ReportTemplate t;
    t.page = {.width = 220, .height = 110, .landscape = true, .left = 5, .top = 6, .right = 7, .bottom = 8};
    t.labels = {.enabled = true,
                .columns = 2,
                .rows = 7,
                .labelWidth = 99.1,
                .labelHeight = 38.1,
                .hGap = 2.5,
                .vGap = 0};
    ReportBand title;
    title.kind = ReportBand::Kind::ReportTitle;
    title.height = 12;
    ReportObject text;
    text.name = QStringLiteral("Memo_BigMoney");
    text.rect = QRectF(10, 1, 80.5, 6);
    text.text = QStringLiteral(u"客户：[fr_Cust.\"Company\"] <&>\n第二行");
    text.format = QStringLiteral("0.00");
    text.fontFamily = QStringLiteral(u"宋体");
    text.fontSize = 10.5;
    text.bold = true;
    text.align = Qt::AlignRight | Qt::AlignVCenter;
    text.frame = ReportObject::FrameLeft | ReportObject::FrameBottom;
    text.lineWidth = 0.3;
    text.wordWrap = true;
    text.grow = true;
    title.objects.push_back(text);
    ReportObject line;
    line.kind = ReportObject::Kind::Line;
    line.name = QStringLiteral("Line1");
    line.rect = QRectF(0, 11, 200, 0);
    title.objects.push_back(line);
    ReportBand data;
    data.height = 8;
    data.source = QStringLiteral("fr_Cust");
    ReportObject box;
    box.kind = ReportObject::Kind::Rect;
    box.rect = QRectF(20, 1, 6, 6);
    box.lineWidth = 0.5;
    data.objects.push_back(box);
    ReportObject pic;
    pic.kind = ReportObject::Kind::Picture;
    pic.name = QStringLiteral("Logo");
    pic.rect = QRectF(1, 1, 5, 5);
    pic.picture = QByteArray("\x89PNG fake bytes\0\x01", 18);
    data.objects.push_back(pic);
    t.bands = {title, data};
    return t;
}

QString writeFile(const QString& dir, const QString& rel, const QByteArray& bytes) {
    const QString path = dir + QLatin1Char('/') + rel;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(bytes);
    return path;
}

}  // namespace

class TestReportTemplate : public QObject {
    Q_OBJECT
private slots:
    void roundTrip() {
        const ReportTemplate t = sample();
        const QByteArray xml = t.toXml();
        const ReportTemplate back = ReportTemplate::fromXml(xml, QStringLiteral("x.frf"));
        QCOMPARE(back.toXml(), xml);
        QCOMPARE(back.page.pageWidth(), 110.0);
        QCOMPARE(back.labels.columns, 2);
        QCOMPARE(back.labels.labelWidth, 99.1);
        QCOMPARE(back.bands.size(), size_t(2));
        const ReportObject* m = back.findObject(QStringLiteral("memo_bigmoney"));
        QVERIFY(m);
        QCOMPARE(m->text, sample().bands[0].objects[0].text);
        QCOMPARE(m->rect, QRectF(10, 1, 80.5, 6));
        QCOMPARE(m->align, int(Qt::AlignRight | Qt::AlignVCenter));
        QCOMPARE(m->frame, int(ReportObject::FrameLeft | ReportObject::FrameBottom));
        QVERIFY(m->bold && m->wordWrap && m->grow && !m->italic);
        QCOMPARE(back.bands[1].source, QStringLiteral("fr_Cust"));
        QCOMPARE(back.bands[1].objects[1].picture, sample().bands[1].objects[1].picture);
        QVERIFY(!back.findObject(QStringLiteral("Memo_Nothing")));
    }

    // Every spelling of the program's template paths finds the one file, whatever the case of each
    // component and whichever separator.
    void paths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("found");
        QTest::newRow("as written") << "Reports/fr_label.frf" << true;
        QTest::newRow("backslash, lower-case folder") << "reports\\fr_label.frf" << true;
        QTest::newRow("all upper case") << "REPORTS\\FR_LABEL.FRF" << true;
        QTest::newRow("doubled separators") << "Reports\\\\fr_label.frf" << true;
        QTest::newRow("missing file") << "reports\\fr_nothing.frf" << false;
        QTest::newRow("missing folder") << "Reps\\fr_label.frf" << false;
    }
    void paths() {
        QFETCH(QString, path);
        QFETCH(bool, found);
        QTemporaryDir dir;
        const QString file = writeFile(dir.path(), QStringLiteral("Reports/fr_label.frf"), sample().toXml());
        Report r(QStringLiteral("fr_label"));
        r.loadTemplate(dir.path(), path);  // a missing file is no error
        QCOMPARE(r.filePath() == file, found);
        QCOMPARE(r.reportTemplate().isEmpty(), !found);
    }

    // A file that cannot be read is an error naming the file and what is wrong; the report stays empty.
    void unreadable_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("not XML") << QByteArray("garbage <<") << "";
        QTest::newRow("other document") << QByteArray("<html/>") << "";
        QTest::newRow("newer version") << QByteArray("<quorvan-report version=\"9\"/>") << "9";
        QTest::newRow("bad number")
            << QByteArray("<quorvan-report version=\"1\"><page width=\"wide\"/></quorvan-report>") << "wide";
        QTest::newRow("unknown band")
            << QByteArray("<quorvan-report version=\"1\"><band kind=\"side\"/></quorvan-report>") << "side";
        QTest::newRow("unknown object")
            << QByteArray("<quorvan-report version=\"1\"><band><ole name=\"x\"/></band></quorvan-report>")
            << "ole";
        QTest::newRow("cut short") << QByteArray("<quorvan-report version=\"1\"><band>") << "";
    }
    void unreadable() {
        QFETCH(QByteArray, content);
        QFETCH(QString, mentions);
        QTemporaryDir dir;
        writeFile(dir.path(), QStringLiteral("Reports/fr_bills.frf"), content);
        Report r;
        try {
            r.loadTemplate(dir.path(), QStringLiteral("Reports/fr_bills.frf"));
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("fr_bills.frf")), qPrintable(e.text()));
            QVERIFY2(e.text().contains(mentions), qPrintable(e.text()));
        }
        QVERIFY(r.reportTemplate().isEmpty());
    }

    // Saving writes the file the template was read from; a folder that cannot be written is an error.
    void saveBack() {
        QTemporaryDir dir;
        const QString file = writeFile(dir.path(), QStringLiteral("Reports/fr_bill1.frf"), sample().toXml());
        Report r;
        r.loadTemplate(dir.path(), QStringLiteral("reports\\FR_BILL1.frf"));
        r.findObject(QStringLiteral("Memo_BigMoney"))->text = QStringLiteral(u"改过");
        r.saveTemplate();
        Report again;
        again.loadTemplate(dir.path(), QStringLiteral("Reports/fr_bill1.frf"));
        QCOMPARE(again.findObject(QStringLiteral("Memo_BigMoney"))->text, QStringLiteral(u"改过"));
        QCOMPARE(QDir(dir.path() + QStringLiteral("/Reports")).entryList(QDir::Files).size(), 1);

        // A folder in the way of the file (a plain file of that name) cannot be written, even by root.
        writeFile(dir.path(), QStringLiteral("Blocked"), "x");
        Report blocked;
        blocked.loadTemplate(dir.path(), QStringLiteral("Blocked\\fr_bill1.frf"));
        blocked.setTemplate(sample());
        try {
            blocked.saveTemplate();
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("fr_bill1.frf")), qPrintable(e.text()));
        }
    }
};

QTEST_GUILESS_MAIN(TestReportTemplate)
#include "tst_reporttemplate.moc"
