#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QtEndian>
#include <unordered_set>
#include <vector>

// Building blocks of the Excel 97-2003 (BIFF8) workbook stream: little-endian record bodies, a sink
// that writes records or only counts their bytes, and the shared string table.
namespace qv::biff {

// The largest record body; longer data continues in CONTINUE records.
constexpr qsizetype kMaxRecordData = 8224;

namespace rec {
constexpr quint16 Bof = 0x0809, Eof = 0x000A, Codepage = 0x0042, Window1 = 0x003D, DateMode = 0x0022,
                  Font = 0x0031, Format = 0x041E, Xf = 0x00E0, Style = 0x0293, BoundSheet = 0x0085,
                  Sst = 0x00FC, Continue = 0x003C, ExtSst = 0x00FF, ColInfo = 0x007D, Dimensions = 0x0200,
                  Window2 = 0x023E, LabelSst = 0x00FD, Number = 0x0203, Rk = 0x027E;
}

// Appends little-endian values to a record body.
class Body {
public:
    Body& u8(quint8 v) {
        data_.append(char(v));
        return *this;
    }
    Body& u16(quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        data_.append(b, 2);
        return *this;
    }
    Body& u32(quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        data_.append(b, 4);
        return *this;
    }
    Body& f64(double v) {
        char b[8];
        qToLittleEndian(v, b);
        data_.append(b, 8);
        return *this;
    }
    Body& zeros(int n) {
        data_.append(n, '\0');
        return *this;
    }
    // A string with a one-byte (short) or two-byte length, stored as UTF-16.
    Body& unicode(const QString& s, bool shortLength);
    const QByteArray& data() const { return data_; }

private:
    QByteArray data_;
};

// Writes records to a device, or only counts their bytes when it has none.
class RecordSink {
public:
    explicit RecordSink(QIODevice* device, qint64 startPos = 0) : device_(device), pos_(startPos) {}
    void record(quint16 type, const QByteArray& body);
    void record(quint16 type, const Body& body) { record(type, body.data()); }
    void raw(const QByteArray& bytes);
    qint64 pos() const { return pos_; }
    bool ok() const { return ok_; }

private:
    QIODevice* device_;
    qint64 pos_;
    bool ok_ = true;
};

// Appends a record (header and body) to a byte array.
void appendRecord(QByteArray& out, quint16 type, const QByteArray& body);

// The workbook's shared string table: each distinct text is stored once, cells refer to it by index.
// Texts are kept in their encoded form (one byte per character when every character fits, UTF-16
// otherwise) so that a large table costs little more memory than its file form.
class SharedStrings {
public:
    SharedStrings();
    quint32 add(const QString& text);  // the text's index; counts one more reference
    quint32 uniqueCount() const { return quint32(offsets_.size()); }
    quint32 totalCount() const { return total_; }
    // The SST record with its CONTINUE records, then EXTSST. Texts are split between records only
    // between characters, and a record never starts inside a text's header.
    void writeTo(RecordSink& sink) const;

private:
    QByteArrayView entry(quint32 index) const;
    struct Hash {
        const SharedStrings* owner;
        size_t operator()(quint32 index) const;
    };
    struct Equal {
        const SharedStrings* owner;
        bool operator()(quint32 a, quint32 b) const { return owner->entry(a) == owner->entry(b); }
    };
    QByteArray data_;                // encoded entries, back to back
    std::vector<quint32> offsets_;   // start of each entry in data_
    std::unordered_set<quint32, Hash, Equal> index_;
    quint32 total_ = 0;
};

}  // namespace qv::biff
