// Saving in the customer editor: the checks, the new customer, the changed customer with the
// carrying of its code and company name.
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QTabWidget>

#include "CodeSequence.h"
#include "CommandGuard.h"
#include "Context.h"
#include "CustomerCarry.h"
#include "DbError.h"
#include "Frm_AddCust.h"
#include "Frm_Data.h"
#include "Prompter.h"
#include "RefillComboBox.h"
#include "Transaction.h"

namespace qv {

namespace {

const QString kNotice = QStringLiteral("提醒");
const QString kCodeEmpty = QStringLiteral("客户编号不能为空!");
const QString kNameEmpty = QStringLiteral("公司名称不能为空!");
const QString kAutoTail = QStringLiteral("您选择了自动编码,请保持房源编码最后四位为数字");
const QString kCodeTaken = QStringLiteral("客户编号有重复!");
const QString kNameTaken = QStringLiteral("客户名称有重复!");
const QString kCodeTakenEdit = QStringLiteral("客户编号重复，请你换一个客户编号");
const QString kSaveFailed = QStringLiteral("保存数据失败!");

bool exists(const Database& db, const QString& sql, const QString& value, Params more = {}) {
    more.insert(QStringLiteral("value"), value);
    QSqlQuery q = db.exec(sql, more);
    return q.next();
}

// The pages of the workbench that show the current customer's rows.
QList<Dataset*> customerPages(const Frm_Data& d) {
    return {d.Qry_Contact, d.Qry_Schedule, d.Qry_Sale,  d.Qry_price,
            d.Qry_visit,   d.Qry_feedback, d.Qry_track, d.Qry_bargain};
}

}  // namespace

void Frm_AddCust::save() {
    guarded([this] {
        if (!checkEntries()) return;
        if (mode_ == Mode::Add)
            saveNew();
        else
            saveChanges();
    });
}

void Frm_AddCust::refuse(const QString& text, QWidget* focus) {
    PageControl1->setCurrentIndex(0);
    ctx_.prompter.message(text, kNotice, QMessageBox::Information, QMessageBox::Ok, this);
    if (focus) focus->setFocus();
}

bool Frm_AddCust::checkEntries() {
    const QString code = Edit_Code->text().trimmed();
    if (code.isEmpty()) {
        refuse(kCodeEmpty, Edit_Code);
        return false;
    }
    if (Edit_CustName->text().trimmed().isEmpty()) {
        refuse(kNameEmpty, Edit_CustName);
        return false;
    }
    if (cb_Auto->isChecked() && !codeseq::tailIsNumber(code)) {
        refuse(kAutoTail, Edit_Code);
        return false;
    }
    return true;
}

void Frm_AddCust::writeRow(Dataset& c) {
    auto set = [&c](const char* column, const QVariant& value) {
        c.setValue(QString::fromLatin1(column), value);
    };
    auto trimmed = [](const QLineEdit* e) { return e->text().trimmed(); };
    // The memos and the operator are stored as they stand; texts trimmed, the code too (" KH01" and
    // "KH01" are one code: the rows that carry it must find it).
    set("CustCode", Edit_Code->text().trimmed());
    set("Company", trimmed(Edit_CustName));
    set("Category", categoryCode_);
    set("MainContact", trimmed(Edit_Main));
    set("mobile", trimmed(Edit_Mobile));
    set("Tel", trimmed(Edit_tel));
    set("Fax", trimmed(Edit_Fax));
    set("Address", trimmed(Edit_Address));
    set("PostCode", trimmed(Edit_Zip));
    set("CustType", Combo_CustType->currentText().trimmed());
    set("custlevel", Combo_CustLevel->currentText().trimmed());
    set("Income", trimmed(Edit_Income));
    set("Email", trimmed(Edit_Email));
    set("Url", trimmed(Edit_Url));
    set("OtherInfo", trimmed(Edit_OtherInfo));
    set("F_User", Combo_User->currentText());
    set("Introduce", Memo1->toPlainText());
    set("Country", Combo_Country->currentText().trimmed());
    set("Province", Combo_Province->currentText().trimmed());
    set("City", Combo_city->currentText().trimmed());
    set("CustFrom", Combo_CustFrom->currentText().trimmed());
    for (int i = 0; i < 6; ++i) c.setValue(QStringLiteral("field%1").arg(i + 1), trimmed(edit_other[i]));
    set("Memo3", Memo3->toPlainText());
    // A stored date keeps its time of day unless the operator picked another day.
    const QDate day = DateEdit1->date();
    const bool sameDay = mode_ == Mode::Edit && loadedAddDate_.isValid() && loadedAddDate_.date() == day;
    set("Adddate", sameDay ? loadedAddDate_ : QDateTime(day, QTime(0, 0)));
}

void Frm_AddCust::saveNew() {
    const Database& db = ctx_.data.db();
    const QString code = Edit_Code->text().trimmed();
    if (exists(db, QStringLiteral("select * from Custom where CustCode=:value"), code)) {
        refuse(kCodeTaken, Edit_Code);
        return;
    }
    if (exists(db, QStringLiteral("select * from Custom where Company=:value"),
               Edit_CustName->text().trimmed())) {
        refuse(kNameTaken, Edit_CustName);
        return;
    }

    Dataset& customers = *ctx_.data.Qry_Cust;
    if (!customers.isOpen()) customers.open();
    customers.append();
    try {
        writeRow(customers);
        customers.post();
    } catch (const DbError& e) {
        customers.cancel();
        // Another workstation saved the same code in the meantime: the unique index refused it.
        if (e.isUniqueViolation()) {
            refuse(kCodeTaken, Edit_Code);
            return;
        }
        throw;
    }

    clearEntries();
    if (cb_Auto->isChecked()) Edit_Code->setText(codeseq::nextCode(code));
    // The list is read again (the workbench shows the new customer), staying on the new customer.
    customers.refresh();
    if (!cb_Continue->isChecked()) {
        accept();
        return;
    }
    PageControl1->setCurrentIndex(0);
    Edit_Code->setFocus();
}

bool Frm_AddCust::positionOnLoaded(Dataset& customers) {
    const QString id = QStringLiteral("CustID");
    if (customers.currentRow() >= 0 && customers.value(id).toLongLong() == loadedCustId_.toLongLong())
        return true;
    return customers.locate(id, loadedCustId_);
}

void Frm_AddCust::saveChanges() {
    Database& db = ctx_.data.db();
    // Blanks around the code are no part of it; a change of letter case is a change (the related
    // rows are carried so that they show the code as it is now written).
    const QString newCode = Edit_Code->text().trimmed();
    const QString newCompany = Edit_CustName->text().trimmed();
    const bool codeChanged = newCode != loadedCode_;
    const bool companyChanged = newCompany != loadedCompany_;
    // The customer's own row is no duplicate of it (codes compare without case).
    if (codeChanged &&
        exists(db, QStringLiteral("select * from custom where CustCode=:value and CustID<>:id"), newCode,
               {{QStringLiteral("id"), loadedCustId_}})) {
        refuse(kCodeTakenEdit, Edit_Code);
        return;
    }

    Dataset& customers = *ctx_.data.Qry_Cust;
    try {
        Transaction tx(db);
        if (!positionOnLoaded(customers))
            throw DbError(QStringLiteral("要修改的记录已不存在，可能已被其他操作员删除。"));
        // The related rows are carried before the customer row is posted: posting it makes the
        // workbench's pages read the customer's rows under the new code, and they must be there.
        if (codeChanged) customercarry::carryCode(db, loadedCode_, newCode);
        if (companyChanged) customercarry::carryCompany(db, newCode, loadedCompany_, newCompany);
        customers.edit();
        writeRow(customers);
        customers.post();
        tx.commit();
    } catch (const std::exception&) {
        // Nothing was written: the list shows the rows as the database holds them again, and the
        // dialog keeps what the operator typed.
        if (customers.state() == Dataset::State::Edit) customers.cancel();
        runGuarded(ctx_.prompter, this, [&customers] { customers.refresh(); });
        ctx_.prompter.message(kSaveFailed, kNotice, QMessageBox::Information, QMessageBox::Ok, this);
        return;
    }
    // The pages read the rows again when the posted code differs from the one they show; when it
    // differs only in letter case, or only the company name changed, they are read once more here.
    const bool pagesFollowed = QString::compare(newCode, loadedCode_, Qt::CaseInsensitive) != 0;
    if ((codeChanged || companyChanged) && !pagesFollowed) {
        runGuarded(ctx_.prompter, this, [this] {
            for (Dataset* page : customerPages(ctx_.data))
                if (page && page->isOpen() && page->state() == Dataset::State::Browse &&
                    !page->hasPendingUpdates())
                    page->refresh();
        });
    }
    loadedCode_ = newCode;
    loadedCompany_ = newCompany;
    loadedAddDate_ = customers.value(QStringLiteral("Adddate")).toDateTime();
}

}  // namespace qv
