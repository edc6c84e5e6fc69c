#include "gui/output/print_run.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QProgressDialog>
#include <memory>
#include <optional>

#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/busy_window.h"

namespace kestrova::gui {
namespace {

// Everything one printout holds from the command to its notice: the busy
// window and the paused watch end with it, however the printout ends.
struct Printout {
  Printout(Session& s, QWidget* o, PrintRequest r, std::function<void()> e)
      : session(s), owner(o), request(std::move(r)), ended(std::move(e)), busy(o), pause(s.PauseChangeWatch()) {}
  ~Printout() {
    busy.End();
    if (ended && owner) ended();
  }
  Printout(const Printout&) = delete;
  Printout& operator=(const Printout&) = delete;

  Session& session;
  QPointer<QWidget> owner;
  PrintRequest request;
  std::function<void()> ended;
  BusyWindow busy;
  Session::WatchPause pause;
};

// Shows how far a printout is once it takes longer than a moment. The
// window is disabled, so the dialog stands on its own; each page lets the
// window's events run, so it keeps painting and answering.
class Progress {
 public:
  explicit Progress(QWidget* owner) {
    dialog_.setObjectName(QStringLiteral("dlgPrintProgress"));
    dialog_.setWindowTitle(owner ? owner->window()->windowTitle() : QString());
    dialog_.setCancelButtonText(QStringLiteral("&Cancel"));
    dialog_.setMinimumDuration(500);
    dialog_.setAutoReset(false);
    dialog_.setAutoClose(false);
    dialog_.setValue(0);
  }
  bool Tell(const platform::PrintProgress& p) {
    const int total = p.pagesExpected;
    dialog_.setMaximum(total > 0 ? total : 0);
    if (total > 0) dialog_.setValue(std::min(p.page, total));
    QString text = total > 0 ? QStringLiteral("Printing page %1 of %2").arg(p.page).arg(total)
                             : QStringLiteral("Printing page %1").arg(p.page);
    if (p.documents > 1) text += QStringLiteral(" (document %1 of %2)").arg(p.document).arg(p.documents);
    dialog_.setLabelText(text + QStringLiteral("..."));
    QApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
};

void Run(const std::shared_ptr<Printout>& printout, platform::PrintTarget target) {
  Session& session = printout->session;
  target.refusedFolders = {QString::fromStdString(session.folder().path().string()), session.programFolder()};
  platform::PrintOutcome outcome;
  {
    Progress progress(printout->owner);
    outcome = platform::RunPrintout(session.printing(), target, printout->request.documents,
                                    [&progress](const platform::PrintProgress& p) { return progress.Tell(p); });
  }
  printout->busy.End();
  QWidget* parent = printout->owner;
  if (outcome.kind == platform::PrintOutcome::Kind::Failed) {
    ShowNotice(session, parent, QStringLiteral("Printing Failed"),
               QStringLiteral("The printout was not completed:\n") + outcome.error, kIconError);
  } else if (outcome.kind == platform::PrintOutcome::Kind::Printed && !outcome.files.isEmpty()) {
    QStringList names;
    for (const QString& f : outcome.files) names.append(QDir::toNativeSeparators(f));
    ShowNotice(session, parent, QStringLiteral("Printout Saved"),
               (outcome.files.size() == 1 ? QStringLiteral("The printout was saved as\n")
                                          : QStringLiteral("The printout was saved as these files:\n")) +
                   names.join(QLatin1Char('\n')));
  }
}

}  // namespace

void StartPrintout(Session& session, QWidget* owner, PrintRequest request, std::function<void()> ended) {
  auto printout = std::make_shared<Printout>(session, owner, std::move(request), std::move(ended));
  if (!session.printToPdfFolder.isEmpty()) {
    Run(printout, {.pdfPath = QDir(session.printToPdfFolder).filePath(printout->request.proposedName)});
    return;
  }
  // The lookup answers later (at most a few seconds); until then the window
  // waits, disabled, but keeps painting.
  session.printing().FindPrinter(owner, [printout](std::optional<QString> printer) {
    if (printer) {
      Run(printout, {.printer = *printer});
      return;
    }
    const auto chosen = printout->session.filePicker().SavePdf(printout->owner, printout->request.proposedName);
    if (!chosen) return;  // the user changed their mind: nothing printed
    Run(printout, {.pdfPath = *chosen, .mayReplace = true});
  });
}

}  // namespace kestrova::gui
