#pragma once

#include <QStringList>

#include "core/controls/message.h"
#include "gui/ui/message_request.h"

namespace kestrova::gui {

// A question or notice the core worded, as the message dialog is asked it.
inline MessageRequest RequestFor(const controls::Message& m) {
  QStringList lines;
  for (const auto& line : m.lines) lines << QString::fromStdString(line);
  QStringList buttons;
  for (const auto& b : m.buttons) buttons << QString::fromStdString(b);
  return {.caption = QString::fromStdString(m.caption),
          .iconKind = static_cast<IconKind>(m.iconKind),
          .message = lines.join(QLatin1Char('\n')),
          .defaultButton = m.defaultButton,
          .buttons = buttons};
}

}  // namespace kestrova::gui
