#pragma once
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <optional>

namespace qv {

// Reads members of a zip archive (stored or deflated, as workbooks are packed) with zlib.
// Workbooks are not read through a zip library here: the zip code bundled with the Qt zip wrapper
// exports the same C symbols as the system's minizip that the .xlsx writer uses, and one process
// cannot hold both without one calling the other's functions.
class ZipArchive {
public:
    // False when the file is not a zip archive or its directory is damaged.
    bool open(const QString& path);
    // The member's content; nullopt when there is no such member (names compare without case).
    // Throws nothing; a damaged member also gives nullopt and sets damaged().
    std::optional<QByteArray> read(const QString& name);
    bool damaged() const { return damaged_; }

private:
    struct Entry {
        quint16 method = 0;
        quint32 crc = 0;
        quint64 compressedSize = 0, size = 0, localHeader = 0;
    };
    QFile file_;
    QHash<QString, Entry> entries_;  // by lower-case name
    bool damaged_ = false;
};

}  // namespace qv
