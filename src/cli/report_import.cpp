#include "cli/report_import.h"

#include <charconv>
#include <cstdio>
#include <iterator>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "core/text/csv.h"
#include "core/text/currency.h"
#include "core/time/ole_date.h"

namespace kestrova::cli {
namespace {

using reports::MemberType;
using reports::ReportMember;
using reports::ReportRecord;

// "YYYY-MM-DDTHH:MM:SS", as export writes a date.
std::optional<double> IsoDateTime(const std::string& text) {
  time::DateTime dt;
  char tail = 0;
  if (text.size() != 19 || std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &dt.year, &dt.month, &dt.day,
                                       &dt.hour, &dt.minute, &dt.second, &tail) != 6) {
    return std::nullopt;
  }
  if (!time::IsValidDateTime(dt)) return std::nullopt;
  return time::ToOleDate(dt);
}

template <class T>
std::optional<T> Whole(const std::string& text) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// A member from its text as export shows it (CSV, and JSON's strings);
// the reason when it is not one.
std::optional<std::string> SetFromText(ReportRecord& r, const ReportMember& m, const std::string& text) {
  switch (m.type) {
    case MemberType::Text: r.*m.text = text; return std::nullopt;
    case MemberType::Date:
      if (text.empty()) {
        r.*m.date = 0;
      } else if (auto value = IsoDateTime(text)) {
        r.*m.date = *value;
      } else {
        return "is not a date written as YYYY-MM-DDTHH:MM:SS";
      }
      return std::nullopt;
    case MemberType::Currency:
      if (auto value = text::ParseCurrency(text)) {
        r.*m.currency = *value;
        return std::nullopt;
      }
      return "is not an amount";
    case MemberType::Byte:
      if (auto value = Whole<std::uint8_t>(text)) {
        r.*m.byte = *value;
        return std::nullopt;
      }
      return "is not a whole number from 0 to 255";
    case MemberType::Short:
      if (auto value = Whole<std::int16_t>(text)) {
        r.*m.shortValue = *value;
        return std::nullopt;
      }
      return "is not a whole number from -32768 to 32767";
  }
  return "is of no known kind";
}

// A member from its JSON value: dates also as null (none) or a number (the
// stored value, as the exact form writes them), small numbers as numbers.
std::optional<std::string> SetFromJson(ReportRecord& r, const ReportMember& m, const nlohmann::json& value) {
  if (m.type == MemberType::Date && value.is_null()) {
    r.*m.date = 0;
    return std::nullopt;
  }
  if (m.type == MemberType::Date && value.is_number()) {
    r.*m.date = value.get<double>();
    return std::nullopt;
  }
  if (m.type == MemberType::Byte || m.type == MemberType::Short) {
    if (!value.is_number_integer()) return "is not a whole number";
    return SetFromText(r, m, value.dump());
  }
  if (!value.is_string()) return "is not a string";
  const std::string text = value.get<std::string>();
  if (m.type == MemberType::Date && text.empty()) return "is not a date written as YYYY-MM-DDTHH:MM:SS";
  return SetFromText(r, m, text);
}

const std::map<std::string, const ReportMember*, std::less<>>& MembersByName() {
  static const auto* byName = [] {
    auto* map = new std::map<std::string, const ReportMember*, std::less<>>;
    for (const ReportMember& m : reports::ReportMembers()) (*map)[std::string(m.name)] = &m;
    return map;
  }();
  return *byName;
}

Error Refused(const std::string& where, const std::string& why) {
  return Error{Error::Kind::Invalid, "Nothing was added: " + where + ": " + why + "."};
}

}  // namespace

Result<std::vector<reports::GivenReport>> ReadJsonReports(std::istream& in) {
  nlohmann::json all;
  try {
    all = nlohmann::json::parse(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const nlohmann::json::parse_error& e) {
    return Refused("the file", std::string("it is not JSON (") + e.what() + ")");
  }
  if (!all.is_array()) return Refused("the file", "it does not hold a list of reports");
  std::vector<reports::GivenReport> given;
  given.reserve(all.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    reports::GivenReport g;
    g.where = "report " + std::to_string(i + 1);
    const nlohmann::json& object = all[i];
    if (!object.is_object()) return Refused(g.where, "it is not an object of members");
    for (const auto& [key, value] : object.items()) {
      if (!MembersByName().count(key)) return Refused(g.where, "it has a member \"" + key + "\" no report has");
    }
    for (const ReportMember& m : reports::ReportMembers()) {
      const auto found = object.find(std::string(m.name));
      if (found == object.end()) return Refused(g.where, "it has no " + std::string(m.name));
      if (auto why = SetFromJson(g.report, m, *found)) return Refused(g.where, std::string(m.name) + " " + *why);
    }
    given.push_back(std::move(g));
  }
  return given;
}

Result<std::vector<reports::GivenReport>> ReadCsvReports(std::istream& in) {
  std::size_t longest = 0;
  for (const ReportMember& m : reports::ReportMembers()) longest = std::max(longest, m.width);
  // A text of the longest member, every character taking four bytes.
  text::CsvReader reader(in, 4 * longest + 64);
  auto header = reader.Next();
  if (!header.ok()) return Refused("the file", header.message());
  if (!*header) return Refused("the file", "it is empty, without even its header line");
  std::vector<const ReportMember*> columns;
  for (const std::string& name : **header) {
    const auto found = MembersByName().find(name);
    if (found == MembersByName().end()) return Refused("line 1", "the header names a column \"" + name + "\"");
    for (const ReportMember* c : columns) {
      if (c == found->second) return Refused("line 1", "the header names " + name + " twice");
    }
    columns.push_back(found->second);
  }
  for (const ReportMember& m : reports::ReportMembers()) {
    if (std::find(columns.begin(), columns.end(), &m) == columns.end()) {
      return Refused("line 1", "the header has no column " + std::string(m.name));
    }
  }
  std::vector<reports::GivenReport> given;
  for (;;) {
    auto fields = reader.Next();
    if (!fields.ok()) return Refused("the file", fields.message());
    if (!*fields) break;
    reports::GivenReport g;
    g.where = "report " + std::to_string(given.size() + 1) + " (line " + std::to_string(reader.line()) + ")";
    if ((*fields)->size() != columns.size()) {
      return Refused(g.where, "it has " + std::to_string((*fields)->size()) + " fields, the header " +
                                  std::to_string(columns.size()));
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (auto why = SetFromText(g.report, *columns[i], (**fields)[i])) {
        return Refused(g.where, std::string(columns[i]->name) + " " + *why);
      }
    }
    given.push_back(std::move(g));
  }
  return given;
}

}  // namespace kestrova::cli
