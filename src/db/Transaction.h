#pragma once

namespace qv {

class Database;

// Rolls back unless committed. Guards nest: only the outermost begins and commits; an inner guard that
// is left without commit makes the outermost one roll back.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool done_ = false;
};

}  // namespace qv
