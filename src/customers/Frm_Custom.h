#pragma once
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>
#include <functional>

#include "WorkbenchQueries.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv {

struct Context;
class DBGrid;
class Dataset;

// The customer workbench "客户信息": the customer list of the shared Qry_Cust on top, the records of
// the current customer on eight pages below it, the category tree on the left and the quick search
// above. It owns no data: the current row of Qry_Cust is the current customer of the whole program,
// and the detail datasets follow it. A child window of the main window that exists at most once.
class Frm_Custom : public QWidget {
    Q_OBJECT
public:
    explicit Frm_Custom(Context& ctx, QWidget* parent = nullptr);
    ~Frm_Custom() override;

    // What the window does when it is first shown: rights of its own controls, the lists for the
    // operator, the count, the column layouts, the category tree and the search target. Runs once;
    // true when it ran now.
    bool firstShow();
    bool shown() const { return shown_; }

    // Loads the customer list with a statement, then shows the count and the "Custom" columns.
    void loadCustomers(const workbench::Statement& statement);
    // The whole list the operator may see.
    void loadAllCustomers();
    // Contacts and schedule entries follow the customer list again with the operator's statements.
    void attachDetails();
    // Re-applies the customer grid's column configuration.
    void applyCustomerLayout();

    // Reloads the customer list with its statement (the count stays) and re-applies its columns.
    void refreshCustomers();
    // A click on a node of the category tree.
    void categoryClicked(QTreeWidgetItem* item);
    // The quick search with the chosen field and the typed text.
    void quickSearch();
    workbench::Target searchTarget() const { return target_; }

    // Rows of Qry_Cust selected in the customer grid, ascending.
    QList<int> selectedCustomers() const;

    // The pop-up menus (for the context-menu events and for tests).
    QMenu* customerMenu() const { return custMenu_; }
    QMenu* treeMenu() const { return treeMenu_; }
    QMenu* detailMenu(const QString& gridName) const;

private:
    struct Page;
    void buildSearchStrip(QWidget* host);
    QWidget* buildTree();
    QWidget* buildCustomerPage();
    QWidget* buildDetailPage(Page& page);
    void buildCustomerMenu();
    void buildTreeMenu();
    void buildDetailMenu(Page& page);
    void openDetails();
    void applyAllLayouts();
    void reloadTree();
    void searchEntryChosen(int index);
    void followCurrentCustomer();
    void customerDoubleClicked();
    void detailDoubleClicked(const Page& page);
    void showCount();
    // Runs a step inside the main window's error boundary (the standard error box on failure).
    bool guarded(const std::function<void()>& fn);
    QAction* mainAction(const QString& name) const;
    void runMainCommand(const QString& name);

    Context& ctx_;
    bool shown_ = false;
    workbench::Target target_ = workbench::Target::Customer;
    QString saleCode_;  // the customer code whose bills the sales page shows
    bool saleLoaded_ = false;
    QPointer<QLabel> status_;  // the main window's second status panel

    QComboBox* Combo_Type = nullptr;
    QLineEdit* Edit_Key = nullptr;
    QPushButton* Btn_Search = nullptr;
    QToolButton* Btn_CombinedSearch = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    DBGrid* Grid_Cust = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QMenu* custMenu_ = nullptr;
    QMenu* treeMenu_ = nullptr;
    QAction* batchEntry_ = nullptr;
    QMenu* exportMenu_ = nullptr;

    struct Page {
        QString caption;
        QString gridName;
        Dataset* dataset;
        QString layoutKey;   // ApplyGridLayout and refresh
        QString chooserKey;  // "设置列显示"
        QString saveKey;     // "保存列属性"
        QString add, edit, del;
        DBGrid* grid = nullptr;
        QMenu* menu = nullptr;
    };
    QVector<Page> pages_;
};

}  // namespace qv
