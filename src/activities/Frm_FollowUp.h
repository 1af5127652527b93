#pragma once
#include <QDialog>
#include <QVector>
#include <functional>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVariant;

namespace qv {

struct Context;
struct FollowUpField;
struct FollowUpKind;
class DBNavigator;
class Dataset;
class RefillComboBox;

// The editor of one kind of follow-up record (quotation, visit, complaint, follow-up, contract): adds
// records to the workbench's current customer one after another (add mode) or changes the current
// record of the kind's workbench page and stays open on it (edit mode, with a record navigator). What
// differs between the kinds comes from their table (FollowUpKinds).
class Frm_FollowUp : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    Frm_FollowUp(Context& ctx, const FollowUpKind& kind, Mode mode, QWidget* parent = nullptr);
    ~Frm_FollowUp() override;

    Mode mode() const { return mode_; }
    // Records saved while the dialog was open.
    int savedCount() const { return saved_; }

private:
    // One control of the group box and the column it shows.
    struct Entry {
        const FollowUpField* field = nullptr;
        QLineEdit* line = nullptr;  // texts, amounts, numbers, file paths
        RefillComboBox* combo = nullptr;
        QPlainTextEdit* memo = nullptr;
        QDateEdit* date = nullptr;
        QCheckBox* check = nullptr;  // beside a date; changes nothing
        QWidget* control() const;
        QString text() const;
        void setText(const QString& text) const;
    };

    void buildWidgets();
    Entry makeEntry(const FollowUpField& field, QWidget* box, QWidget** cell);
    QWidget* pathRow(QWidget* box, QLineEdit* edit);
    void fillAtStart();
    void showAdd();
    void showEdit();
    void resetEntries();
    void loadCurrent();
    QVariant valueOf(const Entry& e) const;
    void save();
    void browse(QLineEdit* edit);
    void view(const QLineEdit* edit);
    void guarded(const std::function<void()>& step);
    Dataset& dataset() const;

    Context& ctx_;
    const FollowUpKind& kind_;
    Mode mode_;
    int saved_ = 0;
    QVector<Entry> entries_;

    QGroupBox* GroupBox1 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Close = nullptr;
};

}  // namespace qv
