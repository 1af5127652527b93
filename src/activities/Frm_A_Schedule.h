#pragma once
#include <QWidget>
#include <functional>

#include "ScheduleQueries.h"

class QDateEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace qv {

struct Context;
class RefillComboBox;
class ScheduleGrid;

// The schedule list "工作日程管理": a period tree (all, today, tomorrow, this week, history), a subject
// and date search, print and Excel. Operators with right 92 see every operator's entries, the others
// their own.
class Frm_A_Schedule : public QWidget {
    Q_OBJECT
public:
    explicit Frm_A_Schedule(Context& ctx, QWidget* parent = nullptr);
    ~Frm_A_Schedule() override;

    // Runs the period query of the node, as a double-click on it does.
    void runPeriod(schedule::Period period);

    // Sets the window up for its first showing (dates, columns, first rows); later calls do nothing.
    // The opening command calls it, so the window is ready even before the main window shows it.
    void prepare();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void firstShow();
    void search();
    schedule::Viewer viewer() const;
    void guarded(const std::function<void()>& step);

    Context& ctx_;
    bool shown_ = false;

    // Controls carry these names as object names (tests find them by name).
    RefillComboBox* Combo_Subject = nullptr;
    QDateEdit* Date_From = nullptr;
    QDateEdit* Date_To = nullptr;
    QPushButton* Btn_Query = nullptr;
    QPushButton* Btn_Print = nullptr;
    QPushButton* Btn_Close = nullptr;
    QPushButton* Btn_Excel = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    ScheduleGrid* Grid = nullptr;
    QStatusBar* StatusBar1 = nullptr;
};

}  // namespace qv
