#pragma once
#include <QDialog>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv {

struct Context;
class DBGrid;

// The product window "商品管理": the shared product list Qry_Products in a grid beside the product
// category tree. Add, edit and delete are the main window's actions (their rights follow them);
// search, export and print have rights of their own. Modal and maximised; it owns no data.
class Frm_Products : public QDialog {
    Q_OBJECT
public:
    explicit Frm_Products(Context& ctx, QWidget* parent = nullptr);
    ~Frm_Products() override;

    // Rights of the buttons, all products, the columns, the count and the tree.
    void load();
    // A click on a node of the category tree.
    void categoryClicked(QTreeWidgetItem* item);
    // Runs the product search dialog.
    void search();
    // Re-applies the grid's column configuration (after a search or a category).
    void applyLayout();
    // The status text with the number of products shown: `pattern` holds "%1".
    void showCount(const QString& pattern);

    QMenu* gridMenu() const { return gridMenu_; }
    QMenu* treeMenu() const { return treeMenu_; }

    static inline const QString kCountOpened = QStringLiteral("当前共有 %1条商品记录");
    static inline const QString kCountCategory = QStringLiteral("当前共有 %1 条商品记录");
    static inline const QString kCountSearch = QStringLiteral("当前共有 %1 条产品记录");

private:
    QToolButton* commandButton(const QString& action);
    QToolButton* ownButton(const char* name, const QString& caption);
    void reloadTree();
    void exportGrid();
    void printGrid();
    QAction* mainAction(const QString& name) const;
    bool guarded(const std::function<void()>& fn);

    Context& ctx_;
    QToolButton* Btn_Add = nullptr;
    QToolButton* Btn_Edit = nullptr;
    QToolButton* Btn_Del = nullptr;
    QToolButton* Btn_Search = nullptr;
    QToolButton* Btn_Excel = nullptr;
    QToolButton* Btn_Print = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    DBGrid* Grid_Products = nullptr;
    QLabel* StatusText = nullptr;
    QMenu* gridMenu_ = nullptr;
    QMenu* treeMenu_ = nullptr;
};

}  // namespace qv
