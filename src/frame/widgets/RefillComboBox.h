#pragma once
#include <QComboBox>
#include <QPointer>
#include <QStringList>
#include <functional>

#include "Frm_Data.h"

namespace qv {

class Dataset;
class Prompter;

// A drop-down of reference values that refills itself from the database each time its list opens,
// so that values another workstation added meanwhile are offered. The hourglass shows while it
// reads. Items are trimmed; the text the box shows (typed or chosen) stays across a refill. Typed
// text never becomes an item. Editable or pick-only is the caller's choice (setEditable).
class RefillComboBox : public QComboBox {
    Q_OBJECT
public:
    using Source = std::function<QStringList()>;
    enum class Order { ByName, ById };

    explicit RefillComboBox(QWidget* parent = nullptr);
    ~RefillComboBox() override;

    // Items come from a function of the caller (a statement of its own, a column other than the
    // second, a filter that depends on another box).
    void setSource(Source source);
    // Items are the second column of every row of the reference table, in name or id order,
    // read through a dataset of this box's own (the data module's scratch queries stay untouched).
    void setTable(Frm_Data& data, const QString& table, Order order = Order::ByName);

    // Where a failed refill is reported (the standard error box).
    void setPrompter(Prompter* prompter) { prompter_ = prompter; }

    // Reads the items now; throws DbError when the database refuses. Without a source it does nothing.
    void refill();

    // Refills, then opens the list; a failed refill is reported and leaves the list closed.
    void showPopup() override;

private:
    void fillWith(const QStringList& items);

    Source source_;
    QPointer<Frm_Data> data_;
    QString table_;
    Order order_ = Order::ByName;
    Dataset* dataset_ = nullptr;
    Prompter* prompter_ = nullptr;
};

}  // namespace qv
