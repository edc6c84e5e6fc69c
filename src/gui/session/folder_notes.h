#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <set>
#include <string>
#include <vector>

#include "core/files/folder_events.h"

class QDialog;
class QLabel;

namespace kestrova::gui {

class Session;

// How the windows show what the shared data folder tells them (the
// session's data folder names these in its options):
// - while a write waits for another workstation, a "waiting for another
//   workstation" note with Cancel; the windows go on repainting, but take
//   no other input until the wait is over;
// - a repaired file or a damaged one, in a notice shown once, after the
//   operation that found it (never while the folder's lock is held).
class FolderNotes {
 public:
  explicit FolderNotes(Session& session) : session_(session) {}
  ~FolderNotes();
  FolderNotes(const FolderNotes&) = delete;
  FolderNotes& operator=(const FolderNotes&) = delete;

  // A write waits for another workstation: false when the user cancelled.
  bool Waiting(const files::LockWait& wait);
  void Notice(const files::FolderNotice& notice);

 private:
  void ShowPending();

  Session& session_;
  QObject context_;  // a notice still queued dies with this object
  QPointer<QDialog> note_;
  QLabel* noteText_ = nullptr;
  bool cancelled_ = false;
  bool waiting_ = false;
  std::set<std::string> told_;
  std::vector<files::FolderNotice> pending_;
};

}  // namespace kestrova::gui
