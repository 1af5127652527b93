#include "DigitFilter.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <memory>

namespace qv {

namespace {

bool isDigitChar(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}

bool clipboardHoldsDigits() { return DigitFilter::isDigitText(QGuiApplication::clipboard()->text()); }

// Whether a key press may reach the box.
bool keyAllowed(const QKeyEvent& key) {
    if (key.matches(QKeySequence::Paste)) return clipboardHoldsDigits();
    // A line edit inserts nothing for Ctrl combinations (select-all, copy, undo ...): they pass.
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier)) return true;
    // Keys that insert text are judged by their text; the rest (backspace, delete, cursor keys,
    // Ctrl combinations, Enter, Tab) carry no printable text and edit or move as usual.
    for (QChar c : key.text())
        if (c.isPrint() && !isDigitChar(c)) return false;
    return true;
}

}  // namespace

bool DigitFilter::isDigitText(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (!isDigitChar(c)) return false;
    return true;
}

DigitFilter* DigitFilter::install(QLineEdit* edit) { return new DigitFilter(edit); }

DigitFilter::DigitFilter(QLineEdit* edit) : QObject(edit) {
    edit->installEventFilter(this);
    edit->setAcceptDrops(false);
    // An input method could compose any text; these boxes take only what the keys give.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
}

bool DigitFilter::isPasteAction(const QAction& action) {
    if (action.objectName() == QLatin1String("edit-paste")) return true;
    // The standard menu names its entries only in later Qt versions; the paste entry is the one
    // whose text ends with the paste shortcut ("粘贴(&P)\tCtrl+V").
    const QString shortcut = action.text().section(QLatin1Char('\t'), 1);
    if (shortcut.isEmpty()) return false;
    for (const QKeySequence& seq : QKeySequence::keyBindings(QKeySequence::Paste))
        if (seq.toString(QKeySequence::NativeText) == shortcut) return true;
    return false;
}

void DigitFilter::restrictMenu(QMenu& menu) {
    const bool digits = clipboardHoldsDigits();
    for (QAction* a : menu.actions()) {
        if (isPasteAction(*a)) a->setEnabled(a->isEnabled() && digits);
        // Sub-menus (control characters of the text direction) would insert text as well.
        if (a->menu()) a->setEnabled(false);
    }
}

bool DigitFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit) return false;
    switch (event->type()) {
        case QEvent::KeyPress:
            return !keyAllowed(*static_cast<QKeyEvent*>(event));
        case QEvent::ShortcutOverride: {
            // A refused paste must not fall through to a shortcut of the window either.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Paste) && !clipboardHoldsDigits()) {
                event->accept();
                return true;
            }
            return false;
        }
        case QEvent::InputMethod: {
            auto* im = static_cast<QInputMethodEvent*>(event);
            const QString commit = im->commitString();
            return !im->preeditString().isEmpty() || (!commit.isEmpty() && !isDigitText(commit));
        }
        case QEvent::ContextMenu: {
            auto* cm = static_cast<QContextMenuEvent*>(event);
            std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
            restrictMenu(*menu);
            menu->exec(cm->globalPos());
            return true;
        }
        case QEvent::Drop:
        case QEvent::DragEnter:
        case QEvent::DragMove:
            return true;
        default:
            return false;
    }
}

DigitLineEdit::DigitLineEdit(QWidget* parent) : QLineEdit(parent) { DigitFilter::install(this); }

}  // namespace qv
