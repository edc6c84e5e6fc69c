#include "platform/access_code_store.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringList>

namespace kestrova::platform {
namespace {

const QString kKey = QStringLiteral("AccessCode");
constexpr int kRounds = 20000;

QByteArray Stretch(const QByteArray& salt, const QString& code, int rounds) {
  const QByteArray secret = code.toUtf8();
  QByteArray digest = QCryptographicHash::hash(salt + secret, QCryptographicHash::Sha256);
  for (int i = 1; i < rounds; ++i) {
    digest = QCryptographicHash::hash(digest + salt + secret, QCryptographicHash::Sha256);
  }
  return digest;
}

}  // namespace

bool AccessCodeStore::IsSet() const {
  const auto stored = settings_.Read(kKey);
  return stored && !stored->isEmpty();
}

bool AccessCodeStore::Verify(const QString& entry) const {
  const auto stored = settings_.Read(kKey);
  if (!stored) return false;
  // "sha256$rounds$salt$digest", salt and digest in hexadecimal.
  const QStringList parts = stored->split(QLatin1Char('$'));
  if (parts.size() != 4 || parts[0] != QStringLiteral("sha256")) return false;
  bool ok = false;
  const int rounds = parts[1].toInt(&ok);
  if (!ok || rounds < 1) return false;
  const QByteArray salt = QByteArray::fromHex(parts[2].toLatin1());
  const QByteArray expected = QByteArray::fromHex(parts[3].toLatin1());
  const QByteArray actual = Stretch(salt, entry, rounds);
  // Compare every byte, so the time taken says nothing about the code.
  if (actual.size() != expected.size()) return false;
  unsigned char difference = 0;
  for (int i = 0; i < actual.size(); ++i) difference |= static_cast<unsigned char>(actual[i] ^ expected[i]);
  return difference == 0;
}

void AccessCodeStore::Set(const QString& code) {
  QByteArray salt(16, '\0');
  for (char& c : salt) c = static_cast<char>(QRandomGenerator::system()->bounded(256));
  const QByteArray digest = Stretch(salt, code, kRounds);
  settings_.Write(kKey, QStringLiteral("sha256$%1$%2$%3")
                            .arg(kRounds)
                            .arg(QString::fromLatin1(salt.toHex()), QString::fromLatin1(digest.toHex())));
}

void AccessCodeStore::Clear() { settings_.Delete(kKey); }

}  // namespace kestrova::platform
