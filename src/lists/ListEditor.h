#pragma once
#include <QDialog>
#include <QString>
#include <functional>

#include "ListKinds.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QToolBar;
class QToolButton;

namespace qv {

struct Context;
class Dataset;
class DBGrid;

// The editor of one reference list: a tool bar (add, edit, delete, save, cancel, close), the name box
// and a grid of the list's names that can also be edited and deleted in place. It works on the data
// module's shared dataset Qry_Other, which stays open with the list after the window closes.
//
// Idle: add, edit and delete are enabled. Add and edit lead to entering (save and cancel enabled);
// a successful save or cancel leads back; a refused save stays entering.
class ListEditor : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Adding, Editing };

    ListEditor(Context& ctx, const ListKind& kind, QWidget* parent = nullptr);
    ~ListEditor() override;

    const ListKind& kind() const { return kind_; }
    bool isEntering() const { return entering_; }
    Mode mode() const { return mode_; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void startAdd();
    void startEdit();
    void deleteCurrent();
    void save();
    void cancelEntry();
    void setEntering(bool entering);
    void cellClicked(const QModelIndex& index);
    void deleteFromGrid();
    // Stores a name the operator changed in a grid cell that is still waiting for the row to be left.
    void postGridEdit();
    // Stores `name` through the dataset's current edit; a refused write leaves no half-made row.
    bool postName(const QString& name);
    void showDuplicate();
    bool guarded(const std::function<void()>& fn);

    Context& ctx_;
    const ListKind kind_;
    Dataset& ds_;
    Mode mode_ = Mode::Adding;
    bool entering_ = false;
    bool closing_ = false;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* TB_Add = nullptr;
    QToolButton* TB_Edit = nullptr;
    QToolButton* TB_Del = nullptr;
    QToolButton* TB_Save = nullptr;
    QToolButton* TB_Cancel = nullptr;
    QToolButton* TB_Quit = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit_Name = nullptr;
    DBGrid* Grid_Other = nullptr;
};

}  // namespace qv
