#include "EditorHooks.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace qv::editorhooks {

namespace {

class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QWidget* control, std::function<void()> fn) : QObject(control), fn_(std::move(fn)) {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick && fn_) {
            fn_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> fn_;
};

class PickerKeyFilter : public QObject {
public:
    PickerKeyFilter(QWidget* control, std::function<void()> fn) : QObject(control), fn_(std::move(fn)) {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && fn_) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            const bool picks = (key->key() == Qt::Key_F4 && mods == Qt::NoModifier) ||
                               (key->key() == Qt::Key_Down && mods == Qt::AltModifier) ||
                               (key->key() == Qt::Key_Space && mods == Qt::NoModifier);
            if (picks) {
                fn_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> fn_;
};

}  // namespace

void onPickerKey(QWidget* control, std::function<void()> fn) { new PickerKeyFilter(control, std::move(fn)); }

void onDoubleClick(QWidget* control, std::function<void()> fn) {
    new DoubleClickFilter(control, std::move(fn));
}

}  // namespace qv::editorhooks
