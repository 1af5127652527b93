#include "BiffRecords.h"

#include <QHashFunctions>

namespace qv::biff {

Body& Body::unicode(const QString& s, bool shortLength) {
    if (shortLength)
        u8(quint8(s.size()));
    else
        u16(quint16(s.size()));
    u8(1);  // UTF-16 characters
    for (QChar ch : s) u16(ch.unicode());
    return *this;
}

void appendRecord(QByteArray& out, quint16 type, const QByteArray& body) {
    char h[4];
    qToLittleEndian(type, h);
    qToLittleEndian(quint16(body.size()), h + 2);
    out.append(h, 4);
    out.append(body);
}

void RecordSink::record(quint16 type, const QByteArray& body) {
    Q_ASSERT(body.size() <= kMaxRecordData);
    if (device_) {
        QByteArray bytes;
        bytes.reserve(body.size() + 4);
        appendRecord(bytes, type, body);
        raw(bytes);
    } else {
        pos_ += body.size() + 4;
    }
}

void RecordSink::raw(const QByteArray& bytes) {
    if (device_ && device_->write(bytes) != bytes.size()) ok_ = false;
    pos_ += bytes.size();
}

SharedStrings::SharedStrings() : index_(1024, Hash{this}, Equal{this}) {}

QByteArrayView SharedStrings::entry(quint32 index) const {
    const qsizetype begin = offsets_[index];
    const qsizetype end = index + 1 < offsets_.size() ? offsets_[index + 1] : data_.size();
    return QByteArrayView(data_.constData() + begin, end - begin);
}

size_t SharedStrings::Hash::operator()(quint32 index) const { return qHash(owner->entry(index)); }

quint32 SharedStrings::add(const QString& text) {
    ++total_;
    // Encode the text at the end of the table; if it is already there, take the earlier entry back.
    const qsizetype start = data_.size();
    bool wide = false;
    for (QChar ch : text) {
        if (ch.unicode() > 0xFF) {
            wide = true;
            break;
        }
    }
    char h[2];
    qToLittleEndian(quint16(text.size()), h);
    data_.append(h, 2);
    data_.append(char(wide ? 1 : 0));
    if (wide) {
        for (QChar ch : text) {
            qToLittleEndian(ch.unicode(), h);
            data_.append(h, 2);
        }
    } else {
        for (QChar ch : text) data_.append(char(ch.unicode()));
    }
    const quint32 candidate = quint32(offsets_.size());
    offsets_.push_back(quint32(start));
    auto found = index_.find(candidate);
    if (found != index_.end()) {
        offsets_.pop_back();
        data_.truncate(start);
        return *found;
    }
    index_.insert(candidate);
    return candidate;
}

void SharedStrings::writeTo(RecordSink& sink) const {
    const quint32 unique = uniqueCount();
    // EXTSST: one position per bucket of `perBucket` strings, at most 128 buckets.
    const quint32 perBucket = qMax<quint32>(8, (unique + 127) / 128);
    Body ext;
    ext.u16(quint16(perBucket));

    QByteArray body;
    body.reserve(kMaxRecordData);
    quint16 type = rec::Sst;
    char h[4];
    qToLittleEndian(total_, h);
    body.append(h, 4);
    qToLittleEndian(unique, h);
    body.append(h, 4);
    auto flush = [&] {
        sink.record(type, body);
        body.clear();
        type = rec::Continue;
    };

    for (quint32 i = 0; i < unique; ++i) {
        const QByteArrayView e = entry(i);
        const bool wide = e.at(2) != 0;
        const qsizetype charSize = wide ? 2 : 1;
        QByteArrayView chars = e.sliced(3);
        // The header and at least the first character stay together.
        if (kMaxRecordData - body.size() < 3 + (chars.isEmpty() ? 0 : charSize)) flush();
        if (i % perBucket == 0) {
            ext.u32(quint32(sink.pos() + 4 + body.size()));  // stream position of the text
            ext.u16(quint16(4 + body.size()));               // its offset in the record
            ext.u16(0);
        }
        body.append(e.data(), 3);
        while (!chars.isEmpty()) {
            const qsizetype room = (kMaxRecordData - body.size()) / charSize * charSize;
            const qsizetype n = qMin(room, chars.size());
            body.append(chars.data(), n);
            chars = chars.sliced(n);
            if (!chars.isEmpty()) {
                flush();
                body.append(char(wide ? 1 : 0));  // a continued text repeats its character width
            }
        }
    }
    flush();
    sink.record(rec::ExtSst, ext);
}

}  // namespace qv::biff
