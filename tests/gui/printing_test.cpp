#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include "gui/output/frm_large_pic.h"
#include "gui/ui/twips.h"
#include "support/main_window_fixture.h"

namespace kestrova::gui {
namespace {

using platform::RecordingPrinting;
using testing::Click;
using testing::FormOf;

std::vector<std::string> TextsOf(const RecordingPrinting::Document& d) {
  std::vector<std::string> texts;
  for (const auto& s : d.steps) {
    if (const auto* t = std::get_if<output::TextStep>(&s)) texts.push_back(t->text);
  }
  return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class Printing : public testing::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    g.clock->Set({2026, 12, 7, 14, 30, 5});
  }
  // A picture file of the given size in the test's folder.
  QString Picture(const char* name, int w, int h) {
    const QString path = QString::fromStdString((g.folder / "pictures").string());
    QDir().mkpath(path);
    const QString file = path + QLatin1Char('/') + QString::fromLatin1(name);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    EXPECT_TRUE(image.save(file));
    return file;
  }
  // Lets the printer lookup answer and the printout run.
  void Settle(int documents) {
    for (int i = 0; i < 200 && int(g.printing->documents.size()) < documents; ++i) QTest::qWait(5);
    QTest::qWait(20);
  }
  void ExpectRestored(frmMain* m) {
    EXPECT_TRUE(m->isEnabled());
    EXPECT_FALSE(g.session->changeWatchPaused());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
  static void ShowPhotos(frmMain* m) {
    ReportForm* form = FormOf(m);
    for (int i = 0; i < form->count(); ++i) {
      if (form->tabText(i) == QStringLiteral("Photo(s)")) form->setCurrentIndex(i);
    }
    QCoreApplication::processEvents();
  }
  QString out() const { return QString::fromStdString((g.folder / "out").string()); }
};

TEST_F(Printing, TheReportsQuestionsInTheirOrderAndTheReadyQuestionTickedAway) {
  reports::ReportRecord r = testing::Report("24/0017", 5);
  r.Narrative = "What happened.";
  r.CaseNotes = "Notes.";
  r.Picture1 = Picture("one.png", 400, 200).toStdString();
  Add(r);
  frmMain* m = Open();
  g.messages->Press(1).Press(2).Press(1).Press(2, true);  // ticked, but stopped
  Click(m, "cmdPrintEntry");
  ASSERT_EQ(g.messages->asked.size(), 4);
  const QStringList three{QStringLiteral("&Yes, please"), QStringLiteral("&Not this time"),
                          QStringLiteral("&Stop, don't print this report")};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(g.messages->asked[i].caption, QStringLiteral("Print Option"));
    EXPECT_EQ(g.messages->asked[i].buttons, three);
    EXPECT_EQ(g.messages->asked[i].iconKind, kIconQuestion);
    EXPECT_FALSE(g.messages->asked[i].showCheckBox);
  }
  EXPECT_EQ(g.messages->asked[0].message,
            QStringLiteral("Do you want to print the narrative also?\n\n(This will be printed on a separate page)"));
  EXPECT_EQ(g.messages->asked[1].message, QStringLiteral("Do you want to print the\ncase notes for this report "
                                                         "also?\n\n(This will be printed on a separate page)"));
  EXPECT_EQ(g.messages->asked[2].message, QStringLiteral("Do you want to print the picture(s) also?"));
  EXPECT_EQ(g.messages->asked[3].message, QStringLiteral("Ready to print now?"));
  EXPECT_TRUE(g.messages->asked[3].showCheckBox);
  EXPECT_EQ(g.messages->asked[3].buttons,
            (QStringList{QStringLiteral("&Yes, please"), QStringLiteral("&Stop, don't print this report")}));
  QTest::qWait(20);
  EXPECT_EQ(g.printing->lookups, 0) << "stopped: nothing is printed";
  EXPECT_TRUE(g.printing->documents.empty());

