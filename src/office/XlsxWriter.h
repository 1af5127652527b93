#pragma once
#include "SheetWriter.h"

#include <memory>

namespace qv {

// Writes an Office Open XML workbook (.xlsx) through libxlsxwriter in its constant-memory mode:
// each row goes to a temporary file as soon as it is complete. Texts are stored in the cells
// themselves (inline strings), numbers as numbers with the column's number format.
class XlsxWriter : public SheetWriter {
public:
    static constexpr int kMaxRows = 1048576;

    explicit XlsxWriter(QString path);
    ~XlsxWriter() override;

    void begin(const QString& sheetName, const QList<SheetColumn>& columns) override;
    void addRow(const QVariantList& cells) override;
    void finish() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace qv
