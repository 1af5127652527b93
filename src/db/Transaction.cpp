#include "Transaction.h"

#include "Database.h"

namespace qv {

Transaction::Transaction(Database& db) : db_(db) { db_.begin(); }

Transaction::~Transaction() {
    if (!done_) db_.rollback();
}

void Transaction::commit() {
    done_ = true;
    db_.commit();
}

}  // namespace qv
