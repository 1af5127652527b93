// Saving in the product editor: the checks, the new product, the changed product with its code
// carried into the bill lines and the commission rates.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QTabWidget>

#include "CodeSequence.h"
#include "CommandGuard.h"
#include "Context.h"
#include "DbError.h"
#include "Frm_Addproducts.h"
#include "Frm_Data.h"
#include "Prompter.h"
#include "RefillComboBox.h"
#include "Transaction.h"

namespace qv {

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kQuestion = QStringLiteral("询问");
const QString kCodeEmpty = QStringLiteral("商品编码不能为空!");
const QString kNameEmpty = QStringLiteral("商品名称不能为空!");
const QString kAutoTail = QStringLiteral("请保持商品编码最后四位为数字");
const QString kCodeTaken = QStringLiteral("商品编码有重复，请您换一个商品编码!");
const QString kId = QStringLiteral("Product_ID");

}  // namespace

void Frm_Addproducts::save() {
    runGuarded(ctx_.prompter, this, [this] {
        if (!checkEntries()) return;
        if (mode_ == Mode::Add)
            saveNew();
        else
            saveChanges();
    });
}

void Frm_Addproducts::refuse(const QString& text, QWidget* focus) {
    PageControl1->setCurrentIndex(0);
    ctx_.prompter.message(text, kWarning, QMessageBox::Information, QMessageBox::Ok, this);
    if (focus) focus->setFocus();
}

bool Frm_Addproducts::checkEntries() {
    // A code or name of blanks only counts as filled.
    if (Edit_Code->text().isEmpty()) {
        refuse(kCodeEmpty, Edit_Code);
        return false;
    }
    if (Edit_Name->text().isEmpty()) {
        refuse(kNameEmpty, Edit_Name);
        return false;
    }
    if (mode_ == Mode::Add && cb_Auto->isChecked() && !codeseq::tailIsNumber(Edit_Code->text())) {
        PageControl1->setCurrentIndex(0);
        ctx_.prompter.message(kAutoTail, kQuestion, QMessageBox::Question, QMessageBox::Ok, this);
        Edit_Code->setFocus();
        return false;
    }
    return true;
}

bool Frm_Addproducts::codeTaken(const QString& code, const QVariant& exceptId) const {
    // Codes compare without regard to case (the column's collation); the product being edited is no
    // duplicate of itself.
    Params params{{QStringLiteral("code"), code}};
    QString sql = QStringLiteral("select * from T_products  where Product_Code=:code");
    if (exceptId.isValid()) {
        sql += QStringLiteral(" and Product_ID<>:id");
        params.insert(QStringLiteral("id"), exceptId);
    }
    QSqlQuery q = ctx_.data.db().exec(sql, params);
    return q.next();
}

bool Frm_Addproducts::readPrices(double* salePrice, double* costPrice) {
    // A box that holds no number (empty, or only a full stop) abandons the save.
    const std::pair<QLineEdit*, double*> boxes[] = {{Edit_SalePrice, salePrice}, {Edit_CostPrice, costPrice}};
    for (const auto& [box, out] : boxes) {
        bool ok = false;
        *out = box->text().toDouble(&ok);
        if (!ok) {
            PageControl1->setCurrentIndex(0);
            box->setFocus();
            throw DbError(QStringLiteral("“%1”不是有效的数字").arg(box->text()));
        }
    }
    return true;
}

void Frm_Addproducts::writeRow(Dataset& p, double salePrice, double costPrice) {
    auto set = [&p](const char* column, const QVariant& value) {
        p.setValue(QString::fromLatin1(column), value);
    };
    set("GoodsType", categoryCode_);
    set("Product_Code", Edit_Code->text());
    set("Product", Edit_Name->text());
    set("Product_Specific", Edit_Specific->text());
    set("SalePrice", salePrice);
    set("CostPrice", costPrice);
    set("Unit_Name", Combo_Unit->currentText());
    set("Memo", Memo1->toPlainText());
    for (int i = 0; i < kFreeFields; ++i)
        p.setValue(QStringLiteral("Goods%1").arg(i + 1), Edit_Goods[i]->text());
}

void Frm_Addproducts::saveNew() {
    const QString code = Edit_Code->text();
    double salePrice = 0, costPrice = 0;
    readPrices(&salePrice, &costPrice);
    Frm_Data& d = ctx_.data;
    Dataset& products = *d.Qry_Products;
    // A list to append to.
    if (!products.isOpen())
        d.OpenQuery(products, QStringLiteral("select * from T_products where Product_ID=1"));
    if (codeTaken(code, QVariant())) {
        refuse(kCodeTaken, Edit_Code);
        return;
    }
    products.append();
    try {
        writeRow(products, salePrice, costPrice);
        products.post();
    } catch (const DbError& e) {
        // The row was not stored: it leaves the list again.
        products.cancel();
        // Another workstation stored the same code in the meantime: the unique index refused it.
        if (e.isUniqueViolation()) {
            refuse(kCodeTaken, Edit_Code);
            return;
        }
        throw;
    }
    // Ready for the next product of the same kind: category and free fields stay.
    clearEntries();
    Edit_Code->setText(cb_Auto->isChecked() ? codeseq::nextCode(code) : QString());
    Edit_Code->setFocus();
}

void Frm_Addproducts::saveChanges() {
    Dataset& products = *ctx_.data.Qry_Products;
    if (!products.isOpen() || products.rowCount() == 0 || !loadedId_.isValid()) return;
    const QString newCode = Edit_Code->text();
    const bool codeChanged = newCode != loadedCode_;
    if (codeChanged && codeTaken(newCode, loadedId_)) {
        refuse(kCodeTaken, Edit_Code);
        return;
    }
    double salePrice = 0, costPrice = 0;
    readPrices(&salePrice, &costPrice);

    Database& db = ctx_.data.db();
    try {
        if (products.value(kId).toLongLong() != loadedId_.toLongLong() && !products.locate(kId, loadedId_))
            throw DbError(QStringLiteral("要修改的记录已不存在，可能已被其他操作员删除。"));
        products.edit();
        writeRow(products, salePrice, costPrice);
        Transaction tx(db);
        products.post();
        if (codeChanged) {
            // The bill lines and the commission rates keep naming this product.
            const Params codes{{QStringLiteral("new"), newCode}, {QStringLiteral("old"), loadedCode_}};
            db.execute(QStringLiteral("update T_saleDetail set product_Code=:new where Product_Code=:old"),
                       codes);
            db.execute(QStringLiteral("update T_PeopleTC set GoodsCode=:new where GoodsCode=:old"), codes);
        }
        tx.commit();
    } catch (const DbError& e) {
        // Nothing was written: the list shows the product as stored again, the dialog keeps what
        // the operator typed.
        if (products.state() == Dataset::State::Edit) products.cancel();
        runGuarded(ctx_.prompter, this, [this, &products] {
            products.refresh();
            products.locate(kId, loadedId_);
        });
        if (e.isUniqueViolation()) {
            refuse(kCodeTaken, Edit_Code);
            return;
        }
        throw;
    }
    loadedCode_ = newCode;
}

}  // namespace qv
