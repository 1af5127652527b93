#include "Frm_AddCust.h"

#include <QCheckBox>
#include <QDateEdit>
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

#include "Clock.h"
#include "CommandGuard.h"
#include "Context.h"
#include "CustomerCodes.h"
#include "DBNavigator.h"
#include "DigitFilter.h"
#include "EditorForm.h"
#include "EditorHooks.h"
#include "EnterMovesFocus.h"
#include "Frm_Data.h"
#include "Frm_Tree.h"
#include "ListEditorButton.h"
#include "LoginState.h"
#include "Prompter.h"
#include "RefillComboBox.h"
#include "Shell.h"

namespace qv {

namespace {

const QString kFormConfig = QStringLiteral("FormConfig");
const QString kAutoCode = QStringLiteral("AutoCode");
const QString kAutoCode2 = QStringLiteral("AutoCode2");
const QString kAutoadd = QStringLiteral("Autoadd");
constexpr int kSeeAllCustomers = 91;

// Widths of the customer columns: a box never takes more than its column holds.
constexpr int kText = 50;
constexpr int kLongText = 200;
constexpr int kPostCode = 6;

QPlainTextEdit* memo(QWidget* parent, const char* name) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(QLatin1String(name));
    m->setTabChangesFocus(true);
    m->setMinimumHeight(60);
    return m;
}

}  // namespace

Frm_AddCust::Frm_AddCust(Context& ctx, Mode mode, QWidget* parent) : QDialog(parent), ctx_(ctx), mode_(mode) {
    buildWidgets();
    wireLists();
    wireButtons();
    setTabOrder();
    if (mode_ == Mode::Add)
        showAdd();
    else
        showEdit();
}

Frm_AddCust::~Frm_AddCust() = default;

// --- building -------------------------------------------------------------------------------------

void Frm_AddCust::buildWidgets() {
    setObjectName(QStringLiteral("Frm_AddCust"));
    auto* layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(buildBasicPage(), QStringLiteral("客户基本信息"));
    PageControl1->addTab(buildDetailPage(), QStringLiteral("客户详细信息"));
    layout->addWidget(PageControl1);

    auto* bottom = new QHBoxLayout;
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setPrompter(&ctx_.prompter);
    bottom->addWidget(DBNavigator1);
    bottom->addStretch(1);
    cb_Continue = new QCheckBox(QStringLiteral("连续新增"), this);
    cb_Continue->setObjectName(QStringLiteral("cb_Continue"));
    bottom->addWidget(cb_Continue);
    Btn_OK = new QPushButton(QStringLiteral("保存(&S)"), this);
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
    resize(680, 500);
}

