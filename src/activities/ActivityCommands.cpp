#include "ActivityCommands.h"

#include "Context.h"
#include "Dataset.h"
#include "Frm_AddSchedule.h"
#include "Frm_Data.h"
#include "Frm_Main.h"

namespace qv {

namespace {

bool hasRows(const Dataset* ds) { return ds && ds->isOpen() && ds->rowCount() > 0 && ds->currentRow() >= 0; }

}  // namespace

void installActivityCommands(Context& ctx, Frm_Main& main) {
    main.setHandler(QStringLiteral("AddSchedule"), [&ctx, &main] {
        if (!hasRows(ctx.data.Qry_Cust)) return;
        Frm_AddSchedule editor(ctx, Frm_AddSchedule::Mode::Add, &main);
        ctx.runModal(editor);
    });
    main.setHandler(QStringLiteral("EditSchedule"), [&ctx, &main] {
        if (!hasRows(ctx.data.Qry_Schedule)) return;
        Frm_AddSchedule editor(ctx, Frm_AddSchedule::Mode::Edit, &main);
        ctx.runModal(editor);
    });
}

}  // namespace qv
