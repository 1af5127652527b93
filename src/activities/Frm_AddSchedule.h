#pragma once
#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QToolButton;

namespace qv {

struct Context;
class CompanyComboBox;
class DBNavigator;
class NullableDateEdit;
class RefillComboBox;

// The schedule entry editor: adds entries to the workbench's current customer one after another (add
// mode) or changes the current entry of the workbench's schedule page (edit mode, with a record
// navigator). An ordinary operator may view every entry but save only his own.
class Frm_AddSchedule : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    Frm_AddSchedule(Context& ctx, Mode mode, QWidget* parent = nullptr);
    ~Frm_AddSchedule() override;

    Mode mode() const { return mode_; }
    // Entries saved while the dialog was open (add mode may save several).
    int savedCount() const { return saved_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void wireWidgets();
    void showAdd();
    void showEdit();
    void clearForNext();
    void loadCurrent();
    bool mayChangeLoaded() const;
    void save();
    void guarded(const std::function<void()>& step);

    Context& ctx_;
    Mode mode_;
    QString custCode_;  // the customer of new entries, fixed when the editor opens
    QString loadedOwner_;
    int saved_ = 0;

    // Controls carry these names as object names (tests find them by name).
    QGroupBox* GroupBox1 = nullptr;
    RefillComboBox* Combo_Subject = nullptr;
    QToolButton* Btn_Subject = nullptr;
    RefillComboBox* Combo_Type = nullptr;
    QToolButton* Btn_Type = nullptr;
    CompanyComboBox* Combo_Cust = nullptr;
    RefillComboBox* Combo_Contact = nullptr;
    QDateEdit* Date_Start = nullptr;
    QTimeEdit* Time_Start = nullptr;
    NullableDateEdit* Date_Awoke = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QComboBox* Combo_Finish = nullptr;
    QCheckBox* CB_Awoke = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Close = nullptr;
};

}  // namespace qv
