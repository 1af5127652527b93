#include "Frm_Data.h"

#include <QAtomicInt>
#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>

#include "ConnectionSequence.h"
#include "Money.h"
#include "Schema.h"

namespace qv {

namespace {

// Each data module has a connection of its own, so that two workstations can live in one process.
QString nextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("qv_data_%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

double numberOf(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return 0.0;
    if (v.typeId() == QMetaType::QString) return v.toString().trimmed().toDouble();
    return v.toDouble();
}

}  // namespace

Frm_Data::Frm_Data(const QString& home, QObject* parent)
    : QObject(parent),
      home_(QDir(home).absolutePath()),
      ini_(QDir(home_).filePath(QStringLiteral("Config.ini"))),
      db_(nextConnectionName()),
      Qry_Cust(make("Qry_Cust", QStringLiteral("select * from custom"))),
      Qry_Contact(make("Qry_Contact", QStringLiteral("select * from contact"))),
      Qry_Schedule(make("Qry_Schedule", QStringLiteral("select * from T_Schedule"))),
      Qry_Sale(make("Qry_Sale", QStringLiteral("select * from T_sale"))),
      Qry_SaleDetail(make("Qry_SaleDetail", QStringLiteral("select * from T_SaleDetail"))),
      Qry_price(make("Qry_price", QStringLiteral("select * from T_price "))),
      Qry_visit(make("Qry_visit")),
      Qry_feedback(make("Qry_feedback")),
      Qry_track(make("Qry_track")),
      Qry_bargain(make("Qry_bargain")),
      Qry_Products(make("Qry_Products")),
      Qry_PeopleData(make("Qry_PeopleData", QStringLiteral("Select  *  from  T_People"))),
      Qry_PeopleTC(make("Qry_PeopleTC", QStringLiteral("select  *  from  T_PeopleTC"))),
      Qry_Count(make("Qry_Count", QStringLiteral("select * from S_BillDetail"))),
      Qry_FieldShow(make("Qry_FieldShow")),
      Qry_Import(make("Qry_Import")),
      Qry_SoftInfo(make("Qry_SoftInfo")),
      Qry_Custom(make("Qry_Custom", QStringLiteral("select * from info"))),
      Custom(make("Custom", QStringLiteral("select *  from  custom "))),
      Qry_HY(make("Qry_HY")),
      Qry_Temp(make("Qry_Temp")),
      Qry_Str(make("Qry_Str")),
      Qry_CStr(make("Qry_CStr")),
      Qry_Sql(make("Qry_Sql")),
      Qry_Del(make("Qry_Del")),
      Qry_Other(make("Qry_Other")),
      Qry_temp1(make("Qry_temp1")),
      Qry_Country(make("Qry_Country")),
      Qry_Type(make("Qry_Type")),
      Qry_From(make("Qry_From")) {
    setObjectName(QStringLiteral("Frm_Data"));

    // The current customer's related rows and the current bill's lines follow their master.
    const QString custCode = QStringLiteral("CustCode");
    for (Dataset* d : {Qry_Contact, Qry_Schedule, Qry_price, Qry_visit, Qry_feedback, Qry_track, Qry_bargain})
        d->setMaster(Qry_Cust, custCode, custCode);
    Qry_SaleDetail->setMaster(Qry_Sale, QStringLiteral("BillCode"), QStringLiteral("BillCode"));

    // Where the windows edit a dataset's rows: its table and key column.
    struct Editable {
        Dataset* ds;
        const char* table;
        const char* key;
        bool identity;
    };
    const Editable editable[] = {
        {Qry_Cust, "custom", "CustID", true},
        {Qry_Contact, "contact", "ContactId", true},
        {Qry_Schedule, "T_Schedule", "ScheduleID", true},
        {Qry_Sale, "T_sale", "ID", true},
        {Qry_SaleDetail, "T_SaleDetail", "SaleDetailID", true},
        {Qry_price, "T_price", "ID", true},
        {Qry_visit, "T_visit", "ID", true},
        {Qry_feedback, "T_feedback", "ID", true},
        {Qry_track, "T_trackcust", "ID", true},
        {Qry_bargain, "T_bargain", "ID", true},
        {Qry_Products, "T_Products", "Product_ID", true},
        {Qry_PeopleData, "T_People", "ID", true},
        {Qry_PeopleTC, "T_PeopleTC", "ID", true},
        {Qry_FieldShow, "T_FieldShow", "ID", true},
        {Qry_Import, "T_Import", "ImportID", true},
        {Qry_SoftInfo, "T_SoftInfo", "ID", true},
        {Qry_Custom, "info", "id", true},
    };
    for (const Editable& e : editable)
        e.ds->setUpdateTable(QString::fromLatin1(e.table), QString::fromLatin1(e.key), e.identity);

    // The amount of a sales line, shown while the bill editor is open.
    Qry_SaleDetail->addCalculatedField(QStringLiteral("CMoney"),
                                       [this](const Dataset& d, int row) -> QVariant {
                                           if (!billEditorOpen_) return QVariant();
                                           return lineAmount(d.value(row, QStringLiteral("SalePrice")),
                                                             d.value(row, QStringLiteral("Number")),
                                                             d.value(row, QStringLiteral("DisCount")));
                                       });
}

Frm_Data::~Frm_Data() {
    // The datasets hold queries on the connection: they go before it does.
    for (Dataset* d : findChildren<Dataset*>(QString(), Qt::FindDirectChildrenOnly)) delete d;
    db_.close();
}

Dataset* Frm_Data::make(const char* name, const QString& sql) {
    auto* d = new Dataset(db_, QString::fromLatin1(name), this);
    d->setObjectName(QString::fromLatin1(name));
    if (!sql.isEmpty()) d->setSql(sql);
    return d;
}

bool Frm_Data::connectDatabase(Prompter& prompter, Shell& shell, const StatusFn& status) {
    ConnectionSequence seq(ini_, prompter, shell, home_);
    seq.setStatus(status);
    seq.setConnect([this](const ConnectionSettings& s, QString* error) { return db_.open(s, error); });
    const bool ok = seq.run();
    isInternet_ = seq.isInternet();
    ipUrl_ = seq.ipUrl();
    if (ok) afterConnect();
    return ok;
}

bool Frm_Data::connectWith(const ConnectionSettings& settings, QString* error) {
    if (!db_.open(settings, error)) return false;
    afterConnect();
    return true;
}

void Frm_Data::afterConnect() {
    connected_ = true;
    schema::describeTo(db_);
}

// --- operations --------------------------------------------------------------------------------

namespace {
// A detail dataset keeps the value its master bound, unless the caller gives that parameter itself.
Params withMasterParams(const Dataset& ds, const Params& given) {
    Params p = given;
    if (ds.master()) {
        for (const QString& name : {QStringLiteral("CustCode"), QStringLiteral("BillCode")}) {
            if (!p.contains(name) && ds.params().contains(name)) p.insert(name, ds.params().value(name));
        }
    }
    return p;
}
}  // namespace

void Frm_Data::OpenQuery(Dataset& ds, const QString& sql, const Params& params) {
    ds.close();
    ds.setSql(sql);
    ds.setParams(withMasterParams(ds, params));
    ds.open();
}

int Frm_Data::ExecQuery(Dataset& ds, const QString& sql, const Params& params) {
    ds.close();
    ds.setSql(sql);
    ds.setParams(withMasterParams(ds, params));
    return db_.execute(sql, ds.params());
}

QString Frm_Data::checkedTable(const QString& table) {
    const QString t = table.trimmed();
    for (const QStringList& names : {schema::tableNames(), schema::viewNames()}) {
        for (const QString& name : names)
            if (name.compare(t, Qt::CaseInsensitive) == 0) return name;
    }
    throw DbError(QStringLiteral("没有这个表: %1").arg(table));
}

void Frm_Data::fillCombo(Dataset& ds, QComboBox& combo, const QString& table, const char* orderBy) {
    const QString t = checkedTable(table);
    OpenQuery(ds, QStringLiteral("select * from %1 order by %2").arg(t, QString::fromLatin1(orderBy)));
    ds.fetchAll();
    // Refilling keeps what the box shows and sends no change signals of its own.
    const QSignalBlocker block(&combo);
    const QString shown = combo.currentText();
    combo.clear();
    for (int r = 0; r < ds.loadedRows(); ++r) combo.addItem(ds.value(r, 1).toString().trimmed());
    if (combo.isEditable())
        combo.setEditText(shown);
    else
        combo.setCurrentIndex(combo.findText(shown));
}

void Frm_Data::FillComboByName(Dataset& ds, QComboBox& combo, const QString& table) {
    fillCombo(ds, combo, table, "name");
}

void Frm_Data::FillComboById(Dataset& ds, QComboBox& combo, const QString& table) {
    fillCombo(ds, combo, table, "id");
}

// --- calculated line amount --------------------------------------------------------------------

QVariant Frm_Data::lineAmount(const QVariant& salePrice, const QVariant& number, const QVariant& disCount) {
    const Money price = Money::fromVariant(salePrice);
    return Money::product(price, numberOf(number), numberOf(disCount)).toVariant();
}

void Frm_Data::setBillEditorOpen(bool open) {
    if (billEditorOpen_ == open) return;
    billEditorOpen_ = open;
    Dataset* d = Qry_SaleDetail;
    const int col = d->fieldIndex(QStringLiteral("CMoney"));
    if (d->isOpen() && col >= 0 && d->rowCount() > 0)
        emit d->dataChanged(d->index(0, col), d->index(d->rowCount() - 1, col));
}

}  // namespace qv
