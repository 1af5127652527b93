#include "Frm_AddSchedule.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "Clock.h"
#include "CommandGuard.h"
#include "CompanyComboBox.h"
#include "Context.h"
#include "DBNavigator.h"
#include "Dataset.h"
#include "EditorForm.h"
#include "EnterMovesFocus.h"
#include "Frm_Data.h"
#include "ListEditorButton.h"
#include "LoginState.h"
#include "NameLists.h"
#include "NullableDateEdit.h"
#include "Prompter.h"
#include "RefillComboBox.h"
#include "WidgetStep.h"

namespace qv {

namespace {

const QString kNotice = QStringLiteral("提醒");
const QString kWarning = QStringLiteral("警告");
const QString kSubjectEmpty = QStringLiteral("事务主题不能为空");
const QString kNoCompany = QStringLiteral("请选择一个公司名称");
const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");
constexpr int kText = 50;

}  // namespace

Frm_AddSchedule::Frm_AddSchedule(Context& ctx, Mode mode, QWidget* parent)
    : QDialog(parent), ctx_(ctx), mode_(mode) {
    buildWidgets();
    wireWidgets();
    if (mode_ == Mode::Add)
        showAdd();
    else
        showEdit();
}

Frm_AddSchedule::~Frm_AddSchedule() = default;

void Frm_AddSchedule::buildWidgets() {
    setObjectName(QStringLiteral("Frm_AddSchedule"));
    auto* layout = new QVBoxLayout(this);
    GroupBox1 = new QGroupBox(QStringLiteral("工作日程信息"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(GroupBox1);
    grid->setColumnStretch(1, 1);
    QWidget* box = GroupBox1;

    auto combo = [box](const char* name) {
        auto* c = new RefillComboBox(box);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->lineEdit()->setMaxLength(kText);
        return c;
    };
    Combo_Subject = combo("Combo_Subject");
    Btn_Subject = listEditorButton(ctx_, box, QStringLiteral("Btn_Subject"), QStringLiteral("Menu_Subject"));
    addFormRow(grid, 0, 0, QStringLiteral("事务主题"), Combo_Subject,
               withSide(box, Combo_Subject, {Btn_Subject}));
    Combo_Type = combo("Combo_Type");
    Btn_Type = listEditorButton(ctx_, box, QStringLiteral("Btn_Type"), QStringLiteral("Menu_ActivityType"));
    addFormRow(grid, 1, 0, QStringLiteral("事务类型"), Combo_Type, withSide(box, Combo_Type, {Btn_Type}));

    // Shows the customer's name and cannot be opened: it never reads the company list.
    Combo_Cust = new CompanyComboBox(box);
    Combo_Cust->setObjectName(QStringLiteral("Combo_Cust"));
    Combo_Cust->setEnabled(false);
    addFormRow(grid, 2, 0, QStringLiteral("相关客户"), Combo_Cust);
    Combo_Contact = combo("Combo_Contact");
    addFormRow(grid, 3, 0, QStringLiteral("相关联系人"), Combo_Contact);

    Date_Start = new QDateEdit(box);
    Date_Start->setObjectName(QStringLiteral("Date_Start"));
    Date_Start->setCalendarPopup(true);
    Date_Start->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    Time_Start = new QTimeEdit(box);
    Time_Start->setObjectName(QStringLiteral("Time_Start"));
    Time_Start->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    addFormRow(grid, 4, 0, QStringLiteral("联系时间"), Date_Start, withSide(box, Date_Start, {Time_Start}));

    Date_Awoke = new NullableDateEdit(box);
    Date_Awoke->setObjectName(QStringLiteral("Date_Awoke"));
    addFormRow(grid, 5, 0, QStringLiteral("提醒时间"), Date_Awoke);

    Memo1 = new QPlainTextEdit(box);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    addFormRow(grid, 6, 0, QStringLiteral("具体内容"), Memo1);
    grid->setRowStretch(6, 1);

    Combo_Finish = new QComboBox(box);
    Combo_Finish->setObjectName(QStringLiteral("Combo_Finish"));
    Combo_Finish->addItems({kYes, kNo});
    Combo_Finish->setCurrentIndex(-1);  // empty until chosen
    addFormRow(grid, 7, 0, QStringLiteral("是否已完成工作日程"), Combo_Finish);
    CB_Awoke = new QCheckBox(QStringLiteral("需要提醒"), box);
    CB_Awoke->setObjectName(QStringLiteral("CB_Awoke"));
    grid->addWidget(CB_Awoke, 8, 1);
    layout->addWidget(GroupBox1);

    auto* bottom = new QHBoxLayout;
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setPrompter(&ctx_.prompter);
    bottom->addWidget(DBNavigator1);
    bottom->addStretch(1);
    Btn_OK = new QPushButton(this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_OK->setDefault(true);
    Btn_Close = new QPushButton(QStringLiteral("退出(&Q)"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setAutoDefault(false);
    bottom->addWidget(Btn_OK);
    bottom->addWidget(Btn_Close);
    layout->addLayout(bottom);

    QWidget* const order[] = {Combo_Subject, Combo_Type, Combo_Cust,   Combo_Contact, Date_Start, Time_Start,
                              Date_Awoke,    Memo1,      Combo_Finish, CB_Awoke,      Btn_OK,     Btn_Close};
    for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    EnterMovesFocus::install(this);
    setFixedSize(460, 430);
}

void Frm_AddSchedule::wireWidgets() {
    const Database& db = ctx_.data.db();
    for (auto [c, sql] : {std::pair{Combo_Subject, "select * from t_subject "},
                          std::pair{Combo_Type, "select * from Dict_activity "}}) {
        const QString statement = QString::fromLatin1(sql);
        c->setPrompter(&ctx_.prompter);
        c->setSource([&db, statement] { return readNames(db, statement); });
    }
    // The contacts of the company shown, read again whenever the box gets the focus.
    Combo_Contact->setPrompter(&ctx_.prompter);
    Combo_Contact->setSource([&db, this] {
        return readNames(db, QStringLiteral("select * from contact where company=:company"),
                         {{QStringLiteral("company"), Combo_Cust->currentText()}});
    });
    Combo_Contact->installEventFilter(this);
    connect(Btn_OK, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBNavigator1, &DBNavigator::moved, this, [this] { guarded([this] { loadCurrent(); }); });
}

bool Frm_AddSchedule::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Combo_Contact && event->type() == QEvent::FocusIn)
        runWidgetStep(&ctx_.prompter, this, [this] { Combo_Contact->refill(); });
    return QDialog::eventFilter(watched, event);
}

// --- showing and loading --------------------------------------------------------------------------

void Frm_AddSchedule::showAdd() {
    setWindowTitle(QStringLiteral("添加工作日程"));
    Btn_OK->setText(QStringLiteral("新增(&A)"));
    const Dataset& customer = *ctx_.data.Qry_Cust;
    Combo_Cust->setEditText(customer.text(QStringLiteral("Company")));
    // Both editors are modal, so the customer editor cannot be open now: the entry belongs to the
    // workbench's current customer.
    custCode_ = customer.text(QStringLiteral("CustCode"));
    clearForNext();
    DBNavigator1->setEnabled(false);
}

void Frm_AddSchedule::showEdit() {
    setWindowTitle(QStringLiteral("编辑工作日程"));
    Btn_OK->setText(QStringLiteral("保存(&S)"));
    loadCurrent();
    DBNavigator1->setDataset(ctx_.data.Qry_Schedule);
}

void Frm_AddSchedule::clearForNext() {
    Combo_Subject->setEditText(QString());
    Combo_Type->setEditText(QString());
    Combo_Contact->setEditText(QString());
    const QDateTime now = ctx_.clock.now();
    Date_Start->setDate(now.date());
    Time_Start->setTime(now.time());
    Date_Awoke->setShownDateTime(QDateTime(now.date(), QTime(0, 0)));
    Date_Awoke->setChecked(false);
    Memo1->clear();
    Combo_Subject->setFocus();
}

void Frm_AddSchedule::loadCurrent() {
    const Dataset& s = *ctx_.data.Qry_Schedule;
    auto text = [&s](const char* column) { return s.text(QString::fromLatin1(column)); };
    loadedOwner_ = text("F_User");
    Btn_OK->setEnabled(mayChangeLoaded());
    CB_Awoke->setChecked(s.value(QStringLiteral("Awoke")).toInt() != 0);
    Combo_Finish->setCurrentIndex(Combo_Finish->findText(text("finish")));
    Combo_Subject->setEditText(text("Subject"));
    Combo_Type->setEditText(text("Type"));
    Combo_Cust->setEditText(text("Company"));
    Combo_Contact->setEditText(text("Contact"));
    const QDateTime start = s.value(QStringLiteral("StartDate")).toDateTime();
    Date_Start->setDate(start.date());
    Time_Start->setTime(start.time());
    Memo1->setPlainText(text("Memo"));
    const QDateTime awoke = s.value(QStringLiteral("AwokeDate")).toDateTime();
    if (awoke.isValid()) {
        Date_Awoke->setValue(awoke);
    } else {
        Date_Awoke->setShownDateTime(QDateTime(ctx_.clock.today(), QTime(0, 0)));
        Date_Awoke->setChecked(false);
    }
}

bool Frm_AddSchedule::mayChangeLoaded() const {
    // An operator other than an administrator saves only the entries he saved himself.
    const LoginState* login = ctx_.login;
    if (mode_ == Mode::Add || !login || login->userPermit() == 0) return true;
    return loadedOwner_ == login->currentUser();
}

// --- saving ---------------------------------------------------------------------------------------

void Frm_AddSchedule::save() {
    if (!mayChangeLoaded()) return;
    if (Combo_Subject->currentText().isEmpty()) {
        ctx_.prompter.message(kSubjectEmpty, kNotice, QMessageBox::Information, QMessageBox::Ok, this);
        Combo_Subject->setFocus();
        return;
    }
    if (Combo_Cust->currentText().isEmpty()) {
        ctx_.prompter.message(kNoCompany, kWarning, QMessageBox::Information, QMessageBox::Ok, this);
        Combo_Cust->setFocus();
        return;
    }
    Dataset& entries = *ctx_.data.Qry_Schedule;
    const bool adding = mode_ == Mode::Add;
    try {
        if (adding) {
            if (!entries.isOpen()) entries.open();
            entries.append();
        } else {
            entries.edit();
        }
        auto set = [&entries](const char* column, const QVariant& v) {
            entries.setValue(QString::fromLatin1(column), v);
        };
        set("Awoke", CB_Awoke->isChecked() ? 1 : 0);
        set("Subject", Combo_Subject->currentText());
        set("Type", Combo_Type->currentText());
        set("Company", Combo_Cust->currentText());
        set("Contact", Combo_Contact->currentText());
        set("finish", Combo_Finish->currentText());
        set("Memo", Memo1->toPlainText());
        const QTime time = Time_Start->time();
        set("StartDate", QDateTime(Date_Start->date(), QTime(time.hour(), time.minute(), time.second())));
        set("F_User", ctx_.login ? ctx_.login->currentUser() : QString());
        set("AwokeDate", Date_Awoke->isChecked() ? QVariant(QDateTime(Date_Awoke->date(), QTime(0, 0)))
                                                 : QVariant(QMetaType(QMetaType::QDateTime)));
        if (adding) set("CustCode", custCode_);
        entries.post();
    } catch (...) {
        // The entry was not saved: the schedule page goes back to browsing, the dialog keeps what was typed.
        if (entries.isOpen() && entries.state() != Dataset::State::Browse) entries.cancel();
        throw;
    }
    ++saved_;
    if (adding)
        clearForNext();
    else
        accept();
}

void Frm_AddSchedule::guarded(const std::function<void()>& step) { runGuarded(ctx_.prompter, this, step); }

}  // namespace qv
