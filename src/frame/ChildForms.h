#pragma once
#include <QHash>
#include <QPointer>
#include <QString>
#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace qv {

// The child windows of the frame that exist at most once, one per kind. A child window is freed when
// it is closed (closing its inner widget closes the child window too).
class ChildForms {
public:
    explicit ChildForms(QMdiArea& area) : area_(area) {}

    using Factory = std::function<QWidget*()>;
    // Brings the window of this kind forward (restoring a minimised one, showing a hidden one) or, when
    // there is none, creates it with `create` as a child of the frame and shows it at once. Returns the
    // window's inner widget; null when `create` gave none.
    QWidget* show(const QString& kind, const Factory& create);

    // The open window of this kind (its inner widget), or null.
    QWidget* find(const QString& kind) const;
    QMdiSubWindow* subWindow(const QString& kind) const;

private:
    QMdiArea& area_;
    QHash<QString, QPointer<QMdiSubWindow>> open_;
};

}  // namespace qv
