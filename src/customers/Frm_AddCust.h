#pragma once
#include <QDateTime>
#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace qv {

struct Context;
class Dataset;
class DBNavigator;
class RefillComboBox;

// The customer editor: creates customers (add mode, optionally one after another) or changes the
// current customer of the shared customer list (edit mode, with a record navigator). It proposes
// automatic codes, refuses empty and duplicate codes and names, and in edit mode carries a changed
// code or company name into the customer's related rows in one transaction.
class Frm_AddCust : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    Frm_AddCust(Context& ctx, Mode mode, QWidget* parent = nullptr);
    ~Frm_AddCust() override;

    Mode mode() const { return mode_; }
    // The category the new customer starts with (the category selected in the workbench's tree).
    void setCategoryPreset(const QString& code, const QString& name);
    const QString& categoryCode() const { return categoryCode_; }

    void done(int result) override;

private:
    // Building (Frm_AddCust.cpp).
    void buildWidgets();
    QWidget* buildBasicPage();
    QWidget* buildDetailPage();
    void wireLists();
    void wireButtons();
    void setTabOrder();

    // Showing and loading (Frm_AddCust.cpp).
    void applyFieldCaptions();
    void showAdd();
    void showEdit();
    void loadCurrent();
    void clearEntries();
    void presetListPosition(RefillComboBox* combo, const char* key);
    void autoToggled(bool on);
    void chooseCategory();
    QStringList readColumn(const QString& sql, const QString& column, const QVariantMap& params = {}) const;

    // Saving (Frm_AddCustSave.cpp).
    void save();
    bool checkEntries();
    void refuse(const QString& text, QWidget* focus);
    void saveNew();
    void saveChanges();
    void writeRow(Dataset& customers);
    bool positionOnLoaded(Dataset& customers);
    void guarded(const std::function<void()>& step);

    Context& ctx_;
    Mode mode_;
    QString categoryCode_;
    QString loadedCode_, loadedCompany_;
    QVariant loadedCustId_;
    QDateTime loadedAddDate_;

    // Controls carry these names as object names (tests find them by name).
    QTabWidget* PageControl1 = nullptr;
    QLineEdit* Edit_Code = nullptr;
    QCheckBox* cb_Auto = nullptr;
    QLineEdit* Edit_CustName = nullptr;
    QLineEdit* Edit_Category = nullptr;
    QToolButton* Btn_Category = nullptr;
    QLineEdit* Edit_Main = nullptr;
    QLineEdit* Edit_Mobile = nullptr;
    QLineEdit* Edit_tel = nullptr;
    QLineEdit* Edit_Fax = nullptr;
    QLineEdit* Edit_Address = nullptr;
    QLineEdit* Edit_Zip = nullptr;
    RefillComboBox* Combo_CustType = nullptr;
    RefillComboBox* Combo_CustLevel = nullptr;
    QLineEdit* Edit_Income = nullptr;
    QLineEdit* Edit_Email = nullptr;
    QPushButton* Btn_Send = nullptr;
    QLineEdit* Edit_Url = nullptr;
    QPushButton* Btn_Open = nullptr;
    QLineEdit* Edit_OtherInfo = nullptr;
    RefillComboBox* Combo_User = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    RefillComboBox* Combo_Country = nullptr;
    RefillComboBox* Combo_Province = nullptr;
    RefillComboBox* Combo_city = nullptr;
    RefillComboBox* Combo_CustFrom = nullptr;
    QDateEdit* DateEdit1 = nullptr;
    QLabel* field[6] = {};
    QLineEdit* edit_other[6] = {};
    QPlainTextEdit* Memo3 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QCheckBox* cb_Continue = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Close = nullptr;
    QToolButton* Btn_CustType = nullptr;
    QToolButton* Btn_CustLevel = nullptr;
    QToolButton* Btn_Country = nullptr;
    QToolButton* Btn_CustFrom = nullptr;
};

}  // namespace qv
