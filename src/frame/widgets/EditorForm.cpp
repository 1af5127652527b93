#include "EditorForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "DigitFilter.h"

namespace qv {

QLineEdit* formLineEdit(QWidget* parent, const char* name, int maxLength, bool digits) {
    QLineEdit* e = digits ? new DigitLineEdit(parent) : new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLength);
    return e;
}

QWidget* withSide(QWidget* parent, QWidget* main, std::initializer_list<QWidget*> side) {
    auto* box = new QWidget(parent);
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    h->addWidget(main, 1);
    for (QWidget* w : side) h->addWidget(w);
    return box;
}

void addFormRow(QGridLayout* grid, int row, int col, const QString& caption, QWidget* control, QWidget* cell,
                int span) {
    auto* label = new QLabel(caption, grid->parentWidget());
    label->setBuddy(control);
    grid->addWidget(label, row, col * 2, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(cell ? cell : control, row, col * 2 + 1, 1, span);
}

}  // namespace qv
