#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "Frm_Data.h"
#include "Money.h"
#include "TestDb.h"

using namespace qv;
using qv::test::TestDb;

class TstFrmData : public QObject {
    Q_OBJECT

    // A data module of its own program folder, connected to `settings`.
    std::unique_ptr<Frm_Data> module(const ConnectionSettings& settings) {
        auto d = std::make_unique<Frm_Data>(home_.path());
        QString error;
        if (!d->connectWith(settings, &error)) qWarning("connect: %s", qPrintable(error));
        return d;
    }
    QTemporaryDir home_;

private slots:
    void datasetsMatchTheSchema();
    void lineAmount_data();
    void lineAmount();
    void lineAmountFollowsTheEditBuffer();
    void detailsFollowTheirMaster();
    void fillCombo();
    void execQueryBindsValues();
    void twoWorkstations();
};

void TstFrmData::datasetsMatchTheSchema() {
    auto data = module(TestDb::fresh());
    QVERIFY(data->connected());
    const QStringList names{"Qry_Cust",     "Qry_Contact",    "Qry_Schedule", "Qry_Sale",  "Qry_SaleDetail",
                            "Qry_price",    "Qry_visit",      "Qry_feedback", "Qry_track", "Qry_bargain",
                            "Qry_Products", "Qry_PeopleData", "Qry_PeopleTC", "Qry_Count", "Qry_FieldShow",
                            "Qry_Import",   "Qry_SoftInfo",   "Qry_Custom",   "Custom",    "Qry_HY",
                            "Qry_Temp",     "Qry_Str",        "Qry_CStr",     "Qry_Sql",   "Qry_Del",
                            "Qry_Other",    "Qry_temp1",      "Qry_Country",  "Qry_Type",  "Qry_From"};
    for (const QString& name : names) {
        auto* ds = data->findChild<Dataset*>(name);
        QVERIFY2(ds, qPrintable(name));
        QCOMPARE(ds->name(), name);
        // Every statement held at creation runs on our database.
        if (!ds->sql().isEmpty()) {
            try {
                ds->open();
            } catch (const DbError& e) {
                QFAIL(qPrintable(name + QStringLiteral(": ") + e.text()));
            }
            ds->close();
        }
        // An edited dataset's table has its key column.
        if (!ds->updateTable().isEmpty()) {
            const QStringList cols = data->db().columns(ds->updateTable());
            QVERIFY2(cols.contains(ds->keyField(), Qt::CaseInsensitive),
                     qPrintable(name + QStringLiteral(": ") + ds->updateTable() + QStringLiteral(".") +
                                ds->keyField()));
        }
    }
    QCOMPARE(data->Qry_Cust->sql(), QStringLiteral("select * from custom"));
    QCOMPARE(data->Qry_SaleDetail->master(), data->Qry_Sale);
    for (Dataset* d : {data->Qry_Contact, data->Qry_Schedule, data->Qry_price, data->Qry_visit,
                       data->Qry_feedback, data->Qry_track, data->Qry_bargain})
        QCOMPARE(d->master(), data->Qry_Cust);
}

void TstFrmData::lineAmount_data() {
    QTest::addColumn<QString>("price");
    QTest::addColumn<double>("number");
    QTest::addColumn<double>("discount");
    QTest::addColumn<QString>("amount");

    QTest::newRow("2.5 x 3 x 0.9") << "2.5" << 3.0 << 0.9 << "6.7500";
    QTest::newRow("0.00005 rounds to the even 0.0000") << "0.0001" << 0.5 << 1.0 << "0.0000";
    QTest::newRow("0.00015 rounds to the even 0.0002") << "0.0001" << 1.5 << 1.0 << "0.0002";
    QTest::newRow("tie made by the discount") << "0.0003" << 1.0 << 0.5 << "0.0002";
    // Products that binary floating point puts just beside the tie.
    QTest::newRow("0.00075 rounds to the even 0.0008") << "0.0003" << 2.5 << 1.0 << "0.0008";
    QTest::newRow("5.00125 rounds to the even 5.0012") << "2.0005" << 2.5 << 1.0 << "5.0012";
    QTest::newRow("0.1 x 3 is exact") << "0.1" << 3.0 << 1.0 << "0.3000";
    QTest::newRow("fractional quantity") << "19.99" << 0.333 << 0.85 << "5.6582";
    QTest::newRow("large amount") << "12345.6789" << 1000.0 << 1.0 << "12345678.9000";
    QTest::newRow("nothing sold") << "19.99" << 0.0 << 1.0 << "0.0000";
}

