#include "platform/print_job.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

#include "core/output/printout_names.h"

namespace kestrova::platform {
namespace {

// Hands steps on to the document and tells the progress of each new page.
class Pacer : public output::StepSink {
 public:
  Pacer(PrintDocument& document, const PrintProgressFn& progress, PrintProgress state)
      : document_(document), progress_(progress), state_(state) {}

  bool Start() { return Tell(); }
  bool Take(output::PrintStep step) override {
    if (std::holds_alternative<output::NewPageStep>(step)) {
      ++state_.page;
      if (!Tell()) return false;
    }
    return document_.Take(std::move(step));
  }
  bool cancelled() const { return cancelled_; }

 private:
  bool Tell() {
    if (progress_ && !progress_(state_)) cancelled_ = true;
    return !cancelled_;
  }
  PrintDocument& document_;
  const PrintProgressFn& progress_;
  PrintProgress state_;
  bool cancelled_ = false;
};

PrintOutcome Failed(QString error) {
  if (error.isEmpty()) error = QStringLiteral("The printout could not be completed.");
  return {PrintOutcome::Kind::Failed, std::move(error), {}};
}

bool SameFolder(const QString& a, const QString& b) {
  const QString ca = QFileInfo(a).canonicalFilePath();
  return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

}  // namespace

PrintOutcome RunPrintout(Printing& printing, const PrintTarget& target, const std::vector<PrintoutDocument>& documents,
                         const PrintProgressFn& progress) {
  const bool toPdf = target.printer.isEmpty();
  const QString folder = QFileInfo(target.pdfPath).absolutePath();
  if (toPdf) {
    for (const QString& refused : target.refusedFolders) {
      if (SameFolder(folder, refused)) {
        return Failed(QStringLiteral("Printouts are not kept in \"%1\", the program's own folder or its data "
                                     "folder: please choose another folder.")
                          .arg(QDir::toNativeSeparators(folder)));
      }
    }
  }

  std::vector<std::unique_ptr<PrintDocument>> finished;  // PDFs waiting for their names
  for (std::size_t d = 0; d < documents.size(); ++d) {
    const PrintoutDocument& plan = documents[d];
    std::unique_ptr<PrintDocument> document =
        toPdf ? printing.IntoPdf(folder, plan.title) : printing.OnPrinter(target.printer, plan.title);
    if (!document->error().isEmpty()) return Failed(document->error());
    const int pages = plan.pages ? plan.pages(*document) : 0;
    Pacer pacer(*document, progress, {int(d) + 1, int(documents.size()), 1, pages});
    if (!pacer.Start()) return {PrintOutcome::Kind::Cancelled, {}, {}};
    output::PrintCursor cursor(*document, pacer);
    if (plan.layout) plan.layout(cursor);
    cursor.Flush();
    if (pacer.cancelled()) return {PrintOutcome::Kind::Cancelled, {}, {}};
    const bool painted = !plan.paint || (!cursor.stopped() && document->Paint(cursor.y, plan.paint));
    if (!painted || cursor.stopped() || !document->error().isEmpty() || !document->Finish()) {
      return Failed(document->error());
    }
    if (toPdf) finished.push_back(std::move(document));
  }
  if (!toPdf) return {};

  // Every document is complete: now they take their names, the printout's
  // own first and its pictures beside it; one refused undoes the others.
  PrintOutcome outcome;
  std::vector<PrintDocument*> committed;
  QString main;
  for (std::size_t d = 0; d < finished.size(); ++d) {
    PrintDocument& document = *finished[d];
    const int slot = documents[d].pictureSlot;
    const QString wanted = slot == 0 || main.isEmpty()
                               ? target.pdfPath
                               : QString::fromStdString(output::PicturePdfBeside(main.toStdString(), slot));
    std::optional<std::string> name;
    if (slot == 0 && target.mayReplace) {
      if (document.Commit(wanted, true) == output::Claim::Got) name = wanted.toStdString();
    } else {
      name = output::ClaimNumberedName(wanted.toStdString(), [&](const std::string& candidate) {
        return document.Commit(QString::fromStdString(candidate), false);
      });
    }
    if (!name) {
      for (PrintDocument* earlier : committed) earlier->Discard();
      QString error = document.error();
      if (error.isEmpty()) {
        error = QStringLiteral("No free name was found for \"%1\".").arg(QDir::toNativeSeparators(wanted));
      }
      return Failed(error);
    }
    committed.push_back(&document);
    const QString path = QString::fromStdString(*name);
    if (slot == 0 && main.isEmpty()) main = path;
    outcome.files << path;
  }
  return outcome;
}

}  // namespace kestrova::platform
