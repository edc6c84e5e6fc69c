#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "core/reports/data_file.h"
#include "core/reports/report_actions.h"
#include "core/time/ole_date.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/report_form.h"
#include "gui/ui/zel_button.h"
#include "gui/window_flow.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"
#include "support/main_window_face.h"
#include "support/processes.h"

namespace kestrova::testing {

inline reports::ReportRecord Report(const std::string& caseNumber, int day, std::uint8_t list = reports::kActiveList) {
  reports::ReportRecord r;
  r.ControlNumber = time::ToOleDate({2024, 1, day, 9, 0, 0});
  r.CaseNumber = caseNumber;
  r.Title = "Title " + caseNumber;
  r.ReportMadeBy = "Ofc. Test";
  r.DateEntered = time::ToOleDate({2024, 1, day, 9, 0, 0});
  r.ListStatus = list;
  r.ProgramVersion = 414;
  return r;
}

// A main window signed in as "Al Adams" (Full Access) on a fresh folder.
class MainWindowFixture : public ::testing::Test {
 protected:
  using Session = gui::Session;
  void SetUp() override { g.session->signIn = {"Al Adams", users::AccessLevel::FullAccess}; }
  void TearDown() override { testing::CloseAllWindows(*g.session); }
  void Add(const reports::ReportRecord& r) { ASSERT_TRUE(reports::AppendReport(g.folder.path(), r).ok()); }
  gui::frmMain* Open() {
    gui::frmMain* main = g.flow->OpenMainWindow();
    Activate(main);
    return main;
  }
  static gui::ZelButton* Cmd(gui::frmMain* m, const char* name) {
    return m->findChild<gui::ZelButton*>(QString::fromLatin1(name));
  }
  static void Type(gui::frmMain* m, int field, const QString& text) {
    FormOf(m)->FocusField(field);
    QCoreApplication::processEvents();
    FormOf(m)->SetFieldText(field, text);
  }
  std::string Log() { return testing::ReadFileBytes(g.folder / "DataRecords.Log"); }
  // Another workstation: a process of its own, without this one's hooks.
  void Elsewhere(const std::function<bool()>& write) {
    ASSERT_TRUE(testing::RunInChildren(1, [&](int) { return write() ? 0 : 1; }));
  }
  // Runs the one-second change watch `seconds` times, the clock a second further each time.
  void Seconds(gui::frmMain* m, int seconds) {
    auto* timer = m->findChild<QTimer*>(QStringLiteral("timerConcurrentUserCheck"));
    ASSERT_NE(timer, nullptr);
    timer->setInterval(1);
    for (int i = 0; i < seconds; ++i) {
      now_ += 1.0 / 86400;
      g.clock->Set(*time::FromOleDate(now_));
      QTest::qWait(15);
    }
    timer->setInterval(1000);
  }
  QColor RefreshBack(gui::frmMain* m) { return Cmd(m, "cmdRefreshGrid")->BackColor(); }
  bool RefreshResting(gui::frmMain* m) { return RefreshBack(m) == QColor(232, 236, 244); }
  double now_ = time::ToOleDate({2026, 12, 6, 14, 5, 0});
  reports::ReportRecord Stored(int n) {
    reports::DataFile data(g.folder.path());
    EXPECT_TRUE(data.OpenDataFile(reports::DataFileAccess::Read).ok());
    return data.ReadRecord(n).value();
  }
  GuiSession g;
};

}  // namespace kestrova::testing
