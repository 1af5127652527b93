#include "ReportFixture.h"

namespace qv::test {

void addCustomers(Database& db, int n) {
    if (n <= 0) return;
    db.execute(
        QStringLiteral("insert into custom (CustCode, Company, Address, PostCode, Category, Tel) "
                       "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                       "select 'C' || (1000000 + i), '客户' || i, '北京市海淀区中关村大街' || i || '号', "
                       "'1000' || (i % 10), case when i % 2 = 1 then 'A' else 'B' end, '010-' || i from n")
            .arg(n));
}

ReportObject textObject(const QString& name, const QRectF& rect, const QString& text) {
    ReportObject o;
    o.name = name;
    o.rect = rect;
    o.text = text;
    return o;
}

ReportBand band(ReportBand::Kind kind, double height, const QString& source) {
    ReportBand b;
    b.kind = kind;
    b.height = height;
    b.source = source;
    return b;
}

ReportTemplate customerList() {
    ReportTemplate t;
    t.page.top = t.page.bottom = 10;
    ReportBand title = band(ReportBand::Kind::ReportTitle, 12);
    title.objects.push_back(
        textObject(QStringLiteral("Title"), QRectF(10, 0, 190, 10), QStringLiteral(u"客户名单")));
    ReportBand header = band(ReportBand::Kind::ColumnHeader, 8);
    header.objects.push_back(textObject(QStringLiteral("H1"), QRectF(10, 0, 40, 8), QStringLiteral(u"编号")));
    header.objects.push_back(textObject(QStringLiteral("H2"), QRectF(50, 0, 60, 8), QStringLiteral(u"公司")));
    ReportBand data = band(ReportBand::Kind::MasterData, 7, QStringLiteral("fr_Cust"));
    data.objects.push_back(
        textObject(QStringLiteral("Code"), QRectF(10, 0, 40, 7), QStringLiteral("[CustCode]")));
    data.objects.push_back(
        textObject(QStringLiteral("Company"), QRectF(50, 0, 60, 7), QStringLiteral("[fr_Cust.\"Company\"]")));
    ReportBand footer = band(ReportBand::Kind::PageFooter, 8);
    footer.objects.push_back(textObject(QStringLiteral("PageNo"), QRectF(80, 0, 60, 8),
                                        QStringLiteral(u"第 [PAGE#] 页 / 共 [TOTALPAGES] 页")));
    ReportBand summary = band(ReportBand::Kind::Summary, 8);
    summary.objects.push_back(
        textObject(QStringLiteral("Count"), QRectF(10, 0, 60, 8), QStringLiteral(u"共 [LINE#] 家")));
    t.bands = {title, header, data, footer, summary};
    return t;
}

}  // namespace qv::test
