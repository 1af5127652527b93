#include "Frm_Custom.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CommandGuard.h"
#include "Context.h"
#include "DBGrid.h"
#include "Frm_Data.h"
#include "Frm_FieldShow.h"
#include "Frm_Main.h"
#include "GridExport.h"
#include "GridServices.h"
#include "LoginState.h"
#include "RecordCommands.h"

namespace qv {

namespace {

const QString kCaption = QStringLiteral("客户信息");
const QString kCustomKey = QStringLiteral("Custom");
const QString kCategoryTable = QStringLiteral("Dict_Cust_Category");
const QString kCategoryRoot = QStringLiteral("客户分类");
const QString kCustCode = QStringLiteral("CustCode");

constexpr int kSearchRight = 5;
constexpr int kBatchEditRight = 6;
constexpr int kExportRight = 7;

// The hourglass while a list loads.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

bool hasRows(const Dataset& ds) { return ds.isOpen() && ds.rowCount() > 0; }

}  // namespace

Frm_Custom::Frm_Custom(Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Frm_Custom"));
    setWindowTitle(kCaption);

    Frm_Data& d = ctx_.data;
    auto page = [](const char* caption, const char* grid, Dataset* ds, const char* layoutKey,
                   const char* chooserKey, const char* saveKey, const char* kind) {
        Page p;
        p.caption = QString::fromUtf8(caption);
        p.gridName = QString::fromLatin1(grid);
        p.dataset = ds;
        p.layoutKey = QString::fromLatin1(layoutKey);
        p.chooserKey = QString::fromLatin1(chooserKey);
        p.saveKey = QString::fromLatin1(saveKey);
        const QString k = QString::fromLatin1(kind);
        p.add = QStringLiteral("Add") + k;
        p.edit = QStringLiteral("Edit") + k;
        p.del = QStringLiteral("Del") + k;
        return p;
    };
    pages_ = {
        page("联系人资料", "Grid_Contact", d.Qry_Contact, "Contact", "contact", "contact", "Contact"),
        page("工作日程", "Grid_Sch", d.Qry_Schedule, "Schedule", "schedule", "Schedule", "Schedule"),
        page("销售记录", "Grid_Sale", d.Qry_Sale, "sale", "sale", "sale", "sale"),
        page("商品报价", "Grid_price", d.Qry_price, "price", "price", "price", "price"),
        page("售后回访", "Grid_visit", d.Qry_visit, "visit", "visit", "visit", "visit"),
        page("投诉反馈", "Grid_suggest", d.Qry_feedback, "feedback", "feedback", "feedback", "feedback"),
        page("客户跟进", "Grid_track", d.Qry_track, "track", "track", "track", "track"),
        page("合同管理", "Grid_bargain", d.Qry_bargain, "bargain", "bargain", "bargain", "bargain"),
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* strip = new QWidget(this);
    buildSearchStrip(strip);
    layout->addWidget(strip);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("Splitter_Tree"));
    split->addWidget(buildTree());
    auto* right = new QSplitter(Qt::Vertical, split);
    right->setObjectName(QStringLiteral("Splitter_Pages"));
    right->addWidget(buildCustomerPage());
    PageControl1 = new QTabWidget(right);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    for (Page& p : pages_) PageControl1->addTab(buildDetailPage(p), p.caption);
    right->addWidget(PageControl1);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    split->addWidget(right);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({180, 900});
    layout->addWidget(split, 1);

    buildCustomerMenu();
    buildTreeMenu();
    for (Page& p : pages_) buildDetailMenu(p);

    // The sales page is not linked to the customer list: it follows the current customer's code.
    Dataset* customers = d.Qry_Cust;
    connect(customers, &Dataset::currentRowChanged, this, &Frm_Custom::followCurrentCustomer);
    connect(customers, &Dataset::closed, this, &Frm_Custom::followCurrentCustomer);

    if (ctx_.main) {
        setCustomerSelection(*ctx_.main, this, [this] { return selectedCustomers(); });
        status_ = ctx_.main->statusPanel(2);
    }
    Edit_Key->clear();
}

Frm_Custom::~Frm_Custom() {
    if (status_) status_->clear();
}

// --- building -------------------------------------------------------------------------------------

void Frm_Custom::buildSearchStrip(QWidget* host) {
    auto* row = new QHBoxLayout(host);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("查询条件"), host));
    Combo_Type = new QComboBox(host);
    Combo_Type->setObjectName(QStringLiteral("Combo_Type"));
    Combo_Type->addItems(workbench::searchEntries());
    Combo_Type->setCurrentIndex(workbench::kDefaultEntry);
    Combo_Type->setMinimumWidth(110);
    connect(Combo_Type, &QComboBox::currentIndexChanged, this, &Frm_Custom::searchEntryChosen);
    row->addWidget(Combo_Type);
    row->addWidget(new QLabel(QStringLiteral("包含"), host));
    Edit_Key = new QLineEdit(host);
    Edit_Key->setObjectName(QStringLiteral("Edit_Key"));
    Edit_Key->setMinimumWidth(200);
    row->addWidget(Edit_Key);
    Btn_Search = new QPushButton(QStringLiteral("查询(&S)"), host);
    Btn_Search->setObjectName(QStringLiteral("Btn_Search"));
    row->addWidget(Btn_Search);
    Btn_CombinedSearch = new QToolButton(host);
    Btn_CombinedSearch->setObjectName(QStringLiteral("Btn_CombinedSearch"));
    Btn_CombinedSearch->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const QString combined = QStringLiteral("组合查询(&A)");
    if (QAction* a = mainAction(QStringLiteral("SearchCust"))) {
        Btn_CombinedSearch->setDefaultAction(a);
        connect(a, &QAction::changed, Btn_CombinedSearch,
                [this, combined] { Btn_CombinedSearch->setText(combined); });
    } else {
        Btn_CombinedSearch->setEnabled(false);
    }
    Btn_CombinedSearch->setText(combined);
    row->addWidget(Btn_CombinedSearch);
    row->addStretch(1);

    auto search = [this] {
        if (Btn_Search->isEnabled()) guarded([this] { quickSearch(); });
    };
    connect(Btn_Search, &QPushButton::clicked, this, search);
    connect(Edit_Key, &QLineEdit::returnPressed, this, search);
}

