#pragma once

#include <QLabel>
#include <QTableView>
#include <QWidget>

#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"

// The main window's parts as a test finds them: by their object names, as
// any widget in the window, never through the window's own accessors.
namespace kestrova::testing {

inline gui::ReportForm* FormOf(const QWidget* window) {
  return window->findChild<gui::ReportForm*>(QStringLiteral("MainTab"));
}
inline gui::ReportListPanel& ListOf(const QWidget* window) {
  return *window->findChild<gui::ReportListPanel*>(QStringLiteral("reportList"));
}
inline QTableView* GridOf(const QWidget* window) { return window->findChild<QTableView*>(QStringLiteral("grid")); }
inline gui::ReportListModel& ModelOf(const QWidget* window) { return ListOf(window).model(); }
// One of a picture slot's parts: "imgPic", "lblPic", "cmdAddEditPic",
// "cmdLargerPic" or "cmdDeletePic", with the slot's number (1 to 3).
template <typename Part = QWidget>
inline Part* PictureOf(const QWidget* window, const char* part, int slot) {
  return window->findChild<Part*>(QString::fromLatin1(part) + QString::number(slot));
}

}  // namespace kestrova::testing
