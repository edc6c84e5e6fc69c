#include "gui/reports/command_bar.h"

#include <QHBoxLayout>
#include <QString>
#include <QWidget>

#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

using reports::Command;

int Px(int twips) { return ToPixels(twips); }

}  // namespace

CommandBar::CommandBar(QWidget* window) : QObject(window) {
  const auto make = [&](Command c, QWidget* parent, const QString& caption = {}) {
    ZelButton* b =
        MakeCommandButton(parent, QString::fromLatin1(reports::CommandName(c).data()), QColor(232, 236, 244));
    if (!caption.isEmpty()) b->setCaption(caption);
    b->setFixedHeight(Px(450));
    b->setMinimumWidth(Px(1100));
    buttons_[static_cast<std::size_t>(c)] = b;
    return b;
  };
  make(Command::RefreshGrid, window, QStringLiteral("Refresh &List"))->setFixedWidth(Px(1600));
  make(Command::NetworkInfo, window, QStringLiteral("Networ&k"))->setFixedWidth(Px(1600));

  const auto row = [&](const char* name, std::initializer_list<std::pair<Command, QString>> commands) {
    auto* w = new QWidget(window);
    w->setObjectName(QString::fromLatin1(name));
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Px(60));
    for (const auto& [c, caption] : commands) layout->addWidget(make(c, w, caption));
    layout->addStretch();
    return w;
  };
  rows_[0] = row("commandRow1", {{Command::AddEntry, {}},
                                 {Command::AddSave, {}},
                                 {Command::AddCancel, {}},
                                 {Command::EditEntry, {}},
                                 {Command::EditSave, {}},
                                 {Command::EditCancel, {}},
                                 {Command::ArchiveEntry, {}},
                                 {Command::RestoreEntry, {}},
                                 {Command::DeleteEntry, {}},
                                 {Command::PrintEntry, {}},
                                 {Command::EmailEntry, {}}});
  rows_[1] = row("commandRow2", {{Command::FindEntries, {}},
                                 {Command::SeeAllEntries, {}},
                                 {Command::PrintList, {}},
                                 {Command::Help, QStringLiteral("&Help")},
                                 {Command::About, QStringLiteral("A&bout")},
                                 {Command::UserInfo, QStringLiteral("User &Info")},
                                 {Command::AdminWindow, QStringLiteral("Ad&ministrative Window")},
                                 {Command::Quit, QStringLiteral("&Quit")}});
  // Every caption from the start: the window's size is measured before
  // the first state is applied.
  for (const reports::CommandLook& look : reports::CommandState(reports::MainWindowState{}, {})) {
    if (!look.caption.empty()) button(look.command)->setCaption(QString::fromStdString(look.caption));
  }
}

void CommandBar::Apply(const std::vector<reports::CommandLook>& looks) {
  for (const reports::CommandLook& look : looks) {
    ZelButton* b = button(look.command);
    if (!look.caption.empty()) b->setCaption(QString::fromStdString(look.caption));
    if (!look.toolTip.empty()) b->setToolTip(QString::fromStdString(look.toolTip));
    b->setVisible(look.visible);
    if (look.visible) b->setEnabled(look.enabled);
    b->Refresh();
  }
}

}  // namespace kestrova::gui
