#pragma once

#include <QString>

// The names the program goes by in its captions and messages.
namespace kestrova::gui {

inline QString ApplicationTitle() { return QStringLiteral("Kestrova"); }
inline QString MakerName() { return QStringLiteral("the Kestrova team"); }
inline QString MakerEmail() { return QStringLiteral("support@kestrova.example"); }
inline QString MakerWebSite() { return QStringLiteral("www.kestrova.example"); }

}  // namespace kestrova::gui
