#include "gui/output/email_report.h"

#include "core/output/report_email.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/session/shared_utilities.h"

namespace kestrova::gui {

void EmailReport(Session& session, QWidget* owner, const reports::FieldTexts46& shown, bool& skipNotice) {
  const MessageRequest notice{
      .caption = QStringLiteral("Emailing an Item..."),
      .iconKind = kIconInformation,
      .message = QStringLiteral("The 'People', 'Vehicle', and 'Property' information,\n"
                                "along with the 'Narrative' and 'Case Notes', are not\n"
                                "automatically included in the email's original text.\n\n"
                                "Only the basic information is included.\n\n"
                                "If you wish to include the\n'Narrative' and/or 'Case Notes',\n"
                                "cut/paste between the text fields\nand the body of the email form."),
      .showCheckBox = true,
      .buttons = {QStringLiteral("&Continue"), QStringLiteral("&Stop, don't send email")}};
  if (!AskUnlessSkipped(session, owner, skipNotice, notice)) return;
  const output::ReportEmail email = output::BuildReportEmail(shown);
  OpenAddress(session, kAddressEmail, owner, QString::fromStdString(output::MailtoQuery(email)));
}

}  // namespace kestrova::gui
