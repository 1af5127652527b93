#pragma once
#include "SheetWriter.h"

#include <memory>

namespace qv {

// Writes an Excel 97-2003 workbook (BIFF8 records in an OLE2 compound file). Texts go to the shared
// string table, numbers to RK or NUMBER records with one cell format per column format.
//
// A worksheet holds at most 65536 rows; when the title row and the data need more, the data goes
// on in further sheets named "{name} (2)", "{name} (3)" ..., each starting with the title row.
// Cell records are gathered in a temporary file while rows arrive, so memory holds only the
// distinct texts.
class XlsWriter : public SheetWriter {
public:
    static constexpr int kMaxRowsPerSheet = 65536;
    static constexpr int kMaxColumns = 256;

    explicit XlsWriter(QString path);
    ~XlsWriter() override;

    void begin(const QString& sheetName, const QList<SheetColumn>& columns) override;
    void addRow(const QVariantList& cells) override;
    void finish() override;

    // Number of worksheets written so far (or at finish()).
    int sheetCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace qv