QWidget* Frm_Custom::buildTree() {
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setToolTip(QStringLiteral("管理客户分类"));
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeView1, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { guarded([this, item] { categoryClicked(item); }); });
    connect(TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { treeMenu_->popup(TreeView1->viewport()->mapToGlobal(pos)); });
    return TreeView1;
}

QWidget* Frm_Custom::buildCustomerPage() {
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl_Cust"));
    auto* page = new QWidget(tabs);
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    Grid_Cust = new DBGrid(page);
    Grid_Cust->setObjectName(QStringLiteral("Grid_Cust"));
    Grid_Cust->setReadOnly(true);
    Grid_Cust->setRowSelect(true);
    Grid_Cust->setMultiSelect(true);
    Grid_Cust->view()->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_Cust->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid_Cust->view(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { custMenu_->popup(Grid_Cust->view()->viewport()->mapToGlobal(pos)); });
    connect(Grid_Cust, &DBGrid::rowDoubleClicked, this,
            [this] { guarded([this] { customerDoubleClicked(); }); });
    box->addWidget(Grid_Cust);
    tabs->addTab(page, QStringLiteral("客户资料"));
    return tabs;
}

QWidget* Frm_Custom::buildDetailPage(Page& p) {
    auto* host = new QWidget(this);
    auto* box = new QVBoxLayout(host);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(1);
    auto* buttons = new QHBoxLayout;
    for (const QString& name : {p.add, p.edit, p.del}) {
        auto* b = new QToolButton(host);
        b->setObjectName(QStringLiteral("Btn_") + name);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setAutoRaise(true);
        // The main window's action: disabling the command disables the button.
        if (QAction* a = mainAction(name)) {
            // The caption with its accelerator, as the command has it (the button would show the
            // action's text without it, again after each change of the action).
            b->setDefaultAction(a);
            b->setText(a->text());
            connect(a, &QAction::changed, b, [a, b] { b->setText(a->text()); });
        } else {
            b->setEnabled(false);
        }
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    box->addLayout(buttons);

    p.grid = new DBGrid(host);
    p.grid->setObjectName(p.gridName);
    p.grid->setReadOnly(true);
    p.grid->setRowSelect(true);
    p.grid->setMultiSelect(true);
    p.grid->setFooterVisible(true);
    p.grid->setDataset(p.dataset);
    p.grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    const int index = int(&p - pages_.data());
    connect(p.grid->view(), &QWidget::customContextMenuRequested, this, [this, index](const QPoint& pos) {
        const Page& pg = pages_[index];
        pg.menu->popup(pg.grid->view()->viewport()->mapToGlobal(pos));
    });
    connect(p.grid, &DBGrid::rowDoubleClicked, this,
            [this, index] { guarded([this, index] { detailDoubleClicked(pages_[index]); }); });
    box->addWidget(p.grid, 1);
    return host;
}

void Frm_Custom::buildCustomerMenu() {
    custMenu_ = new QMenu(this);
    custMenu_->setObjectName(QStringLiteral("Menu_Cust"));
    for (const char* name : {"AddCust", "EditCust", "DelCust", "SearchCust"})
        if (QAction* a = mainAction(QString::fromLatin1(name))) custMenu_->addAction(a);

    auto entry = [this](QMenu* m, const char* name, const char* caption, std::function<void()> fn) {
        QAction* a = m->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, fn] { guarded(fn); });
        return a;
    };
    batchEntry_ = entry(custMenu_, "Menu_CustBatchEdit", "批量修改", [this] {
        if (QAction* a = mainAction(QStringLiteral("BatchEdit"))) a->trigger();
    });
    entry(custMenu_, "Menu_CustShowField", "设置列显示", [this] {
        // The chooser is the main window's command; the grid shows the new choice when it closes.
        if (QAction* a = mainAction(QStringLiteral("ShowField_Cust"))) a->trigger();
        applyCustomerLayout();
    });
    entry(custMenu_, "Menu_CustSaveLayout", "保存列属性",
          [this] { SaveGridLayout(ctx_, *Grid_Cust, kCustomKey, true); });
    QAction* refresh = entry(custMenu_, "Menu_CustRefresh", "刷新", [this] { refreshCustomers(); });
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    refresh->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(refresh);

    exportMenu_ = custMenu_->addMenu(QStringLiteral("导出数据"));
    exportMenu_->setObjectName(QStringLiteral("Menu_CustExport"));
    entry(exportMenu_, "Menu_ExportMobile", "导出客户手机号码",
          [this] { runMainCommand(QStringLiteral("ExportMobile")); });
    entry(exportMenu_, "Menu_ExportEmail", "导出客户电子信箱", [this] {
        if (QAction* a = mainAction(QStringLiteral("ExportEmail"))) a->trigger();
    });
    // Not a command of the main window: the entry asks for the export right itself, as the
    // commands do, whatever reaches it.
    entry(exportMenu_, "Menu_ExportExcel", "导出客户为Excel文件", [this] {
        if (ctx_.login && ctx_.login->right(kExportRight))
            ExportGridToExcel(ctx_, *ctx_.data.Qry_Cust, *Grid_Cust);
    });
}

