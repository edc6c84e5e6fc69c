#include "core/startup/sample_reports.h"

#include <cstdio>
#include <iterator>

#include "core/logs/activity_log.h"
#include "core/reports/data_file.h"
#include "core/text/currency.h"
#include "core/time/date_format.h"
#include "core/time/ole_date.h"
#include "core/users/access_level.h"
#include "core/users/passwords.h"
#include "core/users/user_list.h"

namespace kestrova::startup {
namespace {

constexpr const char* kFirstNames[] = {"James",
                                       "Mary",
                                       "Robert",
                                       "Patricia",
                                       "John",
                                       "Jennifer",
                                       "Michael",
                                       "Linda",
                                       "David",
                                       "Elizabeth",
                                       "William",
                                       "Barbara",
                                       "Richard",
                                       "Susan",
                                       "Joseph",
                                       "Jessica",
                                       "Thomas",
                                       "Sarah",
                                       "Carlos",
                                       "Maria",
                                       "Daniel",
                                       "Nancy",
                                       "Matthew",
                                       "Lisa",
                                       "Anthony",
                                       "Betty",
                                       "Mark",
                                       "Sandra",
                                       "Steven",
                                       "Ashley",
                                       "Andrew",
                                       "Kimberly",
                                       "Kevin",
                                       "Donna",
                                       "Brian",
                                       "Emily",
                                       "George",
                                       "Michelle",
                                       "Jos\xc3\xa9",
                                       "Zo\xc3\xab",
                                       "Ren\xc3\xa9"
                                       "e",
                                       "Luis"};
constexpr const char* kLastNames[] = {
    "Smith",    "Johnson",   "Williams", "Brown",    "Jones",    "Garcia",       "Miller", "Davis",   "Rodriguez",
    "Martinez", "Hernandez", "Lopez",    "Gonzalez", "Wilson",   "Anderson",     "Thomas", "Taylor",  "Moore",
    "Jackson",  "Martin",    "Lee",      "Perez",    "Thompson", "White",        "Harris", "Sanchez", "Clark",
    "Ramirez",  "Lewis",     "Robinson", "Walker",   "Young",    "Allen",        "King",   "Wright",  "Scott",
    "Torres",   "Nguyen",    "Hill",     "Flores",   "O'Brien",  "M\xc3\xbcller"};
constexpr const char* kOfficers[] = {"Sgt. R. Alvarez",   "Ofc. T. Brennan", "Det. L. Okafor", "Ofc. M. Kowalski",
                                     "Det. S. Whitfield", "Ofc. J. Park",    "Lt. D. Moreau",  "Ofc. K. Delgado"};
constexpr const char* kStreets[] = {"Main St",         "Oak Ave",    "Maple Dr",        "Cedar Ln",
                                    "Elm St",          "Pine Rd",    "Washington Blvd", "Lakeview Ter",
                                    "Industrial Pkwy", "Harbor Way", "Mill Creek Rd",   "Sunset Ave"};
constexpr const char* kPlaces[] = {"parking lot", "residence",      "convenience store", "apartment complex",
                                   "public park", "school grounds", "gas station",       "shopping center",
                                   "warehouse",   "city library"};
constexpr const char* kTitles[] = {"Vehicle burglary",
                                   "Residential burglary",
                                   "Theft from building",
                                   "Shoplifting",
                                   "Vandalism to vehicle",
                                   "Assault",
                                   "Found property",
                                   "Lost property",
                                   "Stolen bicycle",
                                   "Disturbance",
                                   "Trespass",
                                   "Fraudulent check",
                                   "Identity theft",
                                   "Hit and run",
                                   "Harassment by phone",
                                   "Suspicious person",
                                   "Welfare check",
                                   "Graffiti",
                                   "Stolen vehicle",
                                   "Criminal mischief",
                                   "Noise complaint",
                                   "Missing juvenile"};
constexpr const char* kViolations[] = {"",
                                       "",
                                       "PC 459 Burglary",
                                       "PC 484 Petty theft",
                                       "PC 487 Grand theft",
                                       "PC 594 Vandalism",
                                       "PC 242 Battery",
                                       "PC 602 Trespass",
                                       "PC 470 Forgery",
                                       "VC 20002 Hit and run",
                                       "PC 653m Annoying calls",
                                       "VC 10851 Vehicle theft",
                                       "PC 530.5 Identity theft",
                                       "PC 415 Disturbing the peace"};
constexpr const char* kPersonContexts[] = {"Complainant",     "Victim", "Suspect", "Witness",
                                           "Reporting Party", "Owner",  "Arrestee"};
constexpr const char* kVehicleContexts[] = {"Victim", "Suspect",  "Stolen",  "Recovered",
                                            "Towed",  "Involved", "Zeviduri"};
constexpr const char* kPropertyContexts[] = {"Stolen", "Missing",  "Recovered", "Damaged",
                                             "Found",  "Evidence", "Zeviduri"};
constexpr const char* kMakes[] = {"Ford F-150",      "Honda Civic",   "Toyota Camry",   "Chevrolet Malibu",
                                  "Nissan Altima",   "Jeep Wrangler", "Subaru Outback", "Dodge Ram",
                                  "Hyundai Elantra", "Tesla Model 3"};
constexpr const char* kColors[] = {"white", "black", "silver", "red", "blue", "gray", "green", "tan"};
constexpr const char* kItems[] = {"Laptop computer, Dell",  "Mountain bicycle, Trek", "Cell phone, Samsung",
                                  "Wallet, brown leather",  "Power drill, DeWalt",    "Television, 55in LG",
                                  "Jewelry box with rings", "Handbag, Coach",         "Tablet, Apple iPad",
                                  "Catalytic converter",    "Tool box, Craftsman",    "Camera, Canon DSLR",
                                  "Gaming console, Sony"};
constexpr const char* kOpenings[] = {
    "On the date and time above I was dispatched to %s on %s regarding a report of %s.",
    "I responded to a %s at %s on %s after a call concerning %s.",
    "While on patrol I was flagged down near %s on %s about %s.",
};
constexpr const char* kMiddles[] = {
    "Upon arrival I contacted the reporting party, who stated that the incident had been "
    "discovered earlier in the day and that nothing like it had happened before.",
    "The complainant said the property had last been seen secured the previous evening and "
    "that no one had permission to enter or to remove anything.",
    "I walked the area with the complainant and noted no signs of forced entry at the doors, "
    "although a rear window screen had been removed and left on the ground.",
    "A neighbor told me she had heard a vehicle idling in the alley at about 0200 hours but "
    "did not look outside and could not describe it.",
    "I photographed the scene, collected a latent print from the door frame and booked it "
    "into evidence under this case number.",
    "The witness described the suspect as a male in his twenties wearing a dark hooded "
    "sweatshirt, jeans and white shoes, last seen walking north.",
    "I checked the area for surveillance cameras and found one at the business across the "
    "street; the manager agreed to preserve the footage for investigators.",
    "The victim declined medical attention and was given a case number and information about "
    "victim services.",
    "Dispatch ran the serial number through the state system with negative results.",
    "I canvassed the block and spoke with four residents, none of whom saw anything unusual.",
};
constexpr const char* kClosings[] = {
    "The case is forwarded to investigations for follow-up.",
    "No further information at this time. Case suspended pending new leads.",
    "The suspect was cited and released at the scene. Case cleared by arrest.",
    "Report taken for documentation purposes only.",
};

}  // namespace

ReportGenerator::ReportGenerator(std::uint64_t seed) : state_(seed) {}

// splitmix64: small, fast, and the same on every machine.
std::uint64_t ReportGenerator::Draw() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint64_t ReportGenerator::Below(std::uint64_t n) { return n == 0 ? 0 : Draw() % n; }

std::string ReportGenerator::PersonName() {
  const char* race[] = {"W", "B", "H", "A", "O"};
  const char* sex[] = {"M", "F"};
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%s, %s  %s/%s/%d  %02d/%02d/%04d", Pick(kLastNames), Pick(kFirstNames),
                Pick(race), Pick(sex), static_cast<int>(18 + Below(60)), static_cast<int>(1 + Below(12)),
                static_cast<int>(1 + Below(28)), static_cast<int>(1945 + Below(60)));
  return buffer;
}

