#include <QAction>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "CustomerEditorCommands.h"
#include "DBGrid.h"
#include "DbError.h"
#include "Frm_Main.h"
#include "RecordCommands.h"
#include "RightsGate.h"
#include "TestDb.h"
#include "WindowTest.h"

using namespace qv;
using test::Workstation;

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kQuestion = QStringLiteral("询问");
const QString kNotice = QStringLiteral("提醒");
const QString kAskDeleteCustomer = QStringLiteral("删除客户记录,将删除当前客户所有相关的记录");
const QString kNotYourCustomer = QStringLiteral("不是你的客户，你没有权限删除！");
const QString kDeleteFailed = QStringLiteral("删除记录失败!");

// The tables that hold a customer's rows.
const QStringList kCustomerTables{"contact", "T_Schedule", "T_sale",      "T_SaleDetail", "T_price",
                                  "T_visit", "T_feedback", "T_trackcust", "T_bargain"};

}  // namespace

class TestRecordCommands : public test::WindowTest {
    Q_OBJECT
    std::unique_ptr<Frm_Main> mw;
    QObject selectionOwner;

    Database& db() { return ws->db(); }
    Frm_Data& data() { return *ws->data; }
    int count(const QString& sql, const Params& p = {}) { return db().scalar(sql, p).toInt(); }
    void exec(const QString& sql, const Params& p = {}) { db().execute(sql, p); }

    void addCustomer(const QString& code, const QString& owner) {
        exec("insert into custom (CustCode, Company, F_User) values (:c, :n, :u)",
             {{"c", code}, {"n", code + QStringLiteral(" 公司")}, {"u", owner}});
    }
    // One row in each table that belongs to the customer; the bill has two lines.
    void addRelatedRows(const QString& code) {
        const Params p{{"c", code}, {"b", QStringLiteral("FH-") + code}};
        exec("insert into contact (CustCode, Name, F_User) values (:c, 'x', 'Admin')", p);
        exec("insert into T_Schedule (CustCode, F_User) values (:c, 'Admin')", p);
        exec("insert into T_sale (BillCode, CustCode) values (:b, :c)", p);
        exec("insert into T_SaleDetail (BillCode, Custcode, Product_Code) values (:b, :c, 'P1')", p);
        exec("insert into T_SaleDetail (BillCode, Custcode, Product_Code) values (:b, :c, 'P2')", p);
        for (const char* t : {"T_price", "T_visit", "T_feedback", "T_trackcust", "T_bargain"})
            exec(QStringLiteral("insert into %1 (custcode) values (:c)").arg(QLatin1String(t)), p);
    }
    int rowsOf(const QString& code) {
        int n = count("select count(*) from custom where CustCode=:c", {{"c", code}});
        for (const QString& t : kCustomerTables)
            n += count(QStringLiteral("select count(*) from %1 where CustCode=:c").arg(t), {{"c", code}});
        return n;
    }
    void openCustomers() { data().OpenQuery(*data().Qry_Cust, "select * from custom order by CustID"); }
    void select(const QList<int>& rows) {
        setCustomerSelection(*mw, &selectionOwner, [rows] { return rows; });
    }
    void run(const QString& command) { mw->action(command)->trigger(); }

