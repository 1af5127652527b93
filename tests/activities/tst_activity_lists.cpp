#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>
#include <memory>

#include "ActivityCommands.h"
#include "ActivityLists.h"
#include "DBGrid.h"
#include "Dataset.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "Report.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"
#include "Workstation.h"

using namespace qv;
using test::child;
using test::click;

namespace {

const QDate kToday(2024, 3, 15);
const QDate kFrom(2024, 3, 1);

QDateTime at(QDate day, int h, int m = 0, int s = 0) { return QDateTime(day, QTime(h, m, s)); }

}  // namespace

// The activity list reports: what each query lists, and that each window opens once.
class TestActivityLists : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installActivityCommands(*ws->ctx, *mw);
        ws->loginAs(QStringLiteral("Admin"), 0, {55, 56, 57, 58, 59});
        mw->reminderTimer()->stop();
        ws->clock.at = QDateTime(kToday, QTime(9, 30));
        db().execute(
            QStringLiteral("insert into custom (CustCode, Company, F_User) values ('KH1', '甲公司', "
                           "'Admin'), ('KH2', '乙公司', 'Admin')"));
    }
    void tearDown() override { mw.reset(); }

    // Opens the window through its menu entry, as the operator does.
    template <class W>
    W* open(const char* command) {
        mw->action(QLatin1String(command))->trigger();
        auto* w = qobject_cast<W*>(mw->childForm(QString::fromLatin1(W::staticMetaObject.className())));
        if (w) w->prepare();
        return w;
    }

    static QStringList column(const ActivityList& w, const QString& field) {
        QStringList out;
        const Dataset* ds = w.dataset();
        for (int r = 0; ds && ds->isOpen() && r < ds->rowCount(); ++r) out << ds->value(r, field).toString();
        out.sort();
        return out;
    }

    void addPrice(const QString& code, const QString& sort, const QDateTime& when) {
        db().execute(QStringLiteral("insert into T_price (custcode, baojiatime, sort, unitprice, unitnumber) "
                                    "values (:c, :t, :s, 1, 1)"),
                     {{"c", code}, {"t", when}, {"s", sort}});
    }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // Every moment of the range's days is listed, nothing of the day after or before; the customer is
    // matched exactly, an empty or blank box takes every customer.
    void priceRange_data() {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("all customers") << "" << QStringList{"first 00:00", "other", "to 00:00", "to 23:59"};
        QTest::newRow("blank box") << "  " << QStringList{"first 00:00", "other", "to 00:00", "to 23:59"};
        QTest::newRow("one customer") << "甲公司" << QStringList{"first 00:00", "to 00:00", "to 23:59"};
        QTest::newRow("no prefix match") << "甲" << QStringList{};
    }
    void priceRange() {
        QFETCH(QString, customer);
        QFETCH(QStringList, listed);
        addPrice("KH1", "before", at(kFrom.addDays(-1), 23, 59, 59));
        addPrice("KH1", "first 00:00", at(kFrom, 0));
        addPrice("KH1", "to 00:00", at(kToday, 0));
        addPrice("KH1", "to 23:59", at(kToday, 23, 59, 59));
        addPrice("KH1", "after", at(kToday.addDays(1), 0));
        addPrice("KH2", "other", at(kToday, 10));
        auto* w = open<Frm_A_price>("Menu_PriceStat");
        QVERIFY(w);
        QCOMPARE(child<QDateEdit>(*w, "Date_From")->date(), kFrom);
        QCOMPARE(child<QDateEdit>(*w, "Date_To")->date(), kToday);
        QVERIFY(!w->dataset()->isOpen());  // empty until the first query
        child<QComboBox>(*w, "Combo_Cust")->setEditText(customer);
        click(*w, "Btn_Query");
        QCOMPARE(column(*w, "sort"), listed);
    }

    // The contract keyword is a prefix of the company, contract name, salesman, file path or completion,
    // and the date range applies to every match.
    void bargainKeyword_data() {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("empty") << "" << QStringList{"c1", "c2", "c3", "c4", "c5"};
        QTest::newRow("company") << "乙公" << QStringList{"c5"};
        QTest::newRow("contract name") << "维护" << QStringList{"c1"};
        QTest::newRow("salesman") << "王" << QStringList{"c2"};
        QTest::newRow("file path") << "D:\\" << QStringList{"c3"};
        QTest::newRow("completion") << "已完" << QStringList{"c4"};
        QTest::newRow("quote") << "O'B" << QStringList{"c5"};
        QTest::newRow("underscore is a wildcard") << "销_合" << QStringList{"c2", "c3", "c4"};
        QTest::newRow("percent is a wildcard") << "%合同" << QStringList{"c1", "c2", "c3", "c4"};
        QTest::newRow("exclamation mark is literal") << "!" << QStringList{};
        QTest::newRow("not a prefix") << "公司" << QStringList{};
    }
    void bargainKeyword() {
        QFETCH(QString, keyword);
        QFETCH(QStringList, listed);
        const auto add = [this](const char* code, const char* memo, const char* name, const char* people,
                                const char* path, const char* finish, const QDateTime& when) {
            db().execute(QStringLiteral("insert into T_bargain (custcode, bargaintime, bargainname, people, "
                                        "filepath, finish, memo, bargainmoney) values (:c, :t, :n, :p, :f, "
                                        ":d, :m, 100)"),
                         {{"c", code},
                          {"t", when},
                          {"n", name},
                          {"p", people},
                          {"f", path},
                          {"d", finish},
                          {"m", memo}});
        };
        add("KH1", "c1", "维护合同", "张三", "", "未完成", at(kToday, 12));
        add("KH1", "c2", "销售合同", "王五", "", "未完成", at(kFrom, 0));
        add("KH1", "c3", "销售合同", "张三", "D:\\a.doc", "未完成", at(kToday, 23, 59));
        add("KH1", "c4", "销售合同", "张三", "", "已完成", at(kToday, 0));
        add("KH2", "c5", "O'Brien", "张三", "", "未完成", at(kToday, 8));
        // Matches of every keyword, outside the range.
        add("KH2", "late", "维护合同", "王五", "D:\\b", "已完成", at(kToday.addDays(1), 0));
        add("KH1", "early", "维护合同", "王五", "D:\\b", "已完成", at(kFrom.addDays(-1), 23));
        auto* w = open<Frm_A_bargain>("Menu_BargainStat");
        QVERIFY(w);
        child<QLineEdit>(*w, "Edit_Keyword")->setText(keyword);
        click(*w, "Btn_Query");
        QCOMPARE(column(*w, "memo"), listed);
    }

    // Contacts of every operator, by a prefix of the contact's name or of the company.
    void relationKeyword_data() {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("empty") << " " << QStringList{"张三", "张伟", "李四"};
        QTest::newRow("name") << "张" << QStringList{"张三", "张伟"};
        QTest::newRow("company") << "乙公" << QStringList{"李四"};
        QTest::newRow("inside a name") << "三" << QStringList{};
    }
    void relationKeyword() {
        QFETCH(QString, keyword);
        QFETCH(QStringList, listed);
        db().execute(
            QStringLiteral("insert into contact (CustCode, Name, Company, F_User) values "
                           "('KH1', '张三', '甲公司', 'Admin'), ('KH1', '张伟', '甲公司', '李四'), "
                           "('KH2', '李四', '乙公司', '李四')"));
        auto* w = open<Frm_A_relation>("Menu_ContactList");
        QVERIFY(w);
        child<QLineEdit>(*w, "Edit_Keyword")->setText(keyword);
        click(*w, "Btn_Query");
        QCOMPARE(column(*w, "Name"), listed);
    }

    // A query the database refuses shows its message; the grid keeps the rows it showed.
    void failedQueryKeepsRows() {
        addPrice("KH1", "kept", at(kToday, 0));
        auto* w = open<Frm_A_price>("Menu_PriceStat");
        QVERIFY(w);
        click(*w, "Btn_Query");
        QCOMPARE(column(*w, "sort"), QStringList{"kept"});
        db().execute(QStringLiteral("drop view V_Temp_price"));
        ws->prompter.expectCaption(QStringLiteral("错误"));
        click(*w, "Btn_Query");
        QVERIFY(ws->prompter.verify());
        QCOMPARE(column(*w, "sort"), QStringList{"kept"});
        QCOMPARE(w->grid().dataset(), w->dataset());
    }

    // The visit and follow-up templates print the rows of the window's own list, also after a query
    // replaced its dataset; the other lists print their grid.
    void reportSource_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("source");
        QTest::newRow("visit") << "Menu_VisitStat"
                               << "Qry_visit";
        QTest::newRow("follow-up") << "Menu_TrackStat"
                                   << "Qry_track";
    }
    void reportSource() {
        QFETCH(QString, command);
        QFETCH(QString, source);
        mw->action(command)->trigger();
        auto* w = qobject_cast<ActivityList*>(mw->mdiArea()->subWindowList().value(0)->widget());
        QVERIFY(w && w->report());
        QVERIFY(w->findChild<QWidget*>(QStringLiteral("Btn_Design")));
        Dataset* before = w->dataset();
        QCOMPARE(w->report()->source(source), before);
        click(*w, "Btn_Query");
        QVERIFY(w->dataset() != before);
        QCOMPARE(w->report()->source(source), w->dataset());
        QVERIFY(w->dataset() != ws->data->Qry_visit && w->dataset() != ws->data->Qry_track);
    }

    // The red note of the search box shows while the box has the focus.
    void noteOnFocus() {
        mw->show();
        auto* w = open<Frm_A_bargain>("Menu_BargainStat");
        QVERIFY(w);
        auto* note = child<QLabel>(*w, "Label_Note");
        QCOMPARE(note->text(), QStringLiteral("按照客户名称，合同名称，业务员，文件路径，完成情况查询"));
        QVERIFY(!note->isVisible());
        auto* box = child<QLineEdit>(*w, "Edit_Keyword");
        mw->activateWindow();
        box->setFocus();
        QTRY_VERIFY(note->isVisible());
        child<QDateEdit>(*w, "Date_From")->setFocus();
        QTRY_VERIFY(!note->isVisible());
    }

    // Each command opens its window once; a second call brings the same window forward.
    void opensOnce_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title");
        QTest::newRow("price") << "Menu_PriceStat"
                               << "商品报价统计列表";
        QTest::newRow("price, toolbar") << "Drop_PriceStat"
                                        << "商品报价统计列表";
        QTest::newRow("visit") << "Menu_VisitStat"
                               << "售后回访统计列表";
        QTest::newRow("feedback") << "Drop_FeedbackStat"
                                  << "投诉反馈统计列表";
        QTest::newRow("track") << "Menu_TrackStat"
                               << "客户跟进统计列表";
        QTest::newRow("bargain") << "Menu_BargainStat"
                                 << "合同管理统计列表";
        QTest::newRow("contacts") << "Menu_ContactList"
                                  << "联系人统计列表";
    }
    void opensOnce() {
        QFETCH(QString, command);
        QFETCH(QString, title);
        QAction* a = mw->action(command);
        QVERIFY(a);
        a->trigger();
        a->trigger();
        const QList<QMdiSubWindow*> subs = mw->mdiArea()->subWindowList();
        QCOMPARE(subs.size(), 1);
        QCOMPARE(subs.first()->widget()->windowTitle(), title);
    }
};

QTEST_MAIN(TestActivityLists)
#include "tst_activity_lists.moc"
