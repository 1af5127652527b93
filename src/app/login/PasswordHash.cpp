#include "PasswordHash.h"

#include <sodium.h>

#include <stdexcept>

namespace qv::password {

namespace {
void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw std::runtime_error("libsodium could not be initialised");
}
}  // namespace

QString hash(const QString& plain) {
    if (plain.isEmpty()) return QString();
    ensureSodium();
    const QByteArray pw = plain.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, pw.constData(), static_cast<unsigned long long>(pw.size()),
                              crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("out of memory while hashing a password");
    return QString::fromLatin1(out);
}

bool isHash(const QString& stored) { return stored.startsWith(QLatin1String("$argon2id$")); }

bool matches(const QString& stored, const QString& typed) {
    if (!isHash(stored)) return stored == typed;
    if (typed.isEmpty()) return false;
    ensureSodium();
    const QByteArray h = stored.toLatin1();
    const QByteArray pw = typed.toUtf8();
    return crypto_pwhash_str_verify(h.constData(), pw.constData(), static_cast<unsigned long long>(pw.size())) == 0;
}

}  // namespace qv::password
