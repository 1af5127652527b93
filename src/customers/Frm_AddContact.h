#pragma once
#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace qv {

struct Context;
class Dataset;
class DBNavigator;
class NullableDateEdit;
class RefillComboBox;

// The contact editor: adds contacts to the current customer one after another (add mode) or
// changes the current contact of the contact page (edit mode, with a record navigator). A ticked
// "主联系人" makes the contact's name the customer's main contact. An ordinary operator may save only
// his own contacts.
class Frm_AddContact : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    Frm_AddContact(Context& ctx, Mode mode, QWidget* parent = nullptr);
    ~Frm_AddContact() override;

    Mode mode() const { return mode_; }
    // Contacts saved while the dialog was open (add mode may save several).
    int savedCount() const { return saved_; }

private:
    void buildWidgets();
    void wireWidgets();
    void showAdd();
    void showEdit();
    void loadCurrent();
    void clearForNext();
    void save();
    void saveContact();
    void writeRow(Dataset& contacts, bool adding);
    bool refuse(const QString& text, QWidget* focus);
    bool mayChangeLoaded() const;
    void guarded(const std::function<void()>& step);

    Context& ctx_;
    Mode mode_;
    QString loadedOwner_;
    int saved_ = 0;

    // Controls carry these names as object names (tests find them by name).
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit_Name = nullptr;
    QCheckBox* CB_Main = nullptr;
    QLineEdit* Edit_Tel = nullptr;
    QComboBox* Combo_Cust = nullptr;
    QLineEdit* Edit_Mobile = nullptr;
    RefillComboBox* Combo_Zw = nullptr;
    QToolButton* Btn_Zw = nullptr;
    RefillComboBox* Combo_Depart = nullptr;
    QToolButton* Btn_Depart = nullptr;
    QLineEdit* Edit_HomeTel = nullptr;
    QLineEdit* Edit_Email = nullptr;
    QLineEdit* Edit_Fax = nullptr;
    QLineEdit* Edit_Address = nullptr;
    QLineEdit* Edit_PostCode = nullptr;
    NullableDateEdit* DateTimePicker1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QPushButton* Btn_Save = nullptr;
    QPushButton* Btn_Close = nullptr;
};

}  // namespace qv
