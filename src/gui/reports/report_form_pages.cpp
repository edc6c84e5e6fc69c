#include "gui/reports/report_form_pages.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "core/reports/report_entry.h"
#include "gui/reports/form_field.h"
#include "gui/reports/report_form_layout.h"
#include "gui/session/text_limits.h"
#include "gui/ui/twips.h"

namespace kestrova::gui {
namespace {

QRect Rect(const form_layout::Box& at) {
  return {ToPixels(at.x), ToPixels(at.y), ToPixels(at.width), ToPixels(at.height)};
}

QLabel* Caption(QWidget* frame, const QString& name, const QString& text, const form_layout::Box& at) {
  auto* l = new QLabel(text, frame);
  l->setObjectName(name);
  l->setGeometry(Rect(at));
  return l;
}

// A heading the form shows from the start: its field's heading.
QString DesignHeading(int n) { return form_field::HeadingText(reports::FieldHeading(n)); }

QWidget* Field(Session& session, QWidget* frame, int n) {
  QWidget* w = nullptr;
  if (n == 44 || n == 45) {
    auto* box = new QPlainTextEdit(frame);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab walks the fields; it is not typed into the text.
    box->setTabChangesFocus(true);
    w = box;
  } else {
    auto* e = new QLineEdit(frame);
    if (n == 0) {
      e->setMaxLength(reports::FieldMaxLength(n));
    } else {
      LimitLineLength(session, e, reports::FieldMaxLength(n),
                      [n] { return QString::fromStdString(reports::FieldName(n)); });
    }
    w = e;
  }
  w->setObjectName(QStringLiteral("txtfield%1").arg(n));
  w->setGeometry(Rect(form_layout::Place(n).field));
  // A screen reader names the field as the save's messages do, whatever its
  // heading shows at the moment.
  w->setAccessibleName(QString::fromStdString(reports::FieldName(n)));
  return w;
}

}  // namespace

FormPages BuildFormPages(QTabWidget& form, Session& session) {
  FormPages built;
  std::array<QWidget*, 7> pages{};
  const char* const captions[] = {"&Administrative", "(&Wh)o/en/ere", "&People",       "&Vehicle(s)",
                                  "P&roperty",       "Photo(s)",      "&Documentation"};
  for (std::size_t tab = 0; tab < pages.size(); ++tab) {
    pages[tab] = new QWidget(&form);
    form.addTab(pages[tab], QString::fromLatin1(captions[tab]));
  }
  auto* occurred = new QGroupBox(QStringLiteral(" Occurred "), pages[1]);
  occurred->setGeometry(Rect({150, 80, 12200, 1650}));
  Caption(occurred, QStringLiteral("lblField50"), QStringLiteral("on"), {150, 560, 300, 240});
  Caption(occurred, QStringLiteral("lblField51"), QStringLiteral("or     <---from/to--->"), {3800, 560, 2000, 240});
  auto* reported = new QGroupBox(QStringLiteral(" Reported "), pages[1]);
  reported->setGeometry(Rect({150, 1800, 12200, 2950}));
  Caption(reported, QStringLiteral("lblField46"), QStringLiteral("on"), {150, 560, 300, 240});

  for (int n = 0; n < reports::kFieldCount; ++n) {
    const form_layout::FieldPlace& place = form_layout::Place(n);
    QWidget* frame = place.frame == form_layout::Frame::Occurred ? occurred
                     : place.frame == form_layout::Frame::Reported
                         ? reported
                         : pages[static_cast<std::size_t>(reports::FieldTab(n))];
    QLabel* heading = Caption(frame, QStringLiteral("lblField%1").arg(n),
                              place.headingAtStart ? DesignHeading(n) : QString(), place.heading);
    QWidget* field = Field(session, frame, n);
    heading->setBuddy(field);
    built.fields[static_cast<std::size_t>(n)] = field;
    built.headings[static_cast<std::size_t>(n)] = heading;
  }
  QLabel* notice = Caption(pages[0], QStringLiteral("lblMinimumEntryNotice"),
                           QStringLiteral("(Red headings are mandatory)"), {200, 3450, 5000, 260});
  notice->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
  notice->hide();
  QFont bold = built.fields[1]->font();
  bold.setBold(true);
  built.fields[1]->setFont(bold);

  // Above each long box's right edge, on its own line clear of the heading.
  for (int n : {44, 45}) {
    QLabel* full =
        Caption(pages[6], QStringLiteral("lblSpaceFull%1").arg(n), QString(), {n == 44 ? 6400 : 10500, 360, 1800, 240});
    full->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    full->hide();
    (n == 44 ? built.spaceFull44 : built.spaceFull45) = full;
  }
  built.photos = pages[5];
  return built;
}

}  // namespace kestrova::gui
