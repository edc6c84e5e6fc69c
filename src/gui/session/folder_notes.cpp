#include "gui/session/folder_notes.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {

FolderNotes::~FolderNotes() { delete note_; }

bool FolderNotes::Waiting(const files::LockWait& wait) {
  if (wait.finished) {
    delete note_;
    waiting_ = false;
    cancelled_ = false;
    return true;
  }
  if (!note_) {
    cancelled_ = false;
    auto* note = new QDialog(QApplication::activeWindow());
    note->setObjectName(QStringLiteral("frmFolderWait"));
    note->setWindowTitle(session_.applicationTitle());
    note->setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(note);
    noteText_ = new QLabel(note);
    noteText_->setObjectName(QStringLiteral("lblFolderWait"));
    layout->addWidget(noteText_);
    ZelButton* cancel = MakeCommandButton(note, QStringLiteral("cmdCancelWait"), QColor(224, 224, 224));
    cancel->setCaption(QStringLiteral("&Cancel"));
    cancel->setFixedSize(120, 30);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    SetCancelButton(note, cancel);
    QObject::connect(cancel, &ZelButton::Click, note, [this] { cancelled_ = true; });
    note_ = note;
    note->show();
  }
  waiting_ = true;
  const QString who = wait.holder.empty()
                          ? QString()
                          : QStringLiteral(" (") + QString::fromStdString(wait.holder) + QStringLiteral(")");
  const auto left = std::max<long long>(0, (wait.limit - wait.waited).count() + 999) / 1000;
  noteText_->setText(QStringLiteral("Waiting for another workstation") + who +
                     QStringLiteral("\nto finish writing to the data folder...\n\nAt most ") + QString::number(left) +
                     QStringLiteral(" seconds more."));
  QApplication::processEvents();
  return !cancelled_;
}

void FolderNotes::Notice(const files::FolderNotice& notice) {
  if (!told_.insert(notice.message).second) return;
  pending_.push_back(notice);
  // Shown once the operation is over: the folder's lock may be held now.
  QTimer::singleShot(0, &context_, [this] { ShowPending(); });
}

void FolderNotes::ShowPending() {
  if (waiting_) {
    QTimer::singleShot(50, &context_, [this] { ShowPending(); });
    return;
  }
  while (!pending_.empty()) {
    const files::FolderNotice notice = pending_.front();
    pending_.erase(pending_.begin());
    const bool repaired = notice.kind == files::FolderNotice::Kind::Repaired;
    const bool users = notice.fileName == "User.List";
    const QString caption = repaired ? QStringLiteral("Interrupted Save Repaired")
                            : users  ? QStringLiteral("User List Problem")
                                     : QStringLiteral("Data File Problem");
    ShowNotice(session_, QApplication::activeWindow(), caption, QString::fromStdString(notice.message),
               repaired ? kIconInformation : kIconWarning);
  }
}

}  // namespace kestrova::gui
