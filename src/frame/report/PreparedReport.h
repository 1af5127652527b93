#pragma once
#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "ReportTemplate.h"

class QPainter;

namespace qv {

// One object placed on a prepared page: its place in millimetres from the paper's edge, its text
// already evaluated and broken into lines. `row` numbers the band printings of the report, so that the
// table exports put the objects of one printing into one row.
struct PreparedItem {
    ReportObject::Kind kind = ReportObject::Kind::Text;
    QRectF rect;
    QStringList lines;
    double lineHeight = 0;  // mm
    QString fontFamily;     // a family that is installed
    double fontSize = 10;
    bool bold = false, italic = false;
    int align = 0;
    int frame = 0;
    double lineWidth = 0.2;
    QByteArray picture;
    int row = 0;

    QString text() const { return lines.join(QLatin1Char('\n')); }
};

struct PreparedPage {
    double width = 210, height = 297;  // mm, as printed
    bool landscape = false;
    std::vector<PreparedItem> items;
};

struct PreparedReport {
    std::vector<PreparedPage> pages;
    bool cancelled = false;
};

// The inner margin between a text object's frame and its text, in mm.
constexpr double kTextPadding = 0.5;

// The family text is printed in: the family asked for when it is installed, WenQuanYi Micro Hei otherwise.
QString printFamily(const QString& requested);

// Paints one prepared page with the painter's device resolution: 1 mm is resolution / 25.4 device pixels
// whatever the device (preview, printer, PDF).
void paintPage(QPainter& painter, const PreparedPage& page);

}  // namespace qv
