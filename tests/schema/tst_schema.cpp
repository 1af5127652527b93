#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>
#include <QSqlRecord>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "DataFile.h"
#include "Database.h"
#include "DbError.h"
#include "Schema.h"
#include "SchemaModel.h"
#include "TestDb.h"

using namespace qv;

namespace {

QString S(const char* s) { return QString::fromUtf8(s); }

QStringList lowered(const QStringList& l) {
    QStringList out;
    for (const QString& s : l) out << s.toLower();
    return out;
}

}  // namespace

class TestSchema : public QObject {
    Q_OBJECT

    std::unique_ptr<Database> db;

    void run(const char* sql, const Params& p = {}) { db->exec(QString::fromUtf8(sql), p); }
    QVariant value(const char* sql, const Params& p = {}) { return db->scalar(QString::fromUtf8(sql), p); }
    int count(const QString& sql, const Params& p = {}) { return db->scalar(sql, p).toInt(); }

    // A customer, a product with a long name, a bill with two lines, a bill whose customer row is gone,
    // and one record of every follow-up kind.
    void addSalesFixture() {
        run("insert into custom (CustCode, Company, F_User) values ('KH0001', :c, 'Admin')",
            {{"c", S("甲公司")}});
        run("insert into T_Products (Product_Code, Product, Unit_Name) values ('SP0001', :p, :u)",
            {{"p", S("超长的商品名称超过十个字符的商品")}, {"u", S("台")}});
        run("insert into T_Products (Product_Code, Product, Unit_Name) values ('SP0002', :p, :u)",
            {{"p", S("乙商品")}, {"u", S("个")}});
        const Params bill{
            {"d", QDateTime(QDate(2024, 1, 15), QTime(10, 30))}, {"n", S("甲公司")}, {"s", S("张三")}};
        run("insert into T_sale (BillCode, CustCode, Custname, SaleDate, F_User, people, OldBill) "
            "values ('FH202401150001', 'KH0001', :n, :d, 'Admin', :s, 'OLD1')",
            bill);
        run("insert into T_sale (BillCode, CustCode, Custname, SaleDate, F_User, people) "
            "values ('FH202401150002', 'KH9999', :n, :d, 'Admin', :s)",
            {{"d", QDateTime(QDate(2024, 1, 15), QTime(11, 0))}, {"n", S("已删除公司")}, {"s", S("张三")}});
        auto line = [&](const char* bill, const char* code, const QString& name, double price, double qty) {
            run("insert into T_SaleDetail (BillCode, Product_Code, Product, SalePrice, Number, DisCount, "
                "SaleMoney, "
                "TCMoney, Custcode) values (:b, :c, :p, :price, :qty, 1, :m, :tc, 'KH0001')",
                {{"b", S(bill)},
                 {"c", S(code)},
                 {"p", name},
                 {"price", price},
                 {"qty", qty},
                 {"m", price * qty},
                 {"tc", price * qty * 0.05}});
        };
        line("FH202401150001", "SP0001", S("超长的商品名称超过十个字符的商品"), 10.0, 1.5);
        line("FH202401150001", "SP0002", S("乙商品"), 4.0, 2.5);
        line("FH202401150002", "SP0001", S("超长的商品名称超过十个字符的商品"), 10.0, 2.5);
        const Params t{{"t", QDateTime(QDate(2024, 1, 10), QTime(0, 0))}};
        run("insert into T_price (custcode, baojiatime, sort, unitprice, unitnumber) values ('KH0001', :t, "
            "'x', 9.5, 2)",
            t);
        run("insert into T_visit (custcode, visittime, personnel) values ('KH0001', :t, 'p')", t);
        run("insert into T_feedback (custcode, feedbacktime, deskclerk) values ('KH0001', :t, 'p')", t);
        run("insert into T_trackcust (custcode, lasttime, people) values ('KH0001', :t, 'p')", t);
        run("insert into T_bargain (custcode, bargaintime, bargainname, bargainmoney) values ('KH0001', :t, "
            "'c', 100)",
            t);
    }

private slots:
    void init() {
        db = std::make_unique<Database>();
        QVERIFY(test::TestDb::openFresh(*db));
    }
    void cleanup() { db.reset(); }

