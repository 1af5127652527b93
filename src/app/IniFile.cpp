#include "IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qv {

namespace {

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// "[name]" → name; a null string when the line is no section header.
QString sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return QString();
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0) return QString();
    const QString name = t.mid(1, close - 1).trimmed();
    return name.isNull() ? QStringLiteral("") : name;
}

// "key = value" → key; a null string when the line holds no key.
QString keyName(const QString& line) {
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t) || t.startsWith(QLatin1Char('['))) return QString();
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0) return QString();
    return t.left(eq).trimmed();
}

QString valueOf(const QString& line) {
    const int eq = line.indexOf(QLatin1Char('='));
    QString v = line.mid(eq + 1).trimmed();
    // A value enclosed in a pair of quotes loses them, as Windows reads such files.
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

// The text written for a value: quoted when reading it back would otherwise change it.
QString encodeValue(const QString& value) {
    const bool quote =
        !value.isEmpty() && (value.front().isSpace() || value.back().isSpace() ||
                             value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''));
    return quote ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) { reloadIfChanged(); }

bool IniFile::load(bool* readable) const {
    lines_.clear();
    bom_ = false;
    crlf_ = false;
    const QFileInfo fi(path_);
    exists_ = fi.exists();
    stamp_ = fi.lastModified();
    size_ = exists_ ? fi.size() : -1;
    *readable = true;
    if (!exists_) return true;
    QFile f(path_);
    if (!fi.isFile() || !f.open(QIODevice::ReadOnly)) {
        *readable = false;
        return false;
    }
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bom_ = true;
        bytes.remove(0, 3);
    }
    crlf_ = bytes.contains("\r\n");
    QString text = QString::fromUtf8(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.isEmpty()) return true;
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    lines_ = text.split(QLatin1Char('\n'));
    return true;
}

void IniFile::reloadIfChanged() const {
    const QFileInfo fi(path_);
    if (fi.exists() == exists_ && fi.lastModified() == stamp_ && (exists_ ? fi.size() : -1) == size_ &&
        !stamp_.isNull())
        return;
    bool readable = true;
    load(&readable);
}

IniFile::Found IniFile::find(const QString& section, const QString& key) const {
    Found r;
    bool inSection = false;
    for (int i = 0; i < lines_.size(); ++i) {
        const QString s = sectionName(lines_[i]);
        if (!s.isNull()) {
            inSection = sameName(s, section);
            if (inSection && r.sectionLine < 0) r.sectionLine = i;
            continue;
        }
        if (!inSection || key.isNull()) continue;
        const QString k = keyName(lines_[i]);
        if (!k.isNull() && sameName(k, key)) {
            r.keyLine = i;
            return r;  // the first occurrence counts, as Windows reads it
        }
    }
    return r;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    reloadIfChanged();
    const Found f = find(section, key);
    if (f.keyLine < 0) return def.isNull() ? QStringLiteral("") : def;
    return valueOf(lines_[f.keyLine]);
}

int IniFile::readInt(const QString& section, const QString& key, int def) const {
    const QString v = readString(section, key).trimmed();
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : def;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    reloadIfChanged();
    return find(section, key).keyLine >= 0;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    // Start from the file as it is now, so that a change made by another tool is kept.
    bool readable = true;
    load(&readable);
    if (!readable) return false;
    const QString encoded = encodeValue(value);
    const Found f = find(section, key);
    if (f.keyLine >= 0) {
        // Keep the key's own spelling and the indentation of the line.
        const QString& old = lines_[f.keyLine];
        const int eq = old.indexOf(QLatin1Char('='));
        QString head = old.left(eq);
        while (head.endsWith(QLatin1Char(' ')) || head.endsWith(QLatin1Char('\t'))) head.chop(1);
        lines_[f.keyLine] = head + QLatin1Char('=') + encoded;
    } else if (f.sectionLine >= 0) {
        // After the section's last key (or its header), before the blank lines that separate it.
        int at = f.sectionLine + 1;
        for (int i = f.sectionLine + 1; i < lines_.size(); ++i) {
            if (!sectionName(lines_[i]).isNull()) break;
            if (!keyName(lines_[i]).isNull()) at = i + 1;
        }
        lines_.insert(at, key + QLatin1Char('=') + encoded);
    } else {
        if (!lines_.isEmpty() && !lines_.back().trimmed().isEmpty()) lines_.append(QString());
        lines_.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines_.append(key + QLatin1Char('=') + encoded);
    }
    const bool ok = save();
    // Remember the saved state so that the next read does not parse the file again.
    const QFileInfo fi(path_);
    exists_ = fi.exists();
    stamp_ = fi.lastModified();
    size_ = exists_ ? fi.size() : -1;
    if (!ok) {
        bool dummy = true;
        load(&dummy);
    }
    return ok;
}

bool IniFile::writeInt(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

bool IniFile::save() const {
    const QString nl = crlf_ ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text = lines_.join(nl);
    if (!lines_.isEmpty()) text += nl;
    QByteArray bytes = text.toUtf8();
    if (bom_) bytes.prepend("\xEF\xBB\xBF");
    QSaveFile f(path_);
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

QStringList IniFile::sections() const {
    reloadIfChanged();
    QStringList r;
    for (const QString& line : lines_) {
        const QString s = sectionName(line);
        if (!s.isNull()) r.append(s);
    }
    return r;
}

QStringList IniFile::keys(const QString& section) const {
    reloadIfChanged();
    QStringList r;
    bool inSection = false;
    for (const QString& line : lines_) {
        const QString s = sectionName(line);
        if (!s.isNull()) {
            inSection = sameName(s, section);
            continue;
        }
        if (!inSection) continue;
        const QString k = keyName(line);
        if (!k.isNull()) r.append(k);
    }
    return r;
}

}  // namespace qv
