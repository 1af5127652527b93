#include "Frm_Products.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CommandGuard.h"
#include "Context.h"
#include "DBGrid.h"
#include "Frm_Data.h"
#include "Frm_Main.h"
#include "Frm_S_goods.h"
#include "GridExport.h"
#include "GridPrint.h"
#include "GridServices.h"
#include "LoginState.h"

namespace qv {

namespace {

const QString kCategoryTable = QStringLiteral("Dict_Product_Category");
const QString kCategoryRoot = QStringLiteral("商品分类");
const QString kPrintTitle = QStringLiteral("货品列表");

constexpr int kPrintRight = 13;
constexpr int kSearchRight = 14;
constexpr int kExportRight = 15;

// The hourglass while the list loads.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

Frm_Products::Frm_Products(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Frm_Products"));
    setWindowTitle(QStringLiteral("商品管理"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto* heading = new QLabel(QStringLiteral("商品资料"), this);
    heading->setObjectName(QStringLiteral("Label_Heading"));
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    heading->setFont(big);
    layout->addWidget(heading);

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    Btn_Add = commandButton(QStringLiteral("AddProducts"));
    Btn_Edit = commandButton(QStringLiteral("EditProducts"));
    Btn_Del = commandButton(QStringLiteral("DelProducts"));
    Btn_Search = ownButton("Btn_Search", QStringLiteral("查找&S"));
    Btn_Excel = ownButton("Btn_Excel", QStringLiteral("Excel"));
    Btn_Print = ownButton("Btn_Print", QStringLiteral("打印&P"));
    for (QToolButton* b : {Btn_Add, Btn_Edit, Btn_Del, Btn_Search, Btn_Excel, Btn_Print}) bar->addWidget(b);
    connect(Btn_Search, &QToolButton::clicked, this, [this] { guarded([this] { search(); }); });
    connect(Btn_Excel, &QToolButton::clicked, this, [this] { guarded([this] { exportGrid(); }); });
    connect(Btn_Print, &QToolButton::clicked, this, [this] { guarded([this] { printGrid(); }); });
    layout->addWidget(bar);

    auto* split = new QSplitter(Qt::Horizontal, this);
    TreeView1 = new QTreeWidget(split);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeView1, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { guarded([this, item] { categoryClicked(item); }); });
    connect(TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { treeMenu_->popup(TreeView1->viewport()->mapToGlobal(pos)); });

    Grid_Products = new DBGrid(split);
    Grid_Products->setObjectName(QStringLiteral("Grid_Products"));
    Grid_Products->setReadOnly(true);
    Grid_Products->setRowSelect(true);
    Grid_Products->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid_Products->view(), &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        gridMenu_->popup(Grid_Products->view()->viewport()->mapToGlobal(pos));
    });
    connect(Grid_Products, &DBGrid::rowDoubleClicked, this, [this] {
        if (QAction* a = mainAction(QStringLiteral("EditProducts"))) a->trigger();
    });
    split->addWidget(TreeView1);
    split->addWidget(Grid_Products);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 900});
    layout->addWidget(split, 1);

    auto* status = new QStatusBar(this);
    StatusText = new QLabel(status);
    StatusText->setObjectName(QStringLiteral("StatusText"));
    status->addWidget(StatusText, 1);
    layout->addWidget(status);

    gridMenu_ = new QMenu(this);
    gridMenu_->setObjectName(QStringLiteral("Menu_Products"));
    for (const char* name : {"AddProducts", "EditProducts", "DelProducts"})
        if (QAction* a = mainAction(QString::fromLatin1(name))) gridMenu_->addAction(a);
    treeMenu_ = new QMenu(this);
    treeMenu_->setObjectName(QStringLiteral("Menu_Tree"));
    QAction* refresh = treeMenu_->addAction(QStringLiteral("刷新"));
    refresh->setObjectName(QStringLiteral("Menu_TreeRefresh"));
    connect(refresh, &QAction::triggered, this, [this] { guarded([this] { reloadTree(); }); });
    if (QAction* a = mainAction(QStringLiteral("M_Products_Category"))) treeMenu_->addAction(a);
    resize(1000, 640);
}