void Frm_Custom::buildTreeMenu() {
    treeMenu_ = new QMenu(this);
    treeMenu_->setObjectName(QStringLiteral("Menu_Tree"));
    QAction* refresh = treeMenu_->addAction(QStringLiteral("刷新"));
    refresh->setObjectName(QStringLiteral("Menu_TreeRefresh"));
    connect(refresh, &QAction::triggered, this, [this] { guarded([this] { reloadTree(); }); });
    if (QAction* a = mainAction(QStringLiteral("M_Cust_Category"))) treeMenu_->addAction(a);
}

void Frm_Custom::buildDetailMenu(Page& p) {
    p.menu = new QMenu(this);
    p.menu->setObjectName(QStringLiteral("Menu_") + p.gridName);
    for (const QString& name : {p.add, p.edit, p.del})
        if (QAction* a = mainAction(name)) p.menu->addAction(a);
    const int index = int(&p - pages_.data());
    auto entry = [this, &p](const char* caption, std::function<void()> fn) {
        QAction* a = p.menu->addAction(QString::fromUtf8(caption));
        connect(a, &QAction::triggered, this, [this, fn] { guarded(fn); });
    };
    entry("设置列显示", [this, index] {
        const Page& pg = pages_[index];
        if (ShowFieldChooser(ctx_, pg.chooserKey, this))
            ApplyGridLayout(ctx_, *pg.grid, *pg.dataset, pg.layoutKey);
    });
    entry("保存列属性", [this, index] {
        const Page& pg = pages_[index];
        SaveGridLayout(ctx_, *pg.grid, pg.saveKey, true);
    });
    // Only the columns: the rows are not read again.
    entry("刷新", [this, index] {
        const Page& pg = pages_[index];
        ApplyGridLayout(ctx_, *pg.grid, *pg.dataset, pg.layoutKey);
    });
}

