#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <optional>

#include "CellValue.h"
#include "OfficeError.h"
#include "SheetReader.h"
#include "UsedRange.h"
#include "ZipArchive.h"

namespace qv {

namespace {

using cellvalue::DateKind;

class Package {
public:
    explicit Package(const QString& path) : path_(path) {
        if (!zip_.open(path)) throw OfficeError::notAWorkbook(path, QStringLiteral("zip"));
    }

    std::optional<QByteArray> part(const QString& name) {
        auto data = zip_.read(name);
        if (zip_.damaged()) throw OfficeError::notAWorkbook(path_, name);
        return data;
    }

private:
    QString path_;
    ZipArchive zip_;
};

QStringView attr(const QXmlStreamReader& xml, const char* name) { return xml.attributes().value(QLatin1StringView(name)); }

// The r:id attribute, whichever prefix or namespace version the producer chose.
QString relationId(const QXmlStreamReader& xml) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == u"id" && !a.namespaceUri().isEmpty()) return a.value().toString();
    return {};
}

// Relationship id -> (type, target) of a .rels part; targets resolved against the source's folder.
struct Relation {
    QString type, target;
};
QHash<QString, Relation> relations(const QByteArray& xml, const QString& sourceFolder) {
    QHash<QString, Relation> out;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"Relationship") {
            QString target = attr(r, "Target").toString();
            if (target.startsWith(u'/'))
                target = target.mid(1);
            else
                target = QDir::cleanPath(sourceFolder.isEmpty() ? target : sourceFolder + u'/' + target);
            out.insert(attr(r, "Id").toString(), {attr(r, "Type").toString(), target});
        }
    }
    return out;
}

QString folderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

QString relsOf(const QString& part) {
    const QString folder = folderOf(part);
    const QString file = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") + file + QStringLiteral(".rels");
}

// The text of a shared or inline string: its <t> elements, without phonetic runs.
// Called on the start element (<si> or <is>); returns at its end element.
QString stringItem(QXmlStreamReader& r) {
    QString text;
    int depth = 1, phonetic = 0;
    while (depth > 0 && !r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            ++depth;
            if (r.name() == u"rPh") ++phonetic;
            else if (r.name() == u"t" && phonetic == 0) {
                text += r.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
            }
        } else if (r.isEndElement()) {
            --depth;
            if (r.name() == u"rPh") --phonetic;
        }
    }
    return text;
}

QStringList sharedStrings(const QByteArray& xml) {
    QStringList out;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"si") out.append(stringItem(r));
    }
    return out;
}

// How each cell format (the s attribute of a cell) shows numbers.
QList<DateKind> cellFormatKinds(const QByteArray& xml) {
    QHash<int, QString> custom;
    QList<DateKind> kinds;
    QXmlStreamReader r(xml);
    bool inCellXfs = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.name() == u"numFmt")
                custom.insert(attr(r, "numFmtId").toInt(), attr(r, "formatCode").toString());
            else if (r.name() == u"cellXfs")
                inCellXfs = true;
            else if (inCellXfs && r.name() == u"xf") {
                const int id = attr(r, "numFmtId").toInt();
                kinds.append(custom.contains(id) ? cellvalue::dateKindOfFormatCode(custom.value(id))
                                                 : cellvalue::dateKindOfBuiltinFormat(id));
            }
        } else if (r.isEndElement() && r.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    return kinds;
}

// "AB12" -> row 11, column 27 (0-based row, 0-based column); false when malformed.
bool parseReference(QStringView ref, quint32* row, quint32* column) {
    qsizetype i = 0;
    quint64 col = 0, rw = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        col = col * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (col > 16384) return false;
        ++i;
    }
    if (i == 0 || i == ref.size()) return false;
    for (; i < ref.size(); ++i) {
        if (!ref[i].isDigit()) return false;
        rw = rw * 10 + ref[i].digitValue();
        if (rw > 1048576) return false;
    }
    if (rw == 0) return false;
    *row = quint32(rw - 1);
    *column = quint32(col - 1);
    return true;
}

struct Context {
    QStringList strings;
    QList<DateKind> formats;
    bool date1904 = false;
};

