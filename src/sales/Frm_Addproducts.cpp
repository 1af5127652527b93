#include "Frm_Addproducts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "CommandGuard.h"
#include "Context.h"
#include "DBNavigator.h"
#include "EditorForm.h"
#include "EnterMovesFocus.h"
#include "Frm_Data.h"
#include "RefillComboBox.h"

namespace qv {

namespace {

const QString kOther = QStringLiteral("Other");
const QString kGoodsCode = QStringLiteral("GoodsCode");

// Widths of the product columns: a box never takes more than its column holds.
constexpr int kText = 50;
constexpr int kLongText = 200;

}  // namespace

Frm_Addproducts::Frm_Addproducts(Context& ctx, Mode mode, ProductCategoryPicker pickCategory, QWidget* parent)
    : QDialog(parent), ctx_(ctx), mode_(mode), pickCategory_(std::move(pickCategory)) {
    setObjectName(QStringLiteral("Frm_Addproducts"));
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(buildBasicPage(), QStringLiteral("商品基本信息"));
    PageControl1->addTab(buildDetailPage(), QStringLiteral("商品详细信息"));
    layout->addWidget(PageControl1);

    auto* bottom = new QHBoxLayout;
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setPrompter(&ctx_.prompter);
    bottom->addWidget(DBNavigator1);
    bottom->addStretch(1);
    Btn_OK = new QPushButton(this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_Close = new QPushButton(QStringLiteral("关闭(&Q)"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    for (QPushButton* b : {Btn_OK, Btn_Close}) {
        // Enter moves between the entries; it presses a button only when the button has the focus.
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    layout->addLayout(bottom);
    EnterMovesFocus::install(this);

    connect(Btn_OK, &QPushButton::clicked, this, [this] { save(); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(cb_Auto, &QCheckBox::clicked, this,
            [this](bool on) { runGuarded(ctx_.prompter, this, [this, on] { autoToggled(on); }); });
    connect(Btn_Category, &QToolButton::clicked, this,
            [this] { runGuarded(ctx_.prompter, this, [this] { chooseCategory(); }); });
    connect(DBNavigator1, &DBNavigator::moved, this,
            [this] { runGuarded(ctx_.prompter, this, [this] { loadCurrent(); }); });
    resize(640, 440);

    applyFieldCaptions();
    readAutoCoding();
    if (mode_ == Mode::Add)
        showAdd();
    else
        showEdit();
}

Frm_Addproducts::~Frm_Addproducts() = default;

// --- building -------------------------------------------------------------------------------------

QWidget* Frm_Addproducts::buildBasicPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);

    Edit_Category = formLineEdit(page, "Edit_Category", kLongText);
    Edit_Category->setReadOnly(true);
    Btn_Category = new QToolButton(page);
    Btn_Category->setObjectName(QStringLiteral("Btn_Category"));
    Btn_Category->setText(QStringLiteral("..."));
    addFormRow(grid, 0, 0, QStringLiteral("商品类别"), Edit_Category,
               withSide(page, Edit_Category, {Btn_Category}));

    Edit_Code = formLineEdit(page, "Edit_Code", kText);
    cb_Auto = new QCheckBox(QStringLiteral("自动"), page);
    cb_Auto->setObjectName(QStringLiteral("cb_Auto"));
    cb_Auto->setToolTip(QStringLiteral("自动生成商品编码"));
    addFormRow(grid, 1, 0, QStringLiteral("商品编码"), Edit_Code, withSide(page, Edit_Code, {cb_Auto}));

    Edit_Name = formLineEdit(page, "Edit_Name", kLongText);
    auto* star = new QLabel(QStringLiteral("*"), page);
    star->setStyleSheet(QStringLiteral("color: red"));
    addFormRow(grid, 2, 0, QStringLiteral("商品名称"), Edit_Name, withSide(page, Edit_Name, {star}));
    Edit_Specific = formLineEdit(page, "Edit_Specific", kText);
    addFormRow(grid, 3, 0, QStringLiteral("商品规格"), Edit_Specific);

    Combo_Unit = new RefillComboBox(page);
    Combo_Unit->setObjectName(QStringLiteral("Combo_Unit"));
    Combo_Unit->setEditable(true);
    Combo_Unit->lineEdit()->setMaxLength(kText);
    Combo_Unit->setPrompter(&ctx_.prompter);
    Combo_Unit->setSource([this] { return readUnits(); });
    addFormRow(grid, 4, 0, QStringLiteral("计量单位"), Combo_Unit);

    // Prices take digits and the full stop only.
    Edit_SalePrice = formLineEdit(page, "Edit_SalePrice", kText, true);
    addFormRow(grid, 5, 0, QStringLiteral("销售定价"), Edit_SalePrice);
    Edit_CostPrice = formLineEdit(page, "Edit_CostPrice", kText, true);
    addFormRow(grid, 6, 0, QStringLiteral("成本价"), Edit_CostPrice);

    Memo1 = new QPlainTextEdit(page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    addFormRow(grid, 7, 0, QStringLiteral("备注信息"), Memo1);
    grid->setRowStretch(7, 1);
    return page;
}

QWidget* Frm_Addproducts::buildDetailPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* grid = new QGridLayout(page);
    for (int c = 0; c < 3; ++c) grid->setColumnStretch(c * 2 + 1, 1);
    // Labels carry the column names (their captions come from the field configuration); the boxes
    // have names of their own, so that a caption never lands in a box.
    for (int i = 0; i < kFreeFields; ++i) {
        Edit_Goods[i] = new QLineEdit(page);
        Edit_Goods[i]->setObjectName(QStringLiteral("Edit_Goods%1").arg(i + 1));
        Edit_Goods[i]->setMaxLength(kText);
        Goods[i] = new QLabel(QStringLiteral("字符项%1").arg(i + 1), page);
        Goods[i]->setObjectName(QStringLiteral("Goods%1").arg(i + 1));
        Goods[i]->setBuddy(Edit_Goods[i]);
        const int row = i / 3, col = i % 3;
        grid->addWidget(Goods[i], row, col * 2, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(Edit_Goods[i], row, col * 2 + 1);
    }
    grid->setRowStretch(kFreeFields / 3 + 1, 1);
    return page;
}

QStringList Frm_Addproducts::readUnits() const {
    // In table order, as the operator entered them in the unit list.
    QSqlQuery q = ctx_.data.db().exec(QStringLiteral("select * from Dict_unit order by ID"));
    const int col = q.record().indexOf(QStringLiteral("name"));
    QStringList out;
    while (q.next()) out << q.value(col < 0 ? 1 : col).toString().trimmed();
    return out;
}

// --- showing and loading --------------------------------------------------------------------------

void Frm_Addproducts::applyFieldCaptions() {
    QSqlQuery q =
        ctx_.data.db().exec(QStringLiteral("select * From T_FieldShow where tablename=:key order by ID"),
                            {{QStringLiteral("key"), QStringLiteral("Products")}});
    const int fieldCol = q.record().indexOf(QStringLiteral("Field"));
    const int nameCol = q.record().indexOf(QStringLiteral("Name"));
    const QList<QLabel*> labels = findChildren<QLabel*>();
    while (q.next()) {
        const QString name = q.value(fieldCol).toString();
        for (QLabel* label : labels)
            if (!name.isEmpty() && label->objectName().compare(name, Qt::CaseInsensitive) == 0)
                label->setText(q.value(nameCol).toString());
    }
}

void Frm_Addproducts::readAutoCoding() {
    QSqlQuery q = ctx_.data.db().exec(QStringLiteral("select * from T_SoftInfo order by ID"));
    const int col = q.record().indexOf(QStringLiteral("autocoding"));
    const bool on = q.next() && col >= 0 && q.value(col).toInt() == 1;
    cb_Auto->setChecked(on);
    ctx_.options.autocoding = on;
}

void Frm_Addproducts::clearEntries() {
    Edit_Name->clear();
    Edit_Specific->clear();
    Combo_Unit->setEditText(QString());
    Memo1->clear();
    Edit_SalePrice->setText(QStringLiteral("0"));
    Edit_CostPrice->setText(QStringLiteral("0"));
}

void Frm_Addproducts::showAdd() {
    setWindowTitle(QStringLiteral("添加商品"));
    Btn_OK->setText(QStringLiteral("新增(&A)"));
    clearEntries();
    Edit_Code->setText(cb_Auto->isChecked() ? ctx_.data.ini().readString(kOther, kGoodsCode) : QString());
    categoryCode_.clear();
    Edit_Category->clear();
    DBNavigator1->setEnabled(false);
    Edit_Code->setFocus();
}

void Frm_Addproducts::showEdit() {
    setWindowTitle(QStringLiteral("编辑商品"));
    Btn_OK->setText(QStringLiteral("保存(&S)"));
    Dataset& products = *ctx_.data.Qry_Products;
    DBNavigator1->setDataset(&products);
    if (!products.isOpen() || products.rowCount() == 0 || products.currentRow() < 0) {
        clearEntries();
        return;
    }
    loadCurrent();
    Edit_Name->setFocus();
}

void Frm_Addproducts::loadCurrent() {
    Dataset& p = *ctx_.data.Qry_Products;
    auto text = [&p](const char* column) { return p.text(QString::fromLatin1(column)); };
    categoryCode_ = text("GoodsType");
    QString category;
    if (!categoryCode_.isEmpty()) {
        QSqlQuery q = ctx_.data.db().exec(
            QStringLiteral("select * from Dict_Product_Category where Code=:code order by ID"),
            {{QStringLiteral("code"), categoryCode_}});
        const int col = q.record().indexOf(QStringLiteral("Name"));
        if (q.next() && col >= 0) category = q.value(col).toString();
    }
    Edit_Category->setText(category);
    loadedCode_ = text("Product_Code");
    loadedId_ = p.value(QStringLiteral("Product_ID"));
    Edit_Code->setText(loadedCode_);
    Edit_Name->setText(text("Product"));
    Edit_Specific->setText(text("Product_Specific"));
    Edit_SalePrice->setText(text("SalePrice"));
    Edit_CostPrice->setText(text("CostPrice"));
    Combo_Unit->setEditText(text("Unit_Name"));
    Memo1->setPlainText(text("Memo"));
    for (int i = 0; i < kFreeFields; ++i)
        Edit_Goods[i]->setText(p.text(QStringLiteral("Goods%1").arg(i + 1)));
}

void Frm_Addproducts::chooseCategory() {
    if (!pickCategory_) return;
    const auto choice = pickCategory_(this);
    if (!choice) return;
    categoryCode_ = choice->code.trimmed();
    Edit_Category->setText(choice->name);
}

void Frm_Addproducts::autoToggled(bool on) {
    // The switch is shared by every workstation; the counter is this workstation's.
    ctx_.data.db().execute(QStringLiteral("update T_SoftInfo set autocoding=:on"),
                           {{QStringLiteral("on"), on ? 1 : 0}});
    ctx_.options.autocoding = on;
    Edit_Code->setText(on ? ctx_.data.ini().readString(kOther, kGoodsCode) : QString());
}

void Frm_Addproducts::done(int result) {
    // The next editor on this workstation offers the code the box holds now.
    if (mode_ == Mode::Add && cb_Auto->isChecked())
        ctx_.data.ini().writeString(kOther, kGoodsCode, Edit_Code->text());
    QDialog::done(result);
}

}  // namespace qv
