#include "ReportTemplate.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <array>

#include "DbError.h"

namespace qv {

namespace {

constexpr std::array<std::pair<ReportBand::Kind, const char*>, 6> kBandNames{{
    {ReportBand::Kind::ReportTitle, "report-title"},
    {ReportBand::Kind::PageHeader, "page-header"},
    {ReportBand::Kind::ColumnHeader, "column-header"},
    {ReportBand::Kind::MasterData, "master-data"},
    {ReportBand::Kind::PageFooter, "page-footer"},
    {ReportBand::Kind::Summary, "summary"},
}};

constexpr std::array<std::pair<ReportObject::Kind, const char*>, 4> kObjectNames{{
    {ReportObject::Kind::Text, "text"},
    {ReportObject::Kind::Line, "line"},
    {ReportObject::Kind::Rect, "rect"},
    {ReportObject::Kind::Picture, "picture"},
}};

constexpr std::array<std::pair<int, const char*>, 4> kFrameNames{{
    {ReportObject::FrameLeft, "left"},
    {ReportObject::FrameTop, "top"},
    {ReportObject::FrameRight, "right"},
    {ReportObject::FrameBottom, "bottom"},
}};

constexpr std::array<std::pair<int, const char*>, 3> kHAlign{
    {{Qt::AlignLeft, "left"}, {Qt::AlignHCenter, "center"}, {Qt::AlignRight, "right"}}};
constexpr std::array<std::pair<int, const char*>, 3> kVAlign{
    {{Qt::AlignTop, "top"}, {Qt::AlignVCenter, "center"}, {Qt::AlignBottom, "bottom"}}};

QString num(double v) { return QString::number(v, 'g', 10); }

// Reads one element's attributes, remembering the first fault with where it happened.
class Reader {
public:
    Reader(const QByteArray& xml, const QString& fileName) : xml_(xml), file_(fileName) {}

    [[noreturn]] void fail(const QString& what) const {
        throw DbError(QStringLiteral(u"报表模板 %1 无法读取（第 %2 行）：%3")
                          .arg(file_)
                          .arg(xml_.lineNumber())
                          .arg(what));
    }
    double number(const char* attr, double fallback, double min = -1e6, double max = 1e6) {
        const QStringView s = xml_.attributes().value(QLatin1String(attr));
        if (s.isEmpty()) return fallback;
        bool ok = false;
        const double v = s.toDouble(&ok);
        if (!ok || v < min || v > max)
            fail(QStringLiteral(u"属性 %1 的值“%2”不是有效数字").arg(QLatin1String(attr), s.toString()));
        return v;
    }
    QString text(const char* attr) const { return xml_.attributes().value(QLatin1String(attr)).toString(); }
    bool flag(const char* attr) const { return text(attr) == QLatin1String("1"); }
    template <typename T, size_t N>
    T choice(const char* attr, const std::array<std::pair<T, const char*>, N>& names, T fallback) {
        const QString s = text(attr);
        if (s.isEmpty()) return fallback;
        for (const auto& [v, n] : names)
            if (s == QLatin1String(n)) return v;
        fail(QStringLiteral(u"属性 %1 的值“%2”无法识别").arg(QLatin1String(attr), s));
    }

