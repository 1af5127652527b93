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
    std::vector<PreparedItem> items;  // empty while packed
    QByteArray packed;                // the items, compressed, for pages far behind the one being prepared
    int totalPages = 0;               // the page count of a packed page's "共 m 页"

    // The page's items whether packed or not.
    std::vector<PreparedItem> allItems() const;
    // Keeps the items compressed, so that a report of many thousand pages fits in memory.
    void pack();
};

struct PreparedReport {
    std::vector<PreparedPage> pages;
    bool cancelled = false;
};

// Stands in a packed page's text for the page count, which is known only after the last page.
inline constexpr QChar kTotalPagesMark(0xE000);

// The inner margin between a text object's frame and its text, in mm.
constexpr double kTextPadding = 0.5;

// The family text is printed in: the family asked for when it is installed, WenQuanYi Micro Hei otherwise.
QString printFamily(const QString& requested);

// Paints one prepared page with the painter's device resolution: 1 mm is resolution / 25.4 device pixels
// whatever the device (preview, printer, PDF).
void paintPage(QPainter& painter, const PreparedPage& page);

}  // namespace qv
