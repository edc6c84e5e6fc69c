#pragma once

#include <QString>

#include "platform/settings_store.h"

namespace kestrova::platform {

// The administrative access code, kept in the settings as a salted,
// stretched SHA-256 hash under "AccessCode"; the code itself is never
// stored.
class AccessCodeStore {
 public:
  explicit AccessCodeStore(SettingsStore& settings) : settings_(settings) {}

  static constexpr int kMinimumLength = 4;

  bool IsSet() const;
  // Exactly the code: same characters, same letter case.
  bool Verify(const QString& entry) const;
  void Set(const QString& code);
  void Clear();

 private:
  SettingsStore& settings_;
};

}  // namespace kestrova::platform