    QXmlStreamReader xml_;
    QString file_;
};

ReportObject readObject(Reader& r, ReportObject::Kind kind) {
    ReportObject o;
    o.kind = kind;
    o.name = r.text("name");
    o.rect = QRectF(r.number("x", 0), r.number("y", 0), r.number("width", 0, 0), r.number("height", 0, 0));
    o.format = r.text("format");
    o.fontFamily = r.text("font");
    o.fontSize = r.number("size", 10, 1, 500);
    o.bold = r.flag("bold");
    o.italic = r.flag("italic");
    o.align =
        r.choice("halign", kHAlign, int(Qt::AlignLeft)) | r.choice("valign", kVAlign, int(Qt::AlignTop));
    o.frame = 0;
    for (const QString& f : r.text("frame").split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool known = false;
        for (const auto& [bit, n] : kFrameNames)
            if (f == QLatin1String(n)) o.frame |= bit, known = true;
        if (!known) r.fail(QStringLiteral(u"边框“%1”无法识别").arg(f));
    }
    o.lineWidth = r.number("line-width", 0.2, 0, 50);
    o.wordWrap = r.flag("wrap");
    o.grow = r.flag("grow");
    const QString body = r.xml_.readElementText();
    if (r.xml_.hasError()) r.fail(r.xml_.errorString());
    if (kind == ReportObject::Kind::Picture)
        o.picture = QByteArray::fromBase64(body.trimmed().toLatin1());
    else if (kind == ReportObject::Kind::Text)
        o.text = body;
    return o;
}

void writeObject(QXmlStreamWriter& w, const ReportObject& o) {
    for (const auto& [k, n] : kObjectNames)
        if (k == o.kind) w.writeStartElement(QLatin1String(n));
    if (!o.name.isEmpty()) w.writeAttribute(QStringLiteral("name"), o.name);
    w.writeAttribute(QStringLiteral("x"), num(o.rect.x()));
    w.writeAttribute(QStringLiteral("y"), num(o.rect.y()));
    w.writeAttribute(QStringLiteral("width"), num(o.rect.width()));
    w.writeAttribute(QStringLiteral("height"), num(o.rect.height()));
    if (o.kind != ReportObject::Kind::Text) w.writeAttribute(QStringLiteral("line-width"), num(o.lineWidth));
    if (o.kind == ReportObject::Kind::Text) {
        if (!o.format.isEmpty()) w.writeAttribute(QStringLiteral("format"), o.format);
        if (!o.fontFamily.isEmpty()) w.writeAttribute(QStringLiteral("font"), o.fontFamily);
        w.writeAttribute(QStringLiteral("size"), num(o.fontSize));
        if (o.bold) w.writeAttribute(QStringLiteral("bold"), QStringLiteral("1"));
        if (o.italic) w.writeAttribute(QStringLiteral("italic"), QStringLiteral("1"));
        for (const auto& [a, n] : kHAlign)
            if (o.align & a) w.writeAttribute(QStringLiteral("halign"), QLatin1String(n));
        for (const auto& [a, n] : kVAlign)
            if (o.align & a) w.writeAttribute(QStringLiteral("valign"), QLatin1String(n));
        QStringList frames;
        for (const auto& [bit, n] : kFrameNames)
            if (o.frame & bit) frames << QLatin1String(n);
        if (!frames.isEmpty()) {
            w.writeAttribute(QStringLiteral("frame"), frames.join(QLatin1Char(' ')));
            w.writeAttribute(QStringLiteral("line-width"), num(o.lineWidth));
        }
        if (o.wordWrap) w.writeAttribute(QStringLiteral("wrap"), QStringLiteral("1"));
        if (o.grow) w.writeAttribute(QStringLiteral("grow"), QStringLiteral("1"));
        w.writeCharacters(o.text);
    } else if (o.kind == ReportObject::Kind::Picture) {
        w.writeCharacters(QString::fromLatin1(o.picture.toBase64()));
    }
    w.writeEndElement();
}

}  // namespace

QString bandKindName(ReportBand::Kind kind) {
    for (const auto& [k, n] : kBandNames)
        if (k == kind) return QLatin1String(n);
    return {};
}

ReportObject* ReportTemplate::findObject(const QString& name) {
    for (ReportBand& b : bands)
        for (ReportObject& o : b.objects)
            if (!name.isEmpty() && o.name.compare(name, Qt::CaseInsensitive) == 0) return &o;
    return nullptr;
}

const ReportObject* ReportTemplate::findObject(const QString& name) const {
    return const_cast<ReportTemplate*>(this)->findObject(name);
}

ReportBand* ReportTemplate::band(ReportBand::Kind kind) {
    for (ReportBand& b : bands)
        if (b.kind == kind) return &b;
    return nullptr;
}

const ReportBand* ReportTemplate::band(ReportBand::Kind kind) const {
    return const_cast<ReportTemplate*>(this)->band(kind);
}

ReportTemplate ReportTemplate::fromXml(const QByteArray& xml, const QString& fileName) {
    Reader r(xml, fileName);
    ReportTemplate t;
    if (!r.xml_.readNextStartElement() || r.xml_.name() != QLatin1String("quorvan-report"))
        r.fail(r.xml_.hasError() ? r.xml_.errorString() : QStringLiteral(u"不是报表模板文件"));
    const double version = r.number("version", 0);
    if (version < 1 || version > kFormatVersion)
        r.fail(QStringLiteral(u"模板格式版本 %1 不受支持").arg(r.text("version")));
    while (r.xml_.readNextStartElement()) {
        const auto tag = r.xml_.name();
        if (tag == QLatin1String("page")) {
            t.page.width = r.number("width", 210, 10, 5000);
            t.page.height = r.number("height", 297, 10, 5000);
            t.page.landscape = r.text("orientation") == QLatin1String("landscape");
            t.page.left = r.number("left", 10, 0, 1000);
            t.page.top = r.number("top", 10, 0, 1000);
            t.page.right = r.number("right", 10, 0, 1000);
            t.page.bottom = r.number("bottom", 10, 0, 1000);
            r.xml_.skipCurrentElement();
        } else if (tag == QLatin1String("labels")) {
            t.labels.enabled = true;
            t.labels.columns = int(r.number("columns", 1, 1, 100));
            t.labels.rows = int(r.number("rows", 1, 1, 100));
            t.labels.labelWidth = r.number("width", 70, 1, 5000);
            t.labels.labelHeight = r.number("height", 37, 1, 5000);
            t.labels.hGap = r.number("hgap", 0, 0, 1000);
            t.labels.vGap = r.number("vgap", 0, 0, 1000);
            r.xml_.skipCurrentElement();
        } else if (tag == QLatin1String("band")) {
            ReportBand b;
            b.kind = r.choice("kind", kBandNames, ReportBand::Kind::MasterData);
            b.height = r.number("height", 10, 0, 5000);
            b.source = r.text("source");
            while (r.xml_.readNextStartElement()) {
                const QString n = r.xml_.name().toString();
                bool known = false;
                for (const auto& [k, name] : kObjectNames)
                    if (n == QLatin1String(name)) {
                        b.objects.push_back(readObject(r, k));
                        known = true;
                    }
                if (!known) r.fail(QStringLiteral(u"未知的对象类型“%1”").arg(n));
            }
            t.bands.push_back(std::move(b));
        } else {
            r.fail(QStringLiteral(u"未知的元素“%1”").arg(tag.toString()));
        }
    }
    if (r.xml_.hasError()) r.fail(r.xml_.errorString());
    return t;
}

QByteArray ReportTemplate::toXml() const {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("quorvan-report"));
    w.writeAttribute(QStringLiteral("version"), QString::number(kFormatVersion));
    w.writeStartElement(QStringLiteral("page"));
    w.writeAttribute(QStringLiteral("width"), num(page.width));
    w.writeAttribute(QStringLiteral("height"), num(page.height));
    w.writeAttribute(QStringLiteral("orientation"),
                     page.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
    w.writeAttribute(QStringLiteral("left"), num(page.left));
    w.writeAttribute(QStringLiteral("top"), num(page.top));
    w.writeAttribute(QStringLiteral("right"), num(page.right));
    w.writeAttribute(QStringLiteral("bottom"), num(page.bottom));
    w.writeEndElement();
    if (labels.enabled) {
        w.writeStartElement(QStringLiteral("labels"));
        w.writeAttribute(QStringLiteral("columns"), QString::number(labels.columns));
        w.writeAttribute(QStringLiteral("rows"), QString::number(labels.rows));
        w.writeAttribute(QStringLiteral("width"), num(labels.labelWidth));
        w.writeAttribute(QStringLiteral("height"), num(labels.labelHeight));
        w.writeAttribute(QStringLiteral("hgap"), num(labels.hGap));
        w.writeAttribute(QStringLiteral("vgap"), num(labels.vGap));
        w.writeEndElement();
    }
    for (const ReportBand& b : bands) {
        w.writeStartElement(QStringLiteral("band"));
        w.writeAttribute(QStringLiteral("kind"), bandKindName(b.kind));
        w.writeAttribute(QStringLiteral("height"), num(b.height));
        if (!b.source.isEmpty()) w.writeAttribute(QStringLiteral("source"), b.source);
        for (const ReportObject& o : b.objects) writeObject(w, o);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

}  // namespace qv
