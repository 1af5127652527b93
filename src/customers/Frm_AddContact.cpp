#include "Frm_AddContact.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QToolButton>
#include <QVBoxLayout>

#include "Clock.h"
#include "CommandGuard.h"
#include "ContactRules.h"
#include "Context.h"
#include "CustomerCodes.h"
#include "DBNavigator.h"
#include "DigitFilter.h"
#include "EditorForm.h"
#include "EditorHooks.h"
#include "EnterMovesFocus.h"
#include "Frm_Data.h"
#include "ListEditorButton.h"
#include "LoginState.h"
#include "NameLists.h"
#include "NullableDateEdit.h"
#include "Prompter.h"
#include "RefillComboBox.h"
#include "Shell.h"
#include "Transaction.h"

namespace qv {

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kNameEmpty = QStringLiteral("联系人姓名不能为空");
const QString kNoCompany = QStringLiteral("请选择一个公司名称");
constexpr int kText = 50;
constexpr int kLongText = 200;
constexpr int kPostCode = 6;

}  // namespace

Frm_AddContact::Frm_AddContact(Context& ctx, Mode mode, QWidget* parent)
    : QDialog(parent), ctx_(ctx), mode_(mode) {
    buildWidgets();
    wireWidgets();
    if (mode_ == Mode::Add)
        showAdd();
    else
        showEdit();
}

Frm_AddContact::~Frm_AddContact() = default;

