#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

#include "core/logs/activity_log.h"
#include "core/reports/report_actions.h"
#include "core/status.h"
#include "gui/reports/main_window_parts.h"

namespace kestrova::gui {

class BrowsingSide;

// The main window's commands that move the shown report between the lists
// or delete it: archive, restore, delete. A write that did not happen says
// why and changes nothing.
class ListMoves : public QObject {
  Q_OBJECT

 public:
  ListMoves(const MainWindowParts& parts, BrowsingSide& browsing);

 private:
  void cmdArchiveEntry_Click();
  void cmdRestoreEntry_Click();
  void cmdDeleteEntry_Click();
  // Moving the shown report to a list (logged), or nothing when the write
  // did not happen.
  std::optional<reports::MoveResult> MoveShownReport(std::uint8_t list, logs::LogAction logAction,
                                                     const QString& refused);
  // A write that did not happen: the report moved elsewhere (say so and
  // rebuild), or the file refused it.
  void WriteRefused(const Error& error, const QString& caption);
  void ReportMovedElsewhere(const Error& error);

  MainWindowParts parts_;
  BrowsingSide& browsing_;
  bool skipArchiveQuestion_ = false;
  bool skipRestoreQuestion_ = false;
};

}  // namespace kestrova::gui
