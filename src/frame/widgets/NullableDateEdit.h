#pragma once
#include <QDateTime>
#include <QWidget>

class QCheckBox;
class QDateTimeEdit;

namespace qv {

// A date (or date-and-time) edit with a tick box in front: unticked means "no date". The edit keeps
// showing a date while unticked (greyed), so an editor can preset it ("today, unticked"); value()
// is then null. Calendar pop-up; shown as "yyyy-MM-dd" or "yyyy-MM-dd HH:mm".
class NullableDateEdit : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Date, DateTime };

    explicit NullableDateEdit(QWidget* parent = nullptr) : NullableDateEdit(Kind::Date, parent) {}
    explicit NullableDateEdit(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }

    // The date shown while ticked, null while unticked. A date edit gives the date at midnight.
    QDateTime value() const;
    // A valid value is shown and ticked; a null (or invalid) one unticks and leaves the shown date.
    void setValue(const QDateTime& value);
    // The date part of value(); null while unticked.
    QDate date() const { return value().date(); }
    void setDate(const QDate& date) { setValue(date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime()); }

    bool isChecked() const;
    void setChecked(bool checked);

    // What the edit shows, ticked or not; setting it does not tick.
    QDateTime shownDateTime() const;
    void setShownDateTime(const QDateTime& value);

    QCheckBox* checkBox() const { return check_; }
    QDateTimeEdit* editor() const { return edit_; }

    static QString displayFormat(Kind kind);

signals:
    // The value changed: ticked or unticked, or the shown date changed while ticked.
    void valueChanged(const QDateTime& value);

private:
    void onEdited();
    void onToggled(bool checked);

    Kind kind_;
    QCheckBox* check_;
    QDateTimeEdit* edit_;
    // The value as set, with its seconds: the edit shows minutes only, so an unchanged value keeps
    // them, and an untouched date-and-time saves back exactly as it was read.
    QDateTime exact_;
};

}  // namespace qv
