#pragma once
#include <QDialog>
#include <functional>

#include "Frm_Userright.h"
#include "OperatorStore.h"

class QAction;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv {

struct Context;

// "操作员管理": the operators and the roles on two pages, with the commands that add, change and
// delete operators and change a role's rights. New and delete act on the user page only; change acts
// on the selection of the page that is shown, as does a double-click on a row.
class Frm_UserList : public QDialog {
    Q_OBJECT
public:
    explicit Frm_UserList(Context& ctx, QWidget* parent = nullptr);

    // Reads the operator list / the role list again.
    void refreshUsers();
    void refreshRoles();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void pageChanged();
    bool onUserPage() const;
    void addOperator();
    void editSelected();
    void editOperator(int id);
    void editRole(int id);
    void deleteSelected();
    // Opens the rights editor; the operator list is read again whenever it stored something.
    void openEditor(Frm_Userright::Purpose purpose, int id);
    bool guarded(const std::function<void()>& fn);
    static int idOf(const QTreeWidgetItem* item);

    Context& ctx_;
    admin::OperatorStore store_;

    QTabWidget* PageControl1 = nullptr;
    QTreeWidget* List_User = nullptr;
    QTreeWidget* List_Part = nullptr;
    QAction* N_Refresh = nullptr;
    QPushButton* Btn_Add = nullptr;
    QPushButton* Btn_Edit = nullptr;
    QPushButton* Btn_Del = nullptr;
    QPushButton* Btn_Quit = nullptr;
};

}  // namespace qv
