#include "SaleBillSave.h"

#include "Database.h"
#include "Dataset.h"
#include "DbError.h"
#include "Money.h"
#include "SaleCommission.h"
#include "Transaction.h"

namespace qv {

namespace {

double numberOf(const QVariant& v) {
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : 0.0;
}

}  // namespace

bool SaleBillSave::numberTaken(const QString& billCode) const {
    return db_.scalar(QStringLiteral("select count(*) from T_sale where BillCode=:b"),
                      {{QStringLiteral("b"), billCode}})
               .toInt() > 0;
}

void SaleBillSave::computeLines(const QString& billCode, const QString& salesman) {
    lines_.fetchAll();
    const int current = lines_.currentRow();
    for (int row = 0; row < lines_.rowCount(); ++row) {
        lines_.setCurrentRow(row);
        const Money price = Money::fromVariant(lines_.value(QStringLiteral("SalePrice")));
        const double quantity = numberOf(lines_.value(QStringLiteral("Number")));
        const double discount = numberOf(lines_.value(QStringLiteral("DisCount")));
        const QString rate = salecalc::rateOf(db_, salesman, lines_.text(QStringLiteral("Product_Code")));
        lines_.edit();
        // Lines follow the bill's number: a number replaced after a clash carries into every line.
        lines_.setValue(QStringLiteral("BillCode"), billCode);
        lines_.setValue(QStringLiteral("SaleMoney"),
                        salecalc::lineAmount(price, quantity, discount).toVariant());
        lines_.setValue(QStringLiteral("TCMoney"), salecalc::commission(rate, price, quantity).toVariant());
        lines_.post();
    }
    if (current >= 0 && current < lines_.rowCount()) lines_.setCurrentRow(current);
}

SaleBillSave::Result SaleBillSave::saveNew(const SaleBillHeader& h, QString* error) {
    const QString code = h.billCode.trimmed();
    if (numberTaken(code)) return Result::NumberTaken;
    try {
        Transaction tx(db_);
        QString cols =
            QStringLiteral("BillCode, SaleDate, OldBill, CustCode, Custname, Note, F_User, people");
        QString vals =
            QStringLiteral(":BillCode, :SaleDate, :OldBill, :CustCode, :Custname, :Note, :F_User, :people");
        Params p{{QStringLiteral("BillCode"), code},       {QStringLiteral("SaleDate"), h.saleDate},
                 {QStringLiteral("OldBill"), h.oldBill},   {QStringLiteral("CustCode"), h.custCode},
                 {QStringLiteral("Custname"), h.custName}, {QStringLiteral("Note"), h.note},
                 {QStringLiteral("F_User"), h.user},       {QStringLiteral("people"), h.salesman}};
        for (int i = 1; i <= 20; ++i) {
            const QString f = QStringLiteral("Bill%1").arg(i);
            cols += QStringLiteral(", ") + f;
            vals += QStringLiteral(", :") + f;
            p.insert(f, h.freeFields.value(i - 1));
        }
        db_.execute(QStringLiteral("insert into T_sale (%1) values (%2)").arg(cols, vals), p);
        computeLines(code, h.salesman);
        lines_.applyUpdates();
        tx.commit();
    } catch (const DbError& e) {
        // The transaction is rolled back; a number that exists now was taken by another workstation.
        if (numberTaken(code)) return Result::NumberTaken;
        if (error) *error = e.text();
        return Result::Failed;
    }
    lines_.commitUpdates();
    return Result::Saved;
}

}  // namespace qv