    void setUp() override {
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installRecordCommands(*ws->ctx, *mw);
        ws->loginAsAdmin();
        mw->reminderTimer()->stop();
    }
    void tearDown() override { mw.reset(); }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // Deleting a customer empties every table of its rows, bill lines included, and nothing of
    // another customer; "No" deletes nothing.
    void customerCascade_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(QMessageBox::Yes);
        QTest::newRow("no") << int(QMessageBox::No);
    }
    void customerCascade() {
        QFETCH(int, answer);
        for (const QString& c : {QStringLiteral("KH0001"), QStringLiteral("KH0002")}) {
            addCustomer(c, "Admin");
            addRelatedRows(c);
        }
        const int before = rowsOf("KH0001");
        QCOMPARE(before, 11);
        openCustomers();
        ws->prompter.expect(kAskDeleteCustomer, QMessageBox::StandardButton(answer), kWarning);
        run("DelCust");
        QCOMPARE(rowsOf("KH0001"), answer == QMessageBox::Yes ? 0 : before);
        QCOMPARE(rowsOf("KH0002"), 11);
        QCOMPARE(data().Qry_Cust->recordCount(), answer == QMessageBox::Yes ? 1 : 2);
        QCOMPARE(data().Qry_Cust->text("CustCode"), answer == QMessageBox::Yes ? "KH0002" : "KH0001");
    }

    // A customer row that another workstation deleted meanwhile makes the whole delete fail: every
    // related row comes back and the operator is told; with several selected the others still go.
    void customerRollback() {
        for (const QString& c : {QStringLiteral("KH0001"), QStringLiteral("KH0002")}) {
            addCustomer(c, "Admin");
            addRelatedRows(c);
        }
        openCustomers();
        ws->another()->db().execute("delete from custom where CustCode='KH0001'");
        select({0, 1});
        ws->prompter.expect(kAskDeleteCustomer, QMessageBox::Yes, kWarning);
        ws->prompter.expect(kDeleteFailed, QMessageBox::Ok, kQuestion);
        run("DelCust");
        QCOMPARE(rowsOf("KH0001"), 10);  // everything but the customer row, which was gone before
        QCOMPARE(rowsOf("KH0002"), 0);
        QCOMPARE(db().transactionDepth(), 0);
    }

    // An ordinary operator deletes only his own customers, each selected one checked by itself.
    void customerOwnership_data() {
        QTest::addColumn<int>("permit");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("refusals");
        QTest::addColumn<QStringList>("remaining");
        // Customers in row order: K1 (王五), K2 (李四), K3 (王五).
        QTest::newRow("own current") << 1 << 0 << QList<int>{} << true << 0 << QStringList{"K2", "K3"};
        QTest::newRow("other's current")
            << 1 << 1 << QList<int>{} << false << 1 << QStringList{"K1", "K2", "K3"};
        QTest::newRow("several, current own")
            << 1 << 0 << QList<int>{0, 1, 2} << true << 1 << QStringList{"K2"};
        QTest::newRow("several, current other's")
            << 1 << 1 << QList<int>{1, 2} << true << 1 << QStringList{"K1", "K2"};
        QTest::newRow("only others' selected")
            << 1 << 0 << QList<int>{1} << false << 1 << QStringList{"K1", "K2", "K3"};
        QTest::newRow("unrestricted operator") << 0 << 1 << QList<int>{0, 1, 2} << true << 0 << QStringList{};
    }
    void customerOwnership() {
        QFETCH(int, permit);
        QFETCH(int, current);
        QFETCH(QList<int>, selected);
        QFETCH(bool, asked);
        QFETCH(int, refusals);
        QFETCH(QStringList, remaining);
        addCustomer("K1", QStringLiteral("王五"));
        addCustomer("K2", QStringLiteral("李四"));
        addCustomer("K3", QStringLiteral("王五"));
        for (const char* c : {"K1", "K2", "K3"}) addRelatedRows(QLatin1String(c));
        ws->loginAs(QStringLiteral("王五"), permit, {4, 91});
        openCustomers();
        data().Qry_Cust->setCurrentRow(current);
        select(selected);
        if (!asked) ws->prompter.expect(kNotYourCustomer, QMessageBox::Ok, kWarning);
        if (asked) {
            ws->prompter.expect(kAskDeleteCustomer, QMessageBox::Yes, kWarning);
            for (int i = 0; i < refusals; ++i)
                ws->prompter.expect(kNotYourCustomer, QMessageBox::Ok, kWarning);
        }
        run("DelCust");
        QSqlQuery q = db().exec("select CustCode from custom order by CustCode");
        QStringList left;
        while (q.next()) left << q.value(0).toString();
        QCOMPARE(left, remaining);
        // Nothing of a customer that stayed was deleted.
        for (const QString& c : remaining) QCOMPARE(rowsOf(c), 11);
    }

    // Of 40 selected customers 30 are another operator's: he is told once, and his own 10 go.
    void customerRefusalSaidOnce() {
        QStringList others;
        for (int i = 0; i < 40; ++i) {
            const QString code = QStringLiteral("K%1").arg(i, 2, 10, QLatin1Char('0'));
            const bool own = i % 4 == 0;
            addCustomer(code, own ? QStringLiteral("王五") : QStringLiteral("李四"));
            if (!own) others << code;
        }
        ws->loginAs(QStringLiteral("王五"), 1, {4, 91});
        openCustomers();
        QList<int> all;
        for (int r = 0; r < 40; ++r) all << r;
        select(all);
        ws->prompter.expect(kAskDeleteCustomer, QMessageBox::Yes, kWarning);
        ws->prompter.expect(kNotYourCustomer, QMessageBox::Ok, kWarning);
        run("DelCust");
        QSqlQuery q = db().exec("select CustCode from custom order by CustCode");
        QStringList left;
        while (q.next()) left << q.value(0).toString();
        QCOMPARE(left, others);
    }

    // A delete whose transaction rolls back leaves the row in the grid, as the database still holds
    // it: a customer whose related rows cannot be deleted, a customer whose delete is refused when
    // it commits (the grid had dropped the row by then), a contact whose customer cannot be given
    // its next main contact (likewise after the grid dropped it).
    void failedDeleteKeepsTheRow_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("failure");
        QTest::newRow("customer, related rows refused") << "DelCust"
                                                        << "related";
        QTest::newRow("customer, refused at commit") << "DelCust"
                                                     << "commit";
        QTest::newRow("contact, main contact not settled") << "DelContact"
                                                           << "settle";
    }
    void failedDeleteKeepsTheRow() {
        QFETCH(QString, command);
        QFETCH(QString, failure);
        installCustomerEditorCommands(*ws->ctx, *mw);
        addCustomer("K1", "Admin");
        addRelatedRows("K1");
        exec("update contact set Main=1, Name='张一' where CustCode='K1'");
        exec("update custom set MainContact='张一' where CustCode='K1'");
        const bool sqlite = db().isSqlite();
        if (!sqlite)
            exec(
                "create function qv_refuse() returns trigger language plpgsql as $$ begin raise exception "
                "'refused'; end $$");
        // Any change of the table's rows is refused by the server.
        auto refuse = [&](const char* table, const char* change) {
            if (sqlite)
                exec(QStringLiteral("create trigger qv_refuse_%1 before %2 on %1 begin select raise(abort, "
                                    "'refused'); end")
                         .arg(QLatin1String(table), QLatin1String(change)));
            else
                exec(QStringLiteral("create trigger qv_refuse_%1 before %2 on %1 for each row execute "
                                    "function qv_refuse()")
                         .arg(QLatin1String(table), QLatin1String(change)));
        };
        QString errorText;
        if (failure == "related") {
            refuse("T_bargain", "delete");
        } else if (failure == "commit") {
            // A row of another table still points to the customer; the check waits for the commit.
            if (sqlite) exec("PRAGMA foreign_keys = ON");
            exec(QStringLiteral("create table qv_keep (code %1 references custom (CustCode) deferrable "
                                "initially deferred)")
                     .arg(sqlite ? QStringLiteral("text collate nocase") : QStringLiteral("citext")));
            exec("insert into qv_keep (code) values ('K1')");
        } else {
            refuse("custom", "update");
            try {
                exec("update custom set MainContact='x' where CustCode='K1'");
            } catch (const DbError& e) {
                errorText = e.text();  // the text the error box shows
            }
            QVERIFY(!errorText.isEmpty());
        }
        openCustomers();
        Frm_Data& d = data();
        d.OpenQuery(*d.Qry_Contact, "select * from contact where CustCode=:CustCode");
        Dataset* ds = command == "DelCust" ? d.Qry_Cust : d.Qry_Contact;
        DBGrid grid;
        grid.setDataset(ds);
        QCOMPARE(grid.view()->model()->rowCount(), 1);

        if (command == "DelCust") {
            ws->prompter.expect(kAskDeleteCustomer, QMessageBox::Yes, kWarning);
            ws->prompter.expect(kDeleteFailed, QMessageBox::Ok, kQuestion);
        } else {
            ws->prompter.expect(QStringLiteral("你确定要删除该联系人吗！"), QMessageBox::Yes, kQuestion);
            ws->prompter.expect(errorText, QMessageBox::Ok);
        }
        run(command);
        QCOMPARE(db().transactionDepth(), 0);
        QCOMPARE(rowsOf("K1"), 11);
        QCOMPARE(grid.view()->model()->rowCount(), 1);
    }

    // The selection registered by a window that is gone no longer counts.
    void selectionOfClosedWindow() {
        addCustomer("K1", "Admin");
        addCustomer("K2", "Admin");
        openCustomers();
        {
            QObject owner;
            setCustomerSelection(*mw, &owner, [] { return QList<int>{0, 1}; });
            QCOMPARE(customerSelection(*mw), (QList<int>{0, 1}));
        }
        QCOMPARE(customerSelection(*mw), QList<int>{});
        ws->prompter.expect(kAskDeleteCustomer, QMessageBox::Yes, kWarning);
        run("DelCust");
        QCOMPARE(count("select count(*) from custom"), 1);
    }

    // The other delete commands: their question, the rows they remove and those they keep.
    void otherDeletes_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("permit");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("check");  // statement counting what must remain
        QTest::addColumn<int>("expected");

        const QString warn = QStringLiteral("警告 ");
        auto followUp = [&](const char* name, const char* cmd, const char* table, const char* question) {
            const QString check = QStringLiteral("select count(*) from %1").arg(QLatin1String(table));
            QTest::newRow(name) << cmd << "Admin" << 0 << QString::fromUtf8(question) << warn
                                << int(QMessageBox::Yes) << check << 1;
            QTest::newRow(qPrintable(QString::fromLatin1(name) + " no"))
                << cmd << "Admin" << 0 << QString::fromUtf8(question) << warn << int(QMessageBox::No) << check
                << 2;
        };
        followUp("price", "Delprice", "T_price", "你确定要删除这条商品报价的信息吗？");
        followUp("visit", "Delvisit", "T_visit", "你确定要删除这条售后回访的信息吗？");
        followUp("feedback", "Delfeedback", "T_feedback", "你确定要删除这条投诉反馈的信息吗？");
        followUp("track", "Deltrack", "T_trackcust", "你确定要删除这条客户跟进的信息吗？");
        followUp("bargain", "Delbargain", "T_bargain", "你确定要删除这条合同管理的信息吗？");

        const QString scheduleCheck = QStringLiteral("select count(*) from T_Schedule");
        QTest::newRow("schedule") << "DelSchedule"
                                  << "Admin" << 0 << "您确定要删除这条工作日程记录吗？" << kQuestion
                                  << int(QMessageBox::Yes) << scheduleCheck << 1;
        QTest::newRow("own schedule, ordinary operator")
            << "DelSchedule"
            << "王五" << 1 << "您确定要删除这条工作日程记录吗？" << kQuestion << int(QMessageBox::Yes)
            << scheduleCheck << 1;
        QTest::newRow("other's schedule, ordinary operator")
            << "DelSchedule"
            << "李四" << 1 << "不是你的工作日程，你没有权限删除！" << kNotice << int(QMessageBox::Ok)
            << scheduleCheck << 2;
        QTest::newRow("other's schedule, manager")
            << "DelSchedule"
            << "李四" << 0 << "您确定要删除这条工作日程记录吗？" << kQuestion << int(QMessageBox::Yes)
            << scheduleCheck << 1;

        // The first bill goes with its two lines; the other bill keeps its line.
        const QString saleCheck = QStringLiteral(
            "select (select count(*) from T_sale where BillCode='B1') * 100"
            " + (select count(*) from T_SaleDetail where BillCode='B1') * 10"
            " + (select count(*) from T_SaleDetail where BillCode='B2')");
        QTest::newRow("sale") << "Delsale"
                              << "Admin" << 0 << "您确定要删除该商品的销售记录吗？" << kQuestion
                              << int(QMessageBox::Yes) << saleCheck << 1;
        QTest::newRow("sale no") << "Delsale"
                                 << "Admin" << 0 << "您确定要删除该商品的销售记录吗？" << kQuestion
                                 << int(QMessageBox::No) << saleCheck << 121;
        // The product's lines leave every bill; the bills stay.
        QTest::newRow("product") << "DelProducts"
                                 << "Admin" << 0 << "您确定要删除这条商品记录吗？" << kQuestion
                                 << int(QMessageBox::Yes)
                                 << "select (select count(*) from T_SaleDetail where Product_Code='P1') * 100"
                                    " + (select count(*) from T_sale) * 10"
                                    " + (select count(*) from T_Products)"
                                 << 21;
        // A salesman goes alone: his commission rates stay.
        QTest::newRow("salesman")
            << "DelPeople"
            << "Admin" << 0 << "您确定要删除这条业务员信息吗?" << kQuestion << int(QMessageBox::Yes)
            << "select (select count(*) from T_People) * 10 + (select count(*) from T_PeopleTC)" << 2;
        QTest::newRow("commission") << "Del_PeopleTC"
                                    << "Admin" << 0 << "您确定要删除这条商品信息吗?" << kQuestion
                                    << int(QMessageBox::Yes) << "select count(*) from T_PeopleTC" << 1;
    }
    void otherDeletes() {
        QFETCH(QString, command);
        QFETCH(QString, user);
        QFETCH(int, permit);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(int, answer);
        QFETCH(QString, check);
        QFETCH(int, expected);

        addCustomer("K1", "Admin");
        for (const char* t : {"T_price", "T_visit", "T_feedback", "T_trackcust", "T_bargain"})
            for (int i = 0; i < 2; ++i)
                exec(QStringLiteral("insert into %1 (custcode) values ('K1')").arg(QLatin1String(t)));
        exec("insert into T_Schedule (CustCode, F_User) values ('K1', :u)", {{"u", user}});
        exec("insert into T_Schedule (CustCode, F_User) values ('K1', 'Admin')");
        exec("insert into T_sale (BillCode, CustCode) values ('B1', 'K1')");
        exec("insert into T_sale (BillCode, CustCode) values ('B2', 'K1')");
        exec("insert into T_SaleDetail (BillCode, Custcode, Product_Code) values ('B1', 'K1', 'P1')");
        exec("insert into T_SaleDetail (BillCode, Custcode, Product_Code) values ('B1', 'K1', 'P2')");
        exec("insert into T_SaleDetail (BillCode, Custcode, Product_Code) values ('B2', 'K1', 'P1')");
        exec("insert into T_Products (Product_Code, Product) values ('P1', 'a')");
        exec("insert into T_Products (Product_Code, Product) values ('P2', 'b')");
        exec("insert into T_People (people) values ('张三')");
        exec("insert into T_PeopleTC (people, GoodsCode) values ('张三', 'P1')");
        exec("insert into T_PeopleTC (people, GoodsCode) values ('张三', 'P2')");
        // The operator holds the command's right and no other.
        LoginState::Rights rights{};
        rights[RightsGate::commandRight(command) - 1] = true;
        ws->login.set(QStringLiteral("王五"), permit, rights);

        Frm_Data& d = data();
        struct List {
            Dataset* ds;
            const char* table;
            const char* key;
        };
        const List lists[] = {
            {d.Qry_price, "T_price", "ID"},       {d.Qry_visit, "T_visit", "ID"},
            {d.Qry_feedback, "T_feedback", "ID"}, {d.Qry_track, "T_trackcust", "ID"},
            {d.Qry_bargain, "T_bargain", "ID"},   {d.Qry_Schedule, "T_Schedule", "ScheduleID"},
            {d.Qry_Sale, "T_sale", "ID"},         {d.Qry_Products, "T_Products", "Product_ID"},
            {d.Qry_PeopleData, "T_People", "ID"}, {d.Qry_PeopleTC, "T_PeopleTC", "ID"},
        };
        for (const List& l : lists) {
            l.ds->clearMaster();
            d.OpenQuery(*l.ds, QStringLiteral("select * from %1 order by %2")
                                   .arg(QLatin1String(l.table), QLatin1String(l.key)));
        }

        ws->prompter.expect(message, QMessageBox::StandardButton(answer), caption);
        QVERIFY(mw->runCommand(command));
        QSqlQuery q = db().exec(check);
        int got = 0;
        while (q.next()) got += q.value(0).toInt();
        QCOMPARE(got, expected);
    }

    // A delete on an empty list does nothing and asks nothing.
    void emptyLists_data() {
        QTest::addColumn<QString>("command");
        for (const char* c : {"DelCust", "DelSchedule", "Delsale", "Delprice", "Delvisit", "Delfeedback",
                              "Deltrack", "Delbargain", "DelProducts", "DelPeople", "Del_PeopleTC"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void emptyLists() {
        QFETCH(QString, command);
        Frm_Data& d = data();
        for (Dataset* ds : {d.Qry_Cust, d.Qry_Sale, d.Qry_Products, d.Qry_PeopleData, d.Qry_PeopleTC})
            d.OpenQuery(*ds, QStringLiteral("select * from %1").arg(ds->updateTable()));
        for (Dataset* ds :
             {d.Qry_Schedule, d.Qry_price, d.Qry_visit, d.Qry_feedback, d.Qry_track, d.Qry_bargain})
            d.OpenQuery(*ds,
                        QStringLiteral("select * from %1 where CustCode=:CustCode").arg(ds->updateTable()));
        QVERIFY(mw->runCommand(command));
    }

    // Failures of the transactional deletes: everything rolls back; products, salesmen and
    // commissions say so, bills do not.
    void failures_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("check");
        QTest::addColumn<int>("expected");
        QTest::newRow("sale") << "Delsale"
                              << "您确定要删除该商品的销售记录吗？" << QString()
                              << "select count(*) from T_SaleDetail where BillCode='B1'" << 1;
        QTest::newRow("product") << "DelProducts"
                                 << "您确定要删除这条商品记录吗？"
                                 << "删除商品记录失败!"
                                 << "select count(*) from T_SaleDetail where Product_Code='P1'" << 1;
        QTest::newRow("salesman") << "DelPeople"
                                  << "您确定要删除这条业务员信息吗?"
                                  << "删除业务员信息记录失败!"
                                  << "select count(*) from T_People" << 0;
        QTest::newRow("commission") << "Del_PeopleTC"
                                    << "您确定要删除这条商品信息吗?"
                                    << "删除商品记录失败!"
                                    << "select count(*) from T_PeopleTC" << 0;
    }
    void failures() {
        QFETCH(QString, command);
        QFETCH(QString, question);
        QFETCH(QString, failure);
        QFETCH(QString, check);
        QFETCH(int, expected);
        exec("insert into T_sale (BillCode, CustCode) values ('B1', 'K1')");
        exec("insert into T_SaleDetail (BillCode, Custcode, Product_Code) values ('B1', 'K1', 'P1')");
        exec("insert into T_Products (Product_Code, Product) values ('P1', 'a')");
        exec("insert into T_People (people) values ('张三')");
        exec("insert into T_PeopleTC (people, GoodsCode) values ('张三', 'P1')");
        Frm_Data& d = data();
        for (Dataset* ds : {d.Qry_Sale, d.Qry_Products, d.Qry_PeopleData, d.Qry_PeopleTC})
            d.OpenQuery(*ds, QStringLiteral("select * from %1").arg(ds->updateTable()));
        // Another workstation deleted the rows meanwhile: deleting the shown row fails.
        const auto other = ws->another();
        for (const char* t : {"T_sale", "T_Products", "T_People", "T_PeopleTC"})
            other->db().execute(QStringLiteral("delete from %1").arg(QLatin1String(t)));

        ws->prompter.expect(question, QMessageBox::Yes, kQuestion);
        if (!failure.isEmpty()) ws->prompter.expect(failure, QMessageBox::No, kQuestion);
        QVERIFY(mw->runCommand(command));
        QCOMPARE(count(check), expected);
        QCOMPARE(db().transactionDepth(), 0);
    }
};

QTEST_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
