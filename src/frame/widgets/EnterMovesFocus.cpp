#include "EnterMovesFocus.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>

namespace qv {

namespace {

// QWidget::focusNextPrevChild is protected; this names it so that the focus moves as Tab moves it
// between controls (focus proxies, disabled and hidden controls, wrapping at the end).
struct FocusAccess : QWidget {
    using QWidget::focusNextPrevChild;
};

bool isEnterKey(const QKeyEvent& key) {
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
    return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

EnterMovesFocus* EnterMovesFocus::install(QWidget* dialog) { return new EnterMovesFocus(dialog); }

EnterMovesFocus::EnterMovesFocus(QWidget* dialog) : QObject(dialog), dialog_(dialog) {
    // A key goes to the control that has the focus, never to the dialog first: the filter watches
    // the application and acts only on controls inside this dialog's window.
    qApp->installEventFilter(this);
}

void EnterMovesFocus::exclude(QWidget* control) { excluded_ << control; }

bool EnterMovesFocus::keepsEnter(QWidget* control) const {
    for (QWidget* w = control; w && w != dialog_; w = w->parentWidget()) {
        if (qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) return true;
        for (const QPointer<QWidget>& e : excluded_)
            if (e == w) return true;
    }
    // Check boxes and radio buttons are controls like any other; push and tool buttons are pressed.
    auto* button = qobject_cast<QAbstractButton*>(control);
    return button && !qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button);
}

bool EnterMovesFocus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* control = static_cast<QWidget*>(watched);
    // Controls of this dialog's own window only (isAncestorOf stops at pop-up windows).
    if (control == dialog_ || !dialog_->isAncestorOf(control)) return false;
    if (!isEnterKey(*static_cast<QKeyEvent*>(event)) || keepsEnter(control)) return false;
    // Asked of the window, not of the control: a date edit would move to its next section instead.
    QWidget* window = control->window();
    (window->*&FocusAccess::focusNextPrevChild)(true);
    return true;
}

}  // namespace qv
