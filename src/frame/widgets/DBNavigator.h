#pragma once
#include <QPointer>
#include <QWidget>
#include <array>

#include "Dataset.h"

class QToolButton;

namespace qv {

class Prompter;

// The record navigator of the editor dialogs: first / prior / next / last over a dataset's current
// row. A button is enabled only where it can move: first and prior while the current row is not the
// first, next and last while it is not the last; all four are disabled without an open dataset with
// rows. After each move the navigator made, moved() tells the editor to reload its boxes.
class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last };

    explicit DBNavigator(QWidget* parent = nullptr);

    // The dataset to move over (null detaches). The navigator follows the dataset's own moves,
    // opening and closing; it does not own it.
    void setDataset(Dataset* dataset);
    Dataset* dataset() const { return dataset_; }

    // Where a failed move is reported (the standard error box).
    void setPrompter(Prompter* prompter) { prompter_ = prompter; }

    QToolButton* button(Button which) const { return buttons_[size_t(which)]; }

    // Performs the move as a click on the button does (also when the button is disabled: the
    // dataset then simply stays where it is). Returns true when the current row changed.
    bool move(Button which);

public slots:
    void updateButtons();

signals:
    // The navigator moved the dataset to another row; the editor reloads from it.
    void moved(qv::DBNavigator::Button which);

private:
    std::array<QToolButton*, 4> buttons_{};
    QPointer<Dataset> dataset_;
    Prompter* prompter_ = nullptr;
};

}  // namespace qv
