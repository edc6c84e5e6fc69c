#pragma once

#include <QMap>
#include <QString>
#include <optional>

namespace kestrova::platform {

// The program's per-user settings: keys under the section "Defaults" of the
// application title.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<QString> Read(const QString& key) const = 0;
  virtual void Write(const QString& key, const QString& value) = 0;
  virtual void Delete(const QString& key) = 0;
  // Where the settings are kept, for messages.
  virtual QString Location() const = 0;
};

// The desktop's settings store (QSettings: an INI file under the user's
// configuration folder, "Kestrova/Kestrova.conf").
class QtSettingsStore : public SettingsStore {
 public:
  // An empty file name uses the user's own settings; tests pass a file.
  explicit QtSettingsStore(QString fileName = {});
  std::optional<QString> Read(const QString& key) const override;
  void Write(const QString& key, const QString& value) override;
  void Delete(const QString& key) override;
  QString Location() const override;

 private:
  QString fileName_;
};

// Settings held in memory, for tests.
class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<QString> Read(const QString& key) const override;
  void Write(const QString& key, const QString& value) override { values_[key] = value; }
  void Delete(const QString& key) override { values_.remove(key); }
  QString Location() const override { return QStringLiteral("memory"); }
  const QMap<QString, QString>& values() const { return values_; }

 private:
  QMap<QString, QString> values_;
};

}  // namespace kestrova::platform