QWidget* Frm_AddCust::buildBasicPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    Edit_Code = formLineEdit(page, "Edit_Code", kText);
    cb_Auto = new QCheckBox(QStringLiteral("自动"), page);
    cb_Auto->setObjectName(QStringLiteral("cb_Auto"));
    addFormRow(grid, 0, 0, QStringLiteral("客户编号:"), Edit_Code, withSide(page, Edit_Code, {cb_Auto}));
    Edit_CustName = formLineEdit(page, "Edit_CustName", kLongText);
    auto* star = new QLabel(QStringLiteral("*"), page);
    star->setStyleSheet(QStringLiteral("color: red"));
    addFormRow(grid, 0, 1, QStringLiteral("公司名称:"), Edit_CustName, withSide(page, Edit_CustName, {star}));

    Edit_Category = formLineEdit(page, "Edit_Category", kLongText);
    Edit_Category->setReadOnly(true);
    Btn_Category = new QToolButton(page);
    Btn_Category->setObjectName(QStringLiteral("Btn_Category"));
    Btn_Category->setText(QStringLiteral("..."));
    Btn_Category->setFocusPolicy(Qt::NoFocus);
    addFormRow(grid, 1, 0, QStringLiteral("客户分类:"), Edit_Category,
               withSide(page, Edit_Category, {Btn_Category}));
    Edit_Main = formLineEdit(page, "Edit_Main", kText);
    addFormRow(grid, 1, 1, QStringLiteral("主联系人:"), Edit_Main);

    Edit_Mobile = formLineEdit(page, "Edit_Mobile", kText, true);
    addFormRow(grid, 2, 0, QStringLiteral("手机号码:"), Edit_Mobile);
    Edit_tel = formLineEdit(page, "Edit_tel", kText, true);
    addFormRow(grid, 2, 1, QStringLiteral("联系电话:"), Edit_tel);
    Edit_Fax = formLineEdit(page, "Edit_Fax", kText, true);
    addFormRow(grid, 3, 0, QStringLiteral("传真号码:"), Edit_Fax);
    Edit_Address = formLineEdit(page, "Edit_Address", kLongText);
    addFormRow(grid, 3, 1, QStringLiteral("通讯地址:"), Edit_Address);
    Edit_Zip = formLineEdit(page, "Edit_Zip", kPostCode, true);
    addFormRow(grid, 4, 0, QStringLiteral("邮编:"), Edit_Zip);

    auto combo = [page](const char* name) {
        auto* c = new RefillComboBox(page);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->lineEdit()->setMaxLength(kText);
        return c;
    };
    Combo_CustType = combo("Combo_CustType");
    Combo_CustType->addItems({QStringLiteral("正式客户"), QStringLiteral("试用客户")});
    Btn_CustType =
        listEditorButton(ctx_, page, QStringLiteral("Btn_CustType"), QStringLiteral("Menu_CustType"));
    addFormRow(grid, 4, 1, QStringLiteral("客户类型:"), Combo_CustType,
               withSide(page, Combo_CustType, {Btn_CustType}));
    Combo_CustLevel = combo("Combo_CustLevel");
    Btn_CustLevel =
        listEditorButton(ctx_, page, QStringLiteral("Btn_CustLevel"), QStringLiteral("Menu_CustLevel"));
    addFormRow(grid, 5, 0, QStringLiteral("客户级别:"), Combo_CustLevel,
               withSide(page, Combo_CustLevel, {Btn_CustLevel}));
    Edit_Income = formLineEdit(page, "Edit_Income", kText, true);
    addFormRow(grid, 5, 1, QStringLiteral("年收入:"), Edit_Income);

    Edit_Email = formLineEdit(page, "Edit_Email", kText);
    Btn_Send = new QPushButton(QStringLiteral("发送"), page);
    Btn_Send->setObjectName(QStringLiteral("Btn_Send"));
    Edit_Url = formLineEdit(page, "Edit_Url", kText);
    Btn_Open = new QPushButton(QStringLiteral("打开"), page);
    Btn_Open->setObjectName(QStringLiteral("Btn_Open"));
    for (QPushButton* b : {Btn_Send, Btn_Open}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        // Small buttons beside their boxes: the address keeps the room.
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(b->text()) + 16);
    }
    addFormRow(grid, 6, 0, QStringLiteral("电子信箱:"), Edit_Email, withSide(page, Edit_Email, {Btn_Send}));
    addFormRow(grid, 6, 1, QStringLiteral("公司网址:"), Edit_Url, withSide(page, Edit_Url, {Btn_Open}));

    Edit_OtherInfo = formLineEdit(page, "Edit_OtherInfo", kText);
    addFormRow(grid, 7, 0, QStringLiteral("其它信息:"), Edit_OtherInfo);
    Combo_User = combo("Combo_User");
    addFormRow(grid, 7, 1, QStringLiteral("操作员:"), Combo_User);

    Memo1 = memo(page, "Memo1");
    addFormRow(grid, 8, 0, QStringLiteral("公司简介:"), Memo1, nullptr, 3);
    grid->setRowStretch(8, 1);
    return page;
}

