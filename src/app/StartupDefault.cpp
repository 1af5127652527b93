#include <cstdio>

#include "Startup.h"

namespace qv {

// Stands in until the login dialog exists.
bool runAfterConnect(Context&) {
    std::fputs("quorvan: connected to the database; the login is not built yet.\n", stderr);
    return false;
}

}  // namespace qv
