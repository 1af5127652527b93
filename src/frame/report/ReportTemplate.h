#pragma once
#include <QByteArray>
#include <QColor>
#include <QRectF>
#include <QString>
#include <vector>

namespace qv {

// A report template as held in memory and stored in a .frf file. Lengths are millimetres. An object's
// x is measured from the paper's left edge (so pre-printed forms line up whatever the margins are), its
// y from the top of its band; on a label sheet both are measured from the label's corner.
struct ReportObject {
    enum class Kind { Text, Line, Rect, Picture };
    enum Frame { NoFrame = 0, FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8, FrameAll = 15 };

    Kind kind = Kind::Text;
    QString name;
    QRectF rect;     // a line runs from the top-left to the bottom-right corner
    QString text;    // [Field], [Source."Field"], [SUM(Field)], [MID(Field, 1, 2)], [PAGE#], [TOTALPAGES],
                     // [DATE], [LINE#]
    QString format;  // "0.00" for numbers, "yyyy-MM-dd" for dates; empty: as stored
    QString fontFamily;    // empty: the default font
    double fontSize = 10;  // points
    bool bold = false;
    bool italic = false;
    int align = 0x0001 | 0x0080;  // Qt::AlignLeft | Qt::AlignTop
    int frame = NoFrame;
    double lineWidth = 0.2;  // frames, lines and rectangles
    bool wordWrap = false;
    bool grow = false;   // the object and its band grow to fit the text
    QByteArray picture;  // PNG (or any format Qt reads) of a picture object
};

struct ReportBand {
    enum class Kind { ReportTitle, PageHeader, ColumnHeader, MasterData, PageFooter, Summary };
    Kind kind = Kind::MasterData;
    double height = 10;
    QString source;  // master data: the data source whose rows it prints
    std::vector<ReportObject> objects;
};

struct PageSetup {
    double width = 210;  // the paper as it lies in the printer (portrait)
    double height = 297;
    bool landscape = false;
    double left = 10, top = 10, right = 10, bottom = 10;
    // The page as printed: width and height swapped for landscape.
    double pageWidth() const { return landscape ? height : width; }
    double pageHeight() const { return landscape ? width : height; }
};

// A sheet of labels: the master data band is one label, laid out in columns and rows from the top-left
// margin, label after label along a row.
struct LabelSheet {
    bool enabled = false;
    int columns = 1, rows = 1;
    double labelWidth = 70, labelHeight = 37;
    double hGap = 0, vGap = 0;
};

class ReportTemplate {
public:
    static constexpr int kFormatVersion = 1;

    PageSetup page;
    LabelSheet labels;
    std::vector<ReportBand> bands;

    bool isEmpty() const { return bands.empty(); }
    ReportObject* findObject(const QString& name);
    const ReportObject* findObject(const QString& name) const;
    ReportBand* band(ReportBand::Kind kind);
    const ReportBand* band(ReportBand::Kind kind) const;

    // The .frf text. Throws DbError naming `fileName` and the place when the text cannot be read.
    static ReportTemplate fromXml(const QByteArray& xml, const QString& fileName);
    QByteArray toXml() const;
};

QString bandKindName(ReportBand::Kind kind);

}  // namespace qv
