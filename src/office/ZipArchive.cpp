#include "ZipArchive.h"

#include <zlib.h>

#include <QtEndian>

namespace qv {

namespace {
constexpr quint32 kEndOfDirectory = 0x06054b50;
constexpr quint32 kDirectoryEntry = 0x02014b50;
constexpr quint32 kLocalHeader = 0x04034b50;
constexpr quint32 kZip64Locator = 0x07064b50;
constexpr quint32 kZip64End = 0x06064b50;
// Members larger than this are not workbook parts we can hold in memory.
constexpr quint64 kMaxMemberSize = quint64(1) << 31;

quint16 u16(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 u32(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint64 u64(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint64>(b.constData() + at); }
}  // namespace

bool ZipArchive::open(const QString& path) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) return false;
    const qint64 size = file_.size();
    if (size < 22) return false;
    // The end-of-directory record is in the last 64 KB + 22 bytes (it may carry a comment).
    const qint64 tailStart = qMax<qint64>(0, size - (65535 + 22));
    file_.seek(tailStart);
    const QByteArray tail = file_.read(size - tailStart);
    qsizetype at = -1;
    for (qsizetype i = tail.size() - 22; i >= 0; --i) {
        if (u32(tail, i) == kEndOfDirectory) {
            at = i;
            break;
        }
    }
    if (at < 0) return false;
    quint64 count = u16(tail, at + 10);
    quint64 dirSize = u32(tail, at + 12);
    quint64 dirOffset = u32(tail, at + 16);
    // Zip64: the real values are in the zip64 end record that the locator before it points to.
    if (at >= 20 && u32(tail, at - 20) == kZip64Locator) {
        const quint64 endOffset = u64(tail, at - 20 + 8);
        file_.seek(qint64(endOffset));
        const QByteArray end = file_.read(56);
        if (end.size() < 56 || u32(end, 0) != kZip64End) return false;
        count = u64(end, 32);
        dirSize = u64(end, 40);
        dirOffset = u64(end, 48);
    }
    if (dirOffset + dirSize > quint64(size) || dirSize > (quint64(1) << 30)) return false;
    file_.seek(qint64(dirOffset));
    const QByteArray dir = file_.read(qint64(dirSize));
    if (quint64(dir.size()) != dirSize) return false;
    qsizetype p = 0;
    for (quint64 i = 0; i < count; ++i) {
        if (p + 46 > dir.size() || u32(dir, p) != kDirectoryEntry) return false;
        Entry e;
        e.method = u16(dir, p + 10);
        e.crc = u32(dir, p + 16);
        e.compressedSize = u32(dir, p + 20);
        e.size = u32(dir, p + 24);
        const quint16 nameLength = u16(dir, p + 28), extraLength = u16(dir, p + 30), commentLength = u16(dir, p + 32);
        e.localHeader = u32(dir, p + 42);
        if (p + 46 + nameLength + extraLength + commentLength > dir.size()) return false;
        const QString name = QString::fromUtf8(dir.mid(p + 46, nameLength));
        // Zip64 sizes and offset, in that order, for the fields that hold 0xFFFFFFFF.
        for (qsizetype x = p + 46 + nameLength; x + 4 <= p + 46 + nameLength + extraLength;) {
            const quint16 id = u16(dir, x), len = u16(dir, x + 2);
            if (id == 0x0001) {
                qsizetype f = x + 4;
                auto next = [&](quint64& field) {
                    if (field == 0xFFFFFFFF && f + 8 <= x + 4 + len) {
                        field = u64(dir, f);
                        f += 8;
                    }
                };
                next(e.size);
                next(e.compressedSize);
                next(e.localHeader);
            }
            x += 4 + len;
        }
        entries_.insert(name.toLower(), e);
        p += 46 + nameLength + extraLength + commentLength;
    }
    return true;
}

std::optional<QByteArray> ZipArchive::read(const QString& name) {
    const auto it = entries_.constFind(name.toLower());
    if (it == entries_.constEnd()) return std::nullopt;
    const Entry& e = *it;
    auto fail = [this]() -> std::optional<QByteArray> {
        damaged_ = true;
        return std::nullopt;
    };
    if (e.size > kMaxMemberSize || e.compressedSize > kMaxMemberSize) return fail();
    if (!file_.seek(qint64(e.localHeader))) return fail();
    const QByteArray header = file_.read(30);
    if (header.size() < 30 || u32(header, 0) != kLocalHeader) return fail();
    if (!file_.seek(qint64(e.localHeader) + 30 + u16(header, 26) + u16(header, 28))) return fail();
    const QByteArray packed = file_.read(qint64(e.compressedSize));
    if (quint64(packed.size()) != e.compressedSize) return fail();

    QByteArray out;
    if (e.method == 0) {
        out = packed;
    } else if (e.method == 8) {
        out.resize(qsizetype(e.size));
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return fail();
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
        z.avail_in = uInt(packed.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(out.size());
        const int rc = inflate(&z, Z_FINISH);
        const uLong produced = z.total_out;
        inflateEnd(&z);
        if (rc != Z_STREAM_END || produced != e.size) return fail();
    } else {
        return fail();
    }
    if (crc32(0L, reinterpret_cast<const Bytef*>(out.constData()), uInt(out.size())) != e.crc) return fail();
    return out;
}

}  // namespace qv
