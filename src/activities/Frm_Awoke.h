#pragma once
#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qv {

struct Context;
class ScheduleGrid;

// The reminder window "工作日程提醒": the entries whose reminder falls due from the day offset in the
// day box onwards to the end of that month. The offset is kept in Config.ini (`Day`, written on
// closing); the check box decides at once whether the window opens by itself after login (`awoke`).
class Frm_Awoke : public QDialog {
    Q_OBJECT
public:
    explicit Frm_Awoke(Context& ctx, QWidget* parent = nullptr);
    ~Frm_Awoke() override;

    // Lists the entries due for the day box's offset; refuses a box that holds no integer.
    void refresh();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void firstShow();
    std::optional<int> dayOffset() const;
    void writeAwoke(bool checked);
    void guarded(const std::function<void()>& step);

    Context& ctx_;
    bool shown_ = false;

    // Controls carry these names as object names (tests find them by name).
    ScheduleGrid* Grid = nullptr;
    QLineEdit* Edit_Day = nullptr;
    QCheckBox* CB_Awoke = nullptr;
    QPushButton* Btn_Refresh = nullptr;
    QPushButton* Btn_Print = nullptr;
    QPushButton* Btn_Close = nullptr;
};

}  // namespace qv