QWidget* Frm_AddCust::buildDetailPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto combo = [page](const char* name) {
        auto* c = new RefillComboBox(page);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->lineEdit()->setMaxLength(kText);
        return c;
    };

    Combo_Country = combo("Combo_Country");
    Btn_Country = listEditorButton(ctx_, page, QStringLiteral("Btn_Country"), QStringLiteral("Menu_Country"));
    addFormRow(grid, 0, 0, QStringLiteral("国家:"), Combo_Country,
               withSide(page, Combo_Country, {Btn_Country}));
    Combo_Province = combo("Combo_Province");
    addFormRow(grid, 0, 1, QStringLiteral("省份:"), Combo_Province);
    Combo_city = combo("Combo_city");
    addFormRow(grid, 1, 0, QStringLiteral("城市:"), Combo_city);
    Combo_CustFrom = combo("Combo_CustFrom");
    Combo_CustFrom->addItems({QStringLiteral("展鉴会"), QStringLiteral("媒体广告")});
    Btn_CustFrom =
        listEditorButton(ctx_, page, QStringLiteral("Btn_CustFrom"), QStringLiteral("Menu_CustFrom"));
    addFormRow(grid, 1, 1, QStringLiteral("客户来源:"), Combo_CustFrom,
               withSide(page, Combo_CustFrom, {Btn_CustFrom}));

    DateEdit1 = new QDateEdit(page);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setCalendarPopup(true);
    DateEdit1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    addFormRow(grid, 2, 0, QStringLiteral("添加时间:"), DateEdit1);

    // The free fields: their captions come from the column configuration when the dialog is shown.
    static const char* const kEdits[6] = {"edit_other1", "Edit_other2", "Edit_other3",
                                          "edit_other4", "Edit_other5", "Edit_other6"};
    static const char* const kCaptions[6] = {"其 它1", "其它2", "其它3", "其 它4", "其它5", "其它6"};
    for (int i = 0; i < 6; ++i) {
        edit_other[i] = formLineEdit(page, kEdits[i], kText);
        field[i] = new QLabel(QString::fromUtf8(kCaptions[i]), page);
        field[i]->setObjectName(QStringLiteral("field%1").arg(i + 1));
        field[i]->setBuddy(edit_other[i]);
        const int at = i + 1;  // the first free field shares its row with the date
        const int row = 2 + at / 2, col = at % 2;
        grid->addWidget(field[i], row, col * 2, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(edit_other[i], row, col * 2 + 1);
    }

    Memo3 = memo(page, "Memo3");
    addFormRow(grid, 6, 0, QStringLiteral("竟争对手:"), Memo3, nullptr, 3);
    grid->setRowStretch(6, 1);
    return page;
}

QStringList Frm_AddCust::readColumn(const QString& sql, const QString& column,
                                    const QVariantMap& params) const {
    QSqlQuery q = ctx_.data.db().exec(sql, params);
    const int col = q.record().indexOf(column);
    QStringList out;
    while (q.next()) out << q.value(col < 0 ? 0 : col).toString().trimmed();
    return out;
}

void Frm_AddCust::wireLists() {
    struct ListSource {
        RefillComboBox* combo;
        const char* sql;
        const char* column;
    };
    const ListSource sources[] = {
        {Combo_CustType, "select * from Dict_Type", "name"},
        {Combo_User, "select * from admin", "username"},
        {Combo_Country, "select * from Dict_Country", "name"},
        {Combo_CustFrom, "select * from Dict_CustFrom", "name"},
        {Combo_CustLevel, "select * from Dict_CustLevel", "name"},
        {Combo_Province, "select distinct spro from citytel", "spro"},
    };
    for (const ListSource& s : sources) {
        const QString sql = QString::fromLatin1(s.sql), column = QString::fromLatin1(s.column);
        s.combo->setPrompter(&ctx_.prompter);
        s.combo->setSource([this, sql, column] { return readColumn(sql, column); });
    }
    // The cities of the province shown; the province text is a prefix (what the operator types may
    // carry wildcards of its own).
    Combo_city->setPrompter(&ctx_.prompter);
    Combo_city->setSource([this] {
        return readColumn(QStringLiteral("select * from citytel where spro like :province"),
                          QStringLiteral("scity"),
                          {{QStringLiteral("province"), Combo_Province->currentText() + QLatin1Char('%')}});
    });
}

