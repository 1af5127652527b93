#pragma once
#include <QWidget>
#include <functional>

class QDateEdit;
class QPushButton;

namespace qv {

struct Context;
class CompanyComboBox;
class ScheduleGrid;

// The schedule list by customer "工作日程统计列表": every operator's entries of one company (or of
// every company) within a date range. The grid stays empty until the first query.
class Frm_A_contact : public QWidget {
    Q_OBJECT
public:
    explicit Frm_A_contact(Context& ctx, QWidget* parent = nullptr);
    ~Frm_A_contact() override;

    // Sets the window up for its first showing (dates, columns, first rows); later calls do nothing.
    // The opening command calls it, so the window is ready even before the main window shows it.
    void prepare();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void search();
    void guarded(const std::function<void()>& step);

    Context& ctx_;
    bool shown_ = false;

    // Controls carry these names as object names (tests find them by name).
    CompanyComboBox* Combo_Cust = nullptr;
    QDateEdit* Date_From = nullptr;
    QDateEdit* Date_To = nullptr;
    QPushButton* Btn_Query = nullptr;
    QPushButton* Btn_Print = nullptr;
    QPushButton* Btn_Close = nullptr;
    QPushButton* Btn_Excel = nullptr;
    ScheduleGrid* Grid = nullptr;
};

}  // namespace qv
