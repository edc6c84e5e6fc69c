#include "gui/reports/form_field.h"

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QPlainTextEdit>

#include "core/reports/report_entry.h"
#include "gui/ui/twips.h"

namespace kestrova::gui::form_field {

QString Text(const QWidget* field) {
  if (auto* line = qobject_cast<const QLineEdit*>(field)) return line->text();
  if (auto* box = qobject_cast<const QPlainTextEdit*>(field)) return box->toPlainText();
  return {};
}

void SetText(QWidget* field, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(field)) {
    if (line->text() != text) line->setText(text);
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(field)) {
    if (box->toPlainText() != text) box->setPlainText(text);
  }
}

void SetReadOnly(QWidget* field, bool readOnly) {
  if (auto* line = qobject_cast<QLineEdit*>(field)) line->setReadOnly(readOnly);
  if (auto* box = qobject_cast<QPlainTextEdit*>(field)) box->setReadOnly(readOnly);
}

void Clear(QWidget* field) {
  if (auto* line = qobject_cast<QLineEdit*>(field)) line->clear();
  if (auto* box = qobject_cast<QPlainTextEdit*>(field)) box->clear();
}

void Paint(QWidget* field, const QColor& back, const QColor& text) {
  QPalette p = field->palette();
  p.setColor(QPalette::Base, back);
  if (text.isValid()) p.setColor(QPalette::Text, text);
  field->setPalette(p);
}

QString HeadingText(std::string_view heading) {
  return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()))
      .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void SetHeadingBold(QLabel* heading, bool bold) {
  QFont font = heading->font();
  font.setBold(bold);
  heading->setFont(font);
  if (heading->sizeHint().width() > heading->width()) {
    heading->resize(heading->sizeHint().width(), heading->height());
  }
}

QPoint PickListPlace(int field, const QSize& window) {
  const int w = ToTwips(window.width());
  const int h = ToTwips(window.height());
  return field <= 21   ? QPoint(ToPixels(w - 2000), ToPixels(h - 4900))
         : field <= 30 ? QPoint(ToPixels(w - 2100), ToPixels(h - 4550))
                       : QPoint(ToPixels(w - 2100), ToPixels(h - 4250));
}

int ChooseFromMenu(QWidget* parent, const reports::PickList& list, const QPoint& at) {
  QMenu menu(parent);
  menu.setTitle(QString::fromStdString(list.caption));
  QList<QAction*> actions;
  for (const std::string& item : list.items) {
    actions.append(item.empty() ? menu.addSeparator() : menu.addAction(QString::fromStdString(item)));
  }
  QAction* chosen = menu.exec(at);
  return chosen ? static_cast<int>(actions.indexOf(chosen)) + 1 : 0;
}

}  // namespace kestrova::gui::form_field