  // Again: "Ready to print now?" is not asked; no printer, so the save dialog.
  const QString chosen = out() + QStringLiteral("/mine.pdf");
  g.filePicker->saveAnswers.append(chosen);
  g.messages->Press(1).Press(2).Press(1);
  Click(m, "cmdPrintEntry");
  EXPECT_FALSE(m->isEnabled()) << "disabled while the printer is looked up";
  EXPECT_TRUE(g.session->changeWatchPaused());
  g.messages->Press(1);  // the notice naming the files
  Settle(2);
  ASSERT_EQ(g.filePicker->proposed, QStringList{QStringLiteral("report-240017-20261207143005.pdf")});
  ASSERT_EQ(g.printing->documents.size(), 2u);
  const auto report = TextsOf(g.printing->documents[0]);
  EXPECT_TRUE(Has(report, "Kestrova report printout - Case Number 24/0017"));
  EXPECT_TRUE(Has(report, "(Narrative on following page(s)...)"));
  EXPECT_FALSE(Has(report, "(Case Notes on following page(s)...)"));
  EXPECT_TRUE(Has(TextsOf(g.printing->documents[1]), "Control Number 20240105090000 - Case Number 24/0017"));
  EXPECT_EQ(g.printing->files, (QStringList{chosen, out() + QStringLiteral("/mine-picture1.pdf")}));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Printout Saved"));
  EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("mine-picture1.pdf")));
  ExpectRestored(m);
}

TEST_F(Printing, StoppingOrCancellingTheSaveDialogPrintsNothing) {
  reports::ReportRecord r = testing::Report("24-1", 5);
  r.Narrative = "Text";
  Add(r);
  frmMain* m = Open();
  g.messages->Press(3);
  Click(m, "cmdPrintEntry");
  EXPECT_EQ(g.messages->asked.size(), 1);
  g.messages->Press(0);  // the close box on the first question
  Click(m, "cmdPrintEntry");
  g.messages->Press(1).Press(1);  // printed, but the save dialog is cancelled
  Click(m, "cmdPrintEntry");
  QTest::qWait(30);
  EXPECT_EQ(g.printing->lookups, 1);
  EXPECT_EQ(g.filePicker->proposed.size(), 1);
  EXPECT_TRUE(g.printing->documents.empty());
  EXPECT_EQ(g.messages->Pending(), 0);
  ExpectRestored(m);
}

