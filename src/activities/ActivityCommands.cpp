#include "ActivityCommands.h"

#include <QMdiSubWindow>

#include "ActivityLists.h"
#include "Context.h"
#include "Dataset.h"
#include "FollowUpKinds.h"
#include "Frm_A_Schedule.h"
#include "Frm_A_contact.h"
#include "Frm_AddSchedule.h"
#include "Frm_Awoke.h"
#include "Frm_Data.h"
#include "Frm_FollowUp.h"
#include "Frm_Main.h"

namespace qv {

namespace {

bool hasRows(const Dataset* ds) { return ds && ds->isOpen() && ds->rowCount() > 0 && ds->currentRow() >= 0; }

void openReminders(Context& ctx, Frm_Main& main) {
    Frm_Awoke window(ctx, &main);
    ctx.runModal(window);
}

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

    // The follow-up records: adding needs a current customer, editing a current record of the kind.
    for (const FollowUpKind& kind : followUpKinds()) {
        main.setHandler(QLatin1String(kind.addCommand), [&ctx, &main, &kind] {
            if (!hasRows(ctx.data.Qry_Cust)) return;
            Frm_FollowUp editor(ctx, kind, Frm_FollowUp::Mode::Add, &main);
            ctx.runModal(editor);
        });
        main.setHandler(QLatin1String(kind.editCommand), [&ctx, &main, &kind] {
            if (!hasRows(ctx.data.*kind.dataset)) return;
            Frm_FollowUp editor(ctx, kind, Frm_FollowUp::Mode::Edit, &main);
            ctx.runModal(editor);
        });
    }

    main.setHandler(Frm_Main::kScheduleList, [&ctx, &main] {
        bool created = false;
        auto* w = main.showChildForm<Frm_A_Schedule>([&ctx, &created] {
            created = true;
            return new Frm_A_Schedule(ctx);
        });
        if (!w || !created) return;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) sub->showMaximized();
        w->prepare();
    });
    const auto scheduleStat = [&ctx, &main] {
        if (auto* w = main.showChildForm<Frm_A_contact>([&ctx] { return new Frm_A_contact(ctx); }))
            w->prepare();
    };
    main.setHandler(QStringLiteral("Menu_ScheduleStat"), scheduleStat);
    main.setHandler(QStringLiteral("Drop_ScheduleStat"), scheduleStat);

    // The activity list reports, each from its menu entry and its twin in the toolbar's drop-down.
    const auto listCommand = [&main](const char* menu, const char* drop, auto create) {
        const auto open = [&main, create] {
            bool created = false;
            using W = std::remove_pointer_t<decltype(create())>;
            auto* w = main.showChildForm<W>([&created, &create] {
                created = true;
                return create();
            });
            if (!w) return;
            if (created && w->objectName() == QLatin1String("Frm_A_relation"))
                if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) sub->showMaximized();
            w->prepare();
        };
        main.setHandler(QLatin1String(menu), open);
        if (drop) main.setHandler(QLatin1String(drop), open);
    };
    listCommand("Menu_PriceStat", "Drop_PriceStat", [&ctx] { return new Frm_A_price(ctx); });
    listCommand("Menu_VisitStat", "Drop_VisitStat", [&ctx] { return new Frm_A_visit(ctx); });
    listCommand("Menu_FeedbackStat", "Drop_FeedbackStat", [&ctx] { return new Frm_A_feedback(ctx); });
    listCommand("Menu_TrackStat", "Drop_TrackStat", [&ctx] { return new Frm_A_track(ctx); });
    listCommand("Menu_BargainStat", "Drop_BargainStat", [&ctx] { return new Frm_A_bargain(ctx); });
    listCommand("Menu_ContactList", nullptr, [&ctx] { return new Frm_A_relation(ctx); });

    // The menu entry opens the reminders at any time; showing them stops the login timer, so the
    // window does not come up a second time by itself.
    main.setHandler(QStringLiteral("Menu_Reminder"), [&ctx, &main] { openReminders(ctx, main); });
    QObject::connect(&main, &Frm_Main::reminderDue, &main, [&ctx, &main] { openReminders(ctx, main); });
}

}  // namespace qv
