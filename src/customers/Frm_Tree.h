#pragma once
#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

#include "CategoryCodes.h"

class QAction;
class QLineEdit;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv {

struct Context;

// The two category tables.
enum class CategoryKind { Customer, Product };

// Who opened the category tree: the management commands (None) or one of the dialogs that use it
// as a picker.
enum class CategoryCaller { None, CustomerEditor, CustomerSearch, BatchEdit, ProductEditor };

// What a picker receives: the chosen category's code (empty for the root) and its name (the root
// caption for the root).
struct CategoryChoice {
    QString code;
    QString name;
};

// The table and root caption ("客户分类", "商品分类") of a kind.
QString categoryTable(CategoryKind kind);
QString categoryCaption(CategoryKind kind);

// The category tree editor: edits one category table (add a child or a sibling, rename, delete)
// and, when opened by a picker, reports the chosen category.
class Frm_Tree : public QDialog {
    Q_OBJECT
public:
    enum class State { Idle, AddingChild, AddingSibling, Editing };

    Frm_Tree(Context& ctx, CategoryKind kind, CategoryCaller caller = CategoryCaller::None,
             QWidget* parent = nullptr);

    State state() const { return state_; }
    // Set once a category was chosen (only when a caller is set; the dialog is then accepted).
    const std::optional<CategoryChoice>& choice() const { return choice_; }

private:
    void buildWidgets();
    void reloadTree();
    void nodeSelected(QTreeWidgetItem* item);
    void startAdd(categorycodes::AddKind kind);
    void startEdit();
    void save();
    void saveNew();
    void saveName();
    void cancel();
    void removeNode();
    void choose();
    void setState(State state);
    // Runs a command; a database error ends it with the standard error box.
    void guarded(const std::function<void()>& command);
    void notice(const QString& text);

    QTreeWidgetItem* rootItem() const;
    QTreeWidgetItem* itemOfCode(const QString& code) const;
    static QString codeOf(const QTreeWidgetItem* item);
    QString nameOf(const QTreeWidgetItem* item) const;
    // Puts a new node under its parent by code, among its siblings in code order, and selects it.
    void placeNewNode(const QString& code, const QString& name);

    Context& ctx_;
    CategoryCaller caller_;
    QString table_;
    QString rootCaption_;
    State state_ = State::Idle;
    std::optional<CategoryChoice> choice_;

    QToolBar* ToolBar1 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QLineEdit* Edit_Code = nullptr;
    QLineEdit* Edit_Name = nullptr;
    QAction* AddNode = nullptr;     // "新增&A": a child of the selected node
    QAction* AddSibling = nullptr;  // "新增同级节点"
    QAction* AddChild = nullptr;    // "新增下级节点"
    QAction* EditNode = nullptr;
    QAction* DelNode = nullptr;
    QAction* SaveNode = nullptr;
    QAction* CancelNode = nullptr;
    QAction* ChooseNode = nullptr;
    QAction* RefreshTree = nullptr;
    QAction* CloseTree = nullptr;
};

// The main window's category commands: opens the editor on the kind's table, for management only.
void openCategoryEditor(Context& ctx, CategoryKind kind, QWidget* parent = nullptr);

// Opens the category tree as a picker for the caller; the choice, or nothing when the operator
// closed it without choosing. The chosen category is also kept in Config.ini (login/Category and
// login/Catecode).
std::optional<CategoryChoice> pickCategory(Context& ctx, CategoryKind kind, CategoryCaller caller,
                                           QWidget* parent = nullptr);

}  // namespace qv
