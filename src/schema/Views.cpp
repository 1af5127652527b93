// The views of the database. Every definition is plain SQL that SQLite and PostgreSQL both accept.
#include "SchemaModel.h"

namespace qv::schema {

namespace {

ViewColumn col(const char* name, const char* expr) {
    return {QString::fromLatin1(name), QString::fromLatin1(expr)};
}

// A follow-up table with its customer's company name and owner, so that list windows can filter by
// either. A row whose customer is gone still shows (without a company).
View followUp(const char* view, const char* table, const char* companyName,
              std::initializer_list<const char*> own) {
    View v;
    v.name = QString::fromLatin1(view);
    v.columns << col("ID", "f.ID") << col("custcode", "f.custcode") << col(companyName, "c.Company")
              << col("F_User", "c.F_User");
    for (const char* c : own)
        v.columns << ViewColumn{QString::fromLatin1(c), QStringLiteral("f.") + QLatin1String(c)};
    v.from = QStringLiteral("%1 f left join custom c on c.CustCode = f.custcode").arg(QLatin1String(table));
    v.key = QStringLiteral("ID");
    return v;
}

// Every sales line with its bill header and the bill's customer. The company comes from the customer;
// a bill whose customer row is missing falls back to the name copied into the bill.
const char* kSaleLines =
    "T_SaleDetail d join T_sale s on s.BillCode = d.BillCode left join custom c on c.CustCode = s.CustCode";

QList<ViewColumn> saleLineColumns() {
    return {col("SaleDetailID", "d.SaleDetailID"),
            col("BillCode", "d.BillCode"),
            col("saledate", "s.SaleDate"),
            col("F_User", "s.F_User"),
            col("oldbill", "s.OldBill"),
            col("CustCode", "s.CustCode"),
            col("company", "coalesce(c.Company, s.Custname)"),
            col("people", "s.people"),
            col("Note", "s.Note"),
            col("Product_Code", "d.Product_Code"),
            col("Product", "d.Product"),
            col("Product_Specific", "d.Product_Specific"),
            col("Unit_Name", "d.Unit_Name"),
            col("saleprice", "d.SalePrice"),
            col("number", "d.Number"),
            col("DisCount", "d.DisCount"),
            col("salemoney", "d.SaleMoney"),
            col("TCMoney", "d.TCMoney"),
            col("memo", "d.memo")};
}

QList<View> buildViews() {
    QList<View> v;
    v << followUp("V_Temp_price", "T_price", "company",
                  {"baojiatime", "sort", "type", "guige", "unitprice", "unitnumber", "filepath", "people"});
    v << followUp("V_Temp_visit", "T_visit", "Company",
                  {"visittime", "personnel", "visitcontent", "visitresult"});
    v << followUp("V_Temp_feedback", "T_feedback", "Company",
                  {"feedbacktime", "deskclerk", "feedbackcontent", "feedbackresult", "disposaltime",
                   "disposalpersonnel"});
    v << followUp("V_Temp_track", "T_trackcust", "Company",
                  {"custphase", "custstate", "people", "lasttime", "selltime"});
    v << followUp("V_Temp_bargain", "T_bargain", "Company",
                  {"bargainname", "bargaintime", "people", "filepath", "finish", "balancemoney",
                   "bargainmoney", "memo"});

    const QString lineKey = QStringLiteral("SaleDetailID");
    v << View{QStringLiteral("S_saleDetail"), saleLineColumns(), QString::fromLatin1(kSaleLines), lineKey};
    // The sales detail report's dataset starts on this view and is then re-read from S_saleDetail:
    // both present the same rows and columns.
    v << View{QStringLiteral("S_BillDetail"), saleLineColumns(), QString::fromLatin1(kSaleLines), lineKey};

    // One row per sales line with its salesman and the commission stored on the line.
    v << View{QStringLiteral("S_Count_TC"),
              {col("SaleDetailID", "d.SaleDetailID"), col("BillDate", "s.SaleDate"),
               col("BillCode", "d.BillCode"), col("people", "s.people"), col("CustCode", "s.CustCode"),
               col("Company", "coalesce(c.Company, s.Custname)"), col("F_User", "s.F_User"),
               col("GoodsCode", "d.Product_Code"), col("GoodsName", "d.Product"),
               col("Product_Specific", "d.Product_Specific"), col("Unit_Name", "d.Unit_Name"),
               col("SalePrice", "d.SalePrice"), col("Number", "d.Number"), col("DisCount", "d.DisCount"),
               col("SaleMoney", "d.SaleMoney"), col("TCMoney", "d.TCMoney")},
              QString::fromLatin1(kSaleLines),
              lineKey};

    // The product summary with the product's details.
    v << View{QStringLiteral("V_Tempsum_name"),
              {col("Product_Code", "t.Product_Code"), col("Product", "p.Product"),
               col("Product_Specific", "p.Product_Specific"), col("Unit_Name", "p.Unit_Name"),
               col("number", "t.number"), col("saleprice", "t.saleprice"), col("salemoney", "t.salemoney")},
              QStringLiteral("T_Tempsum_name t left join T_Products p on p.Product_Code = t.Product_Code"),
              QString()};  // the summary table has no key
    return v;
}

}  // namespace

const QList<View>& views() {
    static const QList<View> v = buildViews();
    return v;
}

}  // namespace qv::schema