void TstFrmData::lineAmount() {
    QFETCH(QString, price);
    QFETCH(double, number);
    QFETCH(double, discount);
    QFETCH(QString, amount);

    auto data = module(TestDb::fresh());
    Money p;
    QVERIFY(Money::parse(price, &p));
    data->db().exec(
        QStringLiteral("insert into T_SaleDetail (BillCode, Product_Code, Product, SalePrice, Number, "
                       "DisCount) values (:b, :c, :n, :p, :q, :d)"),
        {{"b", "FH202401010001"},
         {"c", "P1"},
         {"n", QStringLiteral("商品")},
         {"p", p.toVariant()},
         {"q", number},
         {"d", discount}});
    Dataset& lines = *data->Qry_SaleDetail;
    data->OpenQuery(lines, QStringLiteral("select * from T_SaleDetail"));
    QCOMPARE(lines.loadedRows(), 1);
    QVERIFY(lines.hasField(QStringLiteral("CMoney")));

    // Empty while the bill editor is closed.
    QVERIFY(lines.value(QStringLiteral("CMoney")).isNull());
    QSignalSpy changed(&lines, &QAbstractItemModel::dataChanged);
    data->setBillEditorOpen(true);
    QCOMPARE(changed.size(), 1);  // views repaint the column
    QCOMPARE(Money::fromVariant(lines.value(QStringLiteral("CMoney"))).toString(4), amount);
    data->setBillEditorOpen(false);
    QVERIFY(lines.value(QStringLiteral("CMoney")).isNull());
    QVERIFY(lines.data(lines.index(0, lines.fieldIndex(QStringLiteral("CMoney")))).toString().isEmpty());
}

void TstFrmData::lineAmountFollowsTheEditBuffer() {
    auto data = module(TestDb::fresh());
    data->db().exec(
        QStringLiteral("insert into T_SaleDetail (BillCode, SalePrice, Number, DisCount) "
                       "values ('B1', 2.5, 3, 0.9)"));
    Dataset& lines = *data->Qry_SaleDetail;
    data->OpenQuery(lines, QStringLiteral("select * from T_SaleDetail"));
    data->setBillEditorOpen(true);
    // What the operator types counts before it is posted.
    lines.edit();
    lines.setValue(QStringLiteral("Number"), 4);
    QCOMPARE(Money::fromVariant(lines.value(QStringLiteral("CMoney"))), Money::fromUnits(90000));
    lines.setValue(QStringLiteral("SalePrice"), QVariant());
    QCOMPARE(Money::fromVariant(lines.value(QStringLiteral("CMoney"))), Money());
    lines.cancel();
    QCOMPARE(Money::fromVariant(lines.value(QStringLiteral("CMoney"))), Money::fromUnits(67500));
}

void TstFrmData::detailsFollowTheirMaster() {
    auto data = module(TestDb::fresh());
    Database& db = data->db();
    for (const auto& [cust, company] : {std::pair{"C1", "甲公司"}, std::pair{"C2", "乙公司"}})
        db.exec(QStringLiteral("insert into custom (CustCode, Company) values (:c, :n)"),
                {{"c", cust}, {"n", QString::fromUtf8(company)}});
    for (const auto& [cust, name] : {std::pair{"C1", "Ann"}, std::pair{"C1", "Bob"}, std::pair{"C2", "Cy"}})
        db.exec(QStringLiteral("insert into contact (CustCode, Name) values (:c, :n)"),
                {{"c", cust}, {"n", name}});
    db.exec(QStringLiteral("insert into T_price (custcode, people) values ('C2', 'Pat')"));
    for (const auto& [bill, cust] : {std::pair{"B1", "C1"}, std::pair{"B2", "C2"}})
        db.exec(QStringLiteral("insert into T_sale (BillCode, CustCode) values (:b, :c)"),
                {{"b", bill}, {"c", cust}});
    for (const auto& [bill, code] : {std::pair{"B1", "P1"}, std::pair{"B2", "P2"}, std::pair{"B2", "P3"}})
        db.exec(QStringLiteral("insert into T_SaleDetail (BillCode, Product_Code) values (:b, :p)"),
                {{"b", bill}, {"p", code}});

    auto column = [](Dataset& ds, const char* field) {
        ds.fetchAll();
        QStringList out;
        for (int r = 0; r < ds.loadedRows(); ++r) out << ds.value(r, QString::fromLatin1(field)).toString();
        return out;
    };

    data->OpenQuery(*data->Qry_Cust, QStringLiteral("select * from custom order by CustCode"));
    data->OpenQuery(*data->Qry_Contact,
                    QStringLiteral("select * from contact where CustCode=:CustCode order by Name"));
    data->OpenQuery(*data->Qry_price, QStringLiteral("select * from T_price where custcode=:CustCode"));
    QCOMPARE(column(*data->Qry_Contact, "Name"), (QStringList{"Ann", "Bob"}));
    QCOMPARE(data->Qry_price->loadedRows(), 0);

    data->Qry_Cust->next();
    QCOMPARE(column(*data->Qry_Contact, "Name"), QStringList{"Cy"});
    QCOMPARE(column(*data->Qry_price, "people"), QStringList{"Pat"});

    // A new statement on a detail keeps the master's binding unless it binds CustCode itself.
    data->OpenQuery(*data->Qry_Contact,
                    QStringLiteral("select * from contact where CustCode=:CustCode and Name like :n"),
                    {{"n", "%"}});
    QCOMPARE(column(*data->Qry_Contact, "Name"), QStringList{"Cy"});
    data->OpenQuery(*data->Qry_Contact,
                    QStringLiteral("select * from contact where CustCode=:CustCode order by Name"),
                    {{"CustCode", "C1"}});
    QCOMPARE(column(*data->Qry_Contact, "Name"), (QStringList{"Ann", "Bob"}));
    data->Qry_Cust->first();
    QCOMPARE(column(*data->Qry_Contact, "Name"), (QStringList{"Ann", "Bob"}));

    // The lines follow the current bill.
    data->OpenQuery(*data->Qry_Sale, QStringLiteral("select * from T_sale order by BillCode"));
    data->OpenQuery(
        *data->Qry_SaleDetail,
        QStringLiteral("select * from T_SaleDetail where BillCode=:BillCode order by Product_Code"));
    QCOMPARE(column(*data->Qry_SaleDetail, "Product_Code"), QStringList{"P1"});
    data->Qry_Sale->last();
    QCOMPARE(column(*data->Qry_SaleDetail, "Product_Code"), (QStringList{"P2", "P3"}));
}

