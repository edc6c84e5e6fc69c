#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "platform/print_job.h"

class QWidget;

namespace kestrova::gui {

class Session;

// One printout as a command hands it over: its documents and the name a
// PDF of it is proposed under ("report-24-0017-20261207143000.pdf").
struct PrintRequest {
  QString proposedName;
  std::vector<platform::PrintoutDocument> documents;
};

// Prints on the default printer, found away from the window's thread; on a
// machine without one into a PDF where the user says (the save dialog), or,
// when the run was started with --print-to-pdf, into a new file in that
// folder. From the start to the end the owner is disabled with the wait
// pointer and the change watch is paused; a long printout shows its
// progress with Cancel while the window keeps answering. Afterwards one
// notice names the files written, or says what failed; a cancelled
// printout leaves nothing behind. `ended` runs when all is over (also when
// nothing was printed) unless the owner was closed meanwhile.
void StartPrintout(Session& session, QWidget* owner, PrintRequest request, std::function<void()> ended = {});

}  // namespace kestrova::gui
