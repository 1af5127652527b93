#pragma once
#include <QByteArray>
#include <QString>

#include "PreparedReport.h"

namespace qv {

// The formats a prepared report is saved in from the preview. The table formats (RTF, CSV, HTML, text)
// turn each band printing into one row of a table, its text objects ordered left to right.
enum class ExportFormat {
    Pdf,    // the pages as painted, fonts embedded
    Rtf,    // a table per page, horizontal scale 1.3, vertical 1.0, frames and pictures kept
    Csv,    // ";" between fields, UTF-8 with BOM
    Html,   // a table per page
    Text,   // plain text, fields placed by their position on the page
    Saved,  // our own prepared-report file (.frp), opened again with the same pages
};

// The file's contents (every format but PDF).
QByteArray exportBytes(const PreparedReport& report, ExportFormat format);
// Writes the file, atomically for the text formats; throws DbError naming the file when writing fails.
void exportReport(const PreparedReport& report, ExportFormat format, const QString& path);
// Reads a saved report; throws DbError naming the file when it cannot be read.
PreparedReport loadSavedReport(const QString& path);
PreparedReport savedReportFromBytes(const QByteArray& bytes, const QString& fileName);

}  // namespace qv
