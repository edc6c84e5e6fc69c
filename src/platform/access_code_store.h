#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "core/files/data_folder.h"
#include "core/status.h"
#include "platform/settings_store.h"

namespace kestrova::platform {

// The administrative access code of a data folder, kept in the folder's
// "Kestrova.Access" as an Argon2id hash (libsodium), so one code guards
// the folder from every workstation; the code itself is never stored.
// Releases before kept the hash in each workstation's settings under
// "AccessCode": such a hash moves into a folder that has none (the first
// workstation to move one wins) and leaves the settings. A hash of the
// older iterated SHA-256 form is verified that way once and then stored
// again as Argon2id.
class AccessCodeStore {
 public:
  AccessCodeStore(SettingsStore& settings, files::DataFolder folder)
      : settings_(settings), folder_(std::move(folder)) {}

  static constexpr int kMinimumLength = 4;

  // Whether the folder has an access code, after moving this workstation's
  // old one in. A damaged file is an error.
  Result<bool> IsSet();
  // Exactly the code: same characters, same letter case.
  Result<bool> Verify(const QString& entry) const;
  // Stores a new code; false when another workstation chose one first.
  Result<bool> Set(const QString& code);
  // Removes the folder's code and this workstation's old one; false when
  // there was none.
  Result<bool> Clear();
  // Without changing anything: whether there is a code to clear.
  Result<bool> AnyStored() const;

  // The file, for messages.
  QString Location() const;

 private:
  Result<std::optional<QString>> StoredHash() const;

  SettingsStore& settings_;
  files::DataFolder folder_;
};

}  // namespace kestrova::platform
