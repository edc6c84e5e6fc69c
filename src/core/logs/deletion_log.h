#pragma once

#include <concepts>
#include <cstddef>
#include <functional>
#include <utility>

#include "core/logs/activity_log.h"
#include "core/status.h"

namespace kestrova::logs {

// The log lines of a deletion. The "deleted" line is written before the
// record is marked (a failed log stops the deletion); when the deletion
// then fails and the record is put back, a "not deleted" line follows, so no
// "deleted" line is left unexplained.
//
// Made from a writer taking the subject and the action (kDeleted or
// kNotDeleted), which writes both lines, or from one taking the subject
// alone, which writes only the "deleted" line.
template <class Subject>
class DeletionLog {
 public:
  DeletionLog() = default;
  DeletionLog(std::nullptr_t) {}  // NOLINT: no log

  template <class F>
  requires std::is_invocable_r_v<Status, F&, const Subject&, LogAction> DeletionLog(F writer)
      : writer_(std::move(writer)) {}  // NOLINT: implicit by design

  template <class F>
  requires(std::is_invocable_r_v<Status, F&, const Subject&> && !std::is_invocable_v<F&, const Subject&, LogAction>)
      DeletionLog(F writer)  // NOLINT: implicit by design
      : writer_([w = std::move(writer)](const Subject& s, LogAction action) mutable {
          return action == kDeleted ? w(s) : Status();
        }) {}

  Status Deleted(const Subject& s) const { return writer_ ? writer_(s, kDeleted) : Status(); }
  Status NotDeleted(const Subject& s) const { return writer_ ? writer_(s, kNotDeleted) : Status(); }

 private:
  std::function<Status(const Subject&, LogAction)> writer_;
};

}  // namespace kestrova::logs
