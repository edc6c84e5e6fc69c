#pragma once

#include <QString>

namespace kestrova::gui {

// The new-user overview, shown at sign-in until the user asks not to see
// it again.
inline QString NewUserOverview() {
  return QStringLiteral(
      "Kestrova keeps your agency's incident reports: each with a case number, the "
      "criminal violations, who made it and when, where and when the incident "
      "happened, up to three people, vehicles and property items, a narrative and "
      "case notes.\n\n"
      "Everyone works under their own name. Choose your name in the list of the next "
      "window, click \"Sign in the Highlighted User\" and type your password. What you "
      "may do depends on your access level: Read Only, Read/Edit, Read/Edit/Add or "
      "Full Access.\n\n"
      "The main window lists the reports of the Active List (or, once archived, the "
      "Inactive List) above the selected report. Search the list, print a report or "
      "the list, or e-mail a report with the buttons along the bottom.\n\n"
      "The user list, the activity logs and backups are kept behind an access code. "
      "Every sign-in, change and search is written to the activity logs.\n\n"
      "Several workstations may share one data folder; each one sees the others' "
      "changes and offers to refresh its list.");
}

}  // namespace kestrova::gui