std::string ReportGenerator::Narrative(const reports::ReportRecord& r, std::size_t target) {
  char buffer[512];
  std::string place = std::string(Pick(kPlaces));
  const auto when =
      time::FormatOleDate(r.OccurredFrom != 0 ? r.OccurredFrom : r.DateEntered, time::kDateFormat).value_or("");
  const std::size_t opening = Below(std::size(kOpenings));
  if (opening == 1) {
    std::snprintf(buffer, sizeof buffer, kOpenings[1], place.c_str(), r.LocationOccurred.c_str(), when.c_str(),
                  r.Title.c_str());
  } else {
    std::snprintf(buffer, sizeof buffer, kOpenings[opening], r.LocationOccurred.c_str(), when.c_str(), r.Title.c_str());
  }
  std::string text = buffer;
  while (text.size() < target) {
    text += Below(6) == 0 ? "\r\n\r\n" : " ";
    text += Pick(kMiddles);
  }
  text += "\r\n\r\n";
  text += Pick(kClosings);
  return text.size() > 16000 ? text.substr(0, 16000) : text;
}

reports::ReportRecord ReportGenerator::Next() {
  using time::DateTime;
  reports::ReportRecord r;
  ++serial_;
  // Spread over 2008-2025 so summaries and sorting have years to work with.
  const int year = 2008 + static_cast<int>(Below(18));
  const int month = 1 + static_cast<int>(Below(12));
  const DateTime entered{year,
                         month,
                         1 + static_cast<int>(Below(time::DaysInMonth(year, month))),
                         7 + static_cast<int>(Below(14)),
                         static_cast<int>(Below(60)),
                         static_cast<int>(Below(60))};
  r.DateEntered = time::ToOleDate(entered);
  r.ControlNumber = r.DateEntered + static_cast<double>(60 + Below(3600)) / 86400.0;

  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "%02d-%06u", year % 100, serial_);
  r.CaseNumber = buffer;
  r.Title = Pick(kTitles);
  r.CriminalViolations = Pick(kViolations);
  r.ReportMadeBy = Pick(kOfficers);
  r.OccurredFrom = r.DateEntered - static_cast<double>(Below(5 * 24 * 60)) / (24 * 60);
  if (Below(3) == 0) r.OccurredTo = r.OccurredFrom + static_cast<double>(Below(12 * 60)) / (24 * 60);
  std::snprintf(buffer, sizeof buffer, "%d %s", static_cast<int>(100 + Below(9900)), Pick(kStreets));
  r.LocationOccurred = buffer;
  if (Below(4) != 0) {
    r.ReportedOn = r.DateEntered - static_cast<double>(Below(120)) / (24 * 60);
    r.LocationReported = Below(2) ? r.LocationOccurred : std::string("By telephone");
  }
  r.ReportedByName = PersonName();
  r.ReportedByContext = Pick(kPersonContexts);
  std::snprintf(buffer, sizeof buffer, "%d %s  (555) %03d-%04d", static_cast<int>(100 + Below(9900)), Pick(kStreets),
                static_cast<int>(200 + Below(800)), static_cast<int>(Below(10000)));
  r.ReportedByContact = buffer;

  std::string* people[][3] = {{&r.Person1Name, &r.Person1Context, &r.Person1Contact},
                              {&r.Person2Name, &r.Person2Context, &r.Person2Contact},
                              {&r.Person3Name, &r.Person3Context, &r.Person3Contact}};
  const auto persons = Below(4);
  for (std::uint64_t i = 0; i < persons; ++i) {
    *people[i][0] = PersonName();
    *people[i][1] = Pick(kPersonContexts);
    std::snprintf(buffer, sizeof buffer, "%d %s, apt %d", static_cast<int>(100 + Below(9900)), Pick(kStreets),
                  static_cast<int>(1 + Below(40)));
    *people[i][2] = buffer;
  }
  std::string* vehicles[][3] = {{&r.Vehicle1Description, &r.Vehicle1Context, &r.Vehicle1Details},
                                {&r.Vehicle2Description, &r.Vehicle2Context, &r.Vehicle2Details},
                                {&r.Vehicle3Description, &r.Vehicle3Context, &r.Vehicle3Details}};
  const auto cars = Below(3) == 0 ? 1 + Below(3) : 0;
  for (std::uint64_t i = 0; i < cars; ++i) {
    std::snprintf(buffer, sizeof buffer, "%d %s Lic# %dABC%03d", static_cast<int>(1995 + Below(30)), Pick(kMakes),
                  static_cast<int>(1 + Below(9)), static_cast<int>(Below(1000)));
    *vehicles[i][0] = buffer;
    *vehicles[i][1] = Pick(kVehicleContexts);
    std::snprintf(buffer, sizeof buffer, "%s, %s", Pick(kColors),
                  Below(2) ? "dent in rear bumper" : "tinted windows, roof rack");
    *vehicles[i][2] = buffer;
  }
  std::string* items[][3] = {{&r.Property1Item, &r.Property1Context, &r.Property1Details},
                             {&r.Property2Item, &r.Property2Context, &r.Property2Details},
                             {&r.Property3Item, &r.Property3Context, &r.Property3Details}};
  std::int64_t* values[] = {&r.Property1Value, &r.Property2Value, &r.Property3Value};
  const auto things = Below(2) == 0 ? 1 + Below(3) : 0;
  for (std::uint64_t i = 0; i < things; ++i) {
    *items[i][0] = Pick(kItems);
    *items[i][1] = Pick(kPropertyContexts);
    std::snprintf(buffer, sizeof buffer, "Serial# %08llX, %s", static_cast<unsigned long long>(Draw() & 0xFFFFFFFF),
                  Pick(kColors));
    *items[i][2] = buffer;
    *values[i] = static_cast<std::int64_t>(Below(500000)) * 100;  // up to $5,000.00 in cents
  }
  r.Narrative = Narrative(r, 1500 + Below(3500));
  if (Below(3) == 0) {
    r.CaseNotes = "Follow-up: " + std::string(Pick(kMiddles)) + " " + Pick(kClosings);
  }
  r.ListStatus = Below(5) == 0 ? reports::kInactiveList : reports::kActiveList;
  r.ProgramVersion = reports::CurrentProgramVersion();
  return r;
}

