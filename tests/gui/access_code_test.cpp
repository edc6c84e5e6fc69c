#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <filesystem>

#include "core/users/access_code_file.h"
#include "gui/session/access_code.h"
#include "platform/access_code_store.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

namespace fs = std::filesystem;
using testing::GuiSession;
using testing::ReadFileBytes;
using testing::TempFolder;

// A hash as an older release kept it in a workstation's settings.
QString OldSettingsHash(platform::MemorySettingsStore& settings, const QString& code) {
  TempFolder scratch;
  EXPECT_TRUE(*platform::AccessCodeStore(settings, scratch.path()).Set(code));
  return QString::fromStdString(users::ReadAccessCodeFile(scratch.path())->value());
}

TEST(AccessCode, OneCodeChosenOnceGuardsTheFolderFromEveryWorkstation) {
  GuiSession g;
  g.inputBox->answers = {QStringLiteral("Kestrel1"), QStringLiteral("Kestrel1")};
  g.messages->Press(1);
  EXPECT_TRUE(RequestAccessCode(*g.session, nullptr));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Access Code Set"));
  EXPECT_TRUE(g.messages->Last().message.contains(QString::fromStdString((g.folder / "Kestrova.Access").string())));
  ASSERT_EQ(g.inputBox->requests.size(), 2);
  EXPECT_TRUE(g.inputBox->requests[0].password && g.inputBox->requests[1].password) << "chosen masked";
  const std::string stored = ReadFileBytes(g.folder / "Kestrova.Access");
  EXPECT_EQ(stored.rfind("$argon2id$v=19$m=65536,t=2,p=1$", 0), 0u) << stored;
  EXPECT_EQ(stored.find("Kestrel1"), std::string::npos) << "only a salted hash is kept";
  EXPECT_TRUE(g.settings->values().isEmpty()) << "nothing is kept per workstation";

  // Another workstation is asked for that code, not to choose its own.
  GuiSession other(g.folder.path());
  other.inputBox->answers = {QStringLiteral("kestrel1"), QStringLiteral("Kestrel1")};
  other.messages->Press(1);  // "&Try again"
  EXPECT_TRUE(RequestAccessCode(*other.session, nullptr));
  ASSERT_EQ(other.inputBox->requests.size(), 2);
  const platform::InputRequest& ask = other.inputBox->requests[0];
  EXPECT_EQ(ask.title, QStringLiteral("Access Code Required"));
  EXPECT_EQ(ask.prompt, QStringLiteral("\nPlease enter the\ncorrect access code..."));
  EXPECT_TRUE(ask.password) << "entered masked";
  EXPECT_EQ(ask.defaultText, QString()) << "the box starts empty";
  const MessageRequest& wrong = other.messages->Last();
  EXPECT_EQ(wrong.caption, QStringLiteral("Invalid Entry"));
  EXPECT_EQ(wrong.iconKind, IconKind::Error);
  EXPECT_FALSE(wrong.message.contains(QStringLiteral("kestrel1"), Qt::CaseInsensitive)) << "the answer is not shown";
  EXPECT_EQ(wrong.lines(),
            (QStringList{QStringLiteral("The access code entered is not the"), QStringLiteral("correct Access Code")}))
      << "one sentence, not broken by an empty line";
  EXPECT_EQ(wrong.buttons, (QStringList{QStringLiteral("&Try again"), QStringLiteral("&Never mind")}));

  // Cancelling asks nothing more.
  const auto asked = other.messages->asked.size();
  other.inputBox->answers = {std::nullopt};
  EXPECT_FALSE(RequestAccessCode(*other.session, nullptr));
  EXPECT_EQ(other.messages->asked.size(), asked);
}