    void objectsReadBackTheColumnsTheProgramNeeds_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QStringList>("required");
        auto row = [](const char* object, const char* cols) {
            QTest::newRow(object) << QString::fromLatin1(object)
                                  << QString::fromLatin1(cols).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        };
        row("custom",
            "CustID CustCode Company CustType Category Country Province City Address PostCode Tel Fax Income "
            "Email "
            "Url CustFrom Introduce F_User Adddate MainContact OtherInfo Memo2 Memo3 custlevel mobile field1 "
            "field6");
        row("contact",
            "ContactId CustCode Name Main Position Department Email Address PostCode Tel Mobile HomeTel "
            "Fax Birthday introduce F_User Company");
        row("T_Schedule",
            "ScheduleID CustCode Subject Type Company Contact StartDate Memo F_User Awoke AwokeDate finish");
        row("T_price", "ID custcode baojiatime sort type filepath people unitnumber guige unitprice");
        row("T_visit", "ID custcode visittime personnel visitcontent visitresult");
        row("T_feedback",
            "ID custcode feedbacktime feedbackcontent feedbackresult disposaltime disposalpersonnel "
            "deskclerk");
        row("T_trackcust", "ID custcode custphase custstate people lasttime selltime");
        row("T_bargain",
            "ID custcode bargainname bargaintime people filepath finish balancemoney bargainmoney memo");
        row("T_Products",
            "Product_ID Product_Code Product Product_Specific SalePrice CostPrice Unit_Name Memo "
            "GoodsType Goods1 Goods20");
        row("T_sale",
            "ID BillCode CustCode MoneyType BillType F_User SaleDate OldBill Note Custname people Bill1 "
            "Bill20");
        row("T_SaleDetail",
            "SaleDetailID BillCode Product_Code Product Product_Specific Unit_Name SalePrice Number "
            "DisCount SaleMoney memo FField1 FField2 TCMoney Custcode");
        row("T_People", "ID people sex tel Birthday IDCard Branch Email learn polity Address");
        row("T_PeopleTC", "ID people GoodsCode GoodsName GoodsType GoodsTC date Branch UserName");
        row("admin", "UserID UserName Password PartName Remark IsUser Permit");
        row("T_Part", "PartID PartName Remark");
        row("T_System", "Code FunctionName Tag");
        row("T_PartAuthority", "PartName Code FunctionName Authority Tag");
        row("T_UserAuthority", "UserName Code FunctionName Authority Tag");
        row("T_FieldShow",
            "ID TableName Field Name Show ShowID Width ShowUp SumField ShowButton F_Field FieldType "
            "dotsize");
        row("T_Import", "ImportID TableName S_Field FieldName F_Field");
        row("T_SoftInfo", "SoftName Version INI1 INI2 INI3 autocoding");
        row("info", "id Company Address fax tel Postcode Regname Version name");
        row("Dict_ClearData", "Action SQL F_Flag");
        row("citytel", "spro scity");
        row("Dict_Cust_Category", "Code Name");
        row("Dict_Product_Category", "Code Name");
        row("T_Tempsum_name", "Product_Code number saleprice salemoney");
        row("T_Temp_CustCount", "company number salemoney");
        row("T_Temp_peopleCount", "people number salemoney");
        for (const char* list :
             {"Dict_zw", "Dict_Department", "Dict_people", "Dict_Type", "Dict_Country", "Dict_CustFrom",
              "Dict_custlevel", "Dict_activity", "Dict_unit", "DICT_visitresult", "Dict_Province",
              "T_feedbackresult", "t_finish", "T_custphase", "T_custstate", "T_subject"})
            row(list, "id name");
        row("V_Temp_price",
            "company custcode F_User baojiatime sort type guige unitprice unitnumber filepath people");
        row("V_Temp_visit", "Company custcode F_User visittime personnel visitcontent visitresult");
        row("V_Temp_feedback",
            "Company custcode F_User feedbacktime deskclerk feedbackcontent feedbackresult "
            "disposaltime disposalpersonnel");
        row("V_Temp_track", "Company custcode F_User custphase custstate people lasttime selltime");
        row("V_Temp_bargain",
            "Company custcode F_User bargainname bargaintime people filepath finish balancemoney "
            "bargainmoney memo");
        row("S_saleDetail",
            "BillCode saledate F_User oldbill company people Product_Code Product Product_Specific "
            "number saleprice salemoney");
        row("S_BillDetail",
            "BillCode saledate F_User oldbill company people Product_Code Product number saleprice "
            "salemoney");
        row("S_Count_TC", "BillDate BillCode people GoodsCode TCMoney SaleMoney");
        row("V_Tempsum_name", "Product_Code Product Product_Specific Unit_Name number saleprice salemoney");
    }
    void objectsReadBackTheColumnsTheProgramNeeds() {
        QFETCH(QString, object);
        QFETCH(QStringList, required);
        const QStringList have = lowered(db->columns(object));
        QVERIFY2(!have.isEmpty(), qPrintable(object + QStringLiteral(" does not exist")));
        for (const QString& c : required)
            QVERIFY2(have.contains(c.toLower()), qPrintable(object + QLatin1Char('.') + c));
        // Every column and view column is registered with its own spelling for the data layer.
        const QStringList canonical = lowered(schema::columnNames());
        for (const QString& c : have) QVERIFY2(canonical.contains(c), qPrintable(c));
    }

    void everyDescribedObjectExistsAndNothingElse() {
        for (const QString& t : schema::tableNames() + schema::viewNames())
            QVERIFY2(db->hasTable(t), qPrintable(t));
        QCOMPARE(db->columns(QStringLiteral("admin")).mid(0, 2).join(QLatin1Char(',')).toLower(),
                 QStringLiteral("userid,username"));
        // The login list reads the second column: it must be UserName as the program spells it.
        QSqlQuery q = db->exec(QStringLiteral("select * from admin where IsUser=1"));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), QStringLiteral("Admin"));
    }

    void uniqueCodesRefuseDuplicatesWhateverTheirCase_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::newRow("customer code") << "custom"
                                       << "CustCode";
        QTest::newRow("bill number") << "T_sale"
                                     << "BillCode";
        QTest::newRow("product code") << "T_Products"
                                      << "Product_Code";
        QTest::newRow("operator name") << "admin"
                                       << "UserName";
        QTest::newRow("customer category") << "Dict_Cust_Category"
                                           << "Code";
        QTest::newRow("product category") << "Dict_Product_Category"
                                          << "Code";
    }
    void uniqueCodesRefuseDuplicatesWhateverTheirCase() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        const QString sql = QStringLiteral("insert into %1 (%2) values (:v)").arg(table, column);
        db->exec(sql, {{"v", QStringLiteral("ab01")}});
        try {
            db->exec(sql, {{"v", QStringLiteral("AB01")}});
            QFAIL("a second row with the same code was accepted");
        } catch (const DbError& e) {
            QVERIFY2(e.isUniqueViolation(), qPrintable(e.text()));
        }
        QCOMPARE(count(QStringLiteral("select count(*) from %1 where %2 = 'AB01'").arg(table, column)), 1);
    }

    void textComparesWithoutCase() {
        const int custom = count(QStringLiteral("select count(*) from T_FieldShow where TableName='Custom'"));
        QVERIFY(custom > 0);
        QCOMPARE(count(QStringLiteral("select count(*) from T_FieldShow where TableName='custom'")), custom);
        QCOMPARE(count(QStringLiteral("select count(*) from T_FieldShow where TableName like 'CUSTO%'")),
                 custom);
        QCOMPARE(
            count(QStringLiteral("select count(*) from T_FieldShow where TableName=:k"), {{"k", "CUSTOM"}}),
            custom);
        QCOMPARE(count(QStringLiteral("select count(*) from admin where UserName='admin'")), 1);
        // Views keep the comparison of the columns they present.
        addSalesFixture();
        QCOMPARE(count(QStringLiteral("select count(*) from S_saleDetail where billcode like 'fh2024%'")), 3);
        QCOMPARE(count(QStringLiteral(
                     "select count(*) from V_Temp_bargain where finish is null and bargainname like 'C%'")),
                 1);
    }

    void textWidthsCountCharactersAndRefuseLongerValues() {
        // Company holds 200 characters, whatever their byte length.
        const QString company(200, QChar(0x516C));
        run("insert into custom (CustCode, Company) values ('K1', :c)", {{"c", company}});
        QCOMPARE(value("select Company from custom where CustCode='K1'").toString(), company);
        // A bill line keeps the whole product name.
        const QString product(200, QChar(0x54C1));
        run("insert into T_SaleDetail (BillCode, Product) values ('B1', :p)", {{"p", product}});
        QCOMPARE(value("select Product from T_SaleDetail where BillCode='B1'").toString(), product);
        // Too long for the column: refused on every server instead of kept or cut.
        QVERIFY_THROWS_EXCEPTION(DbError, run("insert into custom (CustCode, Company) values (:c, 'x')",
                                              {{"c", QString(51, 'k')}}));
        QCOMPARE(count(QStringLiteral("select count(*) from custom")), 1);
    }

    // Text with NUL characters (pasting can bring them) is stored without them, so that the width rule
    // counts every character: SQLite would measure only up to the first NUL.
    void nulCharactersAreRemovedBeforeTheWidthRule_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");  // empty: refused by the column's width rule
        QTest::newRow("long text after a NUL")
            << QString(QStringLiteral("a") + QChar(0) + QString(10000, 'x')) << QString();
        QTest::newRow("NUL inside") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b")) << "ab";
        QTest::newRow("NULs only around")
            << QString(QString(QChar(0)) + QStringLiteral("KH01") + QChar(0)) << "KH01";
    }
    void nulCharactersAreRemovedBeforeTheWidthRule() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const Params p{{"c", typed}};
        if (stored.isEmpty()) {
            try {
                run("insert into custom (CustCode, Company) values (:c, 'x')", p);
                QFAIL("a text longer than its column was stored");
            } catch (const DbError& e) {
                // A check constraint: SQLite's extended code 275, PostgreSQL's SQLSTATE 23514.
                QVERIFY2(e.nativeCode() == QLatin1String("275") || e.nativeCode() == QLatin1String("23514"),
                         qPrintable(e.nativeCode() + QLatin1Char(' ') + e.text()));
            }
            QCOMPARE(count(QStringLiteral("select count(*) from custom")), 0);
            return;
        }
        run("insert into custom (CustCode, Company) values (:c, 'x')", p);
        QCOMPARE(value("select CustCode from custom").toString(), stored);
        QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode = :c"), {{"c", stored}}),
                 1);
    }

    // Each table and view that has a key names it for the connection, and a view's key is one of its
    // columns and tells its rows apart, so that a view without an order is read in the key order of
    // its driving table.
    void viewsAndTablesNameTheirKeys() {
        addSalesFixture();
        schema::describeTo(*db);
        for (const schema::View& v : schema::views()) {
            if (v.key.isEmpty()) continue;
            QVERIFY2(std::any_of(v.columns.begin(), v.columns.end(),
                                 [&](const schema::ViewColumn& c) { return c.name == v.key; }),
                     qPrintable(v.name));
            QVERIFY(count(QStringLiteral("select count(*) from %1").arg(v.name)) > 0);
            QCOMPARE(count(QStringLiteral("select count(*) - count(distinct %2) from %1").arg(v.name, v.key)),
                     0);
            QCOMPARE(db->dialect().keyOrdered(QStringLiteral("select * from %1").arg(v.name)),
                     QStringLiteral("select * from %1 order by %1.%2").arg(v.name, v.key));
        }
        QCOMPARE(db->rowKey(QStringLiteral("custom")), QStringLiteral("CustID"));
        QCOMPARE(db->rowKey(QStringLiteral("T_Tempsum_name")), QString());
    }

    // Every text column of every view compares without letter case, also where the view computes it
    // (a company taken from the customer or from the bill). One row in every table, each text column
    // holding the same mixed-case word, so that every join matches and every view shows a row.
    void everyViewTextColumnComparesWithoutCase() {
        const QString word = QStringLiteral("Ab");
        for (const schema::Table& t : schema::tables()) {
            QStringList cols, values;
            for (const schema::Column& c : t.columns) {
                if (c.type != schema::ColumnType::Text && c.type != schema::ColumnType::LongText) continue;
                cols << c.name;
                values << QStringLiteral(":w");
            }
            if (cols.isEmpty()) continue;
            db->exec(QStringLiteral("delete from %1").arg(t.name));
            db->exec(QStringLiteral("insert into %1 (%2) values (%3)")
                         .arg(t.name, cols.join(QLatin1Char(',')), values.join(QLatin1Char(','))),
                     {{"w", word}});
        }
        int checked = 0;
        for (const schema::View& v : schema::views()) {
            QCOMPARE(count(QStringLiteral("select count(*) from %1").arg(v.name)), 1);
            for (const schema::ViewColumn& c : v.columns) {
                if (value(qPrintable(QStringLiteral("select %1 from %2").arg(c.name, v.name))).toString() !=
                    word)
                    continue;
                for (const QString& other :
                     {QStringLiteral("aB"), QStringLiteral("AB"), QStringLiteral("ab")}) {
                    const int n =
                        count(QStringLiteral("select count(*) from %1 where %2 = :w").arg(v.name, c.name),
                              {{"w", other}});
                    QVERIFY2(n == 1,
                             qPrintable(v.name + QLatin1Char('.') + c.name + QLatin1String(" = ") + other));
                }
                ++checked;
            }
        }
        QVERIFY(checked > 40);
    }

    void viewsPresentEveryLineAndRecordWithItsCustomer() {
        addSalesFixture();
        // Each follow-up record with its customer's company and owner.
        for (const char* v :
             {"V_Temp_price", "V_Temp_visit", "V_Temp_feedback", "V_Temp_track", "V_Temp_bargain"}) {
            QSqlQuery q =
                db->exec(QStringLiteral("select company, F_User, custcode from %1").arg(QLatin1String(v)));
            QVERIFY2(q.next(), v);
            QCOMPARE(q.value(0).toString(), S("甲公司"));
            QCOMPARE(q.value(1).toString(), QStringLiteral("Admin"));
            QCOMPARE(q.value(2).toString(), QStringLiteral("KH0001"));
            QVERIFY2(!q.next(), v);
        }
        // The list reports filter the views by company and date, as the windows do.
        const Params range{{"from", QDate(2024, 1, 10)}, {"to", QDate(2024, 1, 31)}};
        QCOMPARE(count(S("select count(*) from V_Temp_price where company='甲公司' and baojiatime>=:from and "
                         "baojiatime<=:to"),
                       range),
                 1);
        QCOMPARE(
            count(QStringLiteral("select count(*) from V_Temp_track where lasttime>=:from and lasttime<=:to"),
                  {{"from", QDate(2024, 1, 11)}, {"to", QDate(2024, 1, 31)}}),
            0);

        // Every sales line with its header and customer; the bill of a missing customer keeps the copied
        // name.
        QSqlQuery q =
            db->exec(QStringLiteral("select BillCode, company, F_User, people, oldbill, Product, number, "
                                    "saleprice, salemoney, saledate "
                                    "from S_saleDetail order by BillCode, Product_Code"));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), S("甲公司"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("Admin"));
        QCOMPARE(q.value(3).toString(), S("张三"));
        QCOMPARE(q.value(4).toString(), QStringLiteral("OLD1"));
        QCOMPARE(q.value(5).toString(), S("超长的商品名称超过十个字符的商品"));
        QCOMPARE(q.value(6).toDouble(), 1.5);
        QCOMPARE(q.value(8).toDouble(), 15.0);
        QCOMPARE(q.value(9).toDateTime(), QDateTime(QDate(2024, 1, 15), QTime(10, 30)));
        QVERIFY(q.next());
        QCOMPARE(q.value(5).toString(), S("乙商品"));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), S("已删除公司"));
        QVERIFY(!q.next());
        QCOMPARE(count(QStringLiteral("select count(*) from S_BillDetail")), 3);
        QCOMPARE(
            count(QStringLiteral("select count(*) from S_saleDetail where saledate>=:from and saledate<=:to"),
                  {{"from", QDate(2024, 1, 15)}, {"to", QDate(2024, 1, 16)}}),
            3);

        // The commission analysis: one row per line, with salesman and commission.
        q =
            db->exec(S("select BillDate, people, GoodsCode, TCMoney from S_Count_TC where (people='张三')AND"
                       "(GoodsCode like'%%')AND(BillCode='FH202401150001') order by GoodsCode"));
        QVERIFY(q.next());
        QCOMPARE(q.value(2).toString(), QStringLiteral("SP0001"));
        QCOMPARE(q.value(3).toDouble(), 0.75);
        QVERIFY(q.next());
        QVERIFY(!q.next());
    }

    void productSummaryKeepsFractionsAndAddsProductDetails() {
        addSalesFixture();
        run("insert into T_Tempsum_name(Product_Code,number,saleprice,salemoney) select Product_Code, "
            "Sum(number) as T_num, sum(saleprice) as T_price, Sum(salemoney) as T_sal from S_saleDetail "
            "where saledate>=:from and saledate<=:to group by Product_Code",
            {{"from", QDate(2024, 1, 1)}, {"to", QDate(2024, 1, 31)}});
        QSqlQuery q =
            db->exec(S("select Product_Code, Product, Unit_Name, number, saleprice, salemoney "
                       "from V_Tempsum_name order by Product_Code"));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), S("超长的商品名称超过十个字符的商品"));
        QCOMPARE(q.value(2).toString(), S("台"));
        QCOMPARE(q.value(3).toDouble(), 4.0);
        QCOMPARE(q.value(4).toDouble(), 20.0);
        QCOMPARE(q.value(5).toDouble(), 40.0);
        QVERIFY(q.next());
        QCOMPARE(q.value(3).toDouble(), 2.5);
        QVERIFY(!q.next());
    }

    void everyGridKeyIsConfigured_data() {
        // Grid key and the statement whose fields the grid shows.
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("source");
        auto row = [](const char* key, const char* source) {
            QTest::newRow(key) << QString::fromLatin1(key) << QString::fromLatin1(source);
        };
        row("Custom", "select * from custom");
        row("Contact", "select * from contact");
        row("Schedule", "select * from T_Schedule");
        row("sale", "select * from T_sale");
        row("price", "select * from T_price");
        row("visit", "select * from T_visit");
        row("feedback", "select * from T_feedback");
        row("track", "select * from T_trackcust");
        row("bargain", "select * from T_bargain");
        row("temp_price", "select * from V_Temp_price");
        row("temp_visit", "select * from V_Temp_visit");
        row("temp_feedback", "select * from V_Temp_feedback");
        row("temp_track", "select * from V_Temp_track");
        row("temp_bargain", "select * from V_Temp_bargain");
        row("Products", "select * from T_Products");
        row("gridsale", "select *, 0 as CMoney from T_SaleDetail");
        row("GridSale", "select *, 0 as CMoney from T_SaleDetail");
        row("R_SaleDetail", "select * from S_saleDetail");
        row("tempsum_n", "select * from V_Tempsum_name");
        row("tempsum_c", "select * from T_Temp_CustCount");
        row("temp_people", "select * from T_Temp_peopleCount");
        row("TC1", "select * from T_People");
        row("TC2", "select * from T_Products");
        row("CountTC", "select * from S_Count_TC");
        row("PeopleData", "select * from T_People");
        row("PeopleTC", "select * from T_PeopleTC");
        row("Other", "select * from Dict_zw");
        row("custRepeat", "select custid, company as cc from custom");
        row("ContactRepeat", "select ContactId, Name, Company, Name || Company as cc from contact");
        row("import", "select * from T_Import");
        row("FieldCaption", "select name from T_FieldShow");
    }
    void everyGridKeyIsConfigured() {
        QFETCH(QString, key);
        QFETCH(QString, source);
        QSqlQuery src = db->exec(source + QStringLiteral(" where 1=0"));
        const QSqlRecord rec = src.record();
        QSqlQuery q =
            db->exec(QStringLiteral("select Field, Name, Show, ShowID from T_FieldShow where TableName=:k "
                                    "order by ShowID"),
                     {{"k", key}});
        QSet<QString> captions, fields, positions;
        int shown = 0;
        while (q.next()) {
            const QString field = q.value(0).toString(), name = q.value(1).toString();
            QVERIFY2(rec.indexOf(field) >= 0, qPrintable(key + QStringLiteral(": no field ") + field));
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(field));
            QVERIFY2(!captions.contains(name), qPrintable(key + QStringLiteral(": caption twice: ") + name));
            QVERIFY2(!fields.contains(field.toLower()),
                     qPrintable(key + QStringLiteral(": field twice: ") + field));
            QVERIFY2(!positions.contains(q.value(3).toString()),
                     qPrintable(key + QStringLiteral(": position twice")));
            captions.insert(name);
            fields.insert(field.toLower());
            positions.insert(q.value(3).toString());
            shown += q.value(2).toInt();
        }
        QVERIFY2(shown > 0, qPrintable(key));
        QVERIFY(shown <= 51);
    }

    void captionsOtherWindowsLookUp_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("field");
        auto row = [](const char* key, const char* caption, const char* field) {
            QTest::addRow("%s %s", key, field)
                << QString::fromLatin1(key) << QString::fromUtf8(caption) << QString::fromLatin1(field);
        };
        row("Custom", "客户编号", "CustCode");
        row("Custom", "公司名称", "Company");
        row("Custom", "通讯地址", "Address");
        row("Custom", "电话", "Tel");
        row("Custom", "传真", "Fax");
        row("Custom", "电子信箱", "Email");
        row("Custom", "网址", "Url");
        row("Custom", "客户分类", "Category");
        row("Custom", "操作员", "F_User");
        row("Custom", "客户类型", "CustType");
        row("Custom", "国家", "Country");
        row("Custom", "省份", "Province");
        row("Custom", "城市", "City");
        row("Custom", "客户来源", "CustFrom");
        row("Contact", "联系人", "Name");
        row("Contact", "办公电话", "Tel");
        row("Contact", "电子信箱", "Email");
        row("custom", "字符项1", "field1");
        row("custom", "字符项6", "field6");
        row("Products", "商品1", "Goods1");
        row("Products", "商品20", "Goods20");
        row("Sale", "字符项1", "Bill1");
        row("Sale", "字符项20", "Bill20");
    }
    void captionsOtherWindowsLookUp() {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, field);
        QSqlQuery q = db->exec(QStringLiteral("select Field from T_FieldShow where tablename=:k and Name=:n"),
                               {{"k", key}, {"n", caption}});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), field);
        QVERIFY(!q.next());
    }

    void identityKeysContinueAfterLoadedAndExplicitValues_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("column");
        QTest::newRow("operators") << "admin"
                                   << "UserID"
                                   << "UserName";
        QTest::newRow("column configuration") << "T_FieldShow"
                                              << "ID"
                                              << "Field";
        QTest::newRow("reference list") << "Dict_unit"
                                        << "id"
                                        << "name";
        QTest::newRow("customers") << "custom"
                                   << "CustID"
                                   << "CustCode";
        QTest::newRow("added key") << "T_PeopleTC"
                                   << "ID"
                                   << "people";
    }
    void identityKeysContinueAfterLoadedAndExplicitValues() {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, column);
        const int loaded = count(QStringLiteral("select coalesce(max(%1), 0) from %2").arg(key, table));
        // An implicit key after the initial content does not collide with it.
        const int first =
            db->insert(QStringLiteral("insert into %1 (%2) values ('implicit1')").arg(table, column), {}, key)
                .toInt();
        QVERIFY(first > loaded);
        // An explicit key, then an implicit one. SQLite moves its counter past the explicit value; PostgreSQL
        // keeps its own sequence (the program never writes keys), so there the two only have to differ.
        db->exec(QStringLiteral("insert into %1 (%2, %3) values (:id, 'explicit')").arg(table, key, column),
                 {{"id", first + 100}});
        const int next =
            db->insert(QStringLiteral("insert into %1 (%2) values ('implicit2')").arg(table, column), {}, key)
                .toInt();
        QVERIFY(next != first + 100 && next > first);
        if (db->isSqlite()) QVERIFY(next > first + 100);
    }

    void dataFilesFollowTheirFormat() {
        bool applies = false;
        QCOMPARE(schema::dataFileTable(QStringLiteral("10_admin.tsv"), Driver::Postgres, &applies),
                 QStringLiteral("admin"));
        QVERIFY(applies);
        QCOMPARE(
            schema::dataFileTable(QStringLiteral("27_Dict_ClearData.sqlite.tsv"), Driver::Postgres, &applies),
            QStringLiteral("Dict_ClearData"));
        QVERIFY(!applies);
        schema::dataFileTable(QStringLiteral("27_Dict_ClearData.sqlite.tsv"), Driver::Sqlite, &applies);
        QVERIFY(applies);
        QVERIFY(schema::dataFileTable(QStringLiteral("admin.tsv"), Driver::Sqlite).isEmpty());

        const schema::DataFile f = schema::parseDataFile(
            QStringLiteral("30_x.tsv"),
            QStringLiteral("# comment\r\n\nid\tname\tnote\n1\ta\\tb\\nc\\\\d\t\\N\n2\t\t\\x\n"));
        QCOMPARE(f.table, QStringLiteral("x"));
        QCOMPARE(f.header, QStringList({"id", "name", "note"}));
        QCOMPARE(f.rows.size(), 2);
        QCOMPARE(f.rows[0].values[1].value(), QStringLiteral("a\tb\nc\\d"));
        QVERIFY(!f.rows[0].values[2].has_value());
        QCOMPARE(f.rows[1].values[1].value(), QString(""));
        QCOMPARE(f.rows[1].values[2].value(), QStringLiteral("\\x"));
        QVERIFY_THROWS_EXCEPTION(
            DbError, schema::parseDataFile(QStringLiteral("30_x.tsv"), QStringLiteral("a\tb\n1\n")));
    }

    void installIsOneTransaction() {
        Database empty(QStringLiteral("qv_schema_empty"));
        QString err;
        QVERIFY2(empty.open(test::TestDb::empty(), &err), qPrintable(err));
        // A table in the way makes the install fail part-way: nothing of it may stay behind.
        empty.exec(QStringLiteral("create table info (x integer)"));
        QVERIFY_THROWS_EXCEPTION(DbError, schema::install(empty));
        QVERIFY(!empty.hasTable(QStringLiteral("custom")));
        QVERIFY(!empty.hasTable(QStringLiteral("admin")));
        empty.exec(QStringLiteral("drop table info"));
        QElapsedTimer timer;
        timer.start();
        schema::install(empty);
        qInfo("install took %lld ms", timer.elapsed());
        QCOMPARE(empty.scalar(QStringLiteral("select count(*) from admin")).toInt(), 1);
        QVERIFY(empty.scalar(QStringLiteral("select count(*) from T_FieldShow")).toInt() > 0);
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
