#include "XlsWriter.h"

#include <QSaveFile>
#include <QTemporaryFile>
#include <cmath>
#include <cstring>
#include <optional>

#include "BiffRecords.h"
#include "CellValue.h"
#include "CompoundFile.h"
#include "OfficeError.h"

namespace qv {

using namespace biff;
using cellvalue::Cell;

namespace {

// Cell formats (XF records) in the order they are written: the 15 style formats every workbook
// starts with, the default cell format, then ours.
constexpr quint16 kXfDefault = 15;
constexpr quint16 kXfTitle = 16;
constexpr quint16 kXfDate = 17;
constexpr quint16 kXfDateTime = 18;
constexpr quint16 kXfTime = 19;
constexpr quint16 kXfFirstColumnFormat = 20;

// The fourth font record gets index 5: index 4 is never used in BIFF files.
constexpr quint16 kFontBold = 5;
constexpr quint16 kFirstCustomFormat = 164;

const QString kDateFormat = QStringLiteral("yyyy-mm-dd");
const QString kDateTimeFormat = QStringLiteral("yyyy-mm-dd hh:mm:ss");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");

// Formats every Excel knows by number; they need no FORMAT record.
int builtinFormat(const QString& code) {
    static const QHash<QString, int> known = {
        {QStringLiteral("general"), 0}, {QStringLiteral("0"), 1},      {QStringLiteral("0.00"), 2},
        {QStringLiteral("#,##0"), 3},   {QStringLiteral("#,##0.00"), 4}, {QStringLiteral("0%"), 9},
        {QStringLiteral("0.00%"), 10},  {QStringLiteral("0.00e+00"), 11}, {QStringLiteral("@"), 49},
    };
    if (code.isEmpty()) return 0;
    return known.value(code.toLower(), -1);
}

// An RK value holds integers of 30 bits and doubles whose lower 34 bits are zero exactly.
std::optional<quint32> rkValue(double v) {
    if (v == std::floor(v) && v >= -536870912.0 && v <= 536870911.0)
        return (quint32(qint32(v)) << 2) | 2u;
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    if ((bits & 0x3FFFFFFFFull) == 0) return quint32(bits >> 32);
    return std::nullopt;
}

QByteArray fontRecord(bool bold) {
    Body b;
    b.u16(220)                  // 11 points in twentieths
        .u16(0)                 // no italic, strike-out ...
        .u16(0x7FFF)            // automatic colour
        .u16(bold ? 700 : 400)  // weight
        .u16(0)                 // no super- or subscript
        .u8(0)                  // no underline
        .u8(0)                  // font family
        .u8(0x86)               // GB 2312 character set
        .u8(0)
        .unicode(QStringLiteral("宋体"), true);
    return b.data();
}

// An XF record: font, number format, style or cell format, the attributes that differ from the parent.
QByteArray xfRecord(quint16 font, quint16 format, bool style, quint8 usedAttributes) {
    Body b;
    b.u16(font).u16(format);
    b.u16(style ? 0xFFF5 : 0x0001);  // style: locked, parent none; cell: locked, parent style 0
    b.u8(0x20);                      // aligned to the bottom
    b.u8(0).u8(0);
    b.u8(usedAttributes);
    b.u32(0).u32(0);  // no borders
    b.u16(0x20C0);    // automatic pattern colours
    return b.data();
}

}  // namespace

struct XlsWriter::Impl {
    struct SheetPart {
        QString name;
        qint64 cellsBegin = 0, cellsEnd = 0;  // range in the cell file
        int rows = 0;
    };

    bool begun = false, finished = false;
    QString baseName;
    QList<SheetColumn> columns;
    QList<QPair<quint16, QString>> customFormats;  // format number and code
    QList<quint16> columnFormats;                  // format number per distinct column format
    QList<quint16> columnXf;                       // cell format of each column's numbers
    SharedStrings strings;
    QTemporaryFile cellFile;
    QByteArray cellBuffer;
    qint64 cellBytes = 0;  // bytes in cellFile plus cellBuffer
    QList<SheetPart> sheets;
    QString path;

