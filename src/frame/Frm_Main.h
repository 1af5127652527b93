#pragma once
#include <QHash>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "ChildForms.h"
#include "Context.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QProxyStyle;
class QTimer;
class QToolBar;
class QToolButton;

namespace qv {

struct Context;

// The program's frame: a maximised multiple-document window whose menus, tool bar and named commands
// lead to every other window. It follows the login state (status text, rights of the commands, the
// reminder timer), asks before the program ends and opens the child windows that exist at most once.
//
// Commands. Every menu entry, tool-bar button and shared action is a QAction with an objectName
// (the shared actions by their command name: AddCust, EditCust, ..., Del_PeopleTC, M_UserList, ...;
// main-menu entries Menu_...; their twins in the tool-bar drop-downs Drop_...). Triggering one runs
// the handler registered for its command through the error boundary; an entry without a handler does
// nothing. A drop-down twin runs the same command as its main-menu entry.
class Frm_Main : public QMainWindow {
    Q_OBJECT
public:
    // Commands that are not menu entries of their own.
    static inline const QString kWorkbench = QStringLiteral("Workbench");  // tool button "客户管理"
    static inline const QString kFirstShowWorkbench =
        QStringLiteral("FirstShowWorkbench");                                    // opened at first show
    static inline const QString kProductList = QStringLiteral("ProductList");    // tool button "商品管理"
    static inline const QString kScheduleList = QStringLiteral("ScheduleList");  // tool button "工作日程"
    static inline const QString kPeopleList = QStringLiteral("Drop_PeopleList");  // "业务员档案"

    explicit Frm_Main(Context& ctx, QWidget* parent = nullptr);
    ~Frm_Main() override;

    Context& context() const { return ctx_; }

    // --- command map ---------------------------------------------------------------------------
    // The action (or menu entry, or drop-down twin) of that name; null when there is none.
    QAction* action(const QString& name) const;
    QStringList actionNames() const;
    // Registers what a command does (replacing an earlier handler); commands run through runCommand().
    void setHandler(const QString& command, std::function<void()> handler);
    bool hasHandler(const QString& command) const;
    // Runs the command's handler inside the error boundary; true when it finished without an error.
    // A command whose right the logged-in operator does not hold does nothing and returns false.
    bool runCommand(const QString& command);
    // The logged-in operator holds the right the command needs (or it needs none).
    bool mayRun(const QString& command) const;
    // The error boundary for any other code of the frame's windows.
    bool guarded(const std::function<void()>& fn);

    // --- child windows -------------------------------------------------------------------------
    // Opens the child window of this kind at most once (see ChildForms::show).
    QWidget* showChildForm(const QString& kind, const ChildForms::Factory& create);
    template <class W, class F>
    W* showChildForm(F&& create) {
        return qobject_cast<W*>(showChildForm(QString::fromLatin1(W::staticMetaObject.className()),
                                              [&create]() -> QWidget* { return create(); }));
    }
    QWidget* childForm(const QString& kind) const { return children_->find(kind); }
    QMdiArea* mdiArea() const { return mdi_; }
    // Closes every child window; false when one of them refused to close.
    bool closeAllChildren();

    // --- program options and status --------------------------------------------------------------
    const SoftOptions& softOptions() const { return ctx_.options; }
    SoftOptions& softOptions() { return ctx_.options; }
    // Reads T_SoftInfo again (after the options were edited) and sets the caption.
    void reloadSoftOptions();
    QLabel* statusPanel(int n) const;  // 1..3
    QTimer* reminderTimer() const { return reminder_; }
    bool firstShowDone() const { return firstShowDone_; }

    // --- login ---------------------------------------------------------------------------------
    // Closes every child window, then shows the login dialog; a cancelled login keeps the state.
    void relogin();
    // Shows the password dialog unless it is already open.
    void changePassword();

signals:
    // The reminder timer found Config.ini [Other] awoke = 0; the timer is already stopped.
    void reminderDue();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Building the window (Frm_MainMenus.cpp).
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QAction* makeEntry(const QString& name, const QString& caption, const QString& command = QString());
    QAction* mirrorOf(QAction* source, const QString& name, const QString& caption);
    QMenu* makeSubMenu(QMenu* parent, const QString& name, const QString& caption);
    QToolButton* makeToolButton(const QString& name, const QString& caption, const QString& hint,
                                const QString& picture);
    void connectBuiltins();

    void onLoggedIn();
    void applyRights();
    void maybeFirstShow();
    void firstShow();
    void onReminderTick();
    void openHelp();

    Context& ctx_;
    QMdiArea* mdi_ = nullptr;
    std::unique_ptr<ChildForms> children_;
    QToolBar* toolBar_ = nullptr;
    QProxyStyle* tipStyle_ = nullptr;
    QLabel* panels_[3] = {nullptr, nullptr, nullptr};
    QTimer* reminder_ = nullptr;
    QHash<QString, QAction*> actions_;
    QHash<QString, std::function<void()>> handlers_;
    bool firstShowDone_ = false;
    bool passwordOpen_ = false;
};

}  // namespace qv