Frm_Products::~Frm_Products() = default;

QAction* Frm_Products::mainAction(const QString& name) const {
    return ctx_.main ? ctx_.main->action(name) : nullptr;
}

bool Frm_Products::guarded(const std::function<void()>& fn) { return runGuarded(ctx_.prompter, this, fn); }

QToolButton* Frm_Products::commandButton(const QString& action) {
    auto* b = new QToolButton(this);
    b->setObjectName(QStringLiteral("Btn_") + action);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // The main window's action: its right and state reach the button; the caption keeps its
    // accelerator, as the command has it.
    if (QAction* a = mainAction(action)) {
        b->setDefaultAction(a);
        b->setText(a->text());
        connect(a, &QAction::changed, b, [a, b] { b->setText(a->text()); });
    } else {
        b->setEnabled(false);
    }
    return b;
}

QToolButton* Frm_Products::ownButton(const char* name, const QString& caption) {
    auto* b = new QToolButton(this);
    b->setObjectName(QLatin1String(name));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setText(caption);
    return b;
}

void Frm_Products::load() {
    const LoginState* login = ctx_.login;
    auto right = [login](int k) { return login && login->right(k); };
    Btn_Search->setEnabled(right(kSearchRight));
    Btn_Excel->setEnabled(right(kExportRight));
    Btn_Print->setEnabled(right(kPrintRight));
    Frm_Data& d = ctx_.data;
    if (guarded([&d] { d.OpenQuery(*d.Qry_Products, QStringLiteral("select * from T_products")); })) {
        guarded([this] { applyLayout(); });
        showCount(kCountOpened);
    }
    guarded([this] { reloadTree(); });
}

void Frm_Products::applyLayout() {
    ApplyGridLayout(ctx_, *Grid_Products, *ctx_.data.Qry_Products, QStringLiteral("Products"));
}

void Frm_Products::showCount(const QString& pattern) {
    Dataset& products = *ctx_.data.Qry_Products;
    StatusText->setText(pattern.arg(products.isOpen() ? products.recordCount() : 0));
}

void Frm_Products::reloadTree() {
    LoadCodeTree(ctx_, *TreeView1, kCategoryTable, kCategoryRoot);
    if (QTreeWidgetItem* root = TreeView1->topLevelItem(0)) {
        root->setExpanded(true);
        TreeView1->setCurrentItem(root);
    }
}

void Frm_Products::categoryClicked(QTreeWidgetItem* item) {
    if (!item || TreeView1->topLevelItemCount() == 0) return;
    WaitCursor wait;
    Frm_Data& d = ctx_.data;
    if (item->parent()) {
        const QString text = item->text(0);
        const qsizetype dash = text.indexOf(QLatin1Char('-'));
        const QString code = dash < 0 ? text : text.left(dash);
        // Child codes begin with their parent's code: the prefix takes in the whole branch.
        d.OpenQuery(*d.Qry_Products, QStringLiteral("Select * from T_products where  GoodsType like :code"),
                    {{QStringLiteral("code"), code + QLatin1Char('%')}});
    } else {
        d.OpenQuery(*d.Qry_Products, QStringLiteral("Select * from T_products"));
    }
    showCount(kCountCategory);
    applyLayout();
}

void Frm_Products::search() {
    Frm_S_goods dialog(ctx_, this);
    connect(&dialog, &Frm_S_goods::searched, this, [this] {
        applyLayout();
        showCount(kCountSearch);
    });
    ctx_.runModal(dialog);
}

void Frm_Products::exportGrid() {
    if (!Btn_Excel->isEnabled()) return;
    ExportGridToExcel(ctx_, *ctx_.data.Qry_Products, *Grid_Products);
}

void Frm_Products::printGrid() {
    if (!Btn_Print->isEnabled()) return;
    GridPrintOptions options;
    options.title = kPrintTitle;
    PreviewGrid(ctx_, *Grid_Products, options, this);
}

}  // namespace qv