void Frm_AddContact::buildWidgets() {
    setObjectName(QStringLiteral("Frm_AddContact"));
    auto* layout = new QVBoxLayout(this);
    GroupBox1 = new QGroupBox(QStringLiteral(" 联 系 人 信 息 "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(GroupBox1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    QWidget* box = GroupBox1;

    Edit_Name = formLineEdit(box, "Edit_Name", kText);
    addFormRow(grid, 0, 0, QStringLiteral("姓名:"), Edit_Name);
    CB_Main = new QCheckBox(QStringLiteral("主联系人"), box);
    CB_Main->setObjectName(QStringLiteral("CB_Main"));
    CB_Main->setChecked(true);
    grid->addWidget(CB_Main, 0, 3);

    Edit_Tel = formLineEdit(box, "Edit_Tel", kText, true);
    addFormRow(grid, 1, 0, QStringLiteral("办公电话"), Edit_Tel);
    Combo_Cust = new QComboBox(box);
    Combo_Cust->setObjectName(QStringLiteral("Combo_Cust"));
    Combo_Cust->setEnabled(false);
    addFormRow(grid, 1, 1, QStringLiteral("公司名称"), Combo_Cust);

    Edit_Mobile = formLineEdit(box, "Edit_Mobile", kText, true);
    addFormRow(grid, 2, 0, QStringLiteral("移动电话"), Edit_Mobile);
    auto combo = [box](const char* name) {
        auto* c = new RefillComboBox(box);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->lineEdit()->setMaxLength(kText);
        return c;
    };
    Combo_Zw = combo("Combo_Zw");
    Btn_Zw = listEditorButton(ctx_, box, QStringLiteral("Btn_Zw"), QStringLiteral("Menu_Position"));
    addFormRow(grid, 2, 1, QStringLiteral("职位"), Combo_Zw, withSide(box, Combo_Zw, {Btn_Zw}));
    Combo_Depart = combo("Combo_Depart");
    Btn_Depart = listEditorButton(ctx_, box, QStringLiteral("Btn_Depart"), QStringLiteral("Menu_Department"));
    addFormRow(grid, 3, 0, QStringLiteral("部门"), Combo_Depart, withSide(box, Combo_Depart, {Btn_Depart}));
    Edit_HomeTel = formLineEdit(box, "Edit_HomeTel", kText, true);
    addFormRow(grid, 3, 1, QStringLiteral("家庭电话"), Edit_HomeTel);

    Edit_Email = formLineEdit(box, "Edit_Email", kText);
    Edit_Email->setToolTip(QStringLiteral("双击即可打开邮箱"));
    addFormRow(grid, 4, 0, QStringLiteral("电子信箱"), Edit_Email);
    Edit_Fax = formLineEdit(box, "Edit_Fax", kText, true);
    addFormRow(grid, 4, 1, QStringLiteral("传真"), Edit_Fax);
    Edit_Address = formLineEdit(box, "Edit_Address", kText);
    addFormRow(grid, 5, 0, QStringLiteral("详细地址"), Edit_Address);
    Edit_PostCode = formLineEdit(box, "Edit_PostCode", kPostCode);
    addFormRow(grid, 5, 1, QStringLiteral("邮编"), Edit_PostCode);

    DateTimePicker1 = new NullableDateEdit(box);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    addFormRow(grid, 6, 0, QStringLiteral("生日"), DateTimePicker1);

    Memo1 = new QPlainTextEdit(box);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);
    addFormRow(grid, 7, 0, QStringLiteral("个人简介"), Memo1, nullptr, 3);
    grid->setRowStretch(7, 1);
    layout->addWidget(GroupBox1);

    auto* bottom = new QHBoxLayout;
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setPrompter(&ctx_.prompter);
    bottom->addWidget(DBNavigator1);
    bottom->addStretch(1);
    Btn_Save = new QPushButton(this);
    Btn_Save->setObjectName(QStringLiteral("Btn_Save"));
    Btn_Save->setDefault(true);
    Btn_Close = new QPushButton(QStringLiteral("退出(&Q)"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setAutoDefault(false);
    bottom->addWidget(Btn_Save);
    bottom->addWidget(Btn_Close);
    layout->addLayout(bottom);

    QWidget* const order[] = {Edit_Name,     CB_Main,         Edit_Tel,   Edit_Mobile, Combo_Zw,
                              Combo_Depart,  Edit_HomeTel,    Edit_Email, Edit_Fax,    Edit_Address,
                              Edit_PostCode, DateTimePicker1, Memo1,      Btn_Save,    Btn_Close};
    for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    EnterMovesFocus::install(this);
    resize(560, 380);
}

void Frm_AddContact::wireWidgets() {
    const Database& db = ctx_.data.db();
    for (auto [combo, sql] : {std::pair{Combo_Zw, "select * from DICT_ZW"},
                              std::pair{Combo_Depart, "select * from Dict_Department"}}) {
        const QString statement = QString::fromLatin1(sql);
        combo->setPrompter(&ctx_.prompter);
        combo->setSource([&db, statement] { return readNames(db, statement); });
    }
    connect(Btn_Save, &QPushButton::clicked, this, [this] { save(); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    editorhooks::onDoubleClick(
        Edit_Email, [this] { ctx_.shell.open(customercodes::mailTarget(Edit_Email->text().trimmed())); });
    connect(DBNavigator1, &DBNavigator::moved, this, [this] { guarded([this] { loadCurrent(); }); });
}

// --- showing and loading --------------------------------------------------------------------------

void Frm_AddContact::showAdd() {
    const Dataset& customer = *ctx_.data.Qry_Cust;
    Combo_Cust->clear();
    Combo_Cust->addItem(customer.text(QStringLiteral("Company")));
    Edit_Address->setText(customer.text(QStringLiteral("Address")));
    Edit_PostCode->setText(customer.text(QStringLiteral("PostCode")));
    setWindowTitle(QStringLiteral("添加联系人"));
    Btn_Save->setText(QStringLiteral("新增(&A)"));
    clearForNext();
    DBNavigator1->hide();
}

void Frm_AddContact::showEdit() {
    setWindowTitle(QStringLiteral("编辑联系人"));
    Btn_Save->setText(QStringLiteral("保存(&S)"));
    loadCurrent();
    DBNavigator1->setDataset(ctx_.data.Qry_Contact);
}

void Frm_AddContact::clearForNext() {
    for (QLineEdit* e : {Edit_Name, Edit_Email, Edit_Tel, Edit_Mobile, Edit_HomeTel, Edit_Fax}) e->clear();
    Memo1->clear();
    Combo_Zw->setEditText(QString());
    Combo_Depart->setEditText(QString());
    DateTimePicker1->setShownDateTime(QDateTime(ctx_.clock.today(), QTime(0, 0)));
    DateTimePicker1->setChecked(false);
    Edit_Name->setFocus();
}

void Frm_AddContact::loadCurrent() {
    const Dataset& c = *ctx_.data.Qry_Contact;
    auto text = [&c](const char* column) { return c.text(QString::fromLatin1(column)); };
    Edit_Name->setText(text("Name"));
    CB_Main->setChecked(c.value(QStringLiteral("Main")).toInt() != 0);
    Edit_Tel->setText(text("Tel"));
    Combo_Cust->clear();
    Combo_Cust->addItem(ctx_.data.Qry_Cust->text(QStringLiteral("Company")));
    Edit_Mobile->setText(text("Mobile"));
    Combo_Zw->setEditText(text("Position"));
    Combo_Depart->setEditText(text("Department"));
    Edit_HomeTel->setText(text("HomeTel"));
    Edit_Email->setText(text("Email"));
    Edit_Fax->setText(text("Fax"));
    Edit_Address->setText(text("Address"));
    Edit_PostCode->setText(text("PostCode"));
    const QDateTime birthday = c.value(QStringLiteral("Birthday")).toDateTime();
    if (birthday.isValid()) {
        DateTimePicker1->setValue(birthday);
    } else {
        DateTimePicker1->setShownDateTime(QDateTime(ctx_.clock.today(), QTime(0, 0)));
        DateTimePicker1->setChecked(false);
    }
    Memo1->setPlainText(text("introduce"));
    loadedOwner_ = text("F_User");
    Btn_Save->setEnabled(mayChangeLoaded());
}

bool Frm_AddContact::mayChangeLoaded() const {
    // An ordinary operator changes only the contacts he created.
    const LoginState* login = ctx_.login;
    if (mode_ == Mode::Add || !login || !login->isRestricted()) return true;
    return loadedOwner_ == login->currentUser();
}

// --- saving ---------------------------------------------------------------------------------------

bool Frm_AddContact::refuse(const QString& text, QWidget* focus) {
    ctx_.prompter.message(text, kWarning, QMessageBox::Warning, QMessageBox::Ok, this);
    if (focus) focus->setFocus();
    return false;
}

void Frm_AddContact::save() {
    guarded([this] { saveContact(); });
}

void Frm_AddContact::writeRow(Dataset& contacts, bool adding) {
    auto set = [&contacts](const char* column, const QVariant& v) {
        contacts.setValue(QString::fromLatin1(column), v);
    };
    const Database& db = ctx_.data.db();
    const QString company = Combo_Cust->currentText();
    const QString code =
        contactrules::customerCodeFor(db, company, ctx_.data.Qry_Cust->text(QStringLiteral("CustCode")));
    // Values are stored exactly as typed.
    set("Name", Edit_Name->text());
    if (!adding)
        set("Main", CB_Main->isChecked() ? 1 : 0);
    else if (CB_Main->isChecked())
        set("Main", 1);
    set("CustCode", code);
    set("Company", company);
    set("Position", Combo_Zw->currentText());
    set("Department", Combo_Depart->currentText());
    set("Email", Edit_Email->text());
    set("Address", Edit_Address->text());
    set("PostCode", Edit_PostCode->text());
    set("Tel", Edit_Tel->text());
    set("Mobile", Edit_Mobile->text());
    set("HomeTel", Edit_HomeTel->text());
    set("Fax", Edit_Fax->text());
    set("introduce", Memo1->toPlainText());
    // An unticked birthday leaves the stored one as it is.
    if (DateTimePicker1->isChecked()) set("Birthday", DateTimePicker1->value());
    if (adding) set("F_User", ctx_.login ? ctx_.login->currentUser() : QString());
}

void Frm_AddContact::saveContact() {
    if (!mayChangeLoaded()) return;
    if (Edit_Name->text().trimmed().isEmpty()) {
        refuse(kNameEmpty, Edit_Name);
        return;
    }
    if (Combo_Cust->currentText().isEmpty()) {
        refuse(kNoCompany, nullptr);
        return;
    }

    Database& db = ctx_.data.db();
    Dataset& contacts = *ctx_.data.Qry_Contact;
    Dataset* customers = ctx_.data.Qry_Cust;
    const bool adding = mode_ == Mode::Add;
    bool posted = false;
    try {
        Transaction tx(db);
        if (adding) {
            if (!contacts.isOpen()) contacts.open();
            contacts.append();
        } else {
            contacts.edit();
        }
        writeRow(contacts, adding);
        const QString code = contacts.text(QStringLiteral("CustCode"));
        contacts.post();
        posted = true;
        if (CB_Main->isChecked()) contactrules::setMainContact(db, customers, code, Edit_Name->text());
        tx.commit();
    } catch (...) {
        // Nothing was saved: the contact page shows the rows as the database holds them.
        if (contacts.state() != Dataset::State::Browse && contacts.isOpen()) contacts.cancel();
        if (posted) runGuarded(ctx_.prompter, this, [&contacts] { contacts.refresh(); });
        throw;
    }
    ++saved_;
    if (adding)
        clearForNext();
    else
        accept();
}

void Frm_AddContact::guarded(const std::function<void()>& step) { runGuarded(ctx_.prompter, this, step); }

}  // namespace qv