void TstFrmData::fillCombo() {
    auto data = module(TestDb::fresh());
    Database& db = data->db();
    db.exec(QStringLiteral("delete from Dict_zw"));
    for (const char* n : {"Gamma  ", "alpha", "Beta "})
        db.exec(QStringLiteral("insert into Dict_zw (name) values (:n)"), {{"n", n}});

    QComboBox combo;
    combo.addItem(QStringLiteral("old"));
    combo.addItem(QStringLiteral("Beta"));
    combo.setCurrentIndex(1);
    QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
    data->FillComboByName(*data->Qry_Temp, combo, QStringLiteral("dict_zw"));
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
    QCOMPARE(items, (QStringList{"alpha", "Beta", "Gamma"}));
    QCOMPARE(combo.currentText(), QStringLiteral("Beta"));  // the choice shown stays
    QCOMPARE(changed.size(), 0);

    QComboBox editable;
    editable.setEditable(true);
    editable.setEditText(QStringLiteral("typed"));
    data->FillComboById(*data->Qry_Temp, editable, QStringLiteral("Dict_zw"));
    items.clear();
    for (int i = 0; i < editable.count(); ++i) items << editable.itemText(i);
    QCOMPARE(items, (QStringList{"Gamma", "alpha", "Beta"}));
    QCOMPARE(editable.currentText(), QStringLiteral("typed"));

    // The table name is pasted into the statement, so only our own tables are accepted.
    QVERIFY_THROWS_EXCEPTION(
        DbError, data->FillComboByName(*data->Qry_Temp, combo, QStringLiteral("Dict_zw; delete from admin")));
    QVERIFY_THROWS_EXCEPTION(DbError,
                             data->FillComboById(*data->Qry_Temp, combo, QStringLiteral("no_such_table")));
    QCOMPARE(combo.count(), 3);
    QVERIFY(db.scalar(QStringLiteral("select count(*) from admin")).toInt() >= 1);
}

void TstFrmData::execQueryBindsValues() {
    auto data = module(TestDb::fresh());
    Database& db = data->db();
    db.exec(QStringLiteral("insert into Dict_zw (name) values ('O''Brien')"));
    db.exec(QStringLiteral("insert into Dict_zw (name) values ('Other')"));
    const int before = db.scalar(QStringLiteral("select count(*) from Dict_zw")).toInt();
    QCOMPARE(data->ExecQuery(*data->Qry_Del, QStringLiteral("delete from Dict_zw where name=:n"),
                             {{"n", "O'Brien"}}),
             1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Dict_zw")).toInt(), before - 1);
    QCOMPARE(data->Qry_Del->sql(), QStringLiteral("delete from Dict_zw where name=:n"));
    QVERIFY(!data->Qry_Del->isOpen());
    QVERIFY_THROWS_EXCEPTION(DbError,
                             data->ExecQuery(*data->Qry_Del, QStringLiteral("delete from no_such_table")));
}

void TstFrmData::twoWorkstations() {
    // Two data modules on one database, as two workstations: each has its own connection and datasets.
    const ConnectionSettings s = TestDb::fresh();
    auto a = module(s);
    auto b = module(s);
    QVERIFY(a->connected() && b->connected());
    QVERIFY(a->db().handle().connectionName() != b->db().handle().connectionName());

    a->OpenQuery(*a->Qry_Cust, QStringLiteral("select * from custom where CustCode=:c"), {{"c", "W1"}});
    a->Qry_Cust->append();
    a->Qry_Cust->setValue(QStringLiteral("CustCode"), QStringLiteral("W1"));
    a->Qry_Cust->setValue(QStringLiteral("Company"), QStringLiteral("工作站甲"));
    a->Qry_Cust->post();

    b->OpenQuery(*b->Qry_Cust, QStringLiteral("select * from custom where CustCode=:c"), {{"c", "W1"}});
    QCOMPARE(b->Qry_Cust->loadedRows(), 1);
    QCOMPARE(b->Qry_Cust->text(QStringLiteral("Company")), QStringLiteral("工作站甲"));
    a.reset();  // closing one leaves the other working
    QCOMPARE(b->db().scalar(QStringLiteral("select count(*) from custom where CustCode='W1'")).toInt(), 1);
}

QTEST_MAIN(TstFrmData)
#include "tst_frm_data.moc"
