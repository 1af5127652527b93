#include "DesignCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "PreparedReport.h"
#include "ReportText.h"

namespace qv {

namespace {
constexpr double kHandle = 1.6;  // mm
}

DesignCanvas::DesignCanvas(ReportDesign& design, QWidget* parent) : QWidget(parent), design_(design) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::gray);
    setPalette(pal);
    relayout();
}

double DesignCanvas::scale() const { return logicalDpiX() / 25.4; }

QSize DesignCanvas::sizeHint() const {
    const ReportTemplate& t = design_.reportTemplate();
    const double bottom = design_.bandOrigin(int(t.bands.size())).y() + t.page.bottom;
    const double h = std::max(t.page.pageHeight(), bottom);
    return QSize(int(t.page.pageWidth() * scale()) + 1, int(h * scale()) + 1);
}

void DesignCanvas::relayout() {
    setFixedSize(sizeHint());
    update();
}

QRectF DesignCanvas::handleRect() const {
    const QRectF r = design_.objectRect(design_.selection());
    if (!design_.selection().valid()) return {};
    return QRectF(r.right() - kHandle / 2, r.bottom() - kHandle / 2, kHandle, kHandle);
}

void DesignCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const double s = scale();
    const ReportTemplate& t = design_.reportTemplate();
    p.fillRect(rect(), Qt::white);

    // The bands: a strip each, named at its left, with its lower edge dashed.
    QFont caption = font();
    caption.setPointSizeF(7);
    p.setFont(caption);
    for (int b = 0; b < int(t.bands.size()); ++b) {
        const ReportBand& band = t.bands[size_t(b)];
        const double top = design_.bandOrigin(b).y();
        p.fillRect(QRectF(0, top * s, width(), band.height * s),
                   b % 2 ? QColor(246, 246, 255) : QColor(255, 255, 240));
        p.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
        p.drawLine(QPointF(0, (top + band.height) * s), QPointF(width(), (top + band.height) * s));
        p.setPen(Qt::darkGray);
        QString name = bandCaption(band.kind);
        if (!band.source.isEmpty()) name += QStringLiteral(": ") + band.source;
        p.drawText(QRectF(2, top * s, width(), band.height * s), Qt::AlignLeft | Qt::AlignTop, name);
    }
    // The margins.
    p.setPen(QPen(Qt::lightGray, 1, Qt::DotLine));
    p.drawRect(QRectF(t.page.left * s, t.page.top * s, (t.page.pageWidth() - t.page.left - t.page.right) * s,
                      (t.page.pageHeight() - t.page.top - t.page.bottom) * s));

    // The objects, painted as the engine paints them, with their texts as written.
    PreparedPage page;
    page.width = t.page.pageWidth();
    page.height = t.page.pageHeight();
    for (int b = 0; b < int(t.bands.size()); ++b) {
        const auto& objects = t.bands[size_t(b)].objects;
        for (int o = 0; o < int(objects.size()); ++o) {
            const ReportObject& obj = objects[size_t(o)];
            PreparedItem it;
            it.kind = obj.kind;
            it.rect = design_.objectRect({b, o});
            if (obj.kind == ReportObject::Kind::Line) it.rect = obj.rect.translated(design_.bandOrigin(b));
            it.fontFamily = printFamily(obj.fontFamily);
            it.fontSize = obj.fontSize;
            it.bold = obj.bold;
            it.italic = obj.italic;
            it.align = obj.align;
            it.frame = obj.frame;
            it.lineWidth = obj.lineWidth;
            it.picture = obj.picture;
            if (obj.kind == ReportObject::Kind::Text) {
                const TextLines tl = breakText(obj.text, it.fontFamily, obj.fontSize, obj.bold, obj.italic,
                                               obj.rect.width() - 2 * kTextPadding, obj.wordWrap);
                it.lines = tl.lines;
                it.lineHeight = tl.lineHeight;
            }
            page.items.push_back(std::move(it));
        }
    }
    paintPage(p, page);

    // Every object's outline faintly, the selected one strongly with its handle.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(180, 180, 220), 1, Qt::DotLine));
    for (int b = 0; b < int(t.bands.size()); ++b)
        for (int o = 0; o < int(t.bands[size_t(b)].objects.size()); ++o) {
            const QRectF r = design_.objectRect({b, o});
            p.drawRect(QRectF(r.topLeft() * s, r.size() * s));
        }
    if (design_.selection().valid()) {
        const QRectF r = design_.objectRect(design_.selection());
        p.setPen(QPen(Qt::blue, 1));
        p.drawRect(QRectF(r.topLeft() * s, r.size() * s));
        const QRectF h = handleRect();
        p.fillRect(QRectF(h.topLeft() * s, h.size() * s), Qt::blue);
    }
}

void DesignCanvas::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    setFocus();
    const QPointF mm = toMm(e->position());
    dragStart_ = mm;
    dragChanged_ = false;
    if (design_.selection().valid() && handleRect().adjusted(-0.5, -0.5, 0.5, 0.5).contains(mm)) {
        drag_ = Drag::Resize;
    } else {
        const ReportDesign::Selection hit = design_.objectAt(mm);
        design_.select(hit.valid() ? hit : ReportDesign::Selection{design_.bandAt(mm), -1});
        drag_ = design_.selection().valid() ? Drag::Move : Drag::None;
    }
    if (const ReportObject* o = design_.selected()) startRect_ = o->rect;
    update();
    emit changed();
}

void DesignCanvas::mouseMoveEvent(QMouseEvent* e) {
    if (drag_ == Drag::None || !design_.selected()) return;
    const QPointF d = toMm(e->position()) - dragStart_;
    if (!dragChanged_ && d.manhattanLength() < 0.3) return;
    // One undo step for the whole drag.
    if (!dragChanged_) design_.beginChange();
    dragChanged_ = true;
    // Positions fall on a tenth of a millimetre.
    auto snap = [](double v) { return std::round(v * 10) / 10; };
    QRectF r = startRect_;
    if (drag_ == Drag::Move)
        r.moveTopLeft(QPointF(snap(r.x() + d.x()), snap(r.y() + d.y())));
    else
        r.setSize(QSizeF(snap(r.width() + d.x()), snap(r.height() + d.y())));
    design_.setSelectedRect(r, true);
    update();
    emit changed();
}

void DesignCanvas::mouseReleaseEvent(QMouseEvent*) { drag_ = Drag::None; }

void DesignCanvas::keyPressEvent(QKeyEvent* e) {
    double dx = 0, dy = 0;
    switch (e->key()) {
        case Qt::Key_Left:
            dx = -1;
            break;
        case Qt::Key_Right:
            dx = 1;
            break;
        case Qt::Key_Up:
            dy = -1;
            break;
        case Qt::Key_Down:
            dy = 1;
            break;
        default:
            QWidget::keyPressEvent(e);
            return;
    }
    const ReportObject* o = design_.selected();
    if (!o) return;
    if (e->modifiers() & Qt::ShiftModifier) {
        QRectF r = o->rect;
        r.setSize(QSizeF(r.width() + dx, r.height() + dy));
        design_.setSelectedRect(r);
    } else {
        design_.moveSelected(dx, dy);
    }
    update();
    emit changed();
}

}  // namespace qv
