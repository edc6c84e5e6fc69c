#pragma once

#include <string>

#include "core/reports/report_entry.h"

// The e-mail a report's basic information goes out in.
namespace kestrova::output {

struct ReportEmail {
  std::string subject;
  std::string body;  // lines broken with CR LF
};

// From the texts the report form shows (fields 0-12, exactly as displayed)
// and the headings of fields 0-4.
ReportEmail BuildReportEmail(const reports::FieldTexts46& shown);

// "?subject=...&body=..." for a "mailto:" address: every byte of the UTF-8
// texts but the unreserved characters percent-encoded, so "&", "#", "%" and
// line breaks reach the mail program as they were written.
std::string MailtoQuery(const ReportEmail& email);

}  // namespace kestrova::output
