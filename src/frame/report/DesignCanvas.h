#pragma once
#include <QWidget>
#include <functional>

#include "ReportDesign.h"

namespace qv {

// The design page: the paper, the bands as strips with their names, the objects as they print (their
// expressions unevaluated) and the selected object with its resize handle. Clicking selects, dragging
// moves, dragging the handle resizes; the arrow keys move by 1 mm (with Shift they resize).
class DesignCanvas : public QWidget {
    Q_OBJECT
public:
    explicit DesignCanvas(ReportDesign& design, QWidget* parent = nullptr);

    // Pixels per millimetre on this screen.
    double scale() const;
    QPointF toMm(const QPointF& px) const { return px / scale(); }
    QSize sizeHint() const override;
    // Fits the widget to the page after a page or band change.
    void relayout();

signals:
    // The design changed or the selection moved: the panel shows it again.
    void changed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QRectF handleRect() const;  // mm

    ReportDesign& design_;
    enum class Drag { None, Move, Resize } drag_ = Drag::None;
    QPointF dragStart_;  // mm
    QRectF startRect_;   // the object's rect (band coordinates) when the drag began
    bool dragChanged_ = false;
};

}  // namespace qv
