#include "Frm_Main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProxyStyle>
#include <QShowEvent>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTimer>
#include <stdexcept>

#include "CommandGuard.h"
#include "Context.h"
#include "Frm_Data.h"
#include "LoginFlow.h"
#include "LoginState.h"
#include "Prompter.h"
#include "RightsGate.h"

namespace qv {

namespace {

const QString kQuitQuestion = QStringLiteral("您真的要退出 'Quorvan客户管理软件(SQL 网络版)' 吗？");
const QString kQuitCaption = QStringLiteral("警告 ");
const QString kOperatorPrefix = QStringLiteral(" 当前操作员: ");

}  // namespace

Frm_Main::Frm_Main(Context& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Frm_Main"));
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MdiArea"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    children_ = std::make_unique<ChildForms>(*mdi_);

    reminder_ = new QTimer(this);
    reminder_->setObjectName(QStringLiteral("Timer_Reminder"));
    reminder_->setInterval(1000);
    connect(reminder_, &QTimer::timeout, this, &Frm_Main::onReminderTick);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    connectBuiltins();

    setWindowState(Qt::WindowMaximized);
    if (ctx_.login) connect(ctx_.login, &LoginState::loggedIn, this, &Frm_Main::onLoggedIn);
    ctx_.main = this;
}

Frm_Main::~Frm_Main() {
    if (ctx_.main == this) ctx_.main = nullptr;
}

// --- command map ------------------------------------------------------------------------------------

QAction* Frm_Main::action(const QString& name) const { return actions_.value(name, nullptr); }

QStringList Frm_Main::actionNames() const { return actions_.keys(); }

void Frm_Main::setHandler(const QString& command, std::function<void()> handler) {
    handlers_.insert(command, std::move(handler));
}

bool Frm_Main::hasHandler(const QString& command) const { return handlers_.contains(command); }

bool Frm_Main::runCommand(const QString& command) {
    const auto it = handlers_.constFind(command);
    if (it == handlers_.cend() || !*it) return true;  // entries whose windows come later do nothing yet
    // A disabled action cannot be triggered, but a double-click, a pop-up entry or another window's
    // button may reach the command another way: the command itself asks for its right.
    if (!mayRun(command)) return false;
    const std::function<void()> handler = *it;  // a handler may replace itself while it runs
    return guarded(handler);
}

bool Frm_Main::mayRun(const QString& command) const {
    const int right = RightsGate::commandRight(command);
    return right == 0 || (ctx_.login && ctx_.login->right(right));
}

bool Frm_Main::guarded(const std::function<void()>& fn) { return runGuarded(ctx_.prompter, this, fn); }

// --- child windows ----------------------------------------------------------------------------------

QWidget* Frm_Main::showChildForm(const QString& kind, const ChildForms::Factory& create) {
    return children_->show(kind, create);
}

bool Frm_Main::closeAllChildren() {
    mdi_->closeAllSubWindows();
    // Children are freed later; one that is still visible refused to close.
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub->isVisible()) return false;
    return true;
}

// --- login ------------------------------------------------------------------------------------------

void Frm_Main::onLoggedIn() {
    panels_[0]->setText(kOperatorPrefix + ctx_.login->currentUser());
    applyRights();
    reminder_->start();
    maybeFirstShow();
}

void Frm_Main::applyRights() {
    const LoginState* login = ctx_.login;
    const auto states = RightsGate::states([login](int k) { return login && login->right(k); });
    for (const RightsGate::State& s : states)
        if (QAction* a = action(s.name)) a->setEnabled(s.enabled);
}

void Frm_Main::relogin() {
    closeAllChildren();
    runLoginDialog(ctx_);  // a successful login announces itself through LoginState::loggedIn
}

void Frm_Main::changePassword() {
    if (passwordOpen_) return;
    passwordOpen_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{passwordOpen_};
    runPasswordDialog(ctx_);
}

// --- first show -------------------------------------------------------------------------------------

void Frm_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) maybeFirstShow();
}

void Frm_Main::maybeFirstShow() {
    // Once, when the window is on screen after the first successful login.
    if (firstShowDone_ || !isVisible() || !ctx_.login || !ctx_.login->isLoggedIn()) return;
    firstShowDone_ = true;
    guarded([this] { firstShow(); });
}

void Frm_Main::firstShow() {
    QDir home(ctx_.home);
    for (const QString& sub : {QStringLiteral("Export"), QStringLiteral("Backup")}) {
        if (!home.mkpath(sub))
            throw std::runtime_error(QStringLiteral("无法创建目录 %1")
                                         .arg(QDir::toNativeSeparators(home.filePath(sub)))
                                         .toStdString());
    }
    reloadSoftOptions();
    panels_[2]->setText(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    // The customer workbench opens here once its window exists.
    runCommand(kFirstShowWorkbench);
}

void Frm_Main::reloadSoftOptions() {
    QSqlQuery q = ctx_.data.db().exec(QStringLiteral("select * from T_SoftInfo order by ID"));
    if (!q.next()) return;
    auto intOr = [&q](const char* field) {
        const QVariant v = q.value(QString::fromLatin1(field));
        bool ok = false;
        const double d = v.toDouble(&ok);
        return v.isNull() || !ok ? -1 : int(d);
    };
    ctx_.options.softName = q.value(QStringLiteral("SoftName")).toString();
    ctx_.options.version = q.value(QStringLiteral("Version")).toString();
    ctx_.options.ini1 = intOr("INI1");
    ctx_.options.ini2 = intOr("INI2");
    ctx_.options.ini3 = intOr("INI3");
    ctx_.options.autocoding = intOr("autocoding") == 1;
    ctx_.options.loaded = true;
    setWindowTitle(ctx_.options.caption());
}

// --- reminder timer ---------------------------------------------------------------------------------

void Frm_Main::onReminderTick() {
    if (ctx_.data.ini().readInt(QStringLiteral("Other"), QStringLiteral("awoke"), -1) != 0) return;
    reminder_->stop();
    guarded([this] { emit reminderDue(); });
}

// --- closing ----------------------------------------------------------------------------------------

void Frm_Main::closeEvent(QCloseEvent* event) {
    const auto answer = ctx_.prompter.message(kQuitQuestion, kQuitCaption, QMessageBox::Information,
                                              QMessageBox::Yes | QMessageBox::No, this);
    if (answer != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    // A child window that refuses to close (unsaved input it asked about) keeps the program running.
    if (!closeAllChildren()) {
        event->ignore();
        return;
    }
    reminder_->stop();
    event->accept();
}

QLabel* Frm_Main::statusPanel(int n) const { return n >= 1 && n <= 3 ? panels_[n - 1] : nullptr; }

}  // namespace qv
