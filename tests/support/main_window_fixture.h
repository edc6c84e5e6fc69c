#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <string>

#include "core/reports/data_file.h"
#include "core/reports/report_actions.h"
#include "core/time/ole_date.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/report_form.h"
#include "gui/window_flow.h"
#include "gui/ui/zel_button.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"
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
    gui::frmMain* main = g.session->flow().OpenMainWindow();
    main->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(main));
    main->Form_Activate();
    return main;
  }
  static gui::ZelButton* Cmd(gui::frmMain* m, const char* name) {
    return m->findChild<gui::ZelButton*>(QString::fromLatin1(name));
  }
  static void Type(gui::frmMain* m, int field, const QString& text) {
    m->form()->FocusField(field);
    QCoreApplication::processEvents();
    m->form()->SetFieldText(field, text);
  }
  std::string Log() { return testing::ReadFileBytes(g.folder / "DataRecords.Log"); }
  reports::ReportRecord Stored(int n) {
    reports::DataFile data(g.folder.path());
    EXPECT_TRUE(data.OpenDataFile(reports::DataFileAccess::Read).ok());
    return data.ReadRecord(n).value();
  }
  GuiSession g;
};

}  // namespace kestrova::testing
