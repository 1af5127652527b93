#include "ReportEngine.h"

#include <QRegularExpression>

#include "Dataset.h"
#include "DbError.h"
#include "Money.h"
#include "Report.h"
#include "ReportText.h"

namespace qv {

namespace {

// Pages kept as they are; later ones are packed once finished.
constexpr size_t kUnpackedPages = 50;

struct Token {
    enum class Kind { Literal, Field, Sum, Page, TotalPages, Date, Line };
    Kind kind = Kind::Literal;
    QString literal;
    Dataset* dataset = nullptr;
    int column = -1;
    bool bandRow = false;  // read from the row the master band is printing
    int sum = -1;
    int midStart = 0, midLength = -1;  // [MID(Field, start, length)]: characters from 1-based start
};

struct CompiledObject {
    const ReportObject* object = nullptr;
    std::vector<Token> tokens;
    QString format;
};

struct CompiledBand {
    const ReportBand* band = nullptr;
    std::vector<CompiledObject> objects;
};

// A band printing being placed: its items relative to the band's top and its height.
struct BandPrint {
    std::vector<PreparedItem> items;
    double height = 0;
};

struct SumField {
    Dataset* dataset = nullptr;
    int column = -1;
    bool bandRow = false;
};

// Decimals a number format asks for: "0.00" two, "0" none; money sums without a format print two.
int decimalsOf(const QString& format) {
    if (format.isEmpty()) return 2;
    const int dot = format.indexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : int(format.size() - dot - 1);
}

bool isDateFormat(const QString& f) {
    static const QRegularExpression re(QStringLiteral("[yMdHhms]"));
    return re.match(f).hasMatch();
}

QString formatted(const QVariant& v, const QString& format) {
    if (v.isNull() || !v.isValid()) return {};
    if (format.isEmpty()) return Dataset::formatValue(v, {});
    if (isDateFormat(format)) {
        QDateTime dt;
        if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate) {
            dt = v.toDateTime();
        } else {
            const QString s = v.toString().trimmed();
            dt = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (!dt.isValid()) dt = QDateTime::fromString(s, Qt::ISODate);
            if (!dt.isValid())
                dt = QDateTime(QDate::fromString(s, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
        }
        return dt.isValid() ? dt.toString(format) : v.toString();
    }
    bool ok = false;
    v.toString().toDouble(&ok);
    if (!ok) return v.toString();
    return Money::fromVariant(v).toString(decimalsOf(format));
}

class Engine {
public:
    Engine(const Report& report, const PrepareOptions& options) : report_(report), options_(options) {
        const ReportTemplate& t = report.reportTemplate();
        page_ = t.page;
        master_ = t.band(ReportBand::Kind::MasterData);
        if (master_) {
            if (!report.hasSource(master_->source))
                throw DbError(QStringLiteral(u"报表模板 %1 的主数据带引用了未知的数据源“%2”。")
                                  .arg(report.displayPath(), master_->source));
            masterData_ = report.source(master_->source);
        }
        for (const ReportBand& b : t.bands) compiled_.push_back(compile(b));
    }

    PreparedReport run();

private:
    CompiledBand compile(const ReportBand& band);
    Token compileToken(const QString& expr, const ReportObject& obj);
    [[noreturn]] void unknown(const ReportObject& obj, const QString& what) const {
        throw DbError(QStringLiteral(u"报表模板 %1 的对象 %2 引用了未知的%3。")
                          .arg(report_.displayPath(),
                               obj.name.isEmpty() ? QStringLiteral(u"（未命名）") : obj.name, what));
    }
    const CompiledBand* compiledBand(ReportBand::Kind kind) const {
        for (const CompiledBand& b : compiled_)
            if (b.band->kind == kind) return &b;
        return nullptr;
    }
    QString evaluate(const CompiledObject& o) const;
    BandPrint print(const CompiledBand& b, int row);
    void place(BandPrint p);
    void put(std::vector<PreparedItem>& items, double dx, double dy);
    void newPage();
    void finishPage();
    double bodyTop() const { return page_.top; }
    double bodyBottom() const {
        const CompiledBand* f = compiledBand(ReportBand::Kind::PageFooter);
        return page_.pageHeight() - page_.bottom - (f ? f->band->height : 0);
    }
    bool forEachRow(const std::function<void(int row)>& fn);
    void runLabels();

    const Report& report_;
    const PrepareOptions& options_;
    PageSetup page_;
    const ReportBand* master_ = nullptr;
    Dataset* masterData_ = nullptr;
    std::vector<CompiledBand> compiled_;
    std::vector<SumField> sumFields_;
    std::vector<Money> sums_;
    PreparedReport out_;
    double y_ = 0;
    bool pageHasBands_ = false;
    int bandRow_ = -1;  // master row printed now (or last)
    int lineNo_ = 0;    // master rows printed so far
    int printing_ = 0;  // band printings so far
};

Token Engine::compileToken(const QString& expr, const ReportObject& obj) {
    Token t;
    const QString e = expr.trimmed();
    const QString upper = e.toUpper();
    if (upper == QLatin1String("PAGE#")) return t.kind = Token::Kind::Page, t;
    if (upper == QLatin1String("TOTALPAGES")) return t.kind = Token::Kind::TotalPages, t;
    if (upper == QLatin1String("DATE")) return t.kind = Token::Kind::Date, t;
    if (upper == QLatin1String("LINE#")) return t.kind = Token::Kind::Line, t;
    static const QRegularExpression sumRe(QStringLiteral("^SUM\\s*\\((.*)\\)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression midRe(QStringLiteral("^MID\\s*\\((.*),\\s*(\\d+)\\s*,\\s*(\\d+)\\s*\\)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto sm = sumRe.match(e);
    const auto mm = midRe.match(e);
    if (mm.hasMatch()) {
        t.midStart = std::max(0, mm.captured(2).toInt() - 1);
        t.midLength = mm.captured(3).toInt();
    }
    const QString ref = sm.hasMatch()   ? sm.captured(1).trimmed()
                        : mm.hasMatch() ? mm.captured(1).trimmed()
                                        : e;
    // [Source."Field"] or [Field] of the master band's source.
    static const QRegularExpression qualified(QStringLiteral("^([^.\"]+)\\.\"([^\"]+)\"$"));
    const auto qm = qualified.match(ref);
    QString source = master_ ? master_->source : QString();
    QString field = ref;
    if (qm.hasMatch()) {
        source = qm.captured(1).trimmed();
        field = qm.captured(2);
    }
    if (!report_.hasSource(source)) unknown(obj, QStringLiteral(u"数据源“%1”").arg(source));
    t.dataset = report_.source(source);
    t.bandRow = master_ && source.compare(master_->source, Qt::CaseInsensitive) == 0;
    if (t.dataset && t.dataset->isOpen()) {
        t.column = t.dataset->fieldIndex(field);
        if (t.column < 0) unknown(obj, QStringLiteral(u"字段“%1.%2”").arg(source, field));
    } else if (!t.dataset) {
        unknown(obj, QStringLiteral(u"字段“%1.%2”").arg(source, field));
    }
    t.kind = Token::Kind::Field;
    if (sm.hasMatch()) {
        t.kind = Token::Kind::Sum;
        t.sum = int(sumFields_.size());
        sumFields_.push_back({t.dataset, t.column, t.bandRow});
        sums_.push_back({});
    }
    return t;
}

CompiledBand Engine::compile(const ReportBand& band) {
    CompiledBand cb{&band, {}};
    static const QRegularExpression exprRe(QStringLiteral("\\[([^\\[\\]]+)\\]"));
    for (const ReportObject& o : band.objects) {
        CompiledObject co{&o, {}, o.format};
        if (o.kind == ReportObject::Kind::Text) {
            int at = 0;
            for (auto it = exprRe.globalMatch(o.text); it.hasNext();) {
                const auto m = it.next();
                if (m.capturedStart() > at)
                    co.tokens.push_back({.literal = o.text.mid(at, m.capturedStart() - at)});
                co.tokens.push_back(compileToken(m.captured(1), o));
                at = int(m.capturedEnd());
            }
            if (at < o.text.size()) co.tokens.push_back({.literal = o.text.mid(at)});
        }
        cb.objects.push_back(std::move(co));
    }
    return cb;
}

QString Engine::evaluate(const CompiledObject& o) const {
    QString s;
    for (const Token& t : o.tokens) {
        switch (t.kind) {
            case Token::Kind::Literal:
                s += t.literal;
                break;
            case Token::Kind::Field:
                if (t.dataset && t.column >= 0) {
                    const int row = t.bandRow && bandRow_ >= 0 ? bandRow_ : t.dataset->currentRow();
                    const QString v = formatted(t.dataset->value(row, t.column), o.format);
                    s += t.midLength >= 0 ? v.mid(t.midStart, t.midLength) : v;
                }
                break;
            case Token::Kind::Sum:
                s += sums_[t.sum].toString(decimalsOf(o.format));
                break;
            case Token::Kind::Page:
                s += QString::number(out_.pages.size());
                break;
            case Token::Kind::TotalPages:
                s += kTotalPagesMark;
                break;
            case Token::Kind::Date:
                s += (options_.today.isValid() ? options_.today : QDate::currentDate())
                         .toString(isDateFormat(o.format) ? o.format : QStringLiteral("yyyy-MM-dd"));
                break;
            case Token::Kind::Line:
                s += QString::number(lineNo_);
                break;
        }
    }
    return s;
}

BandPrint Engine::print(const CompiledBand& b, int row) {
    bandRow_ = row;
    BandPrint p;
    p.height = b.band->height;
    for (const CompiledObject& co : b.objects) {
        const ReportObject& o = *co.object;
        PreparedItem it;
        it.kind = o.kind;
        it.rect = o.rect;
        it.align = o.align;
        it.frame = o.frame;
        it.lineWidth = o.lineWidth;
        it.picture = o.picture;
        it.row = printing_;
        if (o.kind == ReportObject::Kind::Text) {
            it.fontFamily = printFamily(o.fontFamily);
            it.fontSize = o.fontSize;
            it.bold = o.bold;
            it.italic = o.italic;
            const TextLines tl = breakText(evaluate(co), it.fontFamily, o.fontSize, o.bold, o.italic,
                                           o.rect.width() - 2 * kTextPadding, o.wordWrap);
            it.lines = tl.lines;
            it.lineHeight = tl.lineHeight;
            if (o.grow) {
                const double need = it.lines.size() * it.lineHeight + 2 * kTextPadding;
                if (need > it.rect.height()) {
                    it.rect.setHeight(need);
                    p.height = std::max(p.height, it.rect.bottom());
                }
            }
        }
        p.items.push_back(std::move(it));
    }
    ++printing_;
    return p;
}

void Engine::put(std::vector<PreparedItem>& items, double dx, double dy) {
    for (PreparedItem& it : items) {
        it.rect.translate(dx, dy);
        out_.pages.back().items.push_back(std::move(it));
    }
    items.clear();
}

void Engine::place(BandPrint p) {
    for (;;) {
        const double avail = bodyBottom() - y_;
        if (p.height <= avail + 1e-9) {
            put(p.items, 0, y_);
            y_ += p.height;
            pageHasBands_ = true;
            return;
        }
        if (pageHasBands_ && p.height <= bodyBottom() - bodyTop()) {
            newPage();
            continue;
        }
        // Taller than what is left: what fits stays on this page, the rest continues on the next.
        const double cut = std::max(avail, 1.0);
        std::vector<PreparedItem> here, rest;
        for (PreparedItem& it : p.items) {
            if (it.rect.bottom() <= cut + 1e-9) {
                here.push_back(std::move(it));
            } else if (it.rect.top() >= cut) {
                it.rect.translate(0, -cut);
                rest.push_back(std::move(it));
            } else if (it.kind == ReportObject::Kind::Text && it.lineHeight > 0) {
                const int fit = std::max(0, int((cut - it.rect.top() - kTextPadding) / it.lineHeight + 1e-6));
                PreparedItem tail = it;
                it.lines = it.lines.mid(0, fit);
                it.rect.setBottom(cut);
                tail.lines = tail.lines.mid(fit);
                tail.rect = QRectF(tail.rect.left(), 0, tail.rect.width(), tail.rect.bottom() - cut);
                here.push_back(std::move(it));
                if (!tail.lines.isEmpty() || tail.frame) rest.push_back(std::move(tail));
            } else {
                it.rect.setBottom(cut);
                here.push_back(std::move(it));
            }
        }
        put(here, 0, y_);
        pageHasBands_ = true;
        p.items = std::move(rest);
        p.height -= cut;
        newPage();
    }
}

void Engine::newPage() {
    if (!out_.pages.empty()) {
        finishPage();
        // A finished page does not change any more (its page count is filled in when it is unpacked):
        // beyond the first pages it is kept compressed.
        if (out_.pages.size() > kUnpackedPages) out_.pages.back().pack();
    }
    out_.pages.push_back({page_.pageWidth(), page_.pageHeight(), page_.landscape, {}, {}, 0});
    y_ = bodyTop();
    pageHasBands_ = false;
    const int saved = bandRow_;
    auto header = [&](ReportBand::Kind kind) {
        if (const CompiledBand* b = compiledBand(kind)) {
            BandPrint p = print(*b, saved);
            put(p.items, 0, y_);
            y_ += std::min(p.height, bodyBottom() - y_);
        }
    };
    if (out_.pages.size() == 1) header(ReportBand::Kind::ReportTitle);
    header(ReportBand::Kind::PageHeader);
    if (master_) header(ReportBand::Kind::ColumnHeader);
    bandRow_ = saved;
}

void Engine::finishPage() {
    if (const CompiledBand* f = compiledBand(ReportBand::Kind::PageFooter)) {
        BandPrint p = print(*f, bandRow_);
        put(p.items, 0, page_.pageHeight() - page_.bottom - f->band->height);
    }
}

// Calls fn for every row of the master band's source, read by index; false when cancelled.
bool Engine::forEachRow(const std::function<void(int)>& fn) {
    if (!masterData_) {
        if (master_) fn(-1);  // a source without a dataset prints its band once
        return true;
    }
    if (!masterData_->isOpen()) return true;
    for (int r = 0;; ++r) {
        if (r >= masterData_->rowCount()) {
            if (!masterData_->canFetchMore()) break;
            masterData_->fetchMore();
            if (r >= masterData_->rowCount()) break;
        }
        if (options_.progress && r % 64 == 0 && !options_.progress(r, masterData_->rowCount())) return false;
        fn(r);
    }
    if (options_.progress) options_.progress(masterData_->rowCount(), masterData_->rowCount());
    return true;
}

void Engine::runLabels() {
    const LabelSheet& l = report_.reportTemplate().labels;
    const CompiledBand* b = nullptr;
    for (const CompiledBand& c : compiled_)
        if (c.band == master_) b = &c;
    const int perPage = std::max(1, l.columns * l.rows);
    int n = 0;
    const bool done = forEachRow([&](int row) {
        if (n % perPage == 0)
            out_.pages.push_back({page_.pageWidth(), page_.pageHeight(), page_.landscape, {}, {}, 0});
        const int cell = n % perPage;
        const double x = page_.left + (cell % l.columns) * (l.labelWidth + l.hGap);
        const double y = page_.top + (cell / l.columns) * (l.labelHeight + l.vGap);
        ++lineNo_;
        BandPrint p = print(*b, row);
        for (PreparedItem& it : p.items)  // a label does not grow beyond its size
            if (it.rect.bottom() > l.labelHeight) it.rect.setBottom(std::max(it.rect.top(), l.labelHeight));
        put(p.items, x, y);
        ++n;
    });
    out_.cancelled = !done;
    if (out_.pages.empty())
        out_.pages.push_back({page_.pageWidth(), page_.pageHeight(), page_.landscape, {}, {}, 0});
}

PreparedReport Engine::run() {
    if (report_.reportTemplate().isEmpty()) return {};
    if (master_ && report_.reportTemplate().labels.enabled) {
        runLabels();
    } else {
        newPage();
        const CompiledBand* b = nullptr;
        for (const CompiledBand& c : compiled_)
            if (c.band == master_) b = &c;
        const bool done = forEachRow([&](int row) {
            ++lineNo_;
            for (size_t i = 0; i < sumFields_.size(); ++i) {
                const SumField& f = sumFields_[i];
                if (f.dataset && f.column >= 0)
                    sums_[i] += Money::fromVariant(
                        f.dataset->value(f.bandRow && row >= 0 ? row : f.dataset->currentRow(), f.column));
            }
            place(print(*b, row));
        });
        if (!done) {
            out_.cancelled = true;
            return std::move(out_);
        }
        if (const CompiledBand* s = compiledBand(ReportBand::Kind::Summary)) place(print(*s, bandRow_));
        finishPage();
    }
    const QString total = QString::number(out_.pages.size());
    for (PreparedPage& pg : out_.pages) {
        pg.totalPages = int(out_.pages.size());
        for (PreparedItem& it : pg.items)
            for (QString& line : it.lines) line.replace(kTotalPagesMark, total);
    }
    return std::move(out_);
}

}  // namespace

PreparedReport prepareReport(const Report& report, const PrepareOptions& options) {
    Engine e(report, options);
    return e.run();
}

}  // namespace qv