QMenu* Frm_Custom::detailMenu(const QString& gridName) const {
    for (const Page& p : pages_)
        if (p.gridName == gridName) return p.menu;
    return nullptr;
}

// --- showing --------------------------------------------------------------------------------------

bool Frm_Custom::firstShow() {
    if (shown_) return false;
    shown_ = true;
    const LoginState* login = ctx_.login;
    auto right = [login](int k) { return login && login->right(k); };
    Btn_Search->setEnabled(right(kSearchRight));
    batchEntry_->setEnabled(right(kBatchEditRight));
    exportMenu_->menuAction()->setEnabled(right(kExportRight));

    if (guarded([this] { openDetails(); })) showCount();
    guarded([this] { applyAllLayouts(); });
    guarded([this] { reloadTree(); });
    target_ = workbench::Target::Customer;
    return true;
}

void Frm_Custom::openDetails() {
    Frm_Data& d = ctx_.data;
    const workbench::Viewer viewer = workbench::Viewer::of(ctx_.login);
    const workbench::Statement list = workbench::customerList(viewer);
    d.OpenQuery(*d.Qry_Cust, list.sql, list.params);
    const workbench::Statement contacts = workbench::contactList(viewer);
    d.OpenQuery(*d.Qry_Contact, contacts.sql, contacts.params);
    const workbench::Statement schedule = workbench::scheduleList(viewer);
    d.OpenQuery(*d.Qry_Schedule, schedule.sql, schedule.params);
    saleLoaded_ = false;
    followCurrentCustomer();
    const std::pair<Dataset*, const char*> followUps[] = {
        {d.Qry_price, "T_price"},     {d.Qry_visit, "T_visit"},     {d.Qry_feedback, "T_feedback"},
        {d.Qry_track, "T_trackcust"}, {d.Qry_bargain, "T_bargain"},
    };
    for (const auto& [ds, table] : followUps) d.OpenQuery(*ds, workbench::followUpSql(QLatin1String(table)));
}

void Frm_Custom::applyAllLayouts() {
    applyCustomerLayout();
    for (const Page& p : pages_) ApplyGridLayout(ctx_, *p.grid, *p.dataset, p.layoutKey);
}

void Frm_Custom::reloadTree() {
    LoadCodeTree(ctx_, *TreeView1, kCategoryTable, kCategoryRoot);
    TreeView1->setCurrentItem(TreeView1->topLevelItem(0));
}

void Frm_Custom::attachDetails() {
    Frm_Data& d = ctx_.data;
    const workbench::Viewer viewer = workbench::Viewer::of(ctx_.login);
    const std::pair<Dataset*, workbench::Statement> details[] = {
        {d.Qry_Contact, workbench::contactList(viewer)},
        {d.Qry_Schedule, workbench::scheduleList(viewer)},
    };
    for (const auto& [ds, statement] : details) {
        ds->setMaster(d.Qry_Cust, kCustCode, kCustCode);
        // Another window may have given the dataset a statement of its own meanwhile.
        if (!ds->isOpen() || ds->sql() != statement.sql) d.OpenQuery(*ds, statement.sql, statement.params);
    }
}

