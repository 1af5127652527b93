#pragma once
#include <QDialog>
#include <QString>
#include <QVariant>
#include <functional>

#include "ProductPicker.h"

class QCheckBox;
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

// The product editor: adds products one after another (add mode; the dialog stays open and, with
// automatic coding, offers the next code) or changes the current product of the shared product list
// (edit mode, with a record navigator). A changed code is carried into the bill lines and the
// commission rates in the same transaction as the product row.
class Frm_Addproducts : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };
    static constexpr int kFreeFields = 20;

    Frm_Addproducts(Context& ctx, Mode mode, ProductCategoryPicker pickCategory, QWidget* parent = nullptr);
    ~Frm_Addproducts() override;

    Mode mode() const { return mode_; }
    const QString& categoryCode() const { return categoryCode_; }

    void done(int result) override;

private:
    // Building and loading (Frm_Addproducts.cpp).
    QWidget* buildBasicPage();
    QWidget* buildDetailPage();
    void applyFieldCaptions();
    void readAutoCoding();
    void showAdd();
    void showEdit();
    void clearEntries();
    void loadCurrent();
    void autoToggled(bool on);
    void chooseCategory();
    QStringList readUnits() const;

    // Saving (Frm_AddproductsSave.cpp).
    void save();
    bool checkEntries();
    void refuse(const QString& text, QWidget* focus);
    bool codeTaken(const QString& code, const QVariant& exceptId) const;
    void saveNew();
    void saveChanges();
    void writeRow(Dataset& products, double salePrice, double costPrice);
    bool readPrices(double* salePrice, double* costPrice);

    Context& ctx_;
    Mode mode_;
    ProductCategoryPicker pickCategory_;
    QString categoryCode_;
    QString loadedCode_;
    QVariant loadedId_;

    // Controls carry these names as object names (tests find them by name).
    QTabWidget* PageControl1 = nullptr;
    QLineEdit* Edit_Category = nullptr;
    QToolButton* Btn_Category = nullptr;
    QLineEdit* Edit_Code = nullptr;
    QCheckBox* cb_Auto = nullptr;
    QLineEdit* Edit_Name = nullptr;
    QLineEdit* Edit_Specific = nullptr;
    RefillComboBox* Combo_Unit = nullptr;
    QLineEdit* Edit_SalePrice = nullptr;
    QLineEdit* Edit_CostPrice = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Goods[kFreeFields] = {};
    QLineEdit* Edit_Goods[kFreeFields] = {};
    DBNavigator* DBNavigator1 = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Close = nullptr;
};

}  // namespace qv
