#include "CompoundFile.h"

#include <QByteArray>
#include <QtEndian>

namespace qv {

namespace {
constexpr quint32 kFreeSector = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kDifatSector = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr quint32 kIdsPerSector = CompoundFileWriter::kSectorSize / 4;  // 128
constexpr quint32 kHeaderDifatEntries = 109;
constexpr quint32 kDirectoryEntrySize = 128;

void put16(QByteArray& b, qsizetype at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }
void put64(QByteArray& b, qsizetype at, quint64 v) { qToLittleEndian(v, b.data() + at); }

// One 128-byte directory entry.
QByteArray directoryEntry(const QString& name, quint8 type, quint32 child, quint32 startSector, quint64 size) {
    QByteArray e(kDirectoryEntrySize, '\0');
    if (type != 0) {
        const QString n = name.left(31);
        for (qsizetype i = 0; i < n.size(); ++i) put16(e, i * 2, n.at(i).unicode());
        put16(e, 64, quint16((n.size() + 1) * 2));  // length in bytes with the terminating zero
    }
    e[66] = char(type);
    e[67] = char(type != 0 ? 1 : 0);  // black in the red-black tree
    put32(e, 68, kNoStream);          // left sibling
    put32(e, 72, kNoStream);          // right sibling
    put32(e, 76, child);
    put32(e, 116, startSector);
    put64(e, 120, size);
    return e;
}

bool writeAll(QIODevice& out, const QByteArray& data) { return out.write(data) == data.size(); }
}  // namespace

quint64 CompoundFileWriter::paddedStreamSize(quint64 streamSize) {
    return qMax(streamSize, kMiniStreamCutoff);
}

CompoundFileWriter::Layout CompoundFileWriter::layoutFor(quint64 streamSize) {
    Layout l;
    l.streamSectors = quint32((paddedStreamSize(streamSize) + kSectorSize - 1) / kSectorSize);
    l.directorySector = l.streamSectors;
    // The tables describe every sector including their own, so grow them until they fit.
    for (;;) {
        const quint32 difat =
            l.fatSectors > kHeaderDifatEntries ? (l.fatSectors - kHeaderDifatEntries + 126) / 127 : 0;
        const quint64 needed = quint64(l.streamSectors) + 1 + l.fatSectors + difat;
        if (quint64(l.fatSectors) * kIdsPerSector >= needed && difat == l.difatSectors) break;
        l.difatSectors = difat;
        if (quint64(l.fatSectors) * kIdsPerSector < needed)
            l.fatSectors = quint32((needed + kIdsPerSector - 1) / kIdsPerSector);
    }
    return l;
}

bool CompoundFileWriter::write(QIODevice& out, const QString& streamName, quint64 streamSize,
                               const std::function<bool(QIODevice&)>& writeStream) {
    if (streamSize > 0x7FFFFFFFull) return false;
    const Layout l = layoutFor(streamSize);

    QByteArray header(kSectorSize, '\0');
    static const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    memcpy(header.data(), kSignature, 8);
    put16(header, 24, 0x003E);  // minor version
    put16(header, 26, 0x0003);  // major version 3: 512-byte sectors
    put16(header, 28, 0xFFFE);  // little-endian
    put16(header, 30, 9);       // sector size 2^9
    put16(header, 32, 6);       // mini sector size 2^6
    put32(header, 44, l.fatSectors);
    put32(header, 48, l.directorySector);
    put32(header, 56, quint32(kMiniStreamCutoff));
    put32(header, 60, kEndOfChain);  // no mini allocation table
    put32(header, 64, 0);
    put32(header, 68, l.difatSectors ? l.firstDifatSector() : kEndOfChain);
    put32(header, 72, l.difatSectors);
    for (quint32 i = 0; i < kHeaderDifatEntries; ++i)
        put32(header, 76 + i * 4, i < l.fatSectors ? l.firstFatSector() + i : kFreeSector);
    if (!writeAll(out, header)) return false;

    // The stream, padded to whole sectors.
    const qint64 before = out.pos();
    if (!writeStream(out)) return false;
    if (quint64(out.pos() - before) != streamSize) return false;
    const quint64 padding = quint64(l.streamSectors) * kSectorSize - streamSize;
    if (padding && !writeAll(out, QByteArray(qsizetype(padding), '\0'))) return false;

    // The directory: the root storage and the stream as its only child, two unused entries.
    QByteArray dir;
    dir += directoryEntry(QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    dir += directoryEntry(streamName, 2, kNoStream, 0, paddedStreamSize(streamSize));
    dir += directoryEntry({}, 0, kNoStream, 0, 0);
    dir += directoryEntry({}, 0, kNoStream, 0, 0);
    if (!writeAll(out, dir)) return false;

    // The allocation table, one sector at a time.
    QByteArray sector(kSectorSize, '\0');
    quint64 id = 0;
    for (quint32 s = 0; s < l.fatSectors; ++s) {
        for (quint32 k = 0; k < kIdsPerSector; ++k, ++id) {
            quint32 v = kFreeSector;
            if (id < l.streamSectors)
                v = id + 1 < l.streamSectors ? quint32(id + 1) : kEndOfChain;
            else if (id == l.directorySector)
                v = kEndOfChain;
            else if (id >= l.firstFatSector() && id < l.firstDifatSector())
                v = kFatSector;
            else if (id >= l.firstDifatSector() && id < l.totalSectors())
                v = kDifatSector;
            put32(sector, k * 4, v);
        }
        if (!writeAll(out, sector)) return false;
    }

    // The extension of the header's list of allocation table sectors: 127 entries and a link each.
    quint32 listed = kHeaderDifatEntries;
    for (quint32 s = 0; s < l.difatSectors; ++s) {
        for (quint32 k = 0; k < 127; ++k, ++listed)
            put32(sector, k * 4, listed < l.fatSectors ? l.firstFatSector() + listed : kFreeSector);
        put32(sector, 127 * 4, s + 1 < l.difatSectors ? l.firstDifatSector() + s + 1 : kEndOfChain);
        if (!writeAll(out, sector)) return false;
    }
    return true;
}

}  // namespace qv