// --- the customer list ----------------------------------------------------------------------------

void Frm_Custom::loadCustomers(const workbench::Statement& statement) {
    ctx_.data.OpenQuery(*ctx_.data.Qry_Cust, statement.sql, statement.params);
    showCount();
    applyCustomerLayout();
}

void Frm_Custom::loadAllCustomers() {
    loadCustomers(workbench::customerList(workbench::Viewer::of(ctx_.login)));
}

void Frm_Custom::applyCustomerLayout() { ApplyGridLayout(ctx_, *Grid_Cust, *ctx_.data.Qry_Cust, kCustomKey); }

void Frm_Custom::refreshCustomers() {
    Dataset& customers = *ctx_.data.Qry_Cust;
    customers.close();
    customers.open();
    applyCustomerLayout();
}

void Frm_Custom::showCount() {
    if (status_) status_->setText(workbench::countMessage(ctx_.data.Qry_Cust->recordCount()));
}

void Frm_Custom::categoryClicked(QTreeWidgetItem* item) {
    if (!item || TreeView1->topLevelItemCount() == 0) return;
    const WaitCursor wait;
    const workbench::Viewer viewer = workbench::Viewer::of(ctx_.login);
    if (!item->parent())
        loadCustomers(workbench::customerList(viewer));
    else
        loadCustomers(workbench::categoryList(viewer, workbench::categoryCodeOf(item->text(0))));
}

void Frm_Custom::searchEntryChosen(int index) {
    const int settled = workbench::settledEntry(index);
    if (settled != index) {
        Combo_Type->setCurrentIndex(settled);  // comes back here with the entry after the heading
        return;
    }
    target_ = workbench::targetOf(index);
}

void Frm_Custom::quickSearch() {
    const WaitCursor wait;
    Btn_Search->setEnabled(false);
    struct Enable {
        QPushButton* b;
        ~Enable() { b->setEnabled(true); }
    } enable{Btn_Search};
    Frm_Data& d = ctx_.data;
    workbench::Statement statement;
    try {
        statement = workbench::quickSearch(d.db(), workbench::Viewer::of(ctx_.login), target_,
                                           Combo_Type->currentText(), Edit_Key->text());
    } catch (...) {
        d.Qry_Cust->close();  // the list stays closed until the next load succeeds
        throw;
    }
    loadCustomers(statement);
}

QList<int> Frm_Custom::selectedCustomers() const { return Grid_Cust->selectedRows(); }

// --- the current customer -------------------------------------------------------------------------

void Frm_Custom::followCurrentCustomer() {
    if (!shown_) return;
    const Dataset& customers = *ctx_.data.Qry_Cust;
    const QString code =
        customers.isOpen() && customers.currentRow() >= 0 ? customers.text(kCustCode) : QString();
    if (saleLoaded_ && code == saleCode_) return;
    saleLoaded_ = true;
    saleCode_ = code;
    guarded([this, &code] {
        const workbench::Statement bills = workbench::saleList(code);
        ctx_.data.OpenQuery(*ctx_.data.Qry_Sale, bills.sql, bills.params);
    });
}

// A double-click stands for the page's edit command and goes through it, so it asks for the same
// right as the command's button.
void Frm_Custom::customerDoubleClicked() { runMainCommand(QStringLiteral("EditCust")); }

void Frm_Custom::detailDoubleClicked(const Page& page) {
    if (hasRows(*page.dataset)) runMainCommand(page.edit);
}

// --- helpers --------------------------------------------------------------------------------------

bool Frm_Custom::guarded(const std::function<void()>& fn) {
    if (ctx_.main) return ctx_.main->guarded(fn);
    return runGuarded(ctx_.prompter, this, fn);
}

QAction* Frm_Custom::mainAction(const QString& name) const {
    return ctx_.main ? ctx_.main->action(name) : nullptr;
}

void Frm_Custom::runMainCommand(const QString& name) {
    if (ctx_.main) ctx_.main->runCommand(name);
}

}  // namespace qv
