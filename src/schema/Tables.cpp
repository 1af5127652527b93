// The tables and indexes of the database.
#include "SchemaModel.h"

namespace qv::schema {

namespace {

using T = ColumnType;

Column identity(const QString& n) { return {n, T::Identity, 0, {}}; }
Column text(const QString& n, int width = 50) { return {n, T::Text, width, {}}; }
Column memo(const QString& n) { return {n, T::LongText, 0, {}}; }
Column integer(const QString& n, const QString& def = {}) { return {n, T::Integer, 0, def}; }
Column boolean(const QString& n, const QString& def = QStringLiteral("0")) { return {n, T::Boolean, 0, def}; }
Column floating(const QString& n) { return {n, T::Float, 0, {}}; }
Column number(const QString& n) { return {n, T::Number, 0, {}}; }
Column money(const QString& n) { return {n, T::Money, 0, {}}; }
Column datetime(const QString& n) { return {n, T::DateTime, 0, {}}; }

// Widths of names and free texts where a table leaves them open.
constexpr int kName = 50;
constexpr int kLongName = 200;
// A file path of an attached document: room for ordinary absolute paths.
constexpr int kPath = 255;

QList<Column> numbered(const QString& prefix, int count, int width) {
    QList<Column> out;
    for (int i = 1; i <= count; ++i) out << text(prefix + QString::number(i), width);
    return out;
}

Table referenceList(const QString& name) {
    // `name` must stay the second column: some readers take the second column of every row.
    return {name, {identity(QStringLiteral("id")), text(QStringLiteral("name"), kName)}};
}

// The reference lists: tables of names that the drop-downs offer.
const char* const kReferenceLists[] = {
    "Dict_zw",      "Dict_Department",  "Dict_people",    "Dict_Type",
    "Dict_Country", "Dict_CustFrom",    "Dict_custlevel", "Dict_activity",
    "Dict_unit",    "DICT_visitresult", "Dict_Province",  "T_feedbackresult",
    "t_finish",     "T_custphase",      "T_custstate",    "T_subject"};

QList<Table> buildTables() {
    QList<Table> t;

    // Customers and contacts.
    t << Table{QStringLiteral("custom"),
               QList<Column>{identity(QStringLiteral("CustID")),   text(QStringLiteral("CustCode")),
                             text(QStringLiteral("Company"), 200), text(QStringLiteral("CustType")),
                             text(QStringLiteral("Category")),     text(QStringLiteral("Country")),
                             text(QStringLiteral("Province")),     text(QStringLiteral("City")),
                             text(QStringLiteral("Address"), 200), text(QStringLiteral("PostCode"), 10),
                             text(QStringLiteral("Tel")),          text(QStringLiteral("Fax")),
                             text(QStringLiteral("Income")),       text(QStringLiteral("Email")),
                             text(QStringLiteral("Url")),          text(QStringLiteral("CustFrom")),
                             memo(QStringLiteral("Introduce")),    text(QStringLiteral("F_User")),
                             datetime(QStringLiteral("Adddate")),  text(QStringLiteral("MainContact")),
                             text(QStringLiteral("OtherInfo")),    text(QStringLiteral("Memo2"), 200),
                             text(QStringLiteral("Memo3"), 200),   text(QStringLiteral("custlevel")),
                             text(QStringLiteral("mobile"))} +
                   numbered(QStringLiteral("field"), 6, 50)};
    t << Table{
        QStringLiteral("contact"),
        {identity(QStringLiteral("ContactId")), text(QStringLiteral("CustCode")),
         text(QStringLiteral("Name")), boolean(QStringLiteral("Main")), text(QStringLiteral("Position")),
         text(QStringLiteral("Department")), text(QStringLiteral("Email")), text(QStringLiteral("Address")),
         text(QStringLiteral("PostCode")), text(QStringLiteral("Tel")), text(QStringLiteral("Mobile")),
         text(QStringLiteral("HomeTel")), text(QStringLiteral("Fax")), datetime(QStringLiteral("Birthday")),
         memo(QStringLiteral("introduce")), text(QStringLiteral("F_User")),
         text(QStringLiteral("Company"), 200)}};

    // Activities. Company is a copy of the customer's company name, so it is as wide as the original.
    t << Table{
        QStringLiteral("T_Schedule"),
        {identity(QStringLiteral("ScheduleID")), text(QStringLiteral("CustCode")),
         text(QStringLiteral("Subject")), text(QStringLiteral("Type")), text(QStringLiteral("Company"), 200),
         text(QStringLiteral("Contact")), datetime(QStringLiteral("StartDate")), memo(QStringLiteral("Memo")),
         text(QStringLiteral("F_User")), boolean(QStringLiteral("Awoke")),
         datetime(QStringLiteral("AwokeDate")), text(QStringLiteral("finish"))}};
    t << Table{QStringLiteral("T_price"),
               {identity(QStringLiteral("ID")), text(QStringLiteral("custcode")),
                datetime(QStringLiteral("baojiatime")), text(QStringLiteral("sort"), kLongName),
                text(QStringLiteral("type")), text(QStringLiteral("filepath"), kPath),
                text(QStringLiteral("people")), floating(QStringLiteral("unitnumber")),
                text(QStringLiteral("guige")), money(QStringLiteral("unitprice"))}};
    t << Table{QStringLiteral("T_visit"),
               {identity(QStringLiteral("ID")), text(QStringLiteral("custcode")),
                datetime(QStringLiteral("visittime")), text(QStringLiteral("personnel")),
                text(QStringLiteral("visitcontent")), text(QStringLiteral("visitresult"))}};
    t << Table{QStringLiteral("T_feedback"),
               {identity(QStringLiteral("ID")), text(QStringLiteral("custcode")),
                datetime(QStringLiteral("feedbacktime")), text(QStringLiteral("feedbackcontent")),
                text(QStringLiteral("feedbackresult")), datetime(QStringLiteral("disposaltime")),
                text(QStringLiteral("disposalpersonnel")), text(QStringLiteral("deskclerk"))}};
    t << Table{
        QStringLiteral("T_trackcust"),
        {identity(QStringLiteral("ID")), text(QStringLiteral("custcode")), text(QStringLiteral("custphase")),
         text(QStringLiteral("custstate")), text(QStringLiteral("people")),
         datetime(QStringLiteral("lasttime")), datetime(QStringLiteral("selltime"))}};
    t << Table{QStringLiteral("T_bargain"),
               {identity(QStringLiteral("ID")), text(QStringLiteral("custcode")),
                text(QStringLiteral("bargainname")), datetime(QStringLiteral("bargaintime")),
                text(QStringLiteral("people")), text(QStringLiteral("filepath"), kPath),
                text(QStringLiteral("finish")), money(QStringLiteral("balancemoney")),
                money(QStringLiteral("bargainmoney")), text(QStringLiteral("memo"), kLongName)}};

    // Products and sales.
    t << Table{QStringLiteral("T_Products"),
               QList<Column>{identity(QStringLiteral("Product_ID")), text(QStringLiteral("Product_Code")),
                             text(QStringLiteral("Product"), kLongName),
                             text(QStringLiteral("Product_Specific")), number(QStringLiteral("SalePrice")),
                             number(QStringLiteral("CostPrice")), text(QStringLiteral("Unit_Name")),
                             text(QStringLiteral("Memo"), kLongName), text(QStringLiteral("GoodsType"))} +
                   numbered(QStringLiteral("Goods"), 20, 50)};
    t << Table{QStringLiteral("T_sale"),
               QList<Column>{identity(QStringLiteral("ID")), text(QStringLiteral("BillCode")),
                             text(QStringLiteral("CustCode")), text(QStringLiteral("MoneyType")),
                             text(QStringLiteral("BillType")), text(QStringLiteral("F_User")),
                             datetime(QStringLiteral("SaleDate")), text(QStringLiteral("OldBill")),
                             text(QStringLiteral("Note"), 200), text(QStringLiteral("Custname"), 200),
                             text(QStringLiteral("people"))} +
                   numbered(QStringLiteral("Bill"), 20, 50)};
    // Product keeps the whole product name and Custcode the whole customer code: cutting them loses data.
    t << Table{
        QStringLiteral("T_SaleDetail"),
        {identity(QStringLiteral("SaleDetailID")), text(QStringLiteral("BillCode")),
         text(QStringLiteral("Product_Code")), text(QStringLiteral("Product"), kLongName),
         text(QStringLiteral("Product_Specific")), text(QStringLiteral("Unit_Name")),
         money(QStringLiteral("SalePrice")), floating(QStringLiteral("Number")),
         floating(QStringLiteral("DisCount")), money(QStringLiteral("SaleMoney")),
         text(QStringLiteral("memo"), 20), money(QStringLiteral("FField1")), money(QStringLiteral("FField2")),
         money(QStringLiteral("TCMoney")), text(QStringLiteral("Custcode"))}};
    t << Table{
        QStringLiteral("T_People"),
        {identity(QStringLiteral("ID")), text(QStringLiteral("people")), text(QStringLiteral("sex")),
         text(QStringLiteral("tel")), datetime(QStringLiteral("Birthday")), text(QStringLiteral("IDCard")),
         text(QStringLiteral("Branch")), text(QStringLiteral("Email")), text(QStringLiteral("learn")),
         text(QStringLiteral("polity")), text(QStringLiteral("Address"))}};
    t << Table{
        QStringLiteral("T_PeopleTC"),
        {text(QStringLiteral("people")), text(QStringLiteral("GoodsCode")),
         text(QStringLiteral("GoodsName"), kLongName), text(QStringLiteral("GoodsType")),
         text(QStringLiteral("GoodsTC")), datetime(QStringLiteral("date")), text(QStringLiteral("Branch")),
         text(QStringLiteral("UserName")), identity(QStringLiteral("ID"))}};

    // Sales summary work tables, shared by all workstations; number keeps fractions of quantities.
    t << Table{QStringLiteral("T_Tempsum_name"),
               {text(QStringLiteral("Product_Code")), number(QStringLiteral("number")),
                money(QStringLiteral("saleprice")), money(QStringLiteral("salemoney"))}};
    t << Table{QStringLiteral("T_Temp_CustCount"),
               {text(QStringLiteral("company"), 200), number(QStringLiteral("number")),
                money(QStringLiteral("salemoney"))}};
    t << Table{QStringLiteral("T_Temp_peopleCount"),
               {text(QStringLiteral("people")), number(QStringLiteral("number")),
                money(QStringLiteral("salemoney"))}};

    // Operators and rights. admin's column order matters: the login list reads the second column.
    // Password holds a password hash, hence its width.
    t << Table{QStringLiteral("admin"),
               {identity(QStringLiteral("UserID")), text(QStringLiteral("UserName")),
                text(QStringLiteral("Password"), 255), text(QStringLiteral("PartName")),
                text(QStringLiteral("Remark"), 200), integer(QStringLiteral("IsUser"), QStringLiteral("1")),
                integer(QStringLiteral("Permit"), QStringLiteral("0"))}};
    t << Table{QStringLiteral("T_Part"),
               {identity(QStringLiteral("PartID")), text(QStringLiteral("PartName")),
                text(QStringLiteral("Remark"), 200)}};
    t << Table{QStringLiteral("T_System"),
               {text(QStringLiteral("Code")), text(QStringLiteral("FunctionName"), 100),
                integer(QStringLiteral("Tag"), QStringLiteral("0")), identity(QStringLiteral("ID"))}};
    t << Table{QStringLiteral("T_PartAuthority"),
               {text(QStringLiteral("PartName")), text(QStringLiteral("Code")),
                text(QStringLiteral("FunctionName"), 100), boolean(QStringLiteral("Authority")),
                integer(QStringLiteral("Tag"), QStringLiteral("0")), identity(QStringLiteral("ID"))}};
    t << Table{QStringLiteral("T_UserAuthority"),
               {text(QStringLiteral("UserName")), text(QStringLiteral("Code")),
                text(QStringLiteral("FunctionName"), 100), boolean(QStringLiteral("Authority")),
                integer(QStringLiteral("Tag"), QStringLiteral("0")), identity(QStringLiteral("ID"))}};

    // Configuration.
    t << Table{
        QStringLiteral("T_FieldShow"),
        {identity(QStringLiteral("ID")), text(QStringLiteral("TableName")), text(QStringLiteral("Field")),
         text(QStringLiteral("Name")), integer(QStringLiteral("Show"), QStringLiteral("1")),
         integer(QStringLiteral("ShowID"), QStringLiteral("0")),
         integer(QStringLiteral("Width"), QStringLiteral("80")),
         integer(QStringLiteral("ShowUp"), QStringLiteral("0")),
         integer(QStringLiteral("SumField"), QStringLiteral("0")),
         integer(QStringLiteral("ShowButton"), QStringLiteral("0")),
         integer(QStringLiteral("F_Field"), QStringLiteral("0")),
         integer(QStringLiteral("FieldType"), QStringLiteral("0")),
         integer(QStringLiteral("dotsize"), QStringLiteral("0"))}};
    // F_Field receives a workbook's column header, which may be longer than a column caption.
    t << Table{QStringLiteral("T_Import"),
               {identity(QStringLiteral("ImportID")), text(QStringLiteral("TableName")),
                text(QStringLiteral("S_Field"), 30), text(QStringLiteral("FieldName")),
                text(QStringLiteral("F_Field"), 200)}};
    t << Table{
        QStringLiteral("T_SoftInfo"),
        {text(QStringLiteral("SoftName"), 100), text(QStringLiteral("Version")),
         number(QStringLiteral("INI1")), number(QStringLiteral("INI2")), number(QStringLiteral("INI3")),
         integer(QStringLiteral("autocoding"), QStringLiteral("0")), identity(QStringLiteral("ID"))}};
    t << Table{
        QStringLiteral("info"),
        {identity(QStringLiteral("id")), text(QStringLiteral("Company"), 200),
         text(QStringLiteral("Address"), 200), text(QStringLiteral("fax")), text(QStringLiteral("tel")),
         text(QStringLiteral("Postcode")), text(QStringLiteral("Regname")), text(QStringLiteral("Version")),
         text(QStringLiteral("name"), 100)}};
    t << Table{QStringLiteral("Dict_ClearData"),
               {text(QStringLiteral("Action"), 100), memo(QStringLiteral("SQL")),
                text(QStringLiteral("F_Flag"), 10), identity(QStringLiteral("ID"))}};

    // Reference lists, provinces and cities, category trees.
    for (const char* n : kReferenceLists) t << referenceList(QString::fromLatin1(n));
    t << Table{QStringLiteral("citytel"),
               {text(QStringLiteral("spro")), text(QStringLiteral("scity")), identity(QStringLiteral("ID"))}};
    for (const char* n : {"Dict_Cust_Category", "Dict_Product_Category"})
        t << Table{QString::fromLatin1(n),
                   {text(QStringLiteral("Code")), text(QStringLiteral("Name"), 100),
                    identity(QStringLiteral("ID"))}};
    return t;
}

QList<Index> buildIndexes() {
    auto ix = [](const char* table, std::initializer_list<const char*> cols, bool unique = false) {
        Index i;
        i.table = QString::fromLatin1(table);
        for (const char* c : cols) i.columns << QString::fromLatin1(c);
        i.unique = unique;
        return i;
    };
    QList<Index> out = {
        // Codes that must be unique, so that two workstations cannot both win a race.
        ix("custom", {"CustCode"}, true),
        ix("T_sale", {"BillCode"}, true),
        ix("T_Products", {"Product_Code"}, true),
        ix("admin", {"UserName"}, true),
        ix("Dict_Cust_Category", {"Code"}, true),
        ix("Dict_Product_Category", {"Code"}, true),
        // Rows that belong to a customer.
        ix("contact", {"CustCode"}),
        ix("T_Schedule", {"CustCode"}),
        ix("T_sale", {"CustCode"}),
        ix("T_SaleDetail", {"Custcode"}),
        ix("T_price", {"custcode"}),
        ix("T_visit", {"custcode"}),
        ix("T_feedback", {"custcode"}),
        ix("T_trackcust", {"custcode"}),
        ix("T_bargain", {"custcode"}),
        // Bill lines, products and commissions.
        ix("T_SaleDetail", {"BillCode"}),
        ix("T_SaleDetail", {"Product_Code"}),
        ix("T_Tempsum_name", {"Product_Code"}),
        ix("T_PeopleTC", {"GoodsCode"}),
        ix("T_PeopleTC", {"people"}),
        ix("T_People", {"people"}),
        ix("T_Products", {"GoodsType"}),
        ix("T_Products", {"Product"}),
        // Owners.
        ix("custom", {"F_User"}),
        ix("contact", {"F_User"}),
        ix("T_Schedule", {"F_User"}),
        ix("T_sale", {"F_User"}),
        // What the lists, searches and reports filter or order by on large data.
        ix("custom", {"Company"}),
        ix("custom", {"Category"}),
        ix("contact", {"Name"}),
        ix("contact", {"Company"}),
        ix("T_Schedule", {"StartDate"}),
        ix("T_Schedule", {"AwokeDate"}),  // the reminders of the coming days
        ix("T_Schedule", {"Company"}),
        ix("T_sale", {"SaleDate"}),
        ix("T_sale", {"Custname"}),
        ix("T_price", {"baojiatime"}),
        ix("T_visit", {"visittime"}),
        ix("T_feedback", {"feedbacktime"}),
        ix("T_trackcust", {"lasttime"}),
        ix("T_bargain", {"bargaintime"}),
        ix("T_FieldShow", {"TableName"}),
        ix("T_UserAuthority", {"UserName", "Code"}),
        ix("T_PartAuthority", {"PartName", "Code"}),
        ix("T_Import", {"TableName"}),
        ix("citytel", {"spro"}),
    };
    // A list holds each name once, compared as the lists compare names: without letter case and
    // surrounding blanks. The index settles a race between two workstations adding the same name.
    for (const char* n : kReferenceLists) out << ix(n, {"lower(trim(name))"}, true);
    return out;
}

}  // namespace

const QList<Table>& tables() {
    static const QList<Table> t = buildTables();
    return t;
}

const QList<Index>& indexes() {
    static const QList<Index> i = buildIndexes();
    return i;
}

}  // namespace qv::schema
