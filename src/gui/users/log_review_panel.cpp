#include "gui/users/log_review_panel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "core/logs/log_view_texts.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/message_from_core.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

LogReviewPanel::LogReviewPanel(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("picLogs"));
  const QScreen* s = parent->screen();
  const auto px = [s](int twips) { return ToPixels(twips, s); };
  resize(px(6160), px(4150));
  // The options share their row by the room their captions need.
  auto* options = new QHBoxLayout;
  options->setSpacing(px(60));
  for (int i = 0; i < 4; ++i) {
    const logs::LogOption& o = logs::kLogOptions[static_cast<std::size_t>(i)];
    auto* option = new QRadioButton(Q(o.captionTop) + QLatin1Char('\n') + Q(o.captionBottom), this);
    option->setObjectName(QStringLiteral("optViewLog%1").arg(i + 1));
    option->setToolTip(Q(o.toolTip));
    connect(option, &QRadioButton::clicked, this, [this, i] { optViewLog_Click(i + 1); });
    options->addWidget(option);
    optViewLog_[i] = option;
  }
  options->addStretch();
  txtLogText_ = new QPlainTextEdit(this);
  txtLogText_->setObjectName(QStringLiteral("txtLogText"));
  txtLogText_->setReadOnly(true);
  // Read-only, but the text can be selected and copied, and the caret shows where.
  txtLogText_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  txtLogText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  const QColor plain(232, 236, 244);
  cmdFindText_ = MakeCommandButton(this, QStringLiteral("cmdFindText"), plain);
  cmdFindText_->setFixedSize(px(1700), px(420));
  cmdFindFinished_ = MakeCommandButton(this, QStringLiteral("cmdFindFinished"), QColor(255, 128, 255));
  cmdFindFinished_->setFixedSize(px(1300), px(420));
  cmdFindFinished_->hide();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdFindText_);
  buttons->addWidget(cmdFindFinished_);
  buttons->addStretch();
  labelLogNote_ = new QLabel(Q(logs::kLogNoteLines[0]) + QLatin1Char('\n') + Q(logs::kLogNoteLines[1]), this);
  labelLogNote_->setObjectName(QStringLiteral("labelLogNote"));
  labelLogNote_->setAlignment(Qt::AlignCenter);
  labelLogNote_->hide();
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addLayout(options);
  column->addWidget(txtLogText_, 1);
  column->addLayout(buttons);
  column->addWidget(labelLogNote_);
  // The note's room is kept while it is hidden, so the text does not jump.
  QSizePolicy keep = labelLogNote_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  labelLogNote_->setSizePolicy(keep);
  QSizePolicy keepButton = cmdFindFinished_->sizePolicy();
  keepButton.setRetainSizeWhenHidden(true);
  cmdFindFinished_->setSizePolicy(keepButton);
  connect(cmdFindText_, &ZelButton::Click, this, &LogReviewPanel::cmdFindText_Click);
  connect(cmdFindFinished_, &ZelButton::Click, this, &LogReviewPanel::cmdFindFinished_Click);
  hide();
}

void LogReviewPanel::Enter() {
  cmdFindText_->setCaption(Q(logs::kFindTextCaption));
  cmdFindText_->setToolTip(Q(logs::kFindTextToolTip));
  cmdFindText_->show();
  cmdFindFinished_->setCaption(Q(logs::kFindFinishedCaption));
  cmdFindFinished_->setToolTip(Q(logs::kFindFinishedToolTip));
  cmdFindFinished_->hide();
  show();
  const int index = lastShown_ == 0 ? 1 : lastShown_;
  optViewLog_[index - 1]->setChecked(true);
  ShowLog(index);
}

void LogReviewPanel::Leave() {
  txtLogText_->clear();
  hide();
}

void LogReviewPanel::optViewLog_Click(int index) {
  ShowLog(index);
  // During a search the search goes on in the new text.
}

void LogReviewPanel::ShowLog(int index) {
  lastShown_ = index;
  txtLogText_->clear();
  const auto& option = logs::kLogOptions[static_cast<std::size_t>(index - 1)];
  const logs::LogView view = logs::ViewLog(session_.folder().path(), option.fileName);
  txtLogText_->setPlainText(Q(view.text));
  labelLogNote_->setVisible(view.hasEntries);
  // The newest lines in view.
  if (view.hasEntries) txtLogText_->moveCursor(QTextCursor::End);
  QApplication::processEvents();
  txtLogText_->setFocus();
}

void LogReviewPanel::cmdFindText_Click() {
  if (!searching_) {
    StartSearch();
  } else {
    FindNext();
  }
}

void LogReviewPanel::StartSearch() {
  const auto answer = session_.inputBox().Ask(
      {.prompt = Q(logs::kSearchBoxPrompt), .title = Q(logs::kSearchBoxTitle), .defaultText = searchText_}, window());
  searchText_ = answer.value_or(QString());
  if (searchText_.isEmpty()) return;
  searching_ = true;
  findTextTag_ = cmdFindText_->Caption();
  cmdFindText_->setToolTip(Q(logs::LookingForToolTip(searchText_.toStdString())));
  cmdFindFinished_->show();
  emit SearchStarted();
  search_.Restart();
  FindNext();
}

void LogReviewPanel::FindNext() {
  // Looked for in the text as the box shows it, so the selection is the match.
  const std::string query = searchText_.toStdString();
  const logs::ViewerSearch::Step step =
      search_.FindNext(logs::TextFinder(txtLogText_->toPlainText().toStdString()), query);
  switch (step.answer) {
    case logs::ViewerSearch::Answer::Found: {
      cmdFindText_->setCaption(Q(logs::kFindNextCaption));
      QTextCursor cursor = txtLogText_->textCursor();
      cursor.setPosition(static_cast<int>(step.match.start));
      cursor.setPosition(static_cast<int>(step.match.start + step.match.length), QTextCursor::KeepAnchor);
      txtLogText_->setTextCursor(cursor);
      QApplication::processEvents();
      txtLogText_->setFocus();
      return;
    }
    case logs::ViewerSearch::Answer::NoSuchText: {
      const int pressed = ShowMessage(session_, RequestFor(logs::NoSuchTextMessage(query)), window()).pressedButton;
      cmdFindFinished_Click();
      if (pressed == 1) StartSearch();
      return;
    }
    case logs::ViewerSearch::Answer::EndOfText: {
      if (ShowMessage(session_, RequestFor(logs::EndOfTextMessage()), window()).pressedButton == 1) {
        search_.Restart();
        FindNext();
      } else {
        cmdFindFinished_Click();
      }
      return;
    }
  }
}

void LogReviewPanel::cmdFindFinished_Click() {
  if (!searching_) return;
  searching_ = false;
  cmdFindText_->setCaption(findTextTag_);
  cmdFindText_->setToolTip(QString());
  cmdFindFinished_->hide();
  emit SearchEnded();
}

}  // namespace kestrova::gui
