#pragma once
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace qv {

// Enter-moves-focus of the editor dialogs: Enter or Return in any control of the dialog moves the
// focus to the next control in tab order, as Tab does. Push and tool buttons keep Enter (it presses
// them), multi-line text boxes keep it (a new line), and so does any control the editor excludes.
// Pop-ups of the dialog's controls (drop-down lists, calendars, completers) are windows of their
// own and keep Enter too.
class EnterMovesFocus : public QObject {
    Q_OBJECT
public:
    // Installs the behaviour on the dialog; the dialog owns it.
    static EnterMovesFocus* install(QWidget* dialog);

    // Enter keeps its own meaning in this control and the controls inside it.
    void exclude(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit EnterMovesFocus(QWidget* dialog);
    bool keepsEnter(QWidget* control) const;

    QWidget* dialog_;
    QList<QPointer<QWidget>> excluded_;
};

}  // namespace qv
