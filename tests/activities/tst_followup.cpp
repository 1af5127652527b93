#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "ActivityCommands.h"
#include "DBNavigator.h"
#include "Dataset.h"
#include "Frm_Main.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"
#include "Workstation.h"

using namespace qv;
using test::child;
using test::click;
using test::textOf;
using test::type;
using test::Workstation;

namespace {

// What an operator sees of one kind of follow-up record, and the entries a test types into it.
struct Kind {
    const char* add;
    const char* edit;
    const char* window;
    const char* addCaption;
    const char* editCaption;
    const char* groupBox;
    const char* table;
    QList<std::pair<const char*, const char*>> typed;  // control, text (the first is changed when editing)
    QStringList emptiedAfterAdd;
    QStringList keptAfterAdd;
    QStringList filledAtStart;    // drop-downs holding their list before they are opened
    QStringList filledOnOpening;  // drop-downs empty until opened
    QStringList dates;            // every date picker: today when adding, saved at midnight
};

const Kind kKinds[] = {
    {"Addprice",
     "Editprice",
     "Frm_Price",
     "新增商品报价",
     "编辑商品报价",
     "商品报价",
     "T_price",
     {{"Edit_sort", "螺丝"},
      {"Edit_guige", "M8"},
      {"Edit_type", "五金"},
      {"Edit_unitprice", "12.5"},
      {"Edit_unitnumber", "3"},
      {"Combo_people", "王五"},
      {"Edit_filepath", "/tmp/报价.doc"}},
     {"Edit_sort", "Edit_guige", "Edit_type", "Edit_unitprice", "Edit_unitnumber", "Combo_people",
      "Edit_filepath"},
     {},
     {},
     {"Combo_people"},
     {"Date_baojiatime"}},
    {"Addvisit",
     "Editvisit",
     "Frm_visit",
     "新增售后回访",
     "编辑售后回访",
     "售后回访",
     "T_visit",
     {{"Memo_visitcontent", "回访了"}, {"Combo_personnel", "王五"}, {"Combo_visitresult", "满意"}},
     {"Memo_visitcontent", "Combo_personnel", "Combo_visitresult"},
     {},
     {},
     {"Combo_personnel", "Combo_visitresult"},
     {"Date_visittime"}},
    {"Addfeedback",
     "Editfeedback",
     "Frm_Feedback",
     "新增投诉反馈",
     "编辑投诉反馈",
     "投诉反馈",
     "T_feedback",
     {{"Combo_deskclerk", "王五"},
      {"Memo_feedbackcontent", "噪音"},
      {"Combo_feedbackresult", "已解决"},
      {"Combo_disposalpersonnel", "赵六"}},
     {"Memo_feedbackcontent", "Combo_deskclerk", "Combo_feedbackresult", "Combo_disposalpersonnel"},
     {},
     {"Combo_feedbackresult"},
     {"Combo_deskclerk", "Combo_disposalpersonnel"},
     {"Date_feedbacktime", "Date_disposaltime"}},
    {"Addtrack",
     "Edittrack",
     "Frm_Track",
     "新增客户跟进",
     "编辑客户跟进",
     "客户跟进",
     "T_trackcust",
     {{"Combo_custphase", "初期"}, {"Combo_custstate", "正常"}, {"Combo_people", "王五"}},
     {"Combo_custphase", "Combo_custstate", "Combo_people"},
     {},
     {"Combo_custphase", "Combo_custstate", "Combo_people"},
     {},
     {"Date_lasttime", "Date_selltime"}},
    {"Addbargain",
     "Editbargain",
     "Frm_Bargain",
     "新增合同",
     "编辑合同",
     "合同信息",
     "T_bargain",
     {{"Edit_bargainname", "供货合同"},
      {"Combo_people", "王五"},
      {"Edit_bargainmoney", "1000"},
      {"Edit_balancemoney", "250.75"},
      {"Combo_finish", "完成"},
      {"Edit_filepath", "/tmp/合同.pdf"},
      {"Memo_memo", "一年"}},
     {"Edit_bargainname", "Edit_bargainmoney", "Edit_balancemoney", "Memo_memo", "Edit_filepath"},
     {"Combo_people", "Combo_finish"},
     {"Combo_people", "Combo_finish"},
     {},
     {"Date_bargaintime"}},
};

QString column(const char* control) { return QString::fromLatin1(control).section(QLatin1Char('_'), 1); }

}  // namespace

