#pragma once

#include <QWidget>

#include "core/logs/log_view.h"

class QLabel;
class QPlainTextEdit;
class QRadioButton;

namespace kestrova::gui {

class Session;
class ZelButton;

// The administrative window's activity-log viewer ("picLogs"): the four
// log options, the read-only text of the chosen log, its search and the
// note under it. It only reads the logs.
class LogReviewPanel : public QWidget {
  Q_OBJECT

 public:
  LogReviewPanel(Session& session, QWidget* parent);

  // Entering log review: the find buttons in their first state, and the log
  // shown last (the first one the first time) read afresh.
  void Enter();
  // Leaving log review: the text emptied.
  void Leave();
  // The search's finish button, which pulses and answers Escape while a
  // search runs.
  ZelButton* finishButton() const { return cmdFindFinished_; }
  bool searching() const { return searching_; }

 signals:
  // A search began (the window hides its way out of log review until it
  // ends) or ended.
  void SearchStarted();
  void SearchEnded();

 private:
  void optViewLog_Click(int index);
  void cmdFindText_Click();
  void cmdFindFinished_Click();
  void ShowLog(int index);
  void StartSearch();
  void FindNext();

  Session& session_;
  QRadioButton* optViewLog_[4] = {};
  QPlainTextEdit* txtLogText_ = nullptr;
  ZelButton* cmdFindText_ = nullptr;
  ZelButton* cmdFindFinished_ = nullptr;
  QLabel* labelLogNote_ = nullptr;
  int lastShown_ = 0;  // 1 to 4; 0 before the first
  QString searchText_;
  QString findTextTag_;
  bool searching_ = false;
  logs::ViewerSearch search_;
};

}  // namespace kestrova::gui