Status GenerateReports(const files::DataFolder& data, std::int32_t count, std::uint64_t seed) {
  const std::filesystem::path& folder = data.path();
  if (count < 0) return Error{Error::Kind::Invalid, "The count must not be negative."};
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return Error{Error::Kind::Io, "Cannot create the folder " + folder.string() + ": " + ec.message()};
  if (std::filesystem::exists(folder / reports::kDataFileName, ec)) {
    return Error{Error::Kind::Invalid, "The folder " + folder.string() +
                                           " already holds a data file; generate writes only into "
                                           "a folder without one."};
  }
  reports::DataFile file(folder, data.options());
  Status opened = file.OpenDataFile(reports::DataFileAccess::Write);
  if (!opened.ok()) return opened;
  if (file.RecordCount() != 0) {
    (void)file.CloseDataFile();
    return Error{Error::Kind::Invalid, "Another program created a data file meanwhile."};
  }
  ReportGenerator generator(seed);
  for (std::int32_t i = 0; i < count; ++i) {
    Status wrote = file.WriteRecord(i + 1, generator.Next());
    if (!wrote.ok()) {
      (void)file.CloseDataFile();
      return wrote;
    }
  }
  return file.CloseDataFile();
}

Result<std::vector<DemoUser>> GenerateDemoUsers(const files::DataFolder& data, const time::DateTime& now) {
  const std::filesystem::path& folder = data.path();
  struct Seed {
    const char* first;
    const char* last;
    std::int16_t level;
    const char* password;
    const char* comments;
  };
  static constexpr Seed kDemo[] = {
      {"Avery", "Brennan", 4, "kestrel4", "Records supervisor; maintains the user list."},
      {"Jordan", "Okafor", 3, "report3", "Patrol sergeant."},
      {"Casey", "Delgado", 2, "casey22", "Investigator; edits reports assigned to her."},
      {"Morgan", "Park", 1, "view1", "Front desk; reads reports only."},
  };
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (std::filesystem::exists(folder / users::kUserListFileName, ec)) {
    return Error{Error::Kind::Invalid, "The folder " + folder.string() +
                                           " already has users; --users writes only into a "
                                           "folder without a user list."};
  }
  std::vector<DemoUser> made;
  for (const Seed& s : kDemo) {
    users::UserRecord u;
    u.DateCreated = time::ToOleDate(now);
    u.FirstName = s.first;
    u.LastName = s.last;
    u.Password = users::EncodePassword(s.password);
    u.AccessLevel = s.level;
    u.Comments = s.comments;
    auto n = users::AddUser(data, u);
    if (!n.ok()) return n.error();
    Status logged = logs::LogUserListChange(data, now, logs::kAdded, users::UserDisplayName(u));
    if (!logged.ok()) return logged.error();
    made.push_back({users::UserDisplayName(u), std::string(users::AccessLevelName(s.level)), s.password});
  }
  return made;
}

Result<SampleFolder> MakeSampleFolder(const files::DataFolder& data, const time::DateTime& now) {
  SampleFolder made;
  std::error_code ec;
  // A folder made before keeps what it has; only what is missing is made.
  if (!std::filesystem::exists(data.path() / reports::kDataFileName, ec)) {
    Status wrote = GenerateReports(data, kSampleReportCount, 1);
    if (!wrote.ok()) return wrote.error();
    made.reportsMade = true;
  }
  if (!std::filesystem::exists(data.path() / users::kUserListFileName, ec)) {
    auto users = GenerateDemoUsers(data, now);
    if (!users.ok()) return users.error();
    made.users = std::move(*users);
  }
  return made;
}

}  // namespace kestrova::startup
