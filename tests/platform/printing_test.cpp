#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "core/output/list_printout.h"
#include "core/output/paged_text.h"
#include "core/output/picture_printout.h"
#include "core/output/printout_names.h"
#include "core/output/report_printout.h"
#include "platform/file_picker.h"
#include "platform/print_job.h"
#include "platform/print_surface.h"
#include "platform/printing.h"
#include "support/qt_print.h"

namespace kestrova::platform {
namespace {

const time::DateTime kPrinted{2026, 12, 6, 14, 5, 9};

using testing::PdfPages;
using testing::PdfText;
using testing::RunTool;

// The top left corner of the first word that reads `word`, in inches from
// the page's corner.
QPointF WordAt(const QString& pdf, const QString& word) {
  const QString html = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  const auto match = QRegularExpression(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>%1</word>")
                                            .arg(QRegularExpression::escape(word)))
                         .match(html);
  if (!match.hasMatch()) return {-1, -1};
  return {match.captured(1).toDouble() / 72, match.captured(2).toDouble() / 72};
}

reports::ListRow Row(std::string caseNumber) {
  reports::ListRow row;
  row.caseNumber = std::move(caseNumber);
  row.dateEntered = "05/01/2024";
  row.rightColumn = "Theft";
  return row;
}

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The position of each needle in the haystack, in order; -1 for one missing
// or out of order.
bool InOrder(const QString& text, const QStringList& needles) {
  qsizetype at = 0;
  for (const QString& needle : needles) {
    at = text.indexOf(needle, at);
    if (at < 0) {
      ADD_FAILURE() << "missing or out of order: " << needle.toStdString();
      return false;
    }
    at += needle.size();
  }
  return true;
}

TEST(PrintSurface, ArialResolvesToAFontOfTheSameWidths) {
  QTemporaryDir dir;
  QPdfWriter writer(dir.filePath(QStringLiteral("m.pdf")));
  writer.setPageSize(QPageSize(QPageSize::Letter));
  writer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
  PainterSurface surface(writer);
  ASSERT_TRUE(surface.ok());
  EXPECT_EQ(surface.ResolvedFamily({}), QStringLiteral("Liberation Sans"));
  // Arial's own widths: "0" is 556 and "_" 556 thousandths of the size, a
  // line 1.15 times it.
  EXPECT_NEAR(surface.TextWidth("0000000000", {}), 10 * 0.556 * 10 / 72, 0.002);
  EXPECT_NEAR(surface.LineHeight({}), 1.15 * 10 / 72, 0.003);
  EXPECT_NEAR(surface.PageWidth(), 8.0, 0.01);
  EXPECT_TRUE(surface.End());
}

TEST(Printout, AReportWithItsNarrativeAndPictureIntoPdfFiles) {
  QTemporaryDir dir;
  QImage picture(400, 200, QImage::Format_RGB32);
  picture.fill(Qt::darkBlue);
  const QString picturePath = dir.filePath(QStringLiteral("scene.png"));
  ASSERT_TRUE(picture.save(picturePath));
  const std::optional<QSize> size = PictureSize(picturePath);
  ASSERT_EQ(size, QSize(400, 200));

  reports::FieldTexts46 shown;
  shown[0] = "20261206140509";
  shown[1] = "24/0017";
  shown[2] = "Burglary at the depot";
  shown[4] = "Ann Lee";
  shown[5] = "Dec 06, 2026 2:05pm";
  shown[6] = "05/01/2024 22:00";
  shown[7] = "05/02/2024 06:00";
  for (int i = 1; i <= 120; ++i) shown[44] += "Line " + std::to_string(i) + "\r\n";

  const QString reportPath = dir.filePath(QString::fromStdString(output::ReportPdfName(shown[1], kPrinted)));
  const std::string caption = output::PictureCaption(shown[0], shown[1]);
  QtPrinting printing;
  std::vector<PrintProgress> seen;
  const PrintOutcome outcome = RunPrintout(
      printing, {.pdfPath = reportPath},
      {{.title = QStringLiteral("report"),
        .layout =
            [&](output::PrintCursor& c) {
              output::PrintReport(c, shown, {.applicationTitle = "Kestrova", .printedAt = kPrinted, .narrative = true});
            }},
       {.title = QStringLiteral("picture 1"),
        .pictureSlot = 1,
        .layout =
            [&](output::PrintCursor& c) {
              output::PrintPicture(c, caption, picturePath.toStdString(), size->width(), size->height());
            }}},
      [&](const PrintProgress& p) {
        seen.push_back(p);
        return true;
      });
  ASSERT_EQ(outcome.kind, PrintOutcome::Kind::Printed) << outcome.error.toStdString();
  const QString picturePdf = dir.filePath(QStringLiteral("report-240017-20261206140509-picture1.pdf"));
  EXPECT_EQ(outcome.files, (QStringList{reportPath, picturePdf}));
  QStringList expectedFiles{QFileInfo(reportPath).fileName(), QFileInfo(picturePdf).fileName(),
                            QStringLiteral("scene.png")};
  expectedFiles.sort();
  EXPECT_EQ(FilesIn(dir.path()), expectedFiles);

  // One page of fields, three of narrative (47 lines a page).
  EXPECT_EQ(PdfPages(reportPath), 4);
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[3].page, 4);
  EXPECT_EQ(seen[4].document, 2);
  const QString text = PdfText(reportPath);
  EXPECT_TRUE(InOrder(
      text, {QStringLiteral("Kestrova report printout - Case Number 24/0017"),
             QStringLiteral("printed 12/06/2026 14:05"), QStringLiteral("Control Number 20261206140509"),
             QStringLiteral("Title or Descriptive Remarks: Burglary at the depot"),
             QStringLiteral("This Report Made by: Ann Lee"),
             QStringLiteral("Occurred from 05/01/2024 22:00 to 05/02/2024 06:00"),
             QStringLiteral("(Narrative on following page(s)...)"), QStringLiteral("NarrativeCase Number 24/0017"),
             QStringLiteral("Line 1\n"), QStringLiteral("Line 47\n"), QStringLiteral("\f"),
             QStringLiteral("NarrativeCase Number 24/0017"), QStringLiteral("Line 48\n"), QStringLiteral("(page 2)"),
             QStringLiteral("Line 120"), QStringLiteral("(page 3)")}));
  EXPECT_FALSE(text.contains(QStringLiteral("(page 1)")));
  // The first line's top left corner: 1.0 inch in and 0.5 down from the
  // printable area's corner, a quarter inch in from the paper's.
  const QPointF first = WordAt(reportPath, QStringLiteral("Kestrova"));
  EXPECT_NEAR(first.x(), 1.25, 0.01);
  EXPECT_NEAR(first.y(), 0.75, 0.03);

