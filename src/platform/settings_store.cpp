#include "platform/settings_store.h"

#include <QSettings>
#include <memory>

namespace kestrova::platform {
namespace {

const QString kSection = QStringLiteral("Defaults");

std::unique_ptr<QSettings> Open(const QString& fileName) {
  if (fileName.isEmpty()) {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrova"),
                                       QStringLiteral("Kestrova"));
  }
  return std::make_unique<QSettings>(fileName, QSettings::IniFormat);
}

QString Key(const QString& key) { return kSection + QLatin1Char('/') + key; }

}  // namespace

QtSettingsStore::QtSettingsStore(QString fileName) : fileName_(std::move(fileName)) {}

std::optional<QString> QtSettingsStore::Read(const QString& key) const {
  const auto settings = Open(fileName_);
  if (!settings->contains(Key(key))) return std::nullopt;
  return settings->value(Key(key)).toString();
}

void QtSettingsStore::Write(const QString& key, const QString& value) { Open(fileName_)->setValue(Key(key), value); }

void QtSettingsStore::Delete(const QString& key) { Open(fileName_)->remove(Key(key)); }

QString QtSettingsStore::Location() const { return Open(fileName_)->fileName(); }

std::optional<QString> MemorySettingsStore::Read(const QString& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return *it;
}

}  // namespace kestrova::platform
