#include "gui/output/print_commands.h"

#include <QDir>
#include <memory>

#include "core/output/list_printout.h"
#include "core/output/picture_printout.h"
#include "core/output/printout_names.h"
#include "core/output/report_printout.h"
#include "gui/output/print_run.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"

namespace kestrova::gui {
namespace {

constexpr const char* kPrintOption = "Print Option";

// 1: yes, 2: no, 0: stop.
int AskPart(Session& session, QWidget* owner, const QString& message) {
  const MessageResult r = ShowMessage(session,
                                      {.caption = QString::fromLatin1(kPrintOption),
                                       .iconKind = kIconQuestion,
                                       .message = message,
                                       .defaultButton = 1,
                                       .buttons = {QStringLiteral("&Yes, please"), QStringLiteral("&Not this time"),
                                                   QStringLiteral("&Stop, don't print this report")}},
                                      owner);
  return r.pressedButton == 1 || r.pressedButton == 2 ? r.pressedButton : 0;
}

platform::PrintoutDocument PictureDocument(const ShownPicture& p) {
  platform::PrintoutDocument doc;
  doc.title = QStringLiteral("picture %1").arg(p.slot);
  doc.layout = [caption = p.caption.toStdString(), path = p.path.toStdString(), w = p.width,
                h = p.height](output::PrintCursor& cursor) { output::PrintPicture(cursor, caption, path, w, h); };
  return doc;
}

}  // namespace

std::optional<ShownPicture> ReadablePicture(Session& session, QWidget* owner, int slot, const QString& path,
                                            const reports::FieldTexts46& shown) {
  // A name kept relative to the data folder is found there.
  QString file = path.trimmed();
  if (!file.isEmpty() && QDir::isRelativePath(file)) {
    file = QDir(QString::fromStdString(session.folder().path().string())).filePath(file);
  }
  const auto size = file.isEmpty() ? std::nullopt : platform::PictureSize(file);
  if (!size) {
    ShowNotice(session, owner, QStringLiteral("File Access Error"),
               QStringLiteral("There is some kind of problem in\ntrying to access that picture file."), kIconError);
    return std::nullopt;
  }
  return ShownPicture{.slot = slot,
                      .path = file,
                      .caption = QString::fromStdString(output::PictureCaption(shown[0], shown[1])),
                      .caseNumber = shown[1],
                      .width = size->width(),
                      .height = size->height()};
}

void PrintShownReport(Session& session, QWidget* owner, const reports::FieldTexts46& shown,
                      const std::array<QString, 3>& pictures, bool& skipReady) {
  std::array<std::string, 3> stored;
  for (std::size_t i = 0; i < 3; ++i) stored[i] = pictures[i].toStdString();
  const output::ReportPrintQuestions asks = output::ReportPrintQuestionsFor(shown, stored);
  const QString separate = QStringLiteral("\n\n(This will be printed on a separate page)");
  int narrative = 2, caseNotes = 2, withPictures = 2;
  if (asks.narrative &&
      (narrative = AskPart(session, owner, QStringLiteral("Do you want to print the narrative also?") + separate)) == 0)
    return;
  if (asks.caseNotes &&
      (caseNotes = AskPart(session, owner,
                           QStringLiteral("Do you want to print the\ncase notes for this report also?") + separate)) ==
          0)
    return;
  if (asks.pictures &&
      (withPictures = AskPart(session, owner, QStringLiteral("Do you want to print the picture(s) also?"))) == 0)
    return;
  if (!AskUnlessSkipped(
          session, owner, skipReady,
          {.caption = QString::fromLatin1(kPrintOption),
           .iconKind = kIconQuestion,
           .message = QStringLiteral("Ready to print now?"),
           .defaultButton = 1,
           .showCheckBox = true,
           .buttons = {QStringLiteral("&Yes, please"), QStringLiteral("&Stop, don't print this report")}}))
    return;

  const time::DateTime now = session.clock().Now();
  PrintRequest request;
  request.proposedName = QString::fromStdString(output::ReportPdfName(shown[1], now));
  platform::PrintoutDocument report;
  report.title = QStringLiteral("report");
  report.layout = [shown, layout = output::ReportPrintout{.applicationTitle = session.applicationTitle().toStdString(),
                                                          .printedAt = now,
                                                          .narrative = narrative == 1,
                                                          .caseNotes = caseNotes == 1}](output::PrintCursor& cursor) {
    output::PrintReport(cursor, shown, layout);
  };
  request.documents.push_back(std::move(report));
  if (withPictures == 1) {
    for (int slot = 1; slot <= 3; ++slot) {
      const QString& path = pictures[std::size_t(slot - 1)];
      if (path.trimmed().isEmpty()) continue;
      if (auto picture = ReadablePicture(session, owner, slot, path, shown)) {
        platform::PrintoutDocument doc = PictureDocument(*picture);
        doc.pictureSlot = slot;
        request.documents.push_back(std::move(doc));
      }
    }
  }
  StartPrintout(session, owner, std::move(request));
}

void PrintShownList(Session& session, QWidget* owner, ShownList list) {
  const int pages = output::ListPageEstimate(list.rows.size() + 1);
  const MessageResult r = ShowMessage(
      session,
      {.caption = QStringLiteral("Print List"),
       .iconKind = kIconQuestion,
       .message = QStringLiteral("Printing this list will require about %1 page(s) "
                                 "to complete.\n\nAre you ready to proceed?")
                      .arg(pages),
       .defaultButton = 2,
       .buttons = {QStringLiteral("&Yes, continue"), QStringLiteral("&No, don't print this list right now")}},
      owner);
  if (r.pressedButton != 1) return;
  const time::DateTime now = session.clock().Now();
  auto shown = std::make_shared<ShownList>(std::move(list));
  PrintRequest request;
  request.proposedName = QString::fromStdString(output::ListPdfName(now));
  platform::PrintoutDocument doc;
  doc.title = QStringLiteral("list");
  doc.layout = [shown, at = output::GeneralDateTime(now)](output::PrintCursor& cursor) {
    output::PrintList(cursor, {.title = shown->title.trimmed().toStdString(),
                               .headings = shown->headings,
                               .rows = shown->rows,
                               .printedAt = at});
  };
  doc.pages = [shown](const output::PrintMetrics& m) { return output::ListPagesNeeded(m, shown->rows.size()); };
  request.documents.push_back(std::move(doc));
  StartPrintout(session, owner, std::move(request));
}

void PrintShownPicture(Session& session, QWidget* owner, const ShownPicture& picture) {
  if (!AskUnlessSkipped(
          session, owner, session.skipPicturePrintQuestion,
          {.caption = QStringLiteral("Confirm Print Request"),
           .iconKind = kIconWarning,
           .message = QStringLiteral("Be sure your printer is ready to print this picture."),
           .defaultButton = 1,
           .showCheckBox = true,
           .buttons = {QStringLiteral("&Print the picture"), QStringLiteral("&Cancel this Print Request")}}))
    return;
  PrintRequest request;
  request.proposedName =
      QString::fromStdString(output::PicturePdfName(picture.slot, picture.caseNumber, session.clock().Now()));
  request.documents.push_back(PictureDocument(picture));
  StartPrintout(session, owner, std::move(request));
}

}  // namespace kestrova::gui
