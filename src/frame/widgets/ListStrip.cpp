#include "ListStrip.h"

#include <QBoxLayout>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

#include "CompanyComboBox.h"

namespace qv::liststrip {

CompanyComboBox* addCompanyBox(QWidget* owner, QBoxLayout* strip, Database& db, Prompter& prompter) {
    auto* box = new CompanyComboBox(owner);
    box->setObjectName(QStringLiteral("Combo_Cust"));
    box->setDatabase(&db);
    box->setPrompter(&prompter);
    box->setMinimumWidth(200);
    strip->addWidget(box);
    return box;
}

void addDateRange(QWidget* owner, QBoxLayout* strip, QDateEdit*& from, QDateEdit*& to) {
    auto dateEdit = [owner](const char* name) {
        auto* e = new QDateEdit(owner);
        e->setObjectName(QLatin1String(name));
        e->setCalendarPopup(true);
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        return e;
    };
    from = dateEdit("Date_From");
    to = dateEdit("Date_To");
    strip->addWidget(from);
    strip->addWidget(new QLabel(QStringLiteral("~"), owner));
    strip->addWidget(to);
}

QPushButton* addButton(QWidget* owner, QBoxLayout* strip, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(QLatin1String(name));
    strip->addWidget(b);
    return b;
}

}  // namespace qv::liststrip
