#include "ReportExport.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <map>

#include "DbError.h"

namespace qv {

namespace {

// The band printings of a page, top to bottom, each with its items left to right.
// `storage` keeps the items of a packed page while the rows point into it.
std::vector<std::vector<const PreparedItem*>> rowsOf(const PreparedPage& page, bool textOnly,
                                                     std::vector<PreparedItem>& storage) {
    storage = page.allItems();
    std::map<int, std::vector<const PreparedItem*>> byRow;
    for (const PreparedItem& it : storage)
        if (!textOnly || it.kind == ReportObject::Kind::Text) byRow[it.row].push_back(&it);
    std::vector<std::vector<const PreparedItem*>> rows;
    for (auto& [_, items] : byRow) {
        std::stable_sort(items.begin(), items.end(), [](const PreparedItem* a, const PreparedItem* b) {
            return a->rect.left() < b->rect.left();
        });
        rows.push_back(std::move(items));
    }
    auto top = [](const std::vector<const PreparedItem*>& r) {
        double t = 1e9;
        for (const PreparedItem* i : r) t = std::min(t, i->rect.top());
        return t;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) { return top(a) < top(b); });
    return rows;
}

// --- CSV, HTML, text ---------------------------------------------------------------------------

QString csvField(const QString& s) {
    if (!s.contains(QLatin1Char(';')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n')) &&
        !s.contains(QLatin1Char('\r')))
        return s;
    QString q = s;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QByteArray toCsv(const PreparedReport& r) {
    std::vector<PreparedItem> storage;
    QString out;
    for (const PreparedPage& p : r.pages)
        for (const auto& row : rowsOf(p, true, storage)) {
            QStringList fields;
            for (const PreparedItem* it : row) fields << csvField(it->text());
            out += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
        }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QString htmlText(const QString& s) {
    QString e = s.toHtmlEscaped();  // < > & "
    e.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return e;
}

QByteArray toHtml(const PreparedReport& r) {
    std::vector<PreparedItem> storage;
    QString out = QStringLiteral(
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title></title>\n"
        "<style>table{border-collapse:collapse;margin-bottom:2em}td{padding:2px 6px;vertical-align:top}"
        "</style></head><body>\n");
    for (const PreparedPage& p : r.pages) {
        out += QStringLiteral("<table>\n");
        for (const auto& row : rowsOf(p, true, storage)) {
            out += QStringLiteral("<tr>");
            for (const PreparedItem* it : row) {
                QString style;
                if (it->frame) style = QStringLiteral(" style=\"border:1px solid black\"");
                out += QStringLiteral("<td%1>%2</td>").arg(style, htmlText(it->text()));
            }
            out += QStringLiteral("</tr>\n");
        }
        out += QStringLiteral("</table>\n");
    }
    out += QStringLiteral("</body></html>\n");
    return out.toUtf8();
}

int displayWidth(const QString& s) {
    int w = 0;
    for (const QChar c : s) w += c.unicode() >= 0x1100 ? 2 : 1;  // Chinese characters take two columns
    return w;
}

QByteArray toText(const PreparedReport& r) {
    std::vector<PreparedItem> storage;
    constexpr double kColumnMm = 2.0;  // one character column of the text page
    QString out;
    bool firstPage = true;
    for (const PreparedPage& p : r.pages) {
        if (!firstPage) out += QLatin1Char('\f');
        firstPage = false;
        for (const auto& row : rowsOf(p, true, storage)) {
            QString line;
            for (const PreparedItem* it : row) {
                QString t = it->lines.join(QLatin1Char(' '));
                if (t.isEmpty()) continue;
                const int col = int(it->rect.left() / kColumnMm + 0.5);
                const int at = displayWidth(line);
                line += QString(std::max(at ? 1 : 0, col - at), QLatin1Char(' ')) + t;
            }
            out += line + QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

// --- RTF --------------------------------------------------------------------------------------

constexpr double kTwipsPerMm = 1440 / 25.4;
constexpr double kRtfScaleX = 1.3, kRtfScaleY = 1.0;

QByteArray rtfText(const QString& s) {
    QByteArray out;
    for (const QChar c : s) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\line ";
        } else if (u == '\r') {
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(qint16(u)) + '?';  // UTF-16 unit as a signed number
        }
    }
    return out;
}

QByteArray rtfPicture(const PreparedItem& it) {
    QImage img;
    if (!img.loadFromData(it.picture)) return {};
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return "{\\pict\\pngblip\\picwgoal" +
           QByteArray::number(qRound(it.rect.width() * kTwipsPerMm * kRtfScaleX)) + "\\pichgoal" +
           QByteArray::number(qRound(it.rect.height() * kTwipsPerMm * kRtfScaleY)) + ' ' + png.toHex() + '}';
}

QByteArray toRtf(const PreparedReport& r) {
    std::vector<PreparedItem> storage;
    QByteArray out =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1{\\fonttbl{\\f0\\fnil\\fcharset134 WenQuanYi Micro Hei;}}\n";
    if (!r.pages.empty())
        out += "\\paperw" + QByteArray::number(qRound(r.pages[0].width * kTwipsPerMm * kRtfScaleX)) +
               "\\paperh" + QByteArray::number(qRound(r.pages[0].height * kTwipsPerMm * kRtfScaleY)) +
               "\\margl0\\margr0\\margt0\\margb0\n";
    auto tw = [](double mm, double scale) { return QByteArray::number(qRound(mm * kTwipsPerMm * scale)); };
    for (size_t pi = 0; pi < r.pages.size(); ++pi) {
        if (pi > 0) out += "\\page\n";
        for (const auto& row : rowsOf(r.pages[pi], false, storage)) {
            std::vector<const PreparedItem*> cells;
            for (const PreparedItem* it : row)
                if (it->kind == ReportObject::Kind::Text || it->kind == ReportObject::Kind::Picture)
                    cells.push_back(it);
            if (cells.empty()) continue;
            double height = 0;
            for (const PreparedItem* it : cells) height = std::max(height, it->rect.height());
            QByteArray def = "\\trowd\\trgaph0\\trrh" + tw(height, kRtfScaleY);
            QByteArray content;
            double x = 0;
            for (const PreparedItem* it : cells) {
                const double left = std::max(x, it->rect.left());
                const double right = std::max(left + 1, it->rect.right());
                if (left > x + 0.5) {  // an empty cell for the gap before this object
                    def += "\\cellx" + tw(left, kRtfScaleX);
                    content += "\\pard\\intbl\\cell ";
                }
                static const std::pair<int, const char*> sides[] = {{ReportObject::FrameTop, "t"},
                                                                    {ReportObject::FrameLeft, "l"},
                                                                    {ReportObject::FrameBottom, "b"},
                                                                    {ReportObject::FrameRight, "r"}};
                for (const auto& [bit, side] : sides)
                    if (it->frame & bit)
                        def += QByteArray("\\clbrdr") + side + "\\brdrs\\brdrw" +
                               QByteArray::number(std::max(1, qRound(it->lineWidth * kTwipsPerMm)));
                def += "\\cellx" + tw(right, kRtfScaleX);
                content += "\\pard\\intbl";
                const int h = it->align & Qt::AlignHorizontal_Mask;
                content += h & Qt::AlignHCenter ? "\\qc" : h & Qt::AlignRight ? "\\qr" : "\\ql";
                if (it->kind == ReportObject::Kind::Picture) {
                    content += ' ' + rtfPicture(*it);
                } else {
                    content += "{\\f0\\fs" + QByteArray::number(qRound(it->fontSize * 2));
                    if (it->bold) content += "\\b";
                    if (it->italic) content += "\\i";
                    content += ' ' + rtfText(it->text()) + '}';
                }
                content += "\\cell ";
                x = right;
            }
            out += def + '\n' + content + "\\row\n";
        }
    }
    out += "}\n";
    return out;
}

// --- our saved report ---------------------------------------------------------------------------

QString n(double v) { return QString::number(v, 'g', 12); }

QByteArray toSaved(const PreparedReport& r) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("quorvan-prepared-report"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
    for (const PreparedPage& p : r.pages) {
        w.writeStartElement(QStringLiteral("page"));
        w.writeAttribute(QStringLiteral("width"), n(p.width));
        w.writeAttribute(QStringLiteral("height"), n(p.height));
        w.writeAttribute(QStringLiteral("landscape"), QString::number(int(p.landscape)));
        for (const PreparedItem& it : p.allItems()) {
            w.writeStartElement(QStringLiteral("item"));
            const QList<std::pair<const char*, QString>> attrs{{"kind", QString::number(int(it.kind))},
                                                               {"x", n(it.rect.x())},
                                                               {"y", n(it.rect.y())},
                                                               {"width", n(it.rect.width())},
                                                               {"height", n(it.rect.height())},
                                                               {"line-height", n(it.lineHeight)},
                                                               {"font", it.fontFamily},
                                                               {"size", n(it.fontSize)},
                                                               {"bold", QString::number(int(it.bold))},
                                                               {"italic", QString::number(int(it.italic))},
                                                               {"align", QString::number(it.align)},
                                                               {"frame", QString::number(it.frame)},
                                                               {"line-width", n(it.lineWidth)},
                                                               {"row", QString::number(it.row)}};
            for (const auto& [k, v] : attrs) w.writeAttribute(QLatin1String(k), v);
            for (const QString& l : it.lines) w.writeTextElement(QStringLiteral("line"), l);
            if (!it.picture.isEmpty())
                w.writeTextElement(QStringLiteral("picture"), QString::fromLatin1(it.picture.toBase64()));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

void writePdf(const PreparedReport& r, const QString& path) {
    QPdfWriter pdf(path);
    pdf.setCreator(QStringLiteral("Quorvan"));
    pdf.setResolution(1200);
    auto setPage = [&](const PreparedPage& p) {
        pdf.setPageSize(QPageSize(QSizeF(p.width, p.height), QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    };
    const PreparedPage blank;
    setPage(r.pages.empty() ? blank : r.pages[0]);
    QPainter painter;
    if (!painter.begin(&pdf)) throw DbError(QStringLiteral(u"无法写入文件 %1。").arg(path));
    for (size_t i = 0; i < r.pages.size(); ++i) {
        if (i > 0) {
            setPage(r.pages[i]);
            pdf.newPage();
        }
        paintPage(painter, r.pages[i]);
    }
    if (!painter.end()) throw DbError(QStringLiteral(u"无法写入文件 %1。").arg(path));
}

}  // namespace

QByteArray exportBytes(const PreparedReport& report, ExportFormat format) {
    switch (format) {
        case ExportFormat::Rtf:
            return toRtf(report);
        case ExportFormat::Csv:
            return toCsv(report);
        case ExportFormat::Html:
            return toHtml(report);
        case ExportFormat::Text:
            return toText(report);
        case ExportFormat::Saved:
            return toSaved(report);
        case ExportFormat::Pdf:
            break;
    }
    return {};
}

void exportReport(const PreparedReport& report, ExportFormat format, const QString& path) {
    if (format == ExportFormat::Pdf) {
        // QPdfWriter does not report a file it cannot create: check the place first.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            throw DbError(QStringLiteral(u"无法写入文件 %1：%2").arg(path, probe.errorString()));
        probe.close();
        writePdf(report, path);
        return;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(exportBytes(report, format)) < 0 || !f.commit())
        throw DbError(QStringLiteral(u"无法写入文件 %1：%2").arg(path, f.errorString()));
}

PreparedReport savedReportFromBytes(const QByteArray& bytes, const QString& fileName) {
    QXmlStreamReader x(bytes);
    auto fail = [&]() {
        throw DbError(QStringLiteral(u"报表文件 %1 无法读取（第 %2 行）：%3")
                          .arg(fileName)
                          .arg(x.lineNumber())
                          .arg(x.hasError() ? x.errorString() : QStringLiteral(u"不是报表文件")));
    };
    if (!x.readNextStartElement() || x.name() != QLatin1String("quorvan-prepared-report") ||
        x.attributes().value(QLatin1String("version")) != QLatin1String("1"))
        fail();
    PreparedReport r;
    auto num = [&](const char* a) { return x.attributes().value(QLatin1String(a)).toDouble(); };
    auto integer = [&](const char* a) { return x.attributes().value(QLatin1String(a)).toInt(); };
    while (x.readNextStartElement()) {
        if (x.name() != QLatin1String("page")) fail();
        PreparedPage p{num("width"), num("height"), integer("landscape") != 0, {}, {}, 0};
        while (x.readNextStartElement()) {
            if (x.name() != QLatin1String("item")) fail();
            PreparedItem it;
            const int kind = integer("kind");
            if (kind < 0 || kind > int(ReportObject::Kind::Picture)) fail();
            it.kind = ReportObject::Kind(kind);
            it.rect = QRectF(num("x"), num("y"), num("width"), num("height"));
            it.lineHeight = num("line-height");
            it.fontFamily = x.attributes().value(QLatin1String("font")).toString();
            it.fontSize = num("size");
            it.bold = integer("bold") != 0;
            it.italic = integer("italic") != 0;
            it.align = integer("align");
            it.frame = integer("frame");
            it.lineWidth = num("line-width");
            it.row = integer("row");
            while (x.readNextStartElement()) {
                if (x.name() == QLatin1String("line"))
                    it.lines << x.readElementText();
                else if (x.name() == QLatin1String("picture"))
                    it.picture = QByteArray::fromBase64(x.readElementText().toLatin1());
                else
                    fail();
            }
            p.items.push_back(std::move(it));
        }
        r.pages.push_back(std::move(p));
    }
    if (x.hasError()) fail();
    return r;
}

PreparedReport loadSavedReport(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral(u"报表文件 %1 无法打开：%2").arg(path, f.errorString()));
    return savedReportFromBytes(f.readAll(), path);
}

}  // namespace qv
