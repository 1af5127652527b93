#include "ReportWiring.h"

#include <QDate>

#include "Clock.h"
#include "Context.h"
#include "DataModuleReports.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "Prompter.h"
#include "ReportCommands.h"

namespace qv {

namespace {

// The named sources every report of the data module may read besides its band data.
void addSharedSources(Report& r, Frm_Data& data) {
    r.setSource(QStringLiteral("Custom"), data.Custom);
    r.setSource(QStringLiteral("Qry_Sale"), data.Qry_Sale);
    r.setSource(QStringLiteral("Qry_SaleDetail"), data.Qry_SaleDetail);
    r.setSource(QStringLiteral("info"), data.Qry_Custom);
}

void load(Context& ctx, Report& r, const QString& path) {
    try {
        r.loadTemplate(ctx.home, path);
    } catch (const DbError& e) {
        ctx.prompter.error(e.text());
    }
}

// The company information the templates print (sender, our name) is read when a report runs, so that
// it shows what was last saved.
void readCompanyInfo(Frm_Data& data) {
    if (data.Qry_Custom->isOpen())
        data.Qry_Custom->refresh();
    else
        data.Qry_Custom->open();
}

Context::ModalRunner modalOf(Context& ctx) {
    return [&ctx](QDialog& d) { return ctx.runModal(d); };
}

void show(Context& ctx, Frm_Main& main, Report& r) {
    readCompanyInfo(ctx.data);
    showReport(r, ctx.prompter, &main, modalOf(ctx), ctx.clock.now().date());
}

void design(Context& ctx, Frm_Main& main, Report& r) {
    readCompanyInfo(ctx.data);
    designReport(r, ctx.prompter, &main, modalOf(ctx), ctx.clock.now().date());
}

}  // namespace

void loadDataModuleReports(Context& ctx) {
    auto reports = std::make_shared<DataModuleReports>();
    Frm_Data& data = ctx.data;
    for (Report* r : {&reports->fr_CustBasic, &reports->fr_envelop, &reports->fr_label, &reports->fr_bills,
                      &reports->frReport1})
        addSharedSources(*r, data);
    reports->fr_CustBasic.setSource(QStringLiteral("fr_Cust"), data.Qry_Cust);
    reports->fr_envelop.setSource(QStringLiteral("fr_Cust"), data.Qry_Cust);
    reports->fr_label.setSource(QStringLiteral("frDB_label"), data.Qry_Cust);
    reports->fr_bills.setSource(QStringLiteral("frDB_bills"), data.Qry_SaleDetail);
    // The second bill layout reads the shared datasets by name; its band prints once.
    reports->frReport1.setSource(QStringLiteral("frDBDataSet1"), nullptr);

    load(ctx, reports->fr_CustBasic, QStringLiteral("Reports/fr_CustBasic.frf"));
    load(ctx, reports->fr_envelop, QStringLiteral("Reports/fr_envelop.frf"));
    load(ctx, reports->fr_label, QStringLiteral("Reports/fr_label.frf"));
    load(ctx, reports->fr_bills, QStringLiteral("Reports/fr_bills.frf"));
    load(ctx, reports->frReport1, QStringLiteral("reports\\fr_bill1.frf"));
    ctx.reports = std::move(reports);
}

void installReportCommands(Context& ctx, Frm_Main& main) {
    struct Command {
        const char* name;
        Report DataModuleReports::*report;
        bool design;
    };
    static const Command commands[] = {
        {"Menu_PrintCustSheet", &DataModuleReports::fr_CustBasic, false},
        {"Menu_PrintEnvelope", &DataModuleReports::fr_envelop, false},
        {"Menu_PrintLabel", &DataModuleReports::fr_label, false},
        {"Menu_DesignCustSheet", &DataModuleReports::fr_CustBasic, true},
        {"Menu_DesignEnvelope", &DataModuleReports::fr_envelop, true},
        {"Menu_DesignLabel", &DataModuleReports::fr_label, true},
    };
    for (const Command& c : commands) {
        main.setHandler(QString::fromLatin1(c.name), [&ctx, &main, c] {
            // The reports exist once start-up loaded them; a command before that has nothing to show.
            if (!ctx.reports) return;
            Report& r = (*ctx.reports).*(c.report);
            c.design ? design(ctx, main, r) : show(ctx, main, r);
        });
    }
}

}  // namespace qv