void Frm_AddCust::wireButtons() {
    connect(Btn_OK, &QPushButton::clicked, this, [this] { save(); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(cb_Auto, &QCheckBox::clicked, this,
            [this](bool on) { guarded([this, on] { autoToggled(on); }); });
    connect(Btn_Category, &QToolButton::clicked, this, [this] { guarded([this] { chooseCategory(); }); });
    // The category box cannot be typed into; a double-click opens the picker as its button does, and
    // so do the keys that open a drop-down list (the button itself is not in the tab order).
    editorhooks::onDoubleClick(Edit_Category, [this] { guarded([this] { chooseCategory(); }); });
    editorhooks::onPickerKey(Edit_Category, [this] { guarded([this] { chooseCategory(); }); });

    namespace codes = customercodes;
    connect(Btn_Send, &QPushButton::clicked, this, [this] {
        ctx_.shell.open(codes::mailTarget(Edit_Email->text().trimmed(), QStringLiteral("意见")));
    });
    editorhooks::onDoubleClick(Edit_Email,
                               [this] { ctx_.shell.open(codes::mailTarget(Edit_Email->text().trimmed())); });
    connect(Btn_Open, &QPushButton::clicked, this,
            [this] { ctx_.shell.open(codes::webTarget(Edit_Url->text().trimmed())); });
    editorhooks::onDoubleClick(Edit_Url, [this] { ctx_.shell.open(Edit_Url->text().trimmed()); });

    connect(DBNavigator1, &DBNavigator::moved, this, [this] { guarded([this] { loadCurrent(); }); });
}

void Frm_AddCust::setTabOrder() {
    QWidget* const order[] = {Edit_Code,      cb_Auto,        Edit_CustName,   Edit_Category, Btn_Category,
                              Edit_Main,      Edit_Mobile,    Edit_tel,        Edit_Fax,      Edit_Address,
                              Edit_Zip,       Combo_CustType, Combo_CustLevel, Edit_Income,   Edit_Email,
                              Edit_Url,       Edit_OtherInfo, Combo_User,      Memo1,         Combo_Country,
                              Combo_Province, Combo_city,     Combo_CustFrom,  DateEdit1,     edit_other[0],
                              edit_other[1],  edit_other[2],  edit_other[3],   edit_other[4], edit_other[5],
                              Memo3,          cb_Continue,    Btn_OK,          Btn_Close};
    for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

// --- showing and loading --------------------------------------------------------------------------

void Frm_AddCust::applyFieldCaptions() {
    QSqlQuery q = ctx_.data.db().exec(QStringLiteral("select * From T_FieldShow where tablename=:key order by ID"),
                                      {{QStringLiteral("key"), QStringLiteral("custom")}});
    const int fieldCol = q.record().indexOf(QStringLiteral("Field"));
    const int nameCol = q.record().indexOf(QStringLiteral("Name"));
    const QList<QLabel*> labels = findChildren<QLabel*>();
    while (q.next()) {
        const QString name = q.value(fieldCol).toString();
        // Only captions are taken: a row naming an entry box must not put its caption into the box.
        for (QLabel* label : labels)
            if (!name.isEmpty() && label->objectName().compare(name, Qt::CaseInsensitive) == 0)
                label->setText(q.value(nameCol).toString());
    }
}

void Frm_AddCust::clearEntries() {
    for (QLineEdit* e : {Edit_Code, Edit_CustName, Edit_Main, Edit_Mobile, Edit_tel, Edit_Fax, Edit_Address,
                         Edit_Zip, Edit_Income, Edit_Email, Edit_Url, Edit_OtherInfo})
        e->clear();
    for (QLineEdit* e : edit_other) e->clear();
    Combo_city->setEditText(QString());
    Memo1->clear();
    Memo3->clear();
}

void Frm_AddCust::presetListPosition(RefillComboBox* combo, const char* key) {
    const int position = ctx_.data.ini().readInt(kFormConfig, QString::fromLatin1(key), -1);
    if (position < 0) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
        return;
    }
    combo->refill();
    combo->setCurrentIndex(position < combo->count() ? position : -1);
}

void Frm_AddCust::showAdd() {
    applyFieldCaptions();
    cb_Continue->setChecked(true);
    setWindowTitle(QStringLiteral("添加客户信息"));
    clearEntries();
    DateEdit1->setDate(ctx_.clock.today());
    Combo_User->setEditText(ctx_.login ? ctx_.login->currentUser() : QString());

    IniFile& ini = ctx_.data.ini();
    int autoCode = ini.readInt(kFormConfig, kAutoCode, -1);
    // Older settings kept the box's state under Autoadd only.
    if (autoCode < 0) autoCode = ini.readInt(kFormConfig, kAutoadd, -1);
    cb_Auto->setChecked(autoCode == 1);
    Edit_Code->setText(autoCode == 1 ? ini.readString(kFormConfig, kAutoCode2) : QString());

    presetListPosition(Combo_CustType, "CustType");
    presetListPosition(Combo_CustFrom, "CustFrom");
    presetListPosition(Combo_Country, "Country");
    presetListPosition(Combo_Province, "Province");

    Combo_User->setEnabled(ctx_.login && ctx_.login->right(kSeeAllCustomers));
    DBNavigator1->hide();
    Edit_Code->setFocus();
}

void Frm_AddCust::showEdit() {
    applyFieldCaptions();
    setWindowTitle(QStringLiteral("编辑客户信息"));
    loadCurrent();
    cb_Continue->hide();
    // Automatic numbering is for new customers: ticking it here would replace the code being edited.
    cb_Auto->setChecked(false);
    cb_Auto->setEnabled(false);
    DBNavigator1->setDataset(ctx_.data.Qry_Cust);
    Combo_User->setEnabled(ctx_.login && ctx_.login->right(kSeeAllCustomers));
    Edit_CustName->setFocus();
}

void Frm_AddCust::loadCurrent() {
    Dataset& c = *ctx_.data.Qry_Cust;
    auto text = [&c](const char* column) { return c.text(QString::fromLatin1(column)); };
    Edit_Code->setText(text("CustCode"));
    Edit_CustName->setText(text("Company"));
    Edit_Main->setText(text("MainContact"));
    Edit_Mobile->setText(text("mobile"));
    Edit_tel->setText(text("Tel"));
    Edit_Fax->setText(text("Fax"));
    Edit_Address->setText(text("Address"));
    Edit_Zip->setText(text("PostCode"));
    Combo_CustType->setEditText(text("CustType"));
    Combo_CustLevel->setEditText(text("custlevel"));
    Edit_Income->setText(text("Income"));
    Edit_Email->setText(text("Email"));
    Edit_Url->setText(text("Url"));
    Edit_OtherInfo->setText(text("OtherInfo"));
    Combo_User->setEditText(text("F_User"));
    Memo1->setPlainText(text("Introduce"));
    Combo_Country->setEditText(text("Country"));
    Combo_Province->setEditText(text("Province"));
    Combo_city->setEditText(text("City"));
    Combo_CustFrom->setEditText(text("CustFrom"));
    for (int i = 0; i < 6; ++i) edit_other[i]->setText(c.text(QStringLiteral("field%1").arg(i + 1)));
    Memo3->setPlainText(text("Memo3"));

    loadedAddDate_ = c.value(QStringLiteral("Adddate")).toDateTime();
    DateEdit1->setDate(loadedAddDate_.isValid() ? loadedAddDate_.date() : ctx_.clock.today());
    loadedCode_ = text("CustCode");
    loadedCompany_ = text("Company");
    loadedCustId_ = c.value(QStringLiteral("CustID"));

    categoryCode_ = text("Category");
    const QStringList names =
        categoryCode_.isEmpty()
            ? QStringList()
            : readColumn(QStringLiteral("Select * from dict_Cust_Category where Code=:code"),
                         QStringLiteral("Name"), {{QStringLiteral("code"), categoryCode_}});
    Edit_Category->setText(names.value(0));
}

void Frm_AddCust::setCategoryPreset(const QString& code, const QString& name) {
    categoryCode_ = code;
    Edit_Category->setText(name);
}

void Frm_AddCust::chooseCategory() {
    const auto choice =
        ::qv::pickCategory(ctx_, CategoryKind::Customer, CategoryCaller::CustomerEditor, this);
    if (!choice) return;
    categoryCode_ = choice->code.trimmed();
    Edit_Category->setText(choice->name);
}

void Frm_AddCust::autoToggled(bool on) {
    IniFile& ini = ctx_.data.ini();
    if (on) {
        ini.writeInt(kFormConfig, kAutoCode, 1);
        Edit_Code->setText(ini.readString(kFormConfig, kAutoCode2));
        return;
    }
    ini.writeInt(kFormConfig, kAutoCode, 0);
    const QString code = Edit_Code->text().trimmed();
    if (!code.isEmpty()) ini.writeString(kFormConfig, kAutoCode2, code);
    Edit_Code->clear();
}

void Frm_AddCust::done(int result) {
    if (mode_ == Mode::Add) {
        // The next dialog proposes the code the box holds now.
        IniFile& ini = ctx_.data.ini();
        if (cb_Auto->isChecked()) {
            ini.writeInt(kFormConfig, kAutoCode, 1);
            ini.writeString(kFormConfig, kAutoCode2, Edit_Code->text());
        } else {
            ini.writeInt(kFormConfig, kAutoCode, 0);
        }
    }
    QDialog::done(result);
}

void Frm_AddCust::guarded(const std::function<void()>& step) { runGuarded(ctx_.prompter, this, step); }

}  // namespace qv