TEST(AccessCode, ACodeKeptInTheSettingsMovesToTheFolderAndTheFirstToMoveWins) {
  GuiSession g;
  g.settings->Write(QStringLiteral("AccessCode"), OldSettingsHash(*g.settings, QStringLiteral("FirstOne")));
  GuiSession later(g.folder.path());
  later.settings->Write(QStringLiteral("AccessCode"), OldSettingsHash(*later.settings, QStringLiteral("SecondOne")));

  g.inputBox->answers = {QStringLiteral("FirstOne")};
  EXPECT_TRUE(RequestAccessCode(*g.session, nullptr));
  EXPECT_FALSE(g.settings->Read(QStringLiteral("AccessCode")).has_value()) << "moved out of the settings";
  const std::string moved = ReadFileBytes(g.folder / "Kestrova.Access");

  // The later workstation's own code no longer opens anything.
  later.inputBox->answers = {QStringLiteral("SecondOne"), QStringLiteral("FirstOne")};
  later.messages->Press(1);
  EXPECT_TRUE(RequestAccessCode(*later.session, nullptr));
  EXPECT_EQ(later.messages->asked.size(), 1);
  EXPECT_EQ(later.messages->Last().caption, QStringLiteral("Invalid Entry"));
  EXPECT_FALSE(later.settings->Read(QStringLiteral("AccessCode")).has_value());
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Access"), moved);
}

TEST(AccessCode, ADamagedFileLetsNobodyInAndSaysHowToClearIt) {
  // Not a hash; a round count that would freeze the window for minutes; a salt that is not hex.
  // Argon2id limits of 4 TiB, ten thousand passes, or several lanes.
  for (const char* planted : {"not a hash\r\n", "sha256$2147483647$00112233$00112233\r\n", "sha256$20000$zz$0011\r\n",
                              "$argon2id$v=19$m=4294967295,t=2,p=1$c2FsdHNhbHRzYWx0c2FsdA$aGFzaGhhc2hoYXNoaGFzaA\r\n",
                              "$argon2id$v=19$m=65536,t=10000,p=1$c2FsdHNhbHRzYWx0c2FsdA$aGFzaGhhc2hoYXNoaGFzaA\r\n",
                              "$argon2id$v=19$m=65536,t=2,p=64$c2FsdHNhbHRzYWx0c2FsdA$aGFzaGhhc2hoYXNoaGFzaA\r\n"}) {
    GuiSession g;
    testing::WriteFileBytes(g.folder / "Kestrova.Access", planted);
    g.messages->Press(1);
    EXPECT_FALSE(RequestAccessCode(*g.session, nullptr)) << planted;
    EXPECT_TRUE(g.inputBox->requests.isEmpty()) << planted;
    EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Access Code Unavailable"));
    EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("--reset-access-code --data-dir")));
  }
}

// A code stored by an older release (iterated SHA-256) opens the folder
// once the old way and is stored again as Argon2id; a wrong code changes
// nothing.
TEST(AccessCode, AnOlderFormIsVerifiedOnceAndStoredAgainInTheNewOne) {
  GuiSession g;
  const QByteArray salt = QByteArray::fromHex("00112233445566778899aabbccddeeff");
  QByteArray digest = QCryptographicHash::hash(salt + QByteArray("Kestrel1"), QCryptographicHash::Sha256);
  for (int i = 1; i < 20000; ++i) {
    digest = QCryptographicHash::hash(digest + salt + QByteArray("Kestrel1"), QCryptographicHash::Sha256);
  }
  const std::string old = "sha256$20000$" + salt.toHex().toStdString() + "$" + digest.toHex().toStdString();
  testing::WriteFileBytes(g.folder / "Kestrova.Access", old + "\r\n");
  platform::AccessCodeStore store(*g.settings, g.folder.path());
  EXPECT_FALSE(*store.Verify(QStringLiteral("kestrel1")));
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Access"), old + "\r\n");
  EXPECT_TRUE(*store.Verify(QStringLiteral("Kestrel1")));
  const std::string upgraded = ReadFileBytes(g.folder / "Kestrova.Access");
  EXPECT_EQ(upgraded.rfind("$argon2id$", 0), 0u) << upgraded;
  EXPECT_TRUE(*store.Verify(QStringLiteral("Kestrel1")));
  EXPECT_FALSE(*store.Verify(QStringLiteral("Kestrel2")));
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Access"), upgraded);
}

}  // namespace
}  // namespace kestrova::gui
