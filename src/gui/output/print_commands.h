#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/reports/report_entry.h"
#include "core/reports/report_list.h"

class QWidget;

namespace kestrova::gui {

class Session;

// "Print this Report...": asks whether to print the narrative, the case
// notes and the pictures (each only when there is one), then "Ready to
// print now?" unless the user ticked not to be asked again (kept in
// `skipReady`), and prints the report as the form shows it with the chosen
// parts; each picture becomes a document of its own. A picture that cannot
// be read is left out after one "File Access Error" notice.
void PrintShownReport(Session& session, QWidget* owner, const reports::FieldTexts46& shown,
                      const std::array<QString, 3>& pictures, bool& skipReady);

// "Print this list...": announces about how many pages it takes and prints
// the list as the grid shows it.
struct ShownList {
  QString title;  // the list frame's caption
  std::array<std::string, 3> headings;
  std::vector<reports::ListRow> rows;
};
void PrintShownList(Session& session, QWidget* owner, ShownList list);

// A picture of the report on display, as the enlarged view shows and
// prints it.
struct ShownPicture {
  int slot = 1;
  QString path;
  QString caption;  // "Control Number <n> - Case Number <case>"
  std::string caseNumber;
  int width = 0;  // natural size
  int height = 0;
};
// The picture's natural size, or the "File Access Error" notice and nothing.
std::optional<ShownPicture> ReadablePicture(Session& session, QWidget* owner, int slot, const QString& path,
                                            const reports::FieldTexts46& shown);
// "Confirm Print Request" (unless ticked away for the run), then the
// picture's own printout.
void PrintShownPicture(Session& session, QWidget* owner, const ShownPicture& picture);

}  // namespace kestrova::gui
