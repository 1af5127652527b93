#include "PreparedReport.h"

#include <QDataStream>
#include <QIODevice>

namespace qv {

void PreparedPage::pack() {
    if (items.empty()) return;
    QByteArray raw;
    QDataStream out(&raw, QIODevice::WriteOnly);
    out << quint32(items.size());
    for (const PreparedItem& it : items)
        out << qint32(it.kind) << it.rect << it.lines << it.lineHeight << it.fontFamily << it.fontSize
            << it.bold << it.italic << qint32(it.align) << qint32(it.frame) << it.lineWidth << it.picture
            << qint32(it.row);
    packed = qCompress(raw, 1);
    packed.squeeze();  // qCompress leaves room for the uncompressed size
    items.clear();
    items.shrink_to_fit();
}

std::vector<PreparedItem> PreparedPage::allItems() const {
    if (packed.isEmpty()) return items;
    const QByteArray raw = qUncompress(packed);
    QDataStream in(raw);
    quint32 n = 0;
    in >> n;
    std::vector<PreparedItem> out(n);
    for (PreparedItem& it : out) {
        qint32 kind = 0, align = 0, frame = 0, row = 0;
        in >> kind >> it.rect >> it.lines >> it.lineHeight >> it.fontFamily >> it.fontSize >> it.bold >>
            it.italic >> align >> frame >> it.lineWidth >> it.picture >> row;
        it.kind = ReportObject::Kind(kind);
        it.align = align;
        it.frame = frame;
        it.row = row;
        for (QString& line : it.lines) line.replace(kTotalPagesMark, QString::number(totalPages));
    }
    return out;
}

}  // namespace qv
