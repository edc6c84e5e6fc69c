#pragma once

#include "core/reports/report_entry.h"

class QWidget;

namespace kestrova::gui {

class Session;

// "Email this Report...": after its notice (unless the user ticked not to
// be asked again), hands the desktop's mail program a message with the
// shown report's basic information. Nothing is sent by the program itself.
void EmailReport(Session& session, QWidget* owner, const reports::FieldTexts46& shown, bool& skipNotice);

}  // namespace kestrova::gui
