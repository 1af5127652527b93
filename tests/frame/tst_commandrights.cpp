// Rights are asked for by the commands themselves: however a command is reached (a disabled action
// cannot be triggered, but runCommand, a double-click or another window's button can be), it does
// nothing for an operator without its right.
#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "CommandWiring.h"
#include "DBGrid.h"
#include "Frm_Custom.h"
#include "Frm_Main.h"
#include "RightsGate.h"
#include "TestDb.h"
#include "Workstation.h"

using namespace qv;
using test::Workstation;

namespace {

const QString kOperator = QStringLiteral("王五");

LoginState::Rights allBut(int k) {
    LoginState::Rights r;
    r.fill(true);
    if (k >= 1) r[k - 1] = false;
    return r;
}

// Every command that asks for a right: the gated actions and entries, and the commands only the
// workbench offers.
QStringList rightedCommands() {
    QStringList names;
    for (const RightsGate::Gate& g : RightsGate::gates()) names << g.name;
    names << QStringLiteral("BatchEdit") << QStringLiteral("ExportMobile");
    return names;
}

}  // namespace

class TestCommandRights : public QObject {
    Q_OBJECT
    std::unique_ptr<Workstation> ws;
    std::unique_ptr<Frm_Main> mw;

    Database& db() { return ws->db(); }
    void exec(const QString& sql) { db().execute(sql); }

    void loginWith(const LoginState::Rights& rights) {
        ws->login.set(kOperator, 0, rights);
        mw->reminderTimer()->stop();
    }

