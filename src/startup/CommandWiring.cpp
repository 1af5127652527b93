#include "CommandWiring.h"

#include "ActivityCommands.h"
#include "AdminCommands.h"
#include "Context.h"
#include "CustomerEditorCommands.h"
#include "Frm_FieldNames.h"
#include "Frm_FieldShow.h"
#include "Frm_Main.h"
#include "Frm_Tree.h"
#include "ListCommands.h"
#include "RecordCommands.h"
#include "ReportWiring.h"
#include "SalesCommands.h"
#include "WorkbenchCommands.h"

namespace qv {

void installCommands(Context& ctx, Frm_Main& main) {
    // Column configuration of the customer grid and the three field-name dialogs.
    main.setHandler(QStringLiteral("ShowField_Cust"),
                    [&ctx, &main] { ShowFieldChooser(ctx, QStringLiteral("Custom"), &main); });
    main.setHandler(QStringLiteral("Menu_CustCaptions"),
                    [&ctx, &main] { ShowFieldNames(ctx, Frm_FieldNames::Kind::Customer, &main); });
    main.setHandler(QStringLiteral("Menu_ProductCaptions"),
                    [&ctx, &main] { ShowFieldNames(ctx, Frm_FieldNames::Kind::Product, &main); });
    main.setHandler(QStringLiteral("Menu_SaleCaptions"),
                    [&ctx, &main] { ShowFieldNames(ctx, Frm_FieldNames::Kind::Sale, &main); });

    // Category trees.
    main.setHandler(QStringLiteral("M_Cust_Category"),
                    [&ctx, &main] { openCategoryEditor(ctx, CategoryKind::Customer, &main); });
    main.setHandler(QStringLiteral("M_Products_Category"),
                    [&ctx, &main] { openCategoryEditor(ctx, CategoryKind::Product, &main); });

    installRecordCommands(ctx, main);
    installWorkbenchCommands(ctx, main);
    installListCommands(ctx, main);
    installCustomerEditorCommands(ctx, main);
    installActivityCommands(ctx, main);
    installAdminCommands(ctx, main);
    installSalesCommands(ctx, main, [&ctx](QWidget* parent) -> std::optional<ProductCategory> {
        const auto choice = pickCategory(ctx, CategoryKind::Product, CategoryCaller::ProductEditor, parent);
        if (!choice) return std::nullopt;
        return ProductCategory{choice->code, choice->name};
    });
    installReportCommands(ctx, main);
}

}  // namespace qv
