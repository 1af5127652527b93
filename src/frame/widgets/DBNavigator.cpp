#include "DBNavigator.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "Dataset.h"
#include "WidgetStep.h"

namespace qv {

namespace {

struct ButtonLook {
    const char* objectName;
    const char* toolTip;
    QStyle::StandardPixmap icon;
};

constexpr ButtonLook kLooks[] = {
    {"Nav_First", "第一条", QStyle::SP_MediaSkipBackward},
    {"Nav_Prior", "上一条", QStyle::SP_MediaSeekBackward},
    {"Nav_Next", "下一条", QStyle::SP_MediaSeekForward},
    {"Nav_Last", "最后一条", QStyle::SP_MediaSkipForward},
};

}  // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DBNavigator"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(kLooks[i].objectName));
        b->setToolTip(QString::fromUtf8(kLooks[i].toolTip));
        b->setIcon(style()->standardIcon(kLooks[i].icon));
        b->setAutoRaise(false);
        const auto which = Button(i);
        connect(b, &QToolButton::clicked, this, [this, which] { move(which); });
        layout->addWidget(b);
        buttons_[i] = b;
    }
    updateButtons();
}

void DBNavigator::setDataset(Dataset* dataset) {
    if (dataset_ == dataset) return;
    if (dataset_) disconnect(dataset_, nullptr, this, nullptr);
    dataset_ = dataset;
    if (dataset) {
        // Every change that can move the current row or change the number of rows re-checks the buttons.
        connect(dataset, &Dataset::currentRowChanged, this, &DBNavigator::updateButtons);
        connect(dataset, &Dataset::opened, this, &DBNavigator::updateButtons);
        connect(dataset, &Dataset::closed, this, &DBNavigator::updateButtons);
        connect(dataset, &Dataset::stateChanged, this, &DBNavigator::updateButtons);
        connect(dataset, &Dataset::modelReset, this, &DBNavigator::updateButtons);
        connect(dataset, &Dataset::layoutChanged, this, &DBNavigator::updateButtons);
        connect(dataset, &Dataset::rowsInserted, this, &DBNavigator::updateButtons);
        connect(dataset, &Dataset::rowsRemoved, this, &DBNavigator::updateButtons);
        // A dataset destroyed first leaves the navigator disabled, not dangling.
        connect(dataset, &QObject::destroyed, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

void DBNavigator::updateButtons() {
    const bool rows = dataset_ && dataset_->isOpen() && !dataset_->isEmpty();
    const bool back = rows && !dataset_->bof();
    const bool forward = rows && !dataset_->eof();
    button(Button::First)->setEnabled(back);
    button(Button::Prior)->setEnabled(back);
    button(Button::Next)->setEnabled(forward);
    button(Button::Last)->setEnabled(forward);
}

bool DBNavigator::move(Button which) {
    if (!dataset_ || !dataset_->isOpen()) return false;
    const int before = dataset_->currentRow();
    const bool ok = runWidgetStep(prompter_, window(), [&] {
        switch (which) {
            case Button::First:
                dataset_->first();
                break;
            case Button::Prior:
                dataset_->prior();
                break;
            case Button::Next:
                dataset_->next();
                break;
            case Button::Last:
                dataset_->last();
                break;
        }
    });
    updateButtons();
    const bool changed = dataset_ && dataset_->currentRow() != before;
    if (changed) emit moved(which);
    return ok && changed;
}

}  // namespace qv
