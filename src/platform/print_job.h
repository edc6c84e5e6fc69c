#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/output/print_cursor.h"
#include "platform/printing.h"

// Runs a printout, document after document, on a printer or into PDF files,
// so that it either happens whole or leaves nothing behind.
namespace kestrova::platform {

struct PrintTarget {
  QString printer{};  // a printer's name: the printout goes there
  QString pdfPath{};  // else into this PDF file, a report's pictures beside it
  // The user agreed to replace a file at pdfPath; otherwise a name that is
  // taken gets "-2", "-3"... (pictures beside a report never replace).
  bool mayReplace = false;
  // Folders no printout is written into (the data folder, the program's).
  QStringList refusedFolders{};
};

struct PrintoutDocument {
  QString title{};      // the printer's name for the job
  int pictureSlot = 0;  // 1-3: a report's picture, in its own file "<report>-picture<slot>.pdf"
  std::function<void(output::PrintCursor&)> layout{};
  // Painted after the layout, below where it left off on its last page.
  PagePainter paint{};
  // The pages it will take on the surface, when that is known beforehand.
  std::function<int(const output::PrintMetrics&)> pages{};
};

struct PrintProgress {
  int document = 1;  // from 1
  int documents = 1;
  int page = 1;           // of this document, from 1
  int pagesExpected = 0;  // 0: not known
};
// Told when each document and each page starts; false cancels.
using PrintProgressFn = std::function<bool(const PrintProgress&)>;

struct PrintOutcome {
  enum class Kind { Printed, Cancelled, Failed };
  Kind kind = Kind::Printed;
  QString error{};      // what failed, for the one notice
  QStringList files{};  // the PDF files written, the printout's own first
};

// Every step is checked: on a failure or a cancel the documents not yet
// sent are abandoned and no PDF file of the printout is left (nor any
// temporary one). Documents sent to a printer before stay sent.
PrintOutcome RunPrintout(Printing& printing, const PrintTarget& target, const std::vector<PrintoutDocument>& documents,
                         const PrintProgressFn& progress = {});

}  // namespace kestrova::platform
