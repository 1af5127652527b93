#include "ChildForms.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qv {

namespace {

// A child window whose inner widget closes itself (its own "退出" button) closes with it.
class CloseWithContent : public QObject {
public:
    explicit CloseWithContent(QMdiSubWindow* sub) : QObject(sub), sub_(sub) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && watched == sub_->widget()) {
            // Runs after the content decided: when it did close and the child window is still up (the
            // content closed itself), the child window goes too. Closing the child window through
            // close() would ask the content a second time, so it is freed directly.
            QPointer<QMdiSubWindow> sub = sub_;
            QMetaObject::invokeMethod(
                sub_,
                [sub] {
                    if (sub && sub->isVisible() && (!sub->widget() || !sub->widget()->isVisible()))
                        sub->deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QMdiSubWindow* sub_;
};

}  // namespace

QMdiSubWindow* ChildForms::subWindow(const QString& kind) const {
    const auto it = open_.constFind(kind);
    return it == open_.cend() ? nullptr : it->data();
}

QWidget* ChildForms::find(const QString& kind) const {
    QMdiSubWindow* sub = subWindow(kind);
    return sub ? sub->widget() : nullptr;
}

QWidget* ChildForms::show(const QString& kind, const Factory& create) {
    if (QMdiSubWindow* sub = subWindow(kind)) {
        if (sub->isMinimized())
            sub->showNormal();
        else
            sub->show();
        if (sub->widget() && sub->widget()->isHidden()) sub->widget()->show();
        area_.setActiveSubWindow(sub);
        sub->raise();
        if (QWidget* w = sub->widget()) w->setFocus(Qt::OtherFocusReason);
        return sub->widget();
    }

    QWidget* content = create ? create() : nullptr;
    if (!content) return nullptr;
    QMdiSubWindow* sub = area_.addSubWindow(content);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(QStringLiteral("Child_") + kind);
    content->installEventFilter(new CloseWithContent(sub));
    open_.insert(kind, sub);
    content->show();
    sub->show();
    area_.setActiveSubWindow(sub);
    return content;
}

}  // namespace qv
