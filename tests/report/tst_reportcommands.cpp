// The report commands of the main window: the customer print commands print what the workbench's
// list holds, the design commands edit the loaded report and write its file, and the report objects
// are loaded when the program starts.
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "CommandWiring.h"
#include "DataModuleReports.h"
#include "Frm_Custom.h"
#include "Frm_Design.h"
#include "Frm_Main.h"
#include "Frm_Preview.h"
#include "GridServices.h"
#include "ReportFixture.h"
#include "ReportWiring.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using test::band;
using test::textObject;

namespace {

const QString kOperator = QStringLiteral("王五");
const QString kQuestion = QStringLiteral(u"报表格式已修改，是否保存？");

// A one-line-per-customer list over `source`, with our company's name from info in the title.
ReportTemplate listOver(const QString& source, const QString& title) {
    ReportTemplate t;
    ReportBand head = band(ReportBand::Kind::ReportTitle, 10);
    head.objects.push_back(textObject(QStringLiteral("Title"), QRectF(10, 0, 150, 8), title));
    head.objects.push_back(
        textObject(QStringLiteral("Sender"), QRectF(160, 0, 40, 8), QStringLiteral("[info.\"Company\"]")));
    ReportBand data = band(ReportBand::Kind::MasterData, 7, source);
    data.objects.push_back(textObject(QStringLiteral("Company"), QRectF(10, 0, 80, 7),
                                      QStringLiteral("[%1.\"Company\"]").arg(source)));
    t.bands = {head, data};
    return t;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList texts(const PreparedReport& r) {
    QStringList out;
    for (const PreparedPage& p : r.pages)
        for (const PreparedItem& it : p.allItems()) out << it.text();
    return out;
}

}  // namespace

class TestReportCommands : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }
    QString file(const char* name) { return QDir(ws->home).filePath(QStringLiteral("Reports/%1").arg(name)); }

    void setUp() override {
        writeFile(file("fr_CustBasic.frf"),
                  listOver(QStringLiteral("fr_Cust"), QStringLiteral(u"客户资料")).toXml());
        writeFile(file("fr_envelop.frf"),
                  listOver(QStringLiteral("fr_Cust"), QStringLiteral(u"信封")).toXml());
        writeFile(file("fr_label.frf"),
                  listOver(QStringLiteral("frDB_label"), QStringLiteral(u"标签")).toXml());
        db().execute(QStringLiteral("delete from info"));
        db().execute(QStringLiteral("insert into info (Company) values ('我方公司')"));
        ws->loginAs(kOperator, 0, {64, 65, 66, 68, 69, 70, 91});
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        mw->reminderTimer()->stop();
        loadDataModuleReports(*ws->ctx);
        installCommands(*ws->ctx, *mw);
    }
    void tearDown() override { mw.reset(); }

    // Runs a print command and returns the texts of the preview it showed.
    QStringList print(const QString& command) {
        QStringList shown;
        ws->onModal([&shown](QDialog& d) {
            if (auto* p = qobject_cast<Frm_Preview*>(&d)) shown = texts(p->state().report());
            d.reject();
        });
        mw->action(command)->trigger();
        return shown;
    }
    // Runs a design command and hands the designer to `drive`.
    void designWith(const QString& command, const std::function<void(Frm_Design&)>& drive) {
        bool seen = false;
        ws->onModal([&](QDialog& d) {
            auto* w = qobject_cast<Frm_Design*>(&d);
            QVERIFY(w);
            seen = true;
            drive(*w);
        });
        mw->action(command)->trigger();
        QVERIFY(seen);
    }
    // Selects the master band's object "Company" and types its new text into the panel.
    static void retype(Frm_Design& w, const QString& text) {
        const auto& bands = w.design().reportTemplate().bands;
        w.design().select({1, 0});
        w.refresh();
        QCOMPARE(bands[1].objects[0].name, QStringLiteral("Company"));
        test::child<QPlainTextEdit>(w, "Memo_Text")->setPlainText(text);
    }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // Each print command, from the menu and from its drop-down twin, prints the customers the
    // workbench's list holds after it was filtered to a category, with our company from info, and
    // leaves the list's current row where it was.
    void printFilteredList_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title");
        QTest::newRow("sheet") << "Menu_PrintCustSheet" << QStringLiteral(u"客户资料");
        QTest::newRow("sheet, drop-down") << "Drop_PrintCustSheet" << QStringLiteral(u"客户资料");
        QTest::newRow("envelope") << "Menu_PrintEnvelope" << QStringLiteral(u"信封");
        QTest::newRow("labels") << "Menu_PrintLabel" << QStringLiteral(u"标签");
        QTest::newRow("labels, drop-down") << "Drop_PrintLabel" << QStringLiteral(u"标签");
    }
    void printFilteredList() {
        QFETCH(QString, command);
        QFETCH(QString, title);
        test::addCustomers(db(), 6);
        db().execute(
            QStringLiteral("update custom set Category = case Category when 'A' then '01' else '02' end"));
        db().execute(QStringLiteral(
            "insert into Dict_Cust_Category (Code, Name) values ('01', '华东'), ('02', '华北')"));
        mw->action(Frm_Main::kWorkbench)->trigger();
        auto* tree = test::child<QTreeWidget>(*mw, "TreeView1");
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, kCodeRole).toString() == QLatin1String("01")) emit tree->itemClicked(*it, 0);
        Dataset& list = *ws->data->Qry_Cust;
        QCOMPARE(list.recordCount(), 3);
        list.setCurrentRow(1);

        const QStringList shown = print(command);
        QVERIFY(shown.contains(title));
        QVERIFY(shown.contains(QStringLiteral(u"我方公司")));
        for (int i = 1; i <= 6; ++i) QCOMPARE(shown.contains(QStringLiteral(u"客户%1").arg(i)), i % 2 == 1);
        QCOMPARE(list.currentRow(), 1);
    }

    // With the workbench never opened (an empty list) the sheet shows a preview without data rows.
    void printEmptyList() {
        const QStringList shown = print(QStringLiteral("Menu_PrintCustSheet"));
        QCOMPARE(shown, QStringList({QStringLiteral(u"客户资料"), QStringLiteral(u"我方公司")}));
    }

    // A change saved in the designer is written to the file and printed by the next print command of
    // the same run; undo and close questions do not come up after the save.
    void designSaveIsInForce_data() {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("print");
        QTest::addColumn<QString>("file");
        QTest::newRow("sheet") << "Menu_DesignCustSheet"
                               << "Menu_PrintCustSheet"
                               << "fr_CustBasic.frf";
        QTest::newRow("envelope") << "Menu_DesignEnvelope"
                                  << "Menu_PrintEnvelope"
                                  << "fr_envelop.frf";
        QTest::newRow("labels") << "Menu_DesignLabel"
                                << "Drop_PrintLabel"
                                << "fr_label.frf";
    }
    void designSaveIsInForce() {
        QFETCH(QString, design);
        QFETCH(QString, print);
        QFETCH(QString, file);
        test::addCustomers(db(), 2);
        mw->action(Frm_Main::kWorkbench)->trigger();
        designWith(design, [](Frm_Design& w) {
            retype(w, QStringLiteral(u"公司：[Company]"));
            QVERIFY(w.design().isModified());
            test::click(w, QStringLiteral("Btn_Save"));
            QVERIFY(!w.design().isModified());
            w.reject();
        });
        const QByteArray saved = readFile(QDir(ws->home).filePath(QStringLiteral("Reports/") + file));
        QVERIFY(saved.contains(QStringLiteral(u"公司：[Company]").toUtf8()));
        const QStringList shown = this->print(print);
        QVERIFY2(shown.contains(QStringLiteral(u"公司：客户1")), qPrintable(shown.join(u'|')));
        QVERIFY(shown.contains(QStringLiteral(u"公司：客户2")));
    }

    // Closing with unsaved changes asks; Cancel keeps the designer open, No closes it and leaves the
    // report and its file as they were.
    void closeWithoutSaving() {
        test::addCustomers(db(), 1);
        mw->action(Frm_Main::kWorkbench)->trigger();
        const QByteArray before = readFile(file("fr_CustBasic.frf"));
        ws->prompter.expect(kQuestion, QMessageBox::Cancel).expect(kQuestion, QMessageBox::No);
        designWith(QStringLiteral("Menu_DesignCustSheet"), [](Frm_Design& w) {
            retype(w, QStringLiteral(u"不保存的文字"));
            w.design().moveSelected(5, 5);
            w.reject();
            QCOMPARE(w.result(), int(QDialog::Rejected));
            QVERIFY(w.design().isModified());  // still open: Cancel
            w.reject();
        });
        QCOMPARE(readFile(file("fr_CustBasic.frf")), before);
        QCOMPARE(ws->ctx->reports->fr_CustBasic.findObject(QStringLiteral("Company"))->text,
                 QStringLiteral("[fr_Cust.\"Company\"]"));
        QVERIFY(print(QStringLiteral("Menu_PrintCustSheet")).contains(QStringLiteral(u"客户1")));
    }

    // Answering Yes to the question on closing saves: the file and the loaded report hold the change.
    void closeWithSaving() {
        test::addCustomers(db(), 1);
        mw->action(Frm_Main::kWorkbench)->trigger();
        ws->prompter.expect(kQuestion, QMessageBox::Yes);
        designWith(QStringLiteral("Menu_DesignLabel"), [](Frm_Design& w) {
            retype(w, QStringLiteral(u"收件：[Company]"));
            w.reject();
        });
        QVERIFY(readFile(file("fr_label.frf")).contains(QStringLiteral(u"收件：[Company]").toUtf8()));
        QVERIFY(print(QStringLiteral("Menu_PrintLabel")).contains(QStringLiteral(u"收件：客户1")));
    }

    // When the file cannot be written the error box says so, the report keeps what it printed before,
    // and the designer still holds the change (closing asks again).
    void writeFailure() {
        test::addCustomers(db(), 1);
        mw->action(Frm_Main::kWorkbench)->trigger();
        // A folder where the file was: it cannot be replaced by a file.
        QVERIFY(QFile::remove(file("fr_CustBasic.frf")));
        QVERIFY(QDir().mkpath(file("fr_CustBasic.frf")));
        ws->prompter.expectCaption(QStringLiteral("错误")).expect(kQuestion, QMessageBox::No);
        designWith(QStringLiteral("Menu_DesignCustSheet"), [](Frm_Design& w) {
            retype(w, QStringLiteral(u"写不进去"));
            QVERIFY(!w.save());
            QVERIFY(w.design().isModified());
            w.reject();
        });
        QVERIFY(ws->prompter.shown().first().text.contains(QStringLiteral("Reports/fr_CustBasic.frf")));
        const QStringList shown = print(QStringLiteral("Menu_PrintCustSheet"));
        QVERIFY(shown.contains(QStringLiteral(u"客户1")));
        QVERIFY(!shown.contains(QStringLiteral(u"写不进去")));
    }

    // At start a template that cannot be read shows the error box naming it; the other reports load
    // and the unreadable one stays empty.
    void unreadableTemplateAtStart() {
        writeFile(file("fr_envelop.frf"), "<this is not a template");
        ws->prompter.expectCaption(QStringLiteral("错误"));
        loadDataModuleReports(*ws->ctx);
        QVERIFY(ws->prompter.shown().last().text.contains(QStringLiteral("fr_envelop.frf")));
        QVERIFY(ws->ctx->reports->fr_envelop.reportTemplate().isEmpty());
        QVERIFY(!ws->ctx->reports->fr_CustBasic.reportTemplate().isEmpty());
        QVERIFY(!ws->ctx->reports->fr_label.reportTemplate().isEmpty());
    }
};

QTEST_MAIN(TestReportCommands)
#include "tst_reportcommands.moc"
