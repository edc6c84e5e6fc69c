#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

#include "core/reports/report_entry.h"
#include "core/reports/report_writing.h"
#include "gui/reports/main_window_parts.h"

namespace kestrova::gui {

class BrowsingSide;

// The main window's writing side: adding a report (from an empty form, or
// a template of the shown one) and editing the shown one, from the first
// click to the save or the cancel. While a report is written nothing may
// replace the shown report or the list, and the save goes where the
// writing began.
class WritingSide : public QObject {
  Q_OBJECT

 public:
  enum class Mode { Viewing, Adding, Editing };

  WritingSide(const MainWindowParts& parts, BrowsingSide& browsing);

  Mode mode() const { return mode_; }
  bool adding() const { return mode_ == Mode::Adding; }
  bool editing() const { return mode_ == Mode::Editing; }
  bool templateAdd() const { return template_; }
  // An edit can be saved once something changed, a new report at once;
  // both only with the four mandatory fields filled.
  void SaveButtonRule();

 signals:
  // What the commands show has to be worked out again.
  void CommandsStale();
  // Adding shows the form alone: the list and its side go out of sight.
  void FormAlone(bool alone);

 private:
  void SetMode(Mode mode);
  reports::Author Author() const;
  void StartAdding(bool rightButton);
  void cmdAddSave_Click();
  void EndAdding(const QString& savedCase);
  void cmdEditEntry_Click();
  void cmdEditSave_Click();
  void EndEditing(bool saved);
  // The report being edited is gone or was changed elsewhere: the user's
  // text is kept, as a new report or in the form.
  void EditRefused(std::int32_t changedReportAt);
  void SaveEditAsNew();

  MainWindowParts parts_;
  BrowsingSide& browsing_;
  Mode mode_ = Mode::Viewing;
  bool template_ = false;
  bool entriesChanged_ = false;  // since writing began
  reports::FieldTexts46 textsAtEditStart_;
};

}  // namespace kestrova::gui
