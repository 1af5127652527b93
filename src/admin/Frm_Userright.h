#pragma once
#include <QDialog>
#include <QList>

#include "OperatorStore.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qv {

struct Context;
class CheckTree;

// The rights editor of one operator or role: the operator's (or role's) entries above the tri-state
// tree of the rights catalogue. It serves three purposes:
//   NewOperator     "新增操作员": name, password, role and description are typed; saving adds the
//                   operator with his role's stored rights and leaves the editor open.
//   ChangeOperator  "编辑操作员": the name is fixed; role, description, password (only when one is
//                   typed) and the tree are saved, then the editor closes.
//   ChangeRole      "编辑角色": only the tree is saved, then the editor closes.
// Choosing a role fills the tree with that role's stored values.
class Frm_Userright : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { NewOperator, ChangeOperator, ChangeRole };

    // `id` is the operator's UserID or the role's PartID (unused for a new operator).
    Frm_Userright(Context& ctx, Purpose purpose, int id = 0, QWidget* parent = nullptr);

    Purpose purpose() const { return purpose_; }

signals:
    // Something was stored: the operator list is to be read again.
    void saved();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void load();
    void roleChosen();
    void save();
    void saveNew();
    void saveOperator();
    void saveRole();
    void refuse(const admin::Refusal& refusal);
    void fillTree(const QString& table, const QString& owner);
    admin::OperatorEntry entry() const;
    QList<admin::NodeState> treeStates() const;

    Context& ctx_;
    const Purpose purpose_;
    const int id_;
    admin::OperatorStore store_;
    bool loading_ = false;

    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label_Name = nullptr;
    QLabel* Label_Pass = nullptr;
    QLabel* Label_Part = nullptr;
    QLabel* Label_Remark = nullptr;
    QLineEdit* Edit_Name = nullptr;
    QLineEdit* Edit_Pass = nullptr;
    QComboBox* Combo_Part = nullptr;
    QPlainTextEdit* Memo_Remark = nullptr;
    CheckTree* Tree_Right = nullptr;
    QPushButton* Btn_Save = nullptr;
    QPushButton* Btn_Quit = nullptr;
};

}  // namespace qv