    quint16 formatNumber(const QString& code) {
        const int builtin = builtinFormat(code);
        if (builtin >= 0) return quint16(builtin);
        for (const auto& f : customFormats)
            if (f.second == code) return f.first;
        const quint16 number = quint16(kFirstCustomFormat + customFormats.size());
        customFormats.append({number, code});
        return number;
    }

    void flushCells() {
        if (cellBuffer.isEmpty()) return;
        if (cellFile.write(cellBuffer) != cellBuffer.size())
            throw OfficeError::cannotWrite(path, cellFile.errorString());
        cellBuffer.clear();
    }

    void cellRecord(quint16 type, int row, int col, quint16 xf, const char* value, int valueSize) {
        char h[10];
        qToLittleEndian(type, h);
        qToLittleEndian(quint16(6 + valueSize), h + 2);
        qToLittleEndian(quint16(row), h + 4);
        qToLittleEndian(quint16(col), h + 6);
        qToLittleEndian(xf, h + 8);
        cellBuffer.append(h, 10);
        cellBuffer.append(value, valueSize);
        cellBytes += 10 + valueSize;
    }

    void text(int row, int col, quint16 xf, const QString& s) {
        char v[4];
        qToLittleEndian(strings.add(s), v);
        cellRecord(rec::LabelSst, row, col, xf, v, 4);
    }

    void number(int row, int col, quint16 xf, double n) {
        char v[8];
        if (auto rk = rkValue(n)) {
            qToLittleEndian(*rk, v);
            cellRecord(rec::Rk, row, col, xf, v, 4);
        } else {
            qToLittleEndian(n, v);
            cellRecord(rec::Number, row, col, xf, v, 8);
        }
    }

    void startSheet() {
        if (!sheets.isEmpty()) sheets.last().cellsEnd = cellBytes;
        SheetPart part;
        part.name = sheets.isEmpty() ? baseName
                                     : SheetWriter::validSheetName(
                                           baseName.left(31 - 6) + QStringLiteral(" (%1)").arg(sheets.size() + 1));
        part.cellsBegin = cellBytes;
        sheets.append(part);
        for (int c = 0; c < columns.size(); ++c)
            if (!columns[c].title.isEmpty())
                text(0, c, kXfTitle, columns[c].title.left(cellvalue::kMaxTextLength));
        sheets.last().rows = 1;
    }

    QByteArray sheetHead(const SheetPart& part) const {
        QByteArray out;
        appendRecord(out, rec::Bof, Body().u16(0x0600).u16(0x0010).u16(0x0DBB).u16(0x07CC).u32(0).u32(6).data());
        for (int c = 0; c < columns.size(); ++c) {
            if (columns[c].width <= 0) continue;
            const double chars = qMin(columns[c].width, 255.0);
            appendRecord(out, rec::ColInfo,
                         Body().u16(c).u16(c).u16(quint16(chars * 256)).u16(kXfDefault).u16(0).u16(0).data());
        }
        appendRecord(out, rec::Dimensions,
                     Body().u32(0).u32(part.rows).u16(0).u16(quint16(columns.size())).u16(0).data());
        return out;
    }

    QByteArray sheetTail(bool first) const {
        QByteArray out;
        // Grid lines, headers, zeros, outline symbols; the first sheet is the selected one.
        Body w;
        w.u16(first ? 0x06B6 : 0x00B6).u16(0).u16(0).u32(0x40).u16(0).u16(0).u32(0);
        appendRecord(out, rec::Window2, w.data());
        appendRecord(out, rec::Eof, {});
        return out;
    }

