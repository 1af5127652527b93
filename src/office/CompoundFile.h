#pragma once
#include <QIODevice>
#include <QString>
#include <functional>

namespace qv {

// Writes an OLE2 compound file (version 3, 512-byte sectors) that holds one stream, the container
// of Excel 97-2003 workbooks. The stream lives in regular sectors: a stream shorter than 4096 bytes
// is padded with zeros to 4096 so that no mini stream is needed. The sector allocation table grows
// into extension sectors when it needs more than the 109 sectors the header lists, so streams of any
// size up to 2 GB can be written.
class CompoundFileWriter {
public:
    static constexpr quint32 kSectorSize = 512;
    static constexpr quint64 kMiniStreamCutoff = 4096;

    // Writes the whole file to `out`: the header, then the stream through `writeStream`, which must
    // write exactly `streamSize` bytes to the device it is given, then the directory and the tables.
    // Returns false when the device refuses a write or the stream did not have the announced size.
    static bool write(QIODevice& out, const QString& streamName, quint64 streamSize,
                      const std::function<bool(QIODevice&)>& writeStream);

    // The sector layout of a file with a stream of `streamSize` bytes (after padding).
    struct Layout {
        quint32 streamSectors = 0;
        quint32 directorySector = 0;
        quint32 fatSectors = 0;
        quint32 difatSectors = 0;
        quint32 firstFatSector() const { return directorySector + 1; }
        quint32 firstDifatSector() const { return firstFatSector() + fatSectors; }
        quint32 totalSectors() const { return firstDifatSector() + difatSectors; }
    };
    static Layout layoutFor(quint64 streamSize);
    static quint64 paddedStreamSize(quint64 streamSize);
};

}  // namespace qv
