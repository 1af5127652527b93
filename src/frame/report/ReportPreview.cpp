#include "ReportPreview.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "DbError.h"

namespace qv {

namespace {

struct FormatFilter {
    ExportFormat format;
    const char16_t* filter;
    const char* extension;
};

const FormatFilter kFilters[] = {
    {ExportFormat::Pdf, u"PDF 文件 (*.pdf)", "pdf"},
    {ExportFormat::Rtf, u"RTF 文件 (*.rtf)", "rtf"},
    {ExportFormat::Csv, u"CSV 文件 (*.csv)", "csv"},
    {ExportFormat::Html, u"HTML 文件 (*.html *.htm)", "html"},
    {ExportFormat::Text, u"文本文件 (*.txt)", "txt"},
    {ExportFormat::Saved, u"报表文件 (*.frp)", "frp"},
};

}  // namespace

void PreviewState::setReport(PreparedReport report) {
    report_ = std::move(report);
    page_ = 0;
    matchItem_ = -1;
}

void PreviewState::setPage(int page) {
    const int p = std::clamp(page, 0, std::max(0, pageCount() - 1));
    if (p != page_) matchItem_ = -1;
    page_ = p;
}

QString PreviewState::pageLabel() const {
    return QStringLiteral(u"第 %1 页 / 共 %2 页").arg(pageCount() ? page_ + 1 : 0).arg(pageCount());
}

void PreviewState::setZoom(Zoom zoom, double percent) {
    zoom_ = zoom;
    percent_ = std::clamp(percent, 10.0, 800.0);
}

void PreviewState::zoomBy(double factor) {
    const double current = shownPixelsPerMm_ > 0 ? shownPixelsPerMm_ : 0;
    // 100 % shows a millimetre as a millimetre of a 96 dpi screen.
    const double nowPercent = current > 0 ? current / (96 / 25.4) * 100 : percent_;
    setZoom(Zoom::Percent, nowPercent * factor);
}

double PreviewState::pixelsPerMm(const QSizeF& viewport, double dpi) const {
    auto* self = const_cast<PreviewState*>(this);
    double w = 210, h = 297;
    if (pageCount()) {
        w = report_.pages[page_].width;
        h = report_.pages[page_].height;
    }
    const double margin = 16;  // pixels around the page
    double k = dpi / 25.4 * percent_ / 100;
    if (zoom_ == Zoom::PageWidth) k = std::max(1.0, viewport.width() - margin) / w;
    if (zoom_ == Zoom::WholePage)
        k = std::min(std::max(1.0, viewport.width() - margin) / w,
                     std::max(1.0, viewport.height() - margin) / h);
    self->shownPixelsPerMm_ = k * 96 / dpi;
    return k;
}

bool PreviewState::find(const QString& text) {
    lastFind_ = text;
    if (text.isEmpty() || !pageCount()) return false;
    const int n = pageCount();
    for (int step = 0; step <= n; ++step) {
        const int p = (page_ + step) % n;
        const std::vector<PreparedItem> items = report_.pages[p].allItems();
        const int start = step == 0 ? matchItem_ + 1 : 0;
        for (int i = start; i < int(items.size()); ++i)
            if (items[i].text().contains(text, Qt::CaseInsensitive)) {
                page_ = p;
                matchItem_ = i;
                return true;
            }
        if (step == n) break;
    }
    matchItem_ = -1;
    return false;
}

ExportFormat exportFormatFor(const QString& path, const QString& filter) {
    for (const FormatFilter& f : kFilters)
        if (!filter.isEmpty() && filter == QString::fromUtf16(f.filter)) return f.format;
    const QString ext = QFileInfo(path).suffix().toLower();
    for (const FormatFilter& f : kFilters)
        if (ext == QLatin1String(f.extension) ||
            (f.format == ExportFormat::Html && ext == QLatin1String("htm")))
            return f.format;
    return ExportFormat::Pdf;
}

QString exportFilters() {
    QStringList out;
    for (const FormatFilter& f : kFilters) out << QString::fromUtf16(f.filter);
    return out.join(QStringLiteral(";;"));
}

void printReport(const PreparedReport& report, QPrinter& printer, int from, int to) {
    const int n = int(report.pages.size());
    if (!n) return;
    from = from <= 0 ? 1 : std::min(from, n);
    to = to <= 0 ? n : std::min(to, n);
    auto layoutFor = [](const PreparedPage& p) {
        // The paper as it lies in the printer, turned for landscape.
        const QSizeF paper = p.landscape ? QSizeF(p.height, p.width) : QSizeF(p.width, p.height);
        return QPageLayout(QPageSize(paper, QPageSize::Millimeter),
                           p.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(0, 0, 0, 0));
    };
    printer.setFullPage(true);  // positions are measured from the paper's edge
    printer.setPageLayout(layoutFor(report.pages[from - 1]));
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    QPainter painter;
    if (!painter.begin(&printer)) throw DbError(QStringLiteral(u"打印机无法开始打印。"));
    bool firstPage = true;
    for (int c = 0; c < copies; ++c)
        for (int i = from; i <= to; ++i) {
            if (!firstPage) {
                printer.setPageLayout(layoutFor(report.pages[i - 1]));
                printer.newPage();
            }
            firstPage = false;
            paintPage(painter, report.pages[i - 1]);
        }
    painter.end();
}

}  // namespace qv