Q_DECLARE_METATYPE(const Kind*)

// The five follow-up record editors, run through the main window's commands on the workbench's lists.
class TestFollowUp : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }

    void addCustomer(const QString& code, const QString& company) {
        db().execute(
            QStringLiteral("insert into custom (CustCode, Company, F_User) values (:c, :n, 'Admin')"),
            {{"c", code}, {"n", company}});
    }
    Dataset& page(const QString& table) {
        Frm_Data& d = *ws->data;
        for (auto [ds, t] : {std::pair{d.Qry_price, "T_price"}, std::pair{d.Qry_visit, "T_visit"},
                             std::pair{d.Qry_feedback, "T_feedback"}, std::pair{d.Qry_track, "T_trackcust"},
                             std::pair{d.Qry_bargain, "T_bargain"}})
            if (table == QLatin1String(t)) return *ds;
        return *d.Qry_price;
    }
    // The workbench's lists: its customers, and each page listing the current customer's rows.
    void openLists() {
        ws->data->OpenQuery(*ws->data->Qry_Cust, QStringLiteral("select * from custom order by CustID"));
        for (const char* t : {"T_price", "T_visit", "T_feedback", "T_trackcust", "T_bargain"})
            ws->data->OpenQuery(
                page(QLatin1String(t)),
                QStringLiteral("Select * From %1 where CustCode=:CustCode order by ID").arg(t));
        ws->data->Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("KH-1"));
    }
    QVariant stored(const QString& table, const QString& col) {
        return db().scalar(QStringLiteral("select %1 from %2 order by ID desc").arg(col, table));
    }
    int count(const QString& table) {
        return db().scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
    }
    void run(const char* command, Workstation::Driver driver) {
        ws->onModal(std::move(driver));
        mw->action(QLatin1String(command))->trigger();
    }
    void expectInvalidNumber(const QString& text) {
        ws->prompter.expect(QStringLiteral("“%1”不是有效的数字。").arg(text), QMessageBox::Ok,
                            QStringLiteral("错误"));
    }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installActivityCommands(*ws->ctx, *mw);
        ws->loginAsAdmin();
        mw->reminderTimer()->stop();
        addCustomer(QStringLiteral("KH-1"), QStringLiteral("甲公司"));
        addCustomer(QStringLiteral("KH-2"), QStringLiteral("乙公司"));
        // Names stored with blanks around them: the drop-downs offer them trimmed.
        for (const char* t : {"Dict_people", "t_finish", "T_feedbackresult", "T_custphase", "T_custstate",
                              "DICT_visitresult"})
            db().execute(QStringLiteral("insert into %1 (name) values (' 甲乙 ')").arg(t));
        openLists();
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void editorsOfEachKind_data() {
        QTest::addColumn<const Kind*>("kind");
        for (const Kind& k : kKinds) QTest::newRow(k.window) << &k;
    }
    // Each kind's captions, group box and lists; adding resets the entries for the next record and
    // keeps the window open; editing loads the current row, saves into it and stays open too.
    void editorsOfEachKind() {
        QFETCH(const Kind*, kind);
        const QString table = QLatin1String(kind->table);
        const QDate today = ws->clock.today();
        run(kind->add, [&](QDialog& d) {
            QCOMPARE(d.objectName(), QLatin1String(kind->window));
            QCOMPARE(d.windowTitle(), QString::fromUtf8(kind->addCaption));
            QCOMPARE(child<QGroupBox>(d, "GroupBox1")->title(), QString::fromUtf8(kind->groupBox));
            QCOMPARE(child<QPushButton>(d, "Btn_OK")->text(), QStringLiteral("新增(&A)"));
            QCOMPARE(child<QPushButton>(d, "Btn_Close")->text(), QStringLiteral("关闭(&Q)"));
            QVERIFY(!child<DBNavigator>(d, "DBNavigator1")->isEnabled());
            for (const QString& name : kind->filledAtStart) {
                auto* c = child<QComboBox>(d, name);
                QVERIFY2(c->findText(QStringLiteral("甲乙")) >= 0, qPrintable(name));
                QCOMPARE(c->currentText(), QString());
            }
            for (const QString& name : kind->filledOnOpening) QCOMPARE(child<QComboBox>(d, name)->count(), 0);
            for (const QString& name : kind->dates) QCOMPARE(child<QDateEdit>(d, name)->date(), today);

            for (auto [name, text] : kind->typed) type(d, QLatin1String(name), QString::fromUtf8(text));
            for (const QString& name : kind->dates) child<QDateEdit>(d, name)->setDate(today.addDays(-3));
            click(d, "Btn_OK");
            QVERIFY(d.isVisible());
            for (const QString& name : kind->emptiedAfterAdd)
                QVERIFY2(textOf(d, name).isEmpty(), qPrintable(name));
            for (auto [name, text] : kind->typed)
                if (kind->keptAfterAdd.contains(QLatin1String(name)))
                    QCOMPARE(textOf(d, QLatin1String(name)), QString::fromUtf8(text));
            for (const QString& name : kind->dates) QCOMPARE(child<QDateEdit>(d, name)->date(), today);
            click(d, "Btn_Close");
        });
        QCOMPARE(count(table), 1);
        QCOMPARE(stored(table, QStringLiteral("custcode")).toString(), QStringLiteral("KH-1"));
        for (auto [name, text] : kind->typed) {
            const QVariant v = stored(table, column(name));
            bool number = false;
            const double n = QString::fromUtf8(text).toDouble(&number);
            if (number)
                QCOMPARE(v.toDouble(), n);
            else
                QCOMPARE(v.toString(), QString::fromUtf8(text));
        }
        for (const QString& name : kind->dates)
            QCOMPARE(stored(table, column(name.toLatin1().constData())).toDateTime(),
                     QDateTime(today.addDays(-3), QTime(0, 0)));
        QCOMPARE(page(table).rowCount(), 1);

        const auto [first, firstText] = kind->typed.first();
        run(kind->edit, [&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString::fromUtf8(kind->editCaption));
            QCOMPARE(child<QPushButton>(d, "Btn_OK")->text(), QStringLiteral("保存(&S)"));
            QVERIFY(child<DBNavigator>(d, "DBNavigator1")->isEnabled());
            QCOMPARE(textOf(d, QLatin1String(first)), QString::fromUtf8(firstText));
            QCOMPARE(child<QDateEdit>(d, kind->dates.first())->date(), today.addDays(-3));
            type(d, QLatin1String(first), QStringLiteral(" 7 "));
            click(d, "Btn_OK");
            QVERIFY(d.isVisible());
            click(d, "Btn_Close");
        });
        QCOMPARE(count(table), 1);
        QCOMPARE(stored(table, column(first)).toString(), QStringLiteral("7"));
    }

    // A list filled only at start is read again when it next opens after its list editor was used.
    void listEditorRefreshesTheList() {
        mw->setHandler(QStringLiteral("Menu_Staff"), [this] {
            db().execute(QStringLiteral("insert into Dict_people (name) values ('新人')"));
        });
        run("Addtrack", [&](QDialog& d) {
            auto* people = child<QComboBox>(d, "Combo_people");
            QCOMPARE(people->findText(QStringLiteral("新人")), -1);
            people->showPopup();
            people->hidePopup();
            QCOMPARE(people->findText(QStringLiteral("新人")), -1);  // read at start only
            click(d, "Btn_people");
            people->showPopup();
            people->hidePopup();
            QVERIFY(people->findText(QStringLiteral("新人")) >= 0);
            click(d, "Btn_Close");
        });
    }

    // Moving with the navigator loads the row shown; saving writes into that row and stays on it.
    void editSavesTheRowShown() {
        for (const char* name : {"甲合同", "乙合同"})
            db().execute(QStringLiteral("insert into T_bargain (custcode, bargainname, bargainmoney) "
                                        "values ('KH-1', :n, 5)"),
                         {{"n", QString::fromUtf8(name)}});
        Dataset& contracts = page(QStringLiteral("T_bargain"));
        contracts.refresh();
        QCOMPARE(contracts.rowCount(), 2);
        contracts.first();
        run("Editbargain", [&](QDialog& d) {
            QCOMPARE(textOf(d, "Edit_bargainname"), QStringLiteral("甲合同"));
            child<DBNavigator>(d, "DBNavigator1")->move(DBNavigator::Button::Next);
            QCOMPARE(textOf(d, "Edit_bargainname"), QStringLiteral("乙合同"));
            QCOMPARE(textOf(d, "Edit_bargainmoney"), QStringLiteral("5"));
            type(d, "Edit_bargainmoney", QStringLiteral("7.25"));
            click(d, "Btn_OK");
            QCOMPARE(textOf(d, "Edit_bargainname"), QStringLiteral("乙合同"));
            click(d, "Btn_Close");
        });
        QCOMPARE(db().scalar(QStringLiteral("select bargainmoney from T_bargain where bargainname='甲合同'"))
                     .toDouble(),
                 5.0);
        QCOMPARE(db().scalar(QStringLiteral("select bargainmoney from T_bargain where bargainname='乙合同'"))
                     .toDouble(),
                 7.25);
    }

    void contractName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("saved");
        QTest::newRow("blanks are saved empty") << QStringLiteral("  ") << true;
        QTest::newRow("empty is refused") << QString() << false;
    }
    // Contract names: only an empty box is refused; the salesman and file path are saved as typed.
    void contractName() {
        QFETCH(QString, name);
        QFETCH(bool, saved);
        run("Addbargain", [&](QDialog& d) {
            type(d, "Edit_bargainname", name);
            type(d, "Combo_people", QStringLiteral(" 王五 "));
            if (!saved) ws->prompter.expect(QStringLiteral("合同名称不能为空！"));
            click(d, "Btn_OK");
            QVERIFY(d.isVisible());
            click(d, "Btn_Close");
        });
        QCOMPARE(count(QStringLiteral("T_bargain")), saved ? 1 : 0);
        if (saved) {
            QCOMPARE(stored(QStringLiteral("T_bargain"), QStringLiteral("bargainname")).toString(),
                     QString());
            QCOMPARE(stored(QStringLiteral("T_bargain"), QStringLiteral("people")).toString(),
                     QStringLiteral(" 王五 "));
        }
    }

    void amounts_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("saved");
        QTest::newRow("letters are swallowed") << QStringLiteral("1a2.b5") << QStringLiteral("12.5") << true;
        QTest::newRow("out of the money range")
            << QStringLiteral("1000000000000000") << QStringLiteral("1000000000000000") << false;
        QTest::newRow("two points") << QStringLiteral("1.2.3") << QStringLiteral("1.2.3") << false;
        QTest::newRow("empty") << QString() << QString() << false;
    }
    // Amount boxes take digits and points; what is not a money amount is refused and nothing is written.
    void amounts() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, saved);
        run("Addbargain", [&](QDialog& d) {
            QCOMPARE(textOf(d, "Edit_bargainmoney"), QStringLiteral("0"));
            type(d, "Edit_bargainname", QStringLiteral("供货"));
            type(d, "Edit_bargainmoney", typed);
            QCOMPARE(textOf(d, "Edit_bargainmoney"), shown);
            if (!saved) expectInvalidNumber(shown);
            click(d, "Btn_OK");
            QCOMPARE(textOf(d, "Edit_bargainname"), saved ? QString() : QStringLiteral("供货"));
            QCOMPARE(page(QStringLiteral("T_bargain")).state(), Dataset::State::Browse);
            click(d, "Btn_Close");
        });
        QCOMPARE(count(QStringLiteral("T_bargain")), saved ? 1 : 0);
        if (saved)
            QCOMPARE(stored(QStringLiteral("T_bargain"), QStringLiteral("bargainmoney")).toDouble(), 12.5);
    }

    // A second quotation without numbers typed is refused: the reset left the number boxes empty.
    void secondQuotationNeedsNumbers() {
        run("Addprice", [&](QDialog& d) {
            click(d, "Btn_OK");
            QCOMPARE(textOf(d, "Edit_unitprice"), QString());
            expectInvalidNumber(QString());
            click(d, "Btn_OK");
            click(d, "Btn_Close");
        });
        QCOMPARE(count(QStringLiteral("T_price")), 1);
    }

    // A record belongs to the customer current when it was added and is listed on that customer's page.
    void recordsBelongToTheCurrentCustomer() {
        Dataset& customers = *ws->data->Qry_Cust;
        customers.locate(QStringLiteral("CustCode"), QStringLiteral("KH-2"));
        run("Addvisit", [&](QDialog& d) {
            type(d, "Memo_visitcontent", QStringLiteral("回访"));
            click(d, "Btn_OK");
            click(d, "Btn_Close");
        });
        QCOMPARE(stored(QStringLiteral("T_visit"), QStringLiteral("custcode")).toString(),
                 QStringLiteral("KH-2"));
        Dataset& visits = page(QStringLiteral("T_visit"));
        QCOMPARE(visits.rowCount(), 1);
        customers.locate(QStringLiteral("CustCode"), QStringLiteral("KH-1"));
        QCOMPARE(visits.rowCount(), 0);
        customers.locate(QStringLiteral("CustCode"), QStringLiteral("KH-2"));
        QCOMPARE(visits.rowCount(), 1);
        QCOMPARE(visits.text(QStringLiteral("visitcontent")), QStringLiteral("回访"));
    }

    // A content longer than its column: the database's message, nothing saved, the page usable again
    // and the dialog still holding what was typed.
    void failedPostKeepsTheDialog() {
        Dataset& visits = page(QStringLiteral("T_visit"));
        run("Addvisit", [&](QDialog& d) {
            const QString tooLong(60, QLatin1Char('x'));
            type(d, "Memo_visitcontent", tooLong);
            ws->prompter.expectCaption(QStringLiteral("错误"));  // the database's own text
            click(d, "Btn_OK");
            QVERIFY(d.isVisible());
            QCOMPARE(textOf(d, "Memo_visitcontent"), tooLong);
            QCOMPARE(visits.state(), Dataset::State::Browse);
            QCOMPARE(visits.rowCount(), 0);
            type(d, "Memo_visitcontent", QStringLiteral("短"));
            click(d, "Btn_OK");
            click(d, "Btn_Close");
        });
        QCOMPARE(visits.rowCount(), 1);
    }

    void viewFile_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("opened");
        QTest::newRow("existing file") << QStringLiteral("doc.txt") << true;
        QTest::newRow("missing file") << QStringLiteral("missing.txt") << false;
        QTest::newRow("folder") << QString() << false;
        QTest::newRow("web address") << QStringLiteral("example.com/x") << false;
    }
    // "查看" hands only an existing file to the desktop; browsing puts the chosen file into the box,
    // a cancelled dialog keeps the box's text.
    void viewFile() {
        QFETCH(QString, path);
        QFETCH(bool, opened);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("doc.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString shown = path.startsWith(QLatin1String("example")) ? path : dir.filePath(path);
        ws->prompter.nextFile(shown).nextFile(QString());
        run("Addprice", [&](QDialog& d) {
            click(d, "Btn_Browse");
            QCOMPARE(textOf(d, "Edit_filepath"), shown);
            click(d, "Btn_Browse");
            QCOMPARE(textOf(d, "Edit_filepath"), shown);
            click(d, "Btn_View");
            click(d, "Btn_Close");
        });
        QCOMPARE(ws->shell.opened, opened ? QStringList{shown} : QStringList{});
    }
};

QTEST_MAIN(TestFollowUp)
#include "tst_followup.moc"