  EXPECT_EQ(PdfPages(picturePdf), 1);
  EXPECT_TRUE(PdfText(picturePdf).contains(QStringLiteral("Control Number 20261206140509 - Case Number 24/0017")));
  const QString images = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), picturePdf});
  EXPECT_EQ(images.count(QStringLiteral("image ")), 1) << images.toStdString();
}

TEST(Printout, TheWholeListIntoAPdfPageAfterPage) {
  QTemporaryDir dir;
  std::vector<reports::ListRow> rows;
  for (int i = 1; i <= 100; ++i) rows.push_back(Row("24/" + std::to_string(1000 + i)));
  const output::ListPrintout list{"Active List",
                                  {"Case Number", "Date Entered", "Title or Descriptive Remarks"},
                                  rows,
                                  output::GeneralDateTime(kPrinted)};
  const QString path = dir.filePath(QString::fromStdString(output::ListPdfName(kPrinted)));
  int expected = 0;
  QtPrinting printing;
  const PrintOutcome outcome =
      RunPrintout(printing, {.pdfPath = path},
                  {{.title = QStringLiteral("list"),
                    .layout = [&](output::PrintCursor& c) { output::PrintList(c, list); },
                    .pages = [&](const output::PrintMetrics& m) { return output::ListPagesNeeded(m, rows.size()); }}},
                  [&](const PrintProgress& p) {
                    expected = p.pagesExpected;
                    return true;
                  });
  ASSERT_EQ(outcome.kind, PrintOutcome::Kind::Printed) << outcome.error.toStdString();
  EXPECT_EQ(expected, 3);  // 47 rows a page
  EXPECT_EQ(PdfPages(path), expected);
  const QString text = PdfText(path);
  EXPECT_TRUE(InOrder(text, {QStringLiteral("Active List, 12/6/2026 2:05:09 PM -- Page 1"),
                             QStringLiteral("Case Number"), QStringLiteral("24/1001"), QStringLiteral("24/1047"),
                             QStringLiteral("-- Page 2"), QStringLiteral("24/1048"), QStringLiteral("-- Page 3"),
                             QStringLiteral("24/1100"), QStringLiteral("End of Printout")}));
  EXPECT_NEAR(WordAt(path, QStringLiteral("Date")).x(), 0.25 + 2.0, 0.01);
}

