#include "NullableDateEdit.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QSignalBlocker>

namespace qv {

QString NullableDateEdit::displayFormat(Kind kind) {
    return kind == Kind::Date ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("yyyy-MM-dd HH:mm");
}

NullableDateEdit::NullableDateEdit(Kind kind, QWidget* parent)
    : QWidget(parent), kind_(kind), check_(new QCheckBox(this)), edit_(new QDateTimeEdit(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(check_);
    layout->addWidget(edit_, 1);
    check_->setObjectName(QStringLiteral("Check"));
    edit_->setObjectName(QStringLiteral("Edit"));
    edit_->setCalendarPopup(true);
    edit_->setDisplayFormat(displayFormat(kind));
    edit_->setDateTime(QDateTime(QDate::currentDate(), QTime(0, 0)));
    exact_ = edit_->dateTime();
    check_->setChecked(false);
    edit_->setEnabled(false);
    setFocusProxy(edit_);
    connect(check_, &QCheckBox::toggled, this, &NullableDateEdit::onToggled);
    connect(edit_, &QDateTimeEdit::dateTimeChanged, this, &NullableDateEdit::onEdited);
}

bool NullableDateEdit::isChecked() const { return check_->isChecked(); }

void NullableDateEdit::setChecked(bool checked) { check_->setChecked(checked); }

QDateTime NullableDateEdit::shownDateTime() const { return exact_; }

void NullableDateEdit::setShownDateTime(const QDateTime& shown) {
    if (!shown.isValid()) return;
    QDateTime v = shown;
    if (kind_ == Kind::Date) v.setTime(QTime(0, 0));
    {
        const QSignalBlocker block(edit_);
        edit_->setDateTime(v);
    }
    const bool changed = v != exact_;
    exact_ = v;
    if (changed && isChecked()) emit valueChanged(value());
}

QDateTime NullableDateEdit::value() const { return isChecked() ? exact_ : QDateTime(); }

void NullableDateEdit::setValue(const QDateTime& value) {
    if (!value.isValid()) {
        setChecked(false);
        return;
    }
    const QDateTime before = this->value();
    {
        // One change signal for shown date and tick together.
        const QSignalBlocker block(this);
        setShownDateTime(value);
        setChecked(true);
    }
    if (this->value() != before) emit valueChanged(this->value());
}

void NullableDateEdit::onEdited() {
    // The operator changed what the edit shows: from now on the edit's own value counts.
    QDateTime v = edit_->dateTime();
    if (kind_ == Kind::Date) v.setTime(QTime(0, 0));
    if (v == exact_) return;
    exact_ = v;
    if (isChecked()) emit valueChanged(value());
}

void NullableDateEdit::onToggled(bool checked) {
    edit_->setEnabled(checked);
    emit valueChanged(value());
}

}  // namespace qv
