#pragma once
#include <QString>

namespace qv {

// The program options of the single T_SoftInfo row, read when the main window is first shown.
struct SoftOptions {
    QString softName;
    QString version;
    // Decimal places of unit prices, quantities and amounts in the grids; -1 when the row holds none.
    int ini1 = -1;
    int ini2 = -1;
    int ini3 = -1;
    // Product codes are generated automatically; the product editor changes this flag as well.
    bool autocoding = false;
    bool loaded = false;

    QString caption() const { return softName + version; }
};

}  // namespace qv
