#include "SalesCommands.h"

#include <QApplication>
#include <QScreen>
#include <memory>

#include "Context.h"
#include "Frm_Addproducts.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "Frm_Products.h"

namespace qv {

namespace {

bool hasRows(const Dataset* ds) { return ds && ds->isOpen() && ds->rowCount() > 0 && ds->currentRow() >= 0; }

}  // namespace

void installSalesCommands(Context& ctx, Frm_Main& main, ProductCategoryPicker pickCategory) {
    main.setHandler(Frm_Main::kProductList, [&ctx, &main] {
        Frm_Products window(ctx, &main);
        // Sized to the screen first, so that it fills it also where no window manager maximises it.
        if (QScreen* screen = main.screen()) window.setGeometry(screen->availableGeometry());
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        window.load();
        ctx.runModal(window);
    });

    // One product editor at a time (the window's button and the main menu reach the same command).
    auto editorOpen = std::make_shared<bool>(false);
    auto openEditor = [&ctx, &main, editorOpen, pickCategory](Frm_Addproducts::Mode mode) {
        if (*editorOpen) return;
        if (mode == Frm_Addproducts::Mode::Edit && !hasRows(ctx.data.Qry_Products)) return;
        *editorOpen = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{*editorOpen};
        QWidget* parent = QApplication::activeModalWidget();
        Frm_Addproducts editor(ctx, mode, pickCategory, parent ? parent : &main);
        ctx.runModal(editor);
    };
    main.setHandler(QStringLiteral("AddProducts"), [openEditor] { openEditor(Frm_Addproducts::Mode::Add); });
    main.setHandler(QStringLiteral("EditProducts"),
                    [openEditor] { openEditor(Frm_Addproducts::Mode::Edit); });
}

}  // namespace qv
