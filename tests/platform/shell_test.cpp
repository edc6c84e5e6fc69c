#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "platform/shell.h"

namespace kestrova::platform {
namespace {

using namespace std::chrono_literals;

// A stand-in for xdg-open: a script that notes its argument, then does `then`.
QString FakeOpener(const QTemporaryDir& dir, const QByteArray& then) {
  const QString path = QDir(dir.path()).filePath(QStringLiteral("fake-open"));
  QFile script(path);
  EXPECT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"$0.asked\"\n" + then + "\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path;
}

std::optional<Shell::Outcome> Open(QtShell& shell, const QString& address) {
  std::optional<Shell::Outcome> outcome;
  int told = 0;
  shell.OpenAddress(address, [&](const Shell::Outcome& o) { outcome = o, ++told; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 5000));
  QTest::qWait(50);
  EXPECT_LE(told, 1) << "the outcome is told once";
  return outcome;
}

TEST(QtShell, AnOpenerThatFailsIsReportedWithItsLastWord) {
  QTemporaryDir dir;
  const QString opener =
      FakeOpener(dir, "echo 'firefox: not found' >&2; echo \"no method available for opening '$1'\" >&2; exit 3");
  QtShell shell(opener);
  const auto outcome = Open(shell, QStringLiteral("mailto:?subject=a b&body=x%0D%0Ay"));
  ASSERT_TRUE(outcome);
  EXPECT_FALSE(outcome->opened);
  EXPECT_TRUE(outcome->detail.startsWith(QStringLiteral("no method available"))) << outcome->detail.toStdString();
  EXPECT_TRUE(outcome->detail.endsWith(QStringLiteral("ended with status 3)"))) << outcome->detail.toStdString();
  QFile asked(opener + QStringLiteral(".asked"));
  ASSERT_TRUE(asked.open(QIODevice::ReadOnly));
  EXPECT_EQ(asked.readAll(), QByteArray("mailto:?subject=a b&body=x%0D%0Ay")) << "one argument, as given";
}

TEST(QtShell, AMissingOpenerFailsAndOneThatKeepsRunningHasOpened) {
  QtShell missing(QStringLiteral("/nonexistent/xdg-open"));
  EXPECT_TRUE(
      Open(missing, QStringLiteral("http://example.org"))->detail.contains(QStringLiteral("could not be started")));
  QTemporaryDir dir;
  QtShell fine(FakeOpener(dir, "exit 0"));
  EXPECT_TRUE(Open(fine, QStringLiteral("http://example.org"))->opened);
  // A mail program that keeps the opener waiting: opened once the time-out passes.
  QtShell patient(FakeOpener(dir, "sleep 3"), 200ms);
  EXPECT_TRUE(Open(patient, QStringLiteral("mailto:x@example.org"))->opened);
  std::optional<Shell::Outcome> document;
  fine.OpenDocument(QStringLiteral("/nonexistent/Kestrova.PDF"), [&](const Shell::Outcome& o) { document = o; });
  ASSERT_TRUE(document) << "a missing file is told at once";
  EXPECT_FALSE(document->opened);
}

}  // namespace
}  // namespace kestrova::platform
