#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace qv {

// The workstation's Config.ini: a Windows-style initialisation file read and written through one
// handle for the whole run.
//
// - Section and key names compare without case ("config" and "Config" are one section).
// - A missing text key reads as "", a missing integer key as the given default (-1 unless told).
// - Writing a key changes only that key's line (or adds it) and saves at once: comments, blank
//   lines, the order and spelling of every other line stay as they were.
// - A missing or unreadable file reads as empty. The file is UTF-8; a byte-order mark and CRLF
//   line ends are kept when the file had them.
// - Lines starting with ';' or '#' are comments. A ';' inside a value belongs to the value (a
//   password may contain one).
// - The file is read again when it changed on disk (another tool may edit it while the program
//   runs), and every write starts from the file as it is on disk, so no change is lost.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& def = QString()) const;
    int readInt(const QString& section, const QString& key, int def = -1) const;
    bool hasKey(const QString& section, const QString& key) const;

    // Writes the value and saves the file; false when the file could not be written (or exists but
    // could not be read, so that writing would have destroyed its other contents).
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInt(const QString& section, const QString& key, int value);

    // Section names as written in the file, in file order; keys of one section likewise.
    QStringList sections() const;
    QStringList keys(const QString& section) const;

private:
    struct Found {
        int sectionLine = -1;  // line of the "[section]" header, -1 when the section is absent
        int keyLine = -1;      // line of "key=value", -1 when the key is absent
    };
    Found find(const QString& section, const QString& key) const;
    void reloadIfChanged() const;
    bool load(bool* readable) const;
    bool save() const;

    QString path_;
    mutable QStringList lines_;
    mutable bool bom_ = false;
    mutable bool crlf_ = false;
    mutable QDateTime stamp_;
    mutable qint64 size_ = -1;
    mutable bool exists_ = false;
};

}  // namespace qv
