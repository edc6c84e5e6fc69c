#pragma once

#include <QString>

#include "core/reports/report_list.h"
#include "core/stats/counts_over_time.h"

namespace kestrova::gui {

// What a chart window counts: the list the main window showed when it was
// asked (its Active or Inactive list, and the rows of a search or summary),
// under the list's caption. The chart window chooses the rest.
struct ChartSubject {
  QString listName;
  stats::Lists lists = stats::Lists::Active;
  std::optional<std::vector<std::int32_t>> records;
  // The search or summary that found those rows: counting again after the
  // folder changed runs it again, as record numbers move when reports are
  // deleted.
  std::optional<reports::ListRequest> search;
};

}  // namespace kestrova::gui