    QByteArray globalsHead(const QList<quint32>& sheetOffsets) const {
        QByteArray out;
        appendRecord(out, rec::Bof, Body().u16(0x0600).u16(0x0005).u16(0x0DBB).u16(0x07CC).u32(0).u32(6).data());
        appendRecord(out, rec::Codepage, Body().u16(1200).data());  // texts are UTF-16
        appendRecord(out, rec::Window1,
                     Body().u16(0).u16(0).u16(0x37DC).u16(0x1F40).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258).data());
        appendRecord(out, rec::DateMode, Body().u16(0).data());  // dates count from 1900
        for (int i = 0; i < 4; ++i) appendRecord(out, rec::Font, fontRecord(false));
        appendRecord(out, rec::Font, fontRecord(true));
        for (const auto& f : customFormats)
            appendRecord(out, rec::Format, Body().u16(f.first).unicode(f.second, false).data());
        appendRecord(out, rec::Xf, xfRecord(0, 0, true, 0));
        for (int i = 1; i < 15; ++i) appendRecord(out, rec::Xf, xfRecord(i <= 2 ? 1 : i <= 4 ? 2 : 0, 0, true, 0xF4));
        appendRecord(out, rec::Xf, xfRecord(0, 0, false, 0));                       // 15 default
        appendRecord(out, rec::Xf, xfRecord(kFontBold, 0, false, 0x08));            // 16 titles
        for (quint16 fmt : {quint16(kFirstCustomFormat), quint16(kFirstCustomFormat + 1), quint16(kFirstCustomFormat + 2)})
            appendRecord(out, rec::Xf, xfRecord(0, fmt, false, 0x04));              // 17-19 dates
        for (quint16 fmt : columnFormats) appendRecord(out, rec::Xf, xfRecord(0, fmt, false, 0x04));
        appendRecord(out, rec::Style, Body().u16(0x8000).u8(0).u8(0xFF).data());  // "Normal"
        for (int i = 0; i < sheets.size(); ++i) {
            Body b;
            b.u32(sheetOffsets.value(i)).u8(0).u8(0).unicode(sheets[i].name, true);
            appendRecord(out, rec::BoundSheet, b.data());
        }
        return out;
    }

    bool copyCells(QIODevice& out, qint64 begin, qint64 end) {
        if (!cellFile.seek(begin)) return false;
        QByteArray chunk;
        for (qint64 left = end - begin; left > 0;) {
            chunk = cellFile.read(qMin<qint64>(left, 1 << 20));
            if (chunk.isEmpty()) return false;
            if (out.write(chunk) != chunk.size()) return false;
            left -= chunk.size();
        }
        return true;
    }
};

XlsWriter::XlsWriter(QString path) : SheetWriter(std::move(path)), d(std::make_unique<Impl>()) {
    d->path = path_;
}

XlsWriter::~XlsWriter() = default;

int XlsWriter::sheetCount() const { return int(d->sheets.size()); }

void XlsWriter::begin(const QString& sheetName, const QList<SheetColumn>& columns) {
    if (d->begun) throw OfficeError(OfficeError::Kind::InvalidUse, QStringLiteral("工作表已经开始写入"));
    if (columns.isEmpty() || columns.size() > kMaxColumns)
        throw OfficeError(OfficeError::Kind::InvalidUse,
                          QStringLiteral("Excel 97-2003工作表只能有1到%1列,要导出的有%2列").arg(kMaxColumns).arg(columns.size()));
    if (!d->cellFile.open()) throw OfficeError::cannotWrite(path_, d->cellFile.errorString());
    d->begun = true;
    d->baseName = validSheetName(sheetName);
    d->columns = columns;
    d->formatNumber(kDateFormat);
    d->formatNumber(kDateTimeFormat);
    d->formatNumber(kTimeFormat);
    for (const SheetColumn& c : columns) {
        const quint16 fmt = d->formatNumber(c.format.trimmed());
        qsizetype at = d->columnFormats.indexOf(fmt);
        if (fmt == 0) {
            d->columnXf.append(kXfDefault);
            continue;
        }
        if (at < 0) {
            at = d->columnFormats.size();
            d->columnFormats.append(fmt);
        }
        d->columnXf.append(quint16(kXfFirstColumnFormat + at));
    }
    d->startSheet();
}

