#pragma once
#include <QDate>
#include <QWidget>
#include <functional>
#include <memory>

#include "ScheduleQueries.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace qv {

struct Context;
class CompanyComboBox;
class Dataset;
class DBGrid;
class Report;

// What sets one activity list apart from the others: its source of rows, its date column, its grid
// key and how it prints.
struct ActivityListKind {
    const char* className;
    const char* title;
    const char* source;     // view or table the rows come from
    const char* dateLabel;  // nullptr: the list has no date range
    const char* dateColumn;
    const char* gridKey;
    const char* menuKey;     // grid key of the column dialog in the pop-up menu
    const char* reportFile;  // nullptr: printing prints the grid
    const char* reportSource;
    bool keyword;  // a prefix search box instead of the customer drop-down
};

const ActivityListKind& priceListKind();
const ActivityListKind& visitListKind();
const ActivityListKind& feedbackListKind();
const ActivityListKind& trackListKind();
const ActivityListKind& bargainListKind();
const ActivityListKind& relationListKind();

// The statement of "查询&F": the customer matched exactly, the keyword as a prefix over the list's
// text columns, the dates as the whole days from `from` to `to`.
schedule::Statement activityListStatement(const ActivityListKind& kind, const QString& text, QDate from,
                                          QDate to);

// One activity list window: a strip with the customer or keyword, the date range and the buttons, and
// a read-only grid over the window's own dataset.
class ActivityList : public QWidget {
    Q_OBJECT
public:
    ActivityList(Context& ctx, const ActivityListKind& kind, QWidget* parent = nullptr);
    ~ActivityList() override;

    // Sets the window up for its first showing (dates, columns); later calls do nothing.
    void prepare();
    // Runs "查询&F"; a failing statement keeps the rows shown and reports the database's message.
    void query();

    Dataset* dataset() const { return dataset_; }
    DBGrid& grid() const { return *grid_; }
    Report* report() const { return report_.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void print();
    void guarded(const std::function<void()>& step);

    Context& ctx_;
    const ActivityListKind& kind_;
    bool shown_ = false;
    Dataset* dataset_ = nullptr;
    std::unique_ptr<Report> report_;

    // Controls carry these names as object names (tests find them by name).
    CompanyComboBox* Combo_Cust = nullptr;
    QLineEdit* Edit_Keyword = nullptr;
    QLabel* Label_Note = nullptr;
    QDateEdit* Date_From = nullptr;
    QDateEdit* Date_To = nullptr;
    QPushButton* Btn_Query = nullptr;
    QPushButton* Btn_Print = nullptr;
    QPushButton* Btn_Design = nullptr;
    QPushButton* Btn_Close = nullptr;
    QPushButton* Btn_Excel = nullptr;
    DBGrid* grid_ = nullptr;
    QMenu* menu_ = nullptr;
};

// The six windows, one class each so that each opens once.
class Frm_A_price : public ActivityList {
    Q_OBJECT
public:
    explicit Frm_A_price(Context& ctx, QWidget* parent = nullptr)
        : ActivityList(ctx, priceListKind(), parent) {}
};

class Frm_A_visit : public ActivityList {
    Q_OBJECT
public:
    explicit Frm_A_visit(Context& ctx, QWidget* parent = nullptr)
        : ActivityList(ctx, visitListKind(), parent) {}
};

class Frm_A_feedback : public ActivityList {
    Q_OBJECT
public:
    explicit Frm_A_feedback(Context& ctx, QWidget* parent = nullptr)
        : ActivityList(ctx, feedbackListKind(), parent) {}
};

class Frm_A_track : public ActivityList {
    Q_OBJECT
public:
    explicit Frm_A_track(Context& ctx, QWidget* parent = nullptr)
        : ActivityList(ctx, trackListKind(), parent) {}
};

class Frm_A_bargain : public ActivityList {
    Q_OBJECT
public:
    explicit Frm_A_bargain(Context& ctx, QWidget* parent = nullptr)
        : ActivityList(ctx, bargainListKind(), parent) {}
};

class Frm_A_relation : public ActivityList {
    Q_OBJECT
public:
    explicit Frm_A_relation(Context& ctx, QWidget* parent = nullptr)
        : ActivityList(ctx, relationListKind(), parent) {}
};

}  // namespace qv
