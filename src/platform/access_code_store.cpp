#include "platform/access_code_store.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringList>

#include "core/users/access_code_file.h"

namespace kestrova::platform {
namespace {

const QString kOldKey = QStringLiteral("AccessCode");
constexpr int kRounds = 20000;
constexpr int kMostRounds = 1000000;  // about half a second

QByteArray Stretch(const QByteArray& salt, const QString& code, int rounds) {
  const QByteArray secret = code.toUtf8();
  QByteArray digest = QCryptographicHash::hash(salt + secret, QCryptographicHash::Sha256);
  for (int i = 1; i < rounds; ++i) {
    digest = QCryptographicHash::hash(digest + salt + secret, QCryptographicHash::Sha256);
  }
  return digest;
}

// "sha256$rounds$salt$digest", salt and digest in hexadecimal.
struct ParsedHash {
  int rounds = 0;
  QByteArray salt;
  QByteArray digest;
};

std::optional<ParsedHash> Parse(const QString& stored) {
  const QStringList parts = stored.split(QLatin1Char('$'));
  if (parts.size() != 4 || parts[0] != QStringLiteral("sha256")) return std::nullopt;
  bool ok = false;
  ParsedHash h;
  h.rounds = parts[1].toInt(&ok);
  // The file lies in a shared folder: a round count far beyond ours would
  // freeze the window for as long as someone chose.
  if (!ok || h.rounds < 1 || h.rounds > kMostRounds) return std::nullopt;
  const auto hex = [](const QString& s) {
    if (s.isEmpty() || s.size() % 2 != 0 || s.size() > 256) return false;
    for (const QChar c : s) {
      if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))) return false;
    }
    return true;
  };
  if (!hex(parts[2]) || !hex(parts[3])) return std::nullopt;
  h.salt = QByteArray::fromHex(parts[2].toLatin1());
  h.digest = QByteArray::fromHex(parts[3].toLatin1());
  return h;
}

Error Damaged() {
  return Error{Error::Kind::Damaged, "The access code file " + std::string(users::kAccessCodeFileName) +
                                         " in the data folder is damaged."};
}

}  // namespace

QString AccessCodeStore::Location() const {
  return QString::fromStdString((folder_ / users::kAccessCodeFileName).string());
}

Result<std::optional<QString>> AccessCodeStore::StoredHash() const {
  const auto stored = users::ReadAccessCodeFile(folder_);
  if (!stored.ok()) return stored.error();
  if (!stored->has_value()) return std::optional<QString>{};
  const QString hash = QString::fromStdString(**stored);
  if (!Parse(hash)) return Damaged();
  return std::optional<QString>{hash};
}

Result<bool> AccessCodeStore::IsSet() {
  auto stored = StoredHash();
  if (!stored.ok()) return stored.error();
  const std::optional<QString> old = settings_.Read(kOldKey);
  if (!old) return stored->has_value();
  if (!stored->has_value() && Parse(*old)) {
    const auto moved = users::CreateAccessCodeFile(folder_, old->toStdString());
    if (!moved.ok()) return moved.error();
    stored = StoredHash();
    if (!stored.ok()) return stored.error();
  }
  // Once the folder has a code, a workstation's own one is only a way back
  // to a code the folder no longer uses.
  if (stored->has_value() || !Parse(*old)) settings_.Delete(kOldKey);
  return stored->has_value();
}

Result<bool> AccessCodeStore::Verify(const QString& entry) const {
  const auto stored = StoredHash();
  if (!stored.ok()) return stored.error();
  if (!stored->has_value()) return false;
  const ParsedHash expected = *Parse(**stored);
  const QByteArray actual = Stretch(expected.salt, entry, expected.rounds);
  // Compare every byte, so the time taken says nothing about the code.
  if (actual.size() != expected.digest.size()) return false;
  unsigned char difference = 0;
  for (int i = 0; i < actual.size(); ++i) {
    difference |= static_cast<unsigned char>(actual[i] ^ expected.digest[i]);
  }
  return difference == 0;
}

Result<bool> AccessCodeStore::Set(const QString& code) {
  QByteArray salt(16, '\0');
  for (char& c : salt) c = static_cast<char>(QRandomGenerator::system()->bounded(256));
  const QByteArray digest = Stretch(salt, code, kRounds);
  const QString hash = QStringLiteral("sha256$%1$%2$%3")
                           .arg(kRounds)
                           .arg(QString::fromLatin1(salt.toHex()), QString::fromLatin1(digest.toHex()));
  return users::CreateAccessCodeFile(folder_, hash.toStdString());
}

Result<bool> AccessCodeStore::Clear() {
  const bool hadOld = settings_.Read(kOldKey).has_value();
  settings_.Delete(kOldKey);
  const auto removed = users::RemoveAccessCodeFile(folder_);
  if (!removed.ok()) return removed.error();
  return *removed || hadOld;
}

Result<bool> AccessCodeStore::AnyStored() const {
  if (settings_.Read(kOldKey).has_value()) return true;
  const auto stored = users::ReadAccessCodeFile(folder_);
  if (!stored.ok()) {
    // A damaged file is still something to clear.
    if (stored.error().kind == Error::Kind::Damaged) return true;
    return stored.error();
  }
  return stored->has_value();
}

}  // namespace kestrova::platform