TEST(Printout, CancelledOrFailedLeavesNoFileBehind) {
  QTemporaryDir dir;
  const std::vector<reports::ListRow> rows(1000, Row("24/1"));
  const auto listLayout = [&](output::PrintCursor& c) {
    output::PrintList(c, {"Active List", {"a", "b", "c"}, rows, "now"});
  };
  QtPrinting printing;
  const PrintOutcome cancelled = RunPrintout(printing, {.pdfPath = dir.filePath(QStringLiteral("list.pdf"))},
                                             {{.title = QStringLiteral("list"), .layout = listLayout}},
                                             [](const PrintProgress& p) { return p.page < 3; });
  EXPECT_EQ(cancelled.kind, PrintOutcome::Kind::Cancelled);
  EXPECT_TRUE(cancelled.files.isEmpty());
  EXPECT_EQ(FilesIn(dir.path()), QStringList());

  // A picture that cannot be read fails the report's printout whole.
  QFile broken(dir.filePath(QStringLiteral("broken.jpg")));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("not a picture");
  broken.close();
  const PrintOutcome failed =
      RunPrintout(printing, {.pdfPath = dir.filePath(QStringLiteral("report.pdf"))},
                  {{.title = QStringLiteral("report"), .layout = [](output::PrintCursor& c) { c.Print("Report"); }},
                   {.title = QStringLiteral("picture"), .pictureSlot = 2, .layout = [&](output::PrintCursor& c) {
                      output::PrintPicture(c, "caption", broken.fileName().toStdString(), 4, 3);
                    }}});
  EXPECT_EQ(failed.kind, PrintOutcome::Kind::Failed);
  EXPECT_TRUE(failed.error.contains(QStringLiteral("broken.jpg"))) << failed.error.toStdString();
  EXPECT_EQ(FilesIn(dir.path()), QStringList{QStringLiteral("broken.jpg")});

  const PrintOutcome nowhere = RunPrintout(printing, {.pdfPath = dir.filePath(QStringLiteral("none/list.pdf"))},
                                           {{.title = QStringLiteral("list"), .layout = listLayout}});
  EXPECT_EQ(nowhere.kind, PrintOutcome::Kind::Failed);
  EXPECT_TRUE(nowhere.error.startsWith(QStringLiteral("The PDF file could not be written in")))
      << nowhere.error.toStdString();

  const PrintOutcome refused = RunPrintout(
      printing,
      {.pdfPath = dir.filePath(QStringLiteral("list.pdf")), .refusedFolders = {dir.path() + QStringLiteral("/.")}},
      {{.title = QStringLiteral("list"), .layout = listLayout}});
  EXPECT_EQ(refused.kind, PrintOutcome::Kind::Failed);
  EXPECT_EQ(FilesIn(dir.path()), QStringList{QStringLiteral("broken.jpg")});
}

TEST(Printout, TakenNamesGetANumberUnlessTheUserAgreedToReplace) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("report-1-20261206140509.pdf"));
  QFile existing(path);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("kept");
  existing.close();
  const std::vector<PrintoutDocument> documents{
      {.title = QStringLiteral("report"), .layout = [](output::PrintCursor& c) { c.Print("Report"); }},
      {.title = QStringLiteral("picture"), .pictureSlot = 3, .layout = [](output::PrintCursor& c) {
         c.Print("Picture");
       }}};
  QtPrinting printing;
  PrintOutcome numbered = RunPrintout(printing, {.pdfPath = path}, documents);
  ASSERT_EQ(numbered.kind, PrintOutcome::Kind::Printed) << numbered.error.toStdString();
  EXPECT_EQ(numbered.files, (QStringList{dir.filePath(QStringLiteral("report-1-20261206140509-2.pdf")),
                                         dir.filePath(QStringLiteral("report-1-20261206140509-2-picture3.pdf"))}));
  EXPECT_EQ(QFileInfo(path).size(), 4);

  const PrintOutcome replaced = RunPrintout(printing, {.pdfPath = path, .mayReplace = true}, documents);
  ASSERT_EQ(replaced.kind, PrintOutcome::Kind::Printed) << replaced.error.toStdString();
  EXPECT_EQ(replaced.files.value(0), path);
  EXPECT_TRUE(PdfText(path).contains(QStringLiteral("Report")));
  // The picture beside it was not the user's to replace.
  EXPECT_EQ(replaced.files.value(1), dir.filePath(QStringLiteral("report-1-20261206140509-picture3.pdf")));
  EXPECT_EQ(FilesIn(dir.path()).size(), 4);
}

