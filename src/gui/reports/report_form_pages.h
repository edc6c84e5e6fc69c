#pragma once

#include <array>

#include "core/reports/report_fields.h"

class QLabel;
class QTabWidget;
class QWidget;

namespace kestrova::gui {

class Session;

// The report form's widgets as built: the fields (lines; boxes for 44 and
// 45), their headings, the long boxes' "% full" labels and the picture tab.
struct FormPages {
  std::array<QWidget*, reports::kFieldCount> fields{};
  std::array<QLabel*, 52> headings{};
  QLabel* spaceFull44 = nullptr;
  QLabel* spaceFull45 = nullptr;
  QWidget* photos = nullptr;
};

// Adds the form's seven tabs to `form`, every field and heading where the
// layout table puts them, each field named for a screen reader.
FormPages BuildFormPages(QTabWidget& form, Session& session);

}  // namespace kestrova::gui