    // A customer of the operator with a row in every table that belongs to it (its contact is the
    // main one), a product, a salesman with a commission rate, a category and a reference-list
    // entry; the workbench is open on the customer and the product and salesman lists are open, so
    // that every command has a current row to act on.
    void fixture() {
        exec(
            QStringLiteral("insert into custom (CustCode, Company, F_User, MainContact) "
                           "values ('K1', '甲公司', '王五', '张一')"));
        exec(
            QStringLiteral("insert into contact (CustCode, Name, Company, F_User, Main) "
                           "values ('K1', '张一', '甲公司', '王五', 1)"));
        exec(QStringLiteral(
            "insert into T_Schedule (CustCode, Company, F_User) values ('K1', '甲公司', '王五')"));
        exec(
            QStringLiteral("insert into T_sale (BillCode, CustCode, Custname, F_User) "
                           "values ('B1', 'K1', '甲公司', '王五')"));
        exec(QStringLiteral(
            "insert into T_SaleDetail (BillCode, Custcode, Product_Code) values ('B1', 'K1', 'P1')"));
        for (const char* t : {"T_price", "T_visit", "T_feedback", "T_trackcust", "T_bargain"})
            exec(QStringLiteral("insert into %1 (custcode) values ('K1')").arg(QLatin1String(t)));
        exec(QStringLiteral("insert into T_Products (Product_Code, Product) values ('P1', '商品')"));
        exec(QStringLiteral("insert into T_People (people) values ('张三')"));
        exec(QStringLiteral("insert into T_PeopleTC (people, GoodsCode) values ('张三', 'P1')"));
        exec(QStringLiteral("insert into Dict_Cust_Category (Code, Name) values ('01', '华东')"));

        loginWith(allBut(0));
        QVERIFY(mw->runCommand(Frm_Main::kWorkbench));
        Frm_Data& d = *ws->data;
        QVERIFY(d.Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("K1")));
        for (Dataset* ds : {d.Qry_Products, d.Qry_PeopleData, d.Qry_PeopleTC})
            d.OpenQuery(*ds, QStringLiteral("select * from %1").arg(ds->updateTable()));
        for (Dataset* ds : {d.Qry_Contact, d.Qry_Schedule, d.Qry_Sale, d.Qry_price, d.Qry_Products,
                            d.Qry_PeopleData, d.Qry_PeopleTC})
            QCOMPARE(ds->rowCount(), 1);
    }

    // Every row of every table, so that any change shows.
    QStringList snapshot() {
        QStringList tables = db().handle().tables(QSql::Tables);
        std::sort(tables.begin(), tables.end());
        QStringList out;
        for (const QString& t : tables) {
            QSqlQuery q = db().exec(QStringLiteral("select * from %1").arg(t));
            QStringList rows;
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i) cells << q.value(i).toString();
                rows << cells.join(QLatin1Char('|'));
            }
            rows.sort();
            out << t + QLatin1Char(':') + rows.join(QLatin1Char('\n'));
        }
        return out;
    }

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        ws = std::make_unique<Workstation>(test::TestDb::fresh());
        mw = std::make_unique<Frm_Main>(*ws->ctx);
        installCommands(*ws->ctx, *mw);
        mw->reminderTimer()->stop();
    }
    void cleanup() {
        mw.reset();
        QVERIFY_WORKSTATION(*ws);
        ws.reset();
    }

    // Each command run for an operator who holds every right but its own changes no row, shows no
    // message and opens no window; with the right, the same fixture lets it act. The workbench-only
    // commands (batch edit: right 6, mobile numbers: right 7) are among them.
    void commandsWithoutTheirRight() {
        fixture();
        const QStringList before = snapshot();
        QStringList stubsRan;
        for (const QString& name : rightedCommands()) {
            // A command whose window comes later gets a handler that says when it ran.
            if (!mw->hasHandler(name)) mw->setHandler(name, [&stubsRan, name] { stubsRan << name; });
            const int right = RightsGate::commandRight(name);
            QVERIFY2(right > 0, qPrintable(name));
            loginWith(allBut(right));
            const int windows = mw->mdiArea()->subWindowList().size();
            QVERIFY2(!mw->runCommand(name), qPrintable(name));
            QVERIFY2(ws->prompter.shown().isEmpty(), qPrintable(name));
            QCOMPARE(ws->unexpectedDialogs(), QStringList());
            QCOMPARE(mw->mdiArea()->subWindowList().size(), windows);
            QCOMPARE(snapshot(), before);
        }
        QCOMPARE(stubsRan, QStringList());
        // The operator with the rights: the same commands reach the rows and windows.
        loginWith(allBut(0));
        ws->prompter.expect(QStringLiteral("你确定要删除该联系人吗！"), QMessageBox::No);
        QVERIFY(mw->runCommand(QStringLiteral("DelContact")));
        ws->onModal([](QDialog& d) {
            QCOMPARE(d.objectName(), QStringLiteral("Frm_AddContact"));
            d.reject();
        });
        QVERIFY(mw->runCommand(QStringLiteral("EditContact")));
        ws->prompter.expect(QStringLiteral("删除客户记录,将删除当前客户所有相关的记录"), QMessageBox::Yes);
        QVERIFY(mw->runCommand(QStringLiteral("DelCust")));
        QCOMPARE(db().scalar(QStringLiteral("select count(*) from contact")).toInt(), 0);
    }

    // A double-click on a row of the contact page stands for the contact editor's command and asks
    // for its right (31).
    void contactDoubleClickFollowsItsRight_data() {
        QTest::addColumn<bool>("granted");
        QTest::newRow("with the edit right") << true;
        QTest::newRow("without the edit right") << false;
    }
    void contactDoubleClickFollowsItsRight() {
        QFETCH(bool, granted);
        fixture();
        loginWith(allBut(granted ? 0 : 31));
        auto* grid = mw->findChild<DBGrid*>(QStringLiteral("Grid_Contact"));
        QVERIFY(grid);
        if (granted) ws->onModal([](QDialog& d) { d.reject(); });
        emit grid->rowDoubleClicked(0);
        QVERIFY(ws->allDriversUsed());
        QCOMPARE(ws->unexpectedDialogs(), QStringList());
    }
};

QTEST_MAIN(TestCommandRights)
#include "tst_commandrights.moc"
