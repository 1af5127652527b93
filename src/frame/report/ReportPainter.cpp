#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

#include "PreparedReport.h"
#include "ReportText.h"

namespace qv {

namespace {

const QString kDefaultFamily = QStringLiteral("WenQuanYi Micro Hei");
constexpr double kRefDpi = 1200;

QFont fontOf(const QString& family, double pointSize, bool bold, bool italic) {
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setKerning(false);  // advances then scale linearly with the resolution
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

const QImage& referenceDevice() {
    static const QImage img = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        i.setDotsPerMeterX(qRound(kRefDpi / 0.0254));
        i.setDotsPerMeterY(qRound(kRefDpi / 0.0254));
        return i;
    }();
    return img;
}

}  // namespace

QString printFamily(const QString& requested) {
    static QHash<QString, bool> known;
    if (requested.isEmpty()) return kDefaultFamily;
    auto it = known.find(requested);
    if (it == known.end()) it = known.insert(requested, QFontDatabase::hasFamily(requested));
    return *it ? requested : kDefaultFamily;
}

TextLines breakText(const QString& text, const QString& family, double pointSize, bool bold, bool italic,
                    double widthMm, bool wrap) {
    TextLines out;
    const QFont font = fontOf(family, pointSize, bold, italic);
    const QImage& dev = referenceDevice();
    out.lineHeight = QFontMetricsF(font, &dev).lineSpacing() / kRefDpi * 25.4;
    if (text.isEmpty()) return out;
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList paragraphs = t.split(QLatin1Char('\n'));
    for (const QString& para : paragraphs) {
        if (!wrap || para.isEmpty()) {
            out.lines << para;
            continue;
        }
        QTextLayout layout(para, font, &dev);
        QTextOption opt;
        opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(opt);
        layout.beginLayout();
        const double width = std::max(1.0, widthMm / 25.4 * kRefDpi);
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QString piece = para.mid(line.textStart(), line.textLength());
            while (piece.endsWith(QLatin1Char(' '))) piece.chop(1);
            out.lines << piece;
        }
        layout.endLayout();
    }
    return out;
}

void paintPage(QPainter& painter, const PreparedPage& page) {
    QPaintDevice* dev = painter.device();
    const double sx = dev->logicalDpiX() / 25.4, sy = dev->logicalDpiY() / 25.4;
    auto toDevice = [&](const QRectF& r) {
        return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const PreparedItem& it : page.allItems()) {
        const QRectF r = toDevice(it.rect);
        QPen pen(Qt::black, std::max(1.0, it.lineWidth * sx));
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        switch (it.kind) {
            case ReportObject::Kind::Line:
                painter.drawLine(r.topLeft(), r.bottomRight());
                break;
            case ReportObject::Kind::Rect:
                painter.drawRect(r);
                break;
            case ReportObject::Kind::Picture: {
                QImage img;
                if (img.loadFromData(it.picture)) {
                    const QSizeF s = QSizeF(img.size()).scaled(r.size(), Qt::KeepAspectRatio);
                    painter.drawImage(QRectF(r.topLeft(), s), img);
                }
                break;
            }
            case ReportObject::Kind::Text: {
                if (it.frame & ReportObject::FrameLeft) painter.drawLine(r.topLeft(), r.bottomLeft());
                if (it.frame & ReportObject::FrameTop) painter.drawLine(r.topLeft(), r.topRight());
                if (it.frame & ReportObject::FrameRight) painter.drawLine(r.topRight(), r.bottomRight());
                if (it.frame & ReportObject::FrameBottom) painter.drawLine(r.bottomLeft(), r.bottomRight());
                if (it.lines.isEmpty()) break;
                painter.setFont(fontOf(it.fontFamily, it.fontSize, it.bold, it.italic));
                painter.setPen(Qt::black);
                const double pad = kTextPadding;
                const double block = it.lines.size() * it.lineHeight;
                const double inner = it.rect.height() - 2 * pad;
                double top = it.rect.top() + pad;
                if (block < inner) {
                    if (it.align & Qt::AlignVCenter) top += (inner - block) / 2;
                    if (it.align & Qt::AlignBottom) top += inner - block;
                }
                painter.save();
                painter.setClipRect(r.adjusted(-1, -1, 1, 1));
                const int h = it.align & Qt::AlignHorizontal_Mask;
                for (int i = 0; i < it.lines.size(); ++i) {
                    const QRectF lr(it.rect.left() + pad, top + i * it.lineHeight, it.rect.width() - 2 * pad,
                                    it.lineHeight);
                    painter.drawText(toDevice(lr),
                                     h | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                                     it.lines[i]);
                }
                painter.restore();
                break;
            }
        }
    }
    painter.restore();
}

}  // namespace qv
