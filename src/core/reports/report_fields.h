#pragma once

#include <array>
#include <string_view>

#include "core/reports/report_record.h"

// The report form's 46 fields: one table for what each field is.
namespace kestrova::reports {

inline constexpr int kFieldCount = 46;

enum class FieldKind {
  ControlNumber,  // shown, never typed
  Text,
  Date,      // typed dates and times
  Value,     // currency
  Context,   // text with a pick-list
  LongText,  // multi-line, CR LF breaks
};

struct FieldFact {
  int number;
  std::string_view member;  // the ReportRecord member it shows
  int tab;
  FieldKind kind;
  bool mandatory;
  int maxLength;  // characters, as stored
  std::string_view heading;
};

namespace fields_detail {
using K = FieldKind;
inline constexpr std::string_view kWhen = "Use 'mm/dd/yyyy  hh:mm' format";
inline constexpr std::string_view kName = "Name  R/S/A  DOB  SS# (Or Name of Business)";
inline constexpr std::string_view kContact = "Address & Contact Information";
inline constexpr std::string_view kVehicle = "Year Make Model Lic#";
inline constexpr std::string_view kVehicleDetails =
    "Other Descriptive Information (Color, Style, Identifying Features, etc.)";
inline constexpr std::string_view kItem = "Basic Info - Item Name, Brand Name, etc.";
inline constexpr std::string_view kItemDetails = "Other Information (Color, Style, Serial#, etc.)";
}  // namespace fields_detail

inline constexpr std::array<FieldFact, kFieldCount> kFields = [] {
  using namespace fields_detail;
  return std::array<FieldFact, kFieldCount>{{
      {0, "ControlNumber", 0, K::ControlNumber, false, 14, "Control Number"},
      {1, "CaseNumber", 0, K::Text, true, 15, "Case Number"},
      {2, "Title", 0, K::Text, true, 50, "Title or Descriptive Remarks"},
      {3, "CriminalViolations", 0, K::Text, false, 50, "Criminal Violation(s) (if any)"},
      {4, "ReportMadeBy", 0, K::Text, true, 50, "This Report Made by"},
      {5, "DateEntered", 0, K::Date, true, 25, kWhen},
      {6, "OccurredFrom", 1, K::Date, false, 25, kWhen},
      {7, "OccurredTo", 1, K::Date, false, 25, kWhen},
      {8, "LocationOccurred", 1, K::Text, false, 50, "Location Occurred"},
      {9, "ReportedOn", 1, K::Date, false, 25, kWhen},
      {10, "LocationReported", 1, K::Text, false, 50, "Location Reported"},
      {11, "ReportedByName", 1, K::Text, false, 40, kName},
      {12, "ReportedByContext", 1, K::Context, false, 15, "Context"},
      {13, "ReportedByContact", 1, K::Text, false, 50, kContact},
      {14, "Person1Name", 2, K::Text, false, 40, kName},
      {15, "Person1Context", 2, K::Context, false, 15, "Context"},
      {16, "Person1Contact", 2, K::Text, false, 50, kContact},
      {17, "Person2Name", 2, K::Text, false, 40, kName},
      {18, "Person2Context", 2, K::Context, false, 15, "Context"},
      {19, "Person2Contact", 2, K::Text, false, 50, kContact},
      {20, "Person3Name", 2, K::Text, false, 40, kName},
      {21, "Person3Context", 2, K::Context, false, 15, "Context"},
      {22, "Person3Contact", 2, K::Text, false, 50, kContact},
      {23, "Vehicle1Description", 3, K::Text, false, 40, kVehicle},
      {24, "Vehicle1Context", 3, K::Context, false, 15, "Context"},
      {25, "Vehicle1Details", 3, K::Text, false, 50, kVehicleDetails},
      {26, "Vehicle2Description", 3, K::Text, false, 40, kVehicle},
      {27, "Vehicle2Context", 3, K::Context, false, 15, "Context"},
      {28, "Vehicle2Details", 3, K::Text, false, 50, kVehicleDetails},
      {29, "Vehicle3Description", 3, K::Text, false, 40, kVehicle},
      {30, "Vehicle3Context", 3, K::Context, false, 15, "Context"},
      {31, "Vehicle3Details", 3, K::Text, false, 50, kVehicleDetails},
      {32, "Property1Item", 4, K::Text, false, 40, kItem},
      {33, "Property1Context", 4, K::Context, false, 15, "Context"},
      {34, "Property1Details", 4, K::Text, false, 50, kItemDetails},
      {35, "Property1Value", 4, K::Value, false, 15, "Value"},
      {36, "Property2Item", 4, K::Text, false, 40, kItem},
      {37, "Property2Context", 4, K::Context, false, 15, "Context"},
      {38, "Property2Details", 4, K::Text, false, 50, kItemDetails},
      {39, "Property2Value", 4, K::Value, false, 15, "Value"},
      {40, "Property3Item", 4, K::Text, false, 40, kItem},
      {41, "Property3Context", 4, K::Context, false, 15, "Context"},
      {42, "Property3Details", 4, K::Text, false, 50, kItemDetails},
      {43, "Property3Value", 4, K::Value, false, 15, "Value"},
      {44, "Narrative", 6, K::LongText, false, 16000, "Incident report narrative"},
      {45, "CaseNotes", 6, K::LongText, false, 2169, "Investigative case notes, etc."},
  }};
}();

constexpr const FieldFact& Field(int n) { return kFields[static_cast<std::size_t>(n)]; }

// A typed text is held whole by its member: text fields take exactly their
// member's width.
constexpr bool FieldsFitTheirMembers() {
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    const FieldFact& f = kFields[i];
    if (f.number != static_cast<int>(i)) return false;
    const bool text = f.kind == FieldKind::Text || f.kind == FieldKind::Context || f.kind == FieldKind::LongText;
    if (text && static_cast<std::size_t>(f.maxLength) != SpanOf(f.member).width) return false;
  }
  return true;
}
static_assert(FieldsFitTheirMembers());

// The field the caret goes to when a tab shows while writing; 0 for none.
constexpr int FirstFieldOfTab(int tab) {
  for (const FieldFact& f : kFields) {
    if (f.number > 0 && f.tab == tab) return f.number;
  }
  return 0;
}

}  // namespace kestrova::reports
