#include <QtTest>

#include "Dataset.h"
#include "Frm_Data.h"
#include "LoginService.h"
#include "TestDb.h"
#include "Workstation.h"

using namespace qv;
using qv::test::Workstation;

// The program's own statements read rows in the same order on both servers, also after updates have
// moved rows in the server's storage (PostgreSQL writes an updated row anew, at the end of the table).
class TestRowOrder : public QObject {
    Q_OBJECT

private slots:
    // The login list offers the operators in their key order; the list position stored at the last
    // login must name the same operator after one of them changed his password.
    void loginListKeepsItsOrderAfterAPasswordChange() {
        Workstation ws(test::TestDb::fresh());
        for (const char* name : {"甲", "乙", "丙"})
            ws.db().exec(QStringLiteral("insert into admin (UserName, IsUser) values (:n, 1)"),
                         {{QStringLiteral("n"), QString::fromUtf8(name)}});
        LoginService service(*ws.data, ws.login);
        const QStringList before = service.operators();
        QCOMPARE(before, (QStringList{QStringLiteral("Admin"), QStringLiteral("甲"), QStringLiteral("乙"),
                                      QStringLiteral("丙")}));
        QVERIFY(service.attempt(0, QStringLiteral("Admin"), QString()).ok);
        QVERIFY(service.changePassword(QString(), QStringLiteral("新密码"), QStringLiteral("新密码")).ok);
        QCOMPARE(service.operators(), before);
        QVERIFY_WORKSTATION(ws);
    }

    // The first 300 customers that the login opens are the 300 first by key, whatever was updated.
    void loginOpensTheFirstCustomersByKey() {
        Workstation ws(test::TestDb::fresh());
        Database& db = ws.db();
        for (int i = 1; i <= 320; ++i)
            db.exec(QStringLiteral("insert into custom (CustCode, Company) values (:c, :n)"),
                    {{QStringLiteral("c"), QStringLiteral("KH%1").arg(i, 4, 10, QLatin1Char('0'))},
                     {QStringLiteral("n"), QStringLiteral("公司%1").arg(i)}});
        db.exec(QStringLiteral("update custom set Memo2 = 'x' where CustID <= 100"));
        LoginService service(*ws.data, ws.login);
        QVERIFY(service.attempt(0, QStringLiteral("Admin"), QString()).ok);
        Dataset& customers = *ws.data->Qry_Cust;
        customers.fetchAll();
        QCOMPARE(customers.rowCount(), 300);
        for (int r = 0; r < 300; ++r) QCOMPARE(customers.value(r, QStringLiteral("CustID")).toInt(), r + 1);
        QVERIFY_WORKSTATION(ws);
    }
};

QTEST_MAIN(TestRowOrder)
#include "tst_roworder.moc"
