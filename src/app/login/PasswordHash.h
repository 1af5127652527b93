#pragma once
#include <QString>

namespace qv {

// Operator passwords are stored as Argon2id hashes (libsodium). An empty stored value still means
// "no password". A stored value that is not a hash is a plain password written by another tool: it is
// compared as it stands, and the login replaces it by its hash.
namespace password {

QString hash(const QString& plain);          // empty for an empty password
bool isHash(const QString& stored);
// True when `typed` is the password that `stored` holds (hash or plain, compared exactly).
bool matches(const QString& stored, const QString& typed);

}  // namespace password
}  // namespace qv