QString cellText(const QString& type, const QString& value, const QString& inlineText, int style, const Context& ctx) {
    if (type == u"s") {
        bool ok = false;
        const int i = value.trimmed().toInt(&ok);
        return ok ? ctx.strings.value(i) : QString();
    }
    if (type == u"inlineStr") return inlineText;
    if (type == u"str" || type == u"e") return value;
    if (type == u"b") return value.trimmed() == u"1" || value.trimmed() == u"true" ? QStringLiteral("TRUE")
                                                                                  : QStringLiteral("FALSE");
    if (type == u"d") {
        const QDateTime dt = QDateTime::fromString(value.trimmed(), Qt::ISODate);
        if (!dt.isValid()) return value;
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    if (value.isEmpty()) return inlineText;
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok) return value;
    const DateKind kind = style >= 0 ? ctx.formats.value(style, DateKind::None) : DateKind::None;
    if (kind != DateKind::None) return cellvalue::dateText(number, kind, ctx.date1904);
    return cellvalue::numberText(number);
}

void readCells(const QByteArray& xml, const Context& ctx, UsedRange& range, const QString& path) {
    QXmlStreamReader r(xml);
    quint32 row = 0, nextRow = 0, nextColumn = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement()) continue;
        if (r.name() == u"row") {
            bool ok = false;
            const uint n = attr(r, "r").toUInt(&ok);
            row = ok && n > 0 ? n - 1 : nextRow;
            nextRow = row + 1;
            nextColumn = 0;
        } else if (r.name() == u"c") {
            quint32 cellRow = row, column = nextColumn;
            const QStringView ref = attr(r, "r");
            if (!ref.isEmpty() && !parseReference(ref, &cellRow, &column))
                throw OfficeError::notAWorkbook(path, QStringLiteral("单元格 %1").arg(ref.toString()));
            nextColumn = column + 1;
            const QString type = attr(r, "t").toString();
            bool hasStyle = false;
            const int style = attr(r, "s").toInt(&hasStyle);
            QString value, inlineText;
            while (!r.atEnd()) {
                r.readNext();
                if (r.isEndElement() && r.name() == u"c") break;
                if (!r.isStartElement()) continue;
                if (r.name() == u"v")
                    value = r.readElementText(QXmlStreamReader::IncludeChildElements);
                else if (r.name() == u"is")
                    inlineText = stringItem(r);
                else
                    r.skipCurrentElement();  // formulas and extensions
            }
            range.add(cellRow, column, cellText(type, value, inlineText, hasStyle ? style : -1, ctx));
        }
    }
    if (r.hasError()) throw OfficeError::notAWorkbook(path, r.errorString());
}

}  // namespace

SheetTable readXlsx(const QString& path) {
    if (!QFile::exists(path)) throw OfficeError::fileNotFound(path);
    Package pkg(path);

    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (auto rels = pkg.part(QStringLiteral("_rels/.rels"))) {
        for (const Relation& rel : relations(*rels, {}))
            if (rel.type.endsWith(QStringLiteral("/officeDocument"))) workbookPart = rel.target;
    }
    const auto workbook = pkg.part(workbookPart);
    if (!workbook) throw OfficeError::notAWorkbook(path, QStringLiteral("workbook"));
    const auto workbookRels = pkg.part(relsOf(workbookPart));
    if (!workbookRels) throw OfficeError::notAWorkbook(path, QStringLiteral("workbook rels"));
    const QHash<QString, Relation> rels = relations(*workbookRels, folderOf(workbookPart));

    Context ctx;
    QStringList sheetParts;
    int activeTab = 0;
    {
        QXmlStreamReader r(*workbook);
        while (!r.atEnd()) {
            r.readNext();
            if (!r.isStartElement()) continue;
            if (r.name() == u"workbookPr") {
                const QStringView v = attr(r, "date1904");
                ctx.date1904 = v == u"1" || v == u"true";
            } else if (r.name() == u"workbookView") {
                activeTab = attr(r, "activeTab").toInt();
            } else if (r.name() == u"sheet") {
                sheetParts.append(rels.value(relationId(r)).target);
            }
        }
        if (r.hasError()) throw OfficeError::notAWorkbook(path, r.errorString());
    }
    if (sheetParts.isEmpty()) throw OfficeError::notAWorkbook(path, QStringLiteral("没有工作表"));
    const QString sheetPart = sheetParts.value(activeTab, sheetParts.first());

    for (const Relation& rel : rels) {
        if (rel.type.endsWith(QStringLiteral("/sharedStrings"))) {
            if (auto xml = pkg.part(rel.target)) ctx.strings = sharedStrings(*xml);
        } else if (rel.type.endsWith(QStringLiteral("/styles"))) {
            if (auto xml = pkg.part(rel.target)) ctx.formats = cellFormatKinds(*xml);
        }
    }
    const auto sheet = pkg.part(sheetPart);
    if (!sheet) throw OfficeError::notAWorkbook(path, sheetPart);
    UsedRange range;
    readCells(*sheet, ctx, range, path);
    return range.take(path);
}

}  // namespace qv
