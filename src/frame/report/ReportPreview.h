#pragma once
#include <QSizeF>
#include <QString>

#include "PreparedReport.h"
#include "ReportExport.h"

class QPrinter;

namespace qv {

// What the preview window shows, without widgets: the page, the zoom, the search.
class PreviewState {
public:
    enum class Zoom { WholePage, PageWidth, Percent };

    explicit PreviewState(PreparedReport report = {}) : report_(std::move(report)) {}

    const PreparedReport& report() const { return report_; }
    void setReport(PreparedReport report);
    int pageCount() const { return int(report_.pages.size()); }
    int page() const { return page_; }  // 0-based
    void setPage(int page);
    void first() { setPage(0); }
    void prior() { setPage(page_ - 1); }
    void next() { setPage(page_ + 1); }
    void last() { setPage(pageCount() - 1); }
    // "第 n 页 / 共 m 页"
    QString pageLabel() const;

    Zoom zoom() const { return zoom_; }
    double percent() const { return percent_; }
    void setZoom(Zoom zoom, double percent = 100);
    void zoomBy(double factor);  // Ctrl+wheel: from whatever is shown now, in percent
    // Device pixels per mm for the page shown in a viewport of `viewport` pixels on a `dpi` screen.
    double pixelsPerMm(const QSizeF& viewport, double dpi) const;

    // Finds the text (without case) after the last match, wrapping round to the first page; moves to
    // the page of the match. False when no page holds it.
    bool find(const QString& text);
    bool findNext() { return find(lastFind_); }
    int matchItem() const { return matchItem_; }  // index into the current page's items, -1 when none

private:
    PreparedReport report_;
    int page_ = 0;
    Zoom zoom_ = Zoom::PageWidth;
    double percent_ = 100;
    double shownPixelsPerMm_ = 0;
    QString lastFind_;
    int matchItem_ = -1;
};

// The save format chosen by the filter of the save dialog, or else by the file's extension.
ExportFormat exportFormatFor(const QString& path, const QString& filter = {});
// The filters of the save dialog, one per format.
QString exportFilters();

// Prints pages from..to (1-based, inclusive; 0 for all) with the report's paper size and orientation,
// positions in mm from the paper's edge, as many copies as the printer asks for.
void printReport(const PreparedReport& report, QPrinter& printer, int from = 0, int to = 0);

}  // namespace qv
