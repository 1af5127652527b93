#include "ContactRules.h"

#include <QSqlQuery>

#include "Database.h"
#include "Dataset.h"

namespace qv::contactrules {

namespace {

const QString kCustCode = QStringLiteral("CustCode");
const QString kMainContact = QStringLiteral("MainContact");

// Text compared as the database compares it: without case.
bool sameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool standsOn(const Dataset* customers, const QString& custCode) {
    return customers && customers->isOpen() && customers->currentRow() >= 0 &&
           customers->state() == Dataset::State::Browse && customers->text(kCustCode) == custCode;
}

void writeMainContact(const Database& db, Dataset* customers, const QString& custCode, const QString& name) {
    if (standsOn(customers, custCode)) {
        customers->edit();
        customers->setValue(kMainContact, name);
        try {
            customers->post();
        } catch (...) {
            customers->cancel();
            throw;
        }
        return;
    }
    db.execute(QStringLiteral("update custom set MainContact=:name where CustCode=:code"),
               {{QStringLiteral("name"), name}, {QStringLiteral("code"), custCode}});
}

}  // namespace

QString customerCodeFor(const Database& db, const QString& company, const QString& currentCode) {
    QSqlQuery q = db.exec(QStringLiteral("Select CustCode from custom where company=:company order by CustID"),
                          {{QStringLiteral("company"), company}});
    QString first;
    bool any = false;
    while (q.next()) {
        const QString code = q.value(0).toString();
        if (!currentCode.isEmpty() && code == currentCode) return code;
        if (!any) first = code;
        any = true;
    }
    return first;
}

void setMainContact(const Database& db, Dataset* customers, const QString& custCode, const QString& name) {
    writeMainContact(db, customers, custCode, name);
}

bool settleMainContactAfterDelete(const Database& db, Dataset* customers, const QString& custCode,
                                  const QString& deletedName, bool deletedWasMain) {
    if (!deletedWasMain) return false;
    const Params code{{QStringLiteral("code"), custCode}};
    const QString current =
        db.scalar(QStringLiteral("select MainContact from custom where CustCode=:code"), code).toString();
    if (current.isEmpty() || !sameText(current, deletedName)) return false;
    // Another main contact of the same name still stands behind the name.
    QSqlQuery q = db.exec(
        QStringLiteral("select Name from contact where CustCode=:code and Main=1 order by ContactId desc"),
        code);
    QString successor;
    bool found = false;
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (sameText(name, current)) return false;
        if (!found) successor = name;
        found = true;
    }
    writeMainContact(db, customers, custCode, successor);
    return true;
}

}  // namespace qv::contactrules
