#include "AdminUi.h"

#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace qv::admin {

namespace {

// A small figure: head and shoulders in the given colour.
QIcon figure(const QColor& colour, bool withBadge) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colour.darker(140));
    p.setBrush(colour);
    p.drawEllipse(QRectF(5, 1, 6, 6));
    p.drawRoundedRect(QRectF(2, 8, 12, 7), 3, 3);
    if (withBadge) {
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.drawLine(QPointF(10, 10), QPointF(15, 15));
        p.drawLine(QPointF(15, 10), QPointF(10, 15));
    }
    return QIcon(pm);
}

}  // namespace

QIcon operatorIcon(bool offeredAtLogin) {
    return offeredAtLogin ? figure(QColor(40, 110, 220), false) : figure(QColor(150, 150, 150), true);
}

QIcon roleIcon() { return figure(QColor(230, 160, 30), false); }

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace qv::admin
