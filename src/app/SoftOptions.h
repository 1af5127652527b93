#pragma once
#include <QString>

namespace qv {

// The program options of the single T_SoftInfo row, read when the main window is first shown and
// kept in the context, where every grid reads its decimals.
struct SoftOptions {
    QString softName;
    QString version;
    // Decimal places of unit prices, quantities and amounts in the grids; -1 when the row holds none.
    // Until the row is read the grids show two places, the value a new database holds.
    int ini1 = 2;
    int ini2 = 2;
    int ini3 = 2;
    // Product codes are generated automatically; the product editor changes this flag as well.
    bool autocoding = false;
    bool loaded = false;

    QString caption() const { return softName + version; }
};

}  // namespace qv
