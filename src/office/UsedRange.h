#pragma once
#include <QString>
#include <vector>

#include "SheetReader.h"

namespace qv {

// Collects the non-empty cells of a sheet in any order and turns them into the used range.
class UsedRange {
public:
    // The largest range (rows × columns) a sheet may span before reading refuses it.
    static constexpr qint64 kMaxCells = 20'000'000;

    void add(quint32 row, quint32 column, QString text) {
        if (text.isEmpty()) return;
        cells_.push_back({row, column, std::move(text)});
    }
    // Throws OfficeError (cannot read) when the range is larger than kMaxCells.
    SheetTable take(const QString& path);

private:
    struct Cell {
        quint32 row, column;
        QString text;
    };
    std::vector<Cell> cells_;
};

}  // namespace qv
