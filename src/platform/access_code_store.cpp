#include "platform/access_code_store.h"

#include <sodium.h>

#include <QCryptographicHash>
#include <QStringList>

#include "core/users/access_code_file.h"

namespace kestrova::platform {
namespace {

const QString kOldKey = QStringLiteral("AccessCode");

// The iterated SHA-256 of older releases, "sha256$rounds$salt$digest":
// still read, once, to move such a code to the form below.
bool OldFormMatches(const QString& stored, const QString& code) {
  const QStringList parts = stored.split(QLatin1Char('$'));
  if (parts.size() != 4) return false;
  const int rounds = parts[1].toInt();
  const QByteArray salt = QByteArray::fromHex(parts[2].toLatin1());
  const QByteArray expected = QByteArray::fromHex(parts[3].toLatin1());
  const QByteArray secret = code.toUtf8();
  QByteArray digest = QCryptographicHash::hash(salt + secret, QCryptographicHash::Sha256);
  for (int i = 1; i < rounds; ++i) {
    digest = QCryptographicHash::hash(digest + salt + secret, QCryptographicHash::Sha256);
  }
  // Every byte compared, so the time taken says nothing about the code.
  return digest.size() == expected.size() &&
         sodium_memcmp(digest.constData(), expected.constData(), static_cast<std::size_t>(digest.size())) == 0;
}

// Argon2id through libsodium, with its interactive limits (about a tenth of
// a second and 64 MiB), in the self-describing form it writes.
std::optional<std::string> NewHash(const QString& code) {
  if (sodium_init() < 0) return std::nullopt;
  const QByteArray secret = code.toUtf8();
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(out, secret.constData(), static_cast<unsigned long long>(secret.size()),
                        crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
    return std::nullopt;
  }
  return std::string(out);
}

bool NewFormMatches(const std::string& stored, const QString& code) {
  if (sodium_init() < 0) return false;
  const QByteArray secret = code.toUtf8();
  return crypto_pwhash_str_verify(stored.c_str(), secret.constData(), static_cast<unsigned long long>(secret.size())) ==
         0;
}

bool Readable(const QString& stored) { return users::AccessHashFormOf(stored.toStdString()).has_value(); }

Error Damaged() {
  return Error{Error::Kind::Damaged,
               "The access code file " + std::string(users::kAccessCodeFileName) + " in the data folder is damaged."};
}

Error CannotHash() {
  return Error{Error::Kind::Io,
               "The access code could not be hashed (the password-hashing library failed; "
               "the computer may be short of memory)."};
}

}  // namespace

QString AccessCodeStore::Location() const {
  return QString::fromStdString((folder_.path() / users::kAccessCodeFileName).string());
}

Result<std::optional<QString>> AccessCodeStore::StoredHash() const {
  const auto stored = users::ReadAccessCodeFile(folder_.path());
  if (!stored.ok()) return stored.error();
  if (!stored->has_value()) return std::optional<QString>{};
  const QString hash = QString::fromStdString(**stored);
  if (!Readable(hash)) return Damaged();
  return std::optional<QString>{hash};
}

Result<bool> AccessCodeStore::IsSet() {
  auto stored = StoredHash();
  if (!stored.ok()) return stored.error();
  const std::optional<QString> old = settings_.Read(kOldKey);
  if (!old) return stored->has_value();
  if (!stored->has_value() && Readable(*old)) {
    const auto moved = users::CreateAccessCodeFile(folder_.path(), old->toStdString(), folder_.lockOptions());
    if (!moved.ok()) return moved.error();
    stored = StoredHash();
    if (!stored.ok()) return stored.error();
  }
  // Once the folder has a code, a workstation's own one is only a way back
  // to a code the folder no longer uses.
  if (stored->has_value() || !Readable(*old)) settings_.Delete(kOldKey);
  return stored->has_value();
}

Result<bool> AccessCodeStore::Verify(const QString& entry) const {
  const auto stored = StoredHash();
  if (!stored.ok()) return stored.error();
  if (!stored->has_value()) return false;
  const std::string hash = (*stored)->toStdString();
  if (users::AccessHashFormOf(hash) == users::AccessHashForm::Argon2id) return NewFormMatches(hash, entry);
  if (!OldFormMatches(**stored, entry)) return false;
  // Right, in the old form: stored again in the new one, unless another
  // workstation changed the code meanwhile. The entry is right either way.
  if (const auto upgraded = NewHash(entry))
    (void)users::ReplaceAccessCodeFile(folder_.path(), hash, *upgraded, folder_.lockOptions());
  return true;
}

Result<bool> AccessCodeStore::Set(const QString& code) {
  const auto hash = NewHash(code);
  if (!hash) return CannotHash();
  return users::CreateAccessCodeFile(folder_.path(), *hash, folder_.lockOptions());
}

Result<bool> AccessCodeStore::Clear() {
  const bool hadOld = settings_.Read(kOldKey).has_value();
  settings_.Delete(kOldKey);
  const auto removed = users::RemoveAccessCodeFile(folder_.path(), folder_.lockOptions());
  if (!removed.ok()) return removed.error();
  return *removed || hadOld;
}

Result<bool> AccessCodeStore::AnyStored() const {
  if (settings_.Read(kOldKey).has_value()) return true;
  const auto stored = users::ReadAccessCodeFile(folder_.path());
  if (!stored.ok()) {
    // A damaged file is still something to clear.
    if (stored.error().kind == Error::Kind::Damaged) return true;
    return stored.error();
  }
  return stored->has_value();
}

}  // namespace kestrova::platform
