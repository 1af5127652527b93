#include "RefillComboBox.h"

#include <QSignalBlocker>

#include "Dataset.h"
#include "Frm_Data.h"
#include "WidgetStep.h"

namespace qv {

RefillComboBox::RefillComboBox(QWidget* parent) : QComboBox(parent) { setInsertPolicy(QComboBox::NoInsert); }

RefillComboBox::~RefillComboBox() = default;

void RefillComboBox::setSource(Source source) {
    source_ = std::move(source);
    data_ = nullptr;
}

void RefillComboBox::setTable(Frm_Data& data, const QString& table, Order order) {
    source_ = nullptr;
    data_ = &data;
    table_ = table;
    order_ = order;
    delete dataset_;
    dataset_ = new Dataset(data.db(), QStringLiteral("Qry_Refill"), this);
}

void RefillComboBox::refill() {
    if (source_) {
        const WaitCursor wait;
        fillWith(source_());
    } else if (data_ && dataset_) {
        const WaitCursor wait;
        // The data module's fill trims, keeps the shown text and sends no change signals.
        if (order_ == Order::ByName)
            data_->FillComboByName(*dataset_, *this, table_);
        else
            data_->FillComboById(*dataset_, *this, table_);
        dataset_->close();
    }
}

void RefillComboBox::fillWith(const QStringList& items) {
    const QSignalBlocker block(this);
    const QString shown = currentText();
    clear();
    for (const QString& item : items) addItem(item.trimmed());
    if (isEditable())
        setEditText(shown);
    else
        setCurrentIndex(findText(shown));
}

void RefillComboBox::showPopup() {
    if (runWidgetStep(prompter_, window(), [this] { refill(); })) QComboBox::showPopup();
}

}  // namespace qv