TEST_F(Printing, APictureGoneSinceItWasShownIsLeftOutAfterOneNotice) {
  reports::ReportRecord r = testing::Report("24-1", 5);
  const QString gone = Picture("gone.png", 300, 100);
  r.Picture1 = gone.toStdString();
  r.Picture2 = "pictures/two.png";  // found in the data folder
  Picture("two.png", 100, 300);
  Add(r);
  frmMain* m = Open();
  ASSERT_TRUE(QFile::remove(gone));  // gone after the report was shown
  g.session->printToPdfFolder = out();
  QDir().mkpath(out());
  g.messages->Press(1).Press(1).Press(1).Press(1);  // pictures, ready, the error, the saved notice
  Click(m, "cmdPrintEntry");
  Settle(2);
  ASSERT_EQ(g.messages->asked.size(), 4);
  EXPECT_EQ(g.messages->asked[2].caption, QStringLiteral("File Access Error"));
  EXPECT_EQ(g.messages->asked[2].message,
            QStringLiteral("There is some kind of problem in\ntrying to access that picture file."));
  ASSERT_EQ(g.printing->documents.size(), 2u);
  EXPECT_EQ(g.printing->files[1], out() + QStringLiteral("/report-24-1-20261207143005-picture2.pdf"));

  // Its enlarged view does not open either.
  ShowPhotos(m);
  g.messages->Press(1);
  Click(m, "cmdLargerPic1");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("File Access Error"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(qobject_cast<frmLargePic*>(w));
}

TEST_F(Printing, TheListAnnouncesItsPagesAndGoesToTheDefaultPrinter) {
  for (int day = 1; day <= 71; ++day) Add(testing::Report("24-" + std::to_string(100 + day), day % 28 + 1));
  frmMain* m = Open();
  g.messages->Press(2);
  Click(m, "cmdPrintList");
  const MessageRequest& q = g.messages->Last();
  EXPECT_EQ(q.caption, QStringLiteral("Print List"));
  EXPECT_EQ(q.message, QStringLiteral("Printing this list will require about 2 page(s) to complete.\n\n"
                                      "Are you ready to proceed?"));
  EXPECT_EQ(q.defaultButton, 2);
  EXPECT_EQ(q.buttons,
            (QStringList{QStringLiteral("&Yes, continue"), QStringLiteral("&No, don't print this list right now")}));
  QTest::qWait(20);
  EXPECT_EQ(g.printing->lookups, 0);

  g.printing->printer = QStringLiteral("Office");
  g.messages->Press(1);
  Click(m, "cmdPrintList");
  Settle(1);
  ASSERT_EQ(g.printing->documents.size(), 1u);
  EXPECT_EQ(g.printing->documents[0].printer, QStringLiteral("Office"));
  const auto texts = TextsOf(g.printing->documents[0]);
  EXPECT_TRUE(Has(texts, "End of Printout"));
  EXPECT_TRUE(g.filePicker->proposed.isEmpty());
  EXPECT_EQ(g.messages->Pending(), 0) << "a printer's printout needs no notice";
  ExpectRestored(m);

  // A printer that fails halfway: one notice, the window back.
  g.printing->failAtPage = 2;
  g.messages->Press(1).Press(1);
  Click(m, "cmdPrintList");
  Settle(2);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Printing Failed"));
  EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("out of paper")));
  ExpectRestored(m);
}

TEST_F(Printing, TheEnlargedPictureItsPrintQuestionAndNumberedFiles) {
  reports::ReportRecord r = testing::Report("24-9", 5);
  r.Picture1 = Picture("wide.png", 400, 200).toStdString();
  Add(r);
  frmMain* m = Open();
  g.session->printToPdfFolder = out();
  QDir().mkpath(out());
  ShowPhotos(m);
  Click(m, "cmdLargerPic1");
  QTest::qWait(20);
  auto* large = qobject_cast<frmLargePic*>(QApplication::activeModalWidget());
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(large->windowTitle(), QStringLiteral("Control Number 20240105090000 - Case Number 24-9"));
  EXPECT_EQ(large->findChild<QWidget*>(QStringLiteral("cmdPrintPic"))->toolTip(),
            QStringLiteral(" Print this picture "));
  EXPECT_EQ(large->findChild<QWidget*>(QStringLiteral("cmdReturn"))->toolTip(),
            QStringLiteral(" Close this window <Esc> "));
  auto* img = large->findChild<QLabel*>(QStringLiteral("img"));
  EXPECT_EQ(img->size(), QSize(ToPixels(8000), ToPixels(4000)));
  EXPECT_EQ(large->size(), QSize(ToPixels(8300), ToPixels(5200)));

  g.messages->Press(2, true);  // cancelled, "Don't show this again" ticked
  Click(large, "cmdPrintPic");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Confirm Print Request"));
  EXPECT_EQ(g.messages->Last().iconKind, kIconWarning);
  QTest::qWait(20);
  EXPECT_TRUE(g.printing->documents.empty());
  for (int i = 0; i < 2; ++i) {
    g.messages->Press(1);  // the notice only
    Click(large, "cmdPrintPic");
    Settle(i + 1);
  }
  EXPECT_EQ(g.printing->files, (QStringList{out() + QStringLiteral("/picture-1-24-9-20261207143005.pdf"),
                                            out() + QStringLiteral("/picture-1-24-9-20261207143005-2.pdf")}));
  EXPECT_TRUE(large->isEnabled());
  QTest::keyClick(large, Qt::Key_Escape);
  QTest::qWait(20);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace kestrova::gui