TEST(Printout, EveryStepCheckedThroughTheDouble) {
  RecordingPrinting printing;
  const std::vector<PrintoutDocument> documents{{.title = QStringLiteral("report"),
                                                 .layout =
                                                     [](output::PrintCursor& c) {
                                                       c.Print("one");
                                                       c.NewPage();
                                                       c.Print("two");
                                                     }},
                                                {.title = QStringLiteral("picture"),
                                                 .pictureSlot = 1,
                                                 .layout = [](output::PrintCursor& c) { c.Print("three"); }}};
  EXPECT_EQ(RunPrintout(printing, {.printer = QStringLiteral("Office")}, documents).kind, PrintOutcome::Kind::Printed);
  ASSERT_EQ(printing.documents.size(), 2u);
  EXPECT_EQ(printing.documents[0].steps.size(), 3u);
  EXPECT_TRUE(printing.documents[1].finished && printing.files.isEmpty());

  // A later document failing keeps nothing of the earlier ones.
  printing = {};
  printing.failAtPage = 2;
  const PrintOutcome failed =
      RunPrintout(printing, {.pdfPath = QStringLiteral("/d/r.pdf")},
                  {documents[1], {.title = QStringLiteral("long"), .pictureSlot = 2, .layout = documents[0].layout}});
  EXPECT_EQ(failed.kind, PrintOutcome::Kind::Failed);
  EXPECT_EQ(failed.error, QStringLiteral("The printer is out of paper."));
  EXPECT_TRUE(printing.files.isEmpty());

  // So does a file that cannot take its name: the report's is removed again.
  printing = {};
  printing.refusedPaths = {QStringLiteral("/d/r-picture1.pdf")};
  const PrintOutcome refused = RunPrintout(printing, {.pdfPath = QStringLiteral("/d/r.pdf")}, documents);
  EXPECT_EQ(refused.kind, PrintOutcome::Kind::Failed);
  EXPECT_EQ(printing.documents[0].file, QString());
  EXPECT_TRUE(printing.files.isEmpty());
}

TEST(PrinterLookup, AnswersLaterOnTheWindowsThreadAndNeverOnceTheWindowIsGone) {
  QtPrinting printing(std::chrono::milliseconds(300));
  QObject window;
  int answers = 0;
  printing.FindPrinter(&window, [&](std::optional<QString>) { ++answers; });
  EXPECT_EQ(answers, 0);  // nothing is waited for here
  QTRY_COMPARE_WITH_TIMEOUT(answers, 1, 10000);
  QTest::qWait(400);  // the time limit passing later answers nothing more
  EXPECT_EQ(answers, 1);

  auto gone = std::make_unique<QObject>();
  printing.FindPrinter(gone.get(), [&](std::optional<QString>) { ++answers; });
  gone.reset();
  QTest::qWait(600);
  EXPECT_EQ(answers, 1);
}

TEST(SavePicker, ProposesTheNameInTheDocumentsFolderAndAddsTheExtension) {
  QtFilePicker picker;
  QString shown;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    shown = dialog->selectedFiles().value(0);
    dialog->selectFile(QStringLiteral("mine"));
    static_cast<QDialog*>(dialog)->accept();
  });
  const auto chosen = picker.SavePdf(nullptr, QStringLiteral("list-20261206140509.pdf"));
  EXPECT_TRUE(shown.endsWith(QStringLiteral("/list-20261206140509.pdf"))) << shown.toStdString();
  ASSERT_TRUE(chosen.has_value());
  EXPECT_TRUE(chosen->endsWith(QStringLiteral("/mine.pdf"))) << chosen->toStdString();
}

}  // namespace
}  // namespace kestrova::platform
