#pragma once

#include <QDialog>
#include <QList>

#include "core/users/user_record.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace kestrova::gui {

class Session;
class ZelButton;

// Adding a user, or viewing and editing one, modally.
class frmAddEditUser : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { Add, ViewEdit };
  // recordNumber: the user to show in View/Edit mode.
  frmAddEditUser(Session& session, Mode mode, int recordNumber, QWidget* parent = nullptr);

  static constexpr int kWidthTwips = 6100;
  static constexpr int kHeightTwips = 5655;
  static inline const QString kPasswordHint = QStringLiteral("<4 to 8 chars only>");

  // After exec: whether a user was saved, and its "Last First" for the list.
  bool saved() const { return saved_; }
  QString savedNameSort() const { return savedNameSort_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Form_Activate();
  void cmdSave_Click();
  bool Complete() const;
  void TextChanged();
  void CommentsChanged();
  void optAccessLevel_Click(int level);
  QString Tag() const;

  Session& session_;
  Mode mode_;
  int recordNumber_;
  int chosenLevel_ = 1;
  bool activated_ = false;
  bool saved_ = false;
  QString savedNameSort_;
  users::UserRecord shown_;                // the user as read, for View/Edit
  QString shownComments_;                  // the comments as shown when read
  QList<QLineEdit*> txtfield_;             // 1-3 (index 0 unused)
  QPlainTextEdit* txtComments_ = nullptr;  // txtfield 4
  QList<QRadioButton*> optAccessLevel_;    // 1-4 (index 0 unused)
  QLabel* lblDateCreated_ = nullptr;
  QLabel* lblSpaceFull_ = nullptr;
  ZelButton* cmdSave_ = nullptr;
  ZelButton* cmdCancel_ = nullptr;
};

// " 50% full ": how full a comments box of `length` characters is.
QString CommentsFullCaption(int length);

}  // namespace kestrova::gui