void XlsWriter::addRow(const QVariantList& cells) {
    if (!d->begun || d->finished)
        throw OfficeError(OfficeError::Kind::InvalidUse, QStringLiteral("工作表没有开始写入或已经结束"));
    if (d->sheets.last().rows == kMaxRowsPerSheet) d->startSheet();
    const int row = d->sheets.last().rows++;
    const int n = int(qMin(cells.size(), d->columns.size()));
    for (int c = 0; c < n; ++c) {
        const Cell cell = cellvalue::fromVariant(cells[c]);
        switch (cell.type) {
            case Cell::Type::Empty:
                break;
            case Cell::Type::Text:
                d->text(row, c, kXfDefault, cell.text);
                break;
            case Cell::Type::Number:
                d->number(row, c, d->columnXf[c], cell.number);
                break;
            case Cell::Type::Date:
                d->number(row, c, kXfDate, cell.number);
                break;
            case Cell::Type::DateTime:
                d->number(row, c, kXfDateTime, cell.number);
                break;
            case Cell::Type::Time:
                d->number(row, c, kXfTime, cell.number);
                break;
        }
    }
    if (d->cellBuffer.size() >= (1 << 20)) d->flushCells();
}

void XlsWriter::finish() {
    if (!d->begun || d->finished)
        throw OfficeError(OfficeError::Kind::InvalidUse, QStringLiteral("工作表没有开始写入或已经结束"));
    d->finished = true;
    d->flushCells();
    d->sheets.last().cellsEnd = d->cellBytes;

    // Sizes first: the sheet list in the workbook globals names each sheet's stream position.
    QList<QByteArray> heads, tails;
    for (int i = 0; i < d->sheets.size(); ++i) {
        heads.append(d->sheetHead(d->sheets[i]));
        tails.append(d->sheetTail(i == 0));
    }
    QList<quint32> offsets(d->sheets.size(), 0);
    const qint64 headSize = d->globalsHead(offsets).size();
    RecordSink counter(nullptr, headSize);
    d->strings.writeTo(counter);
    counter.record(rec::Eof, QByteArray());
    qint64 pos = counter.pos();
    for (int i = 0; i < d->sheets.size(); ++i) {
        offsets[i] = quint32(pos);
        pos += heads[i].size() + (d->sheets[i].cellsEnd - d->sheets[i].cellsBegin) + tails[i].size();
    }
    const qint64 streamSize = pos;
    if (streamSize > 0x7FFFFFFF)
        throw OfficeError::cannotWrite(path_, QStringLiteral("超过2GB"));
    const QByteArray globals = d->globalsHead(offsets);
    Q_ASSERT(globals.size() == headSize);

    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) throw OfficeError::cannotWrite(path_, file.errorString());
    const bool written = CompoundFileWriter::write(file, QStringLiteral("Workbook"), quint64(streamSize), [&](QIODevice& out) {
        RecordSink sink(&out, 0);
        sink.raw(globals);
        d->strings.writeTo(sink);
        sink.record(rec::Eof, QByteArray());
        if (!sink.ok()) return false;
        for (int i = 0; i < d->sheets.size(); ++i) {
            if (out.write(heads[i]) != heads[i].size()) return false;
            if (!d->copyCells(out, d->sheets[i].cellsBegin, d->sheets[i].cellsEnd)) return false;
            if (out.write(tails[i]) != tails[i].size()) return false;
        }
        return true;
    });
    if (!written) {
        file.cancelWriting();
        throw OfficeError::cannotWrite(path_, file.errorString());
    }
    if (!file.commit()) throw OfficeError::cannotWrite(path_, file.errorString());
}

}  // namespace qv
