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

// A stand-in for xdg-open: a script that notes its argument and does what
// the test tells it.
class FakeOpener {
 public:
  explicit FakeOpener(const QByteArray& then) {
    path_ = QDir(dir_.path()).filePath(QStringLiteral("fake-open"));
    QFile script(path_);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"$0.asked\"\n" + then + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  const QString& path() const { return path_; }
  QByteArray asked() const {
    QFile f(path_ + QStringLiteral(".asked"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private:
  QTemporaryDir dir_;
  QString path_;
};

std::optional<Shell::Outcome> Open(QtShell& shell, const QString& address) {
  std::optional<Shell::Outcome> outcome;
  int told = 0;
  shell.OpenAddress(address, [&](const Shell::Outcome& o) {
    outcome = o;
    ++told;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 5000));
  QTest::qWait(50);
  EXPECT_LE(told, 1) << "the outcome is told once";
  return outcome;
}

TEST(QtShell, AnOpenerThatFailsIsReportedWithWhatItSaid) {
  FakeOpener opener("echo 'firefox: not found' >&2; echo \"no method available for opening '$1'\" >&2; exit 3");
  QtShell shell(opener.path());
  const auto outcome = Open(shell, QStringLiteral("mailto:?subject=a b&body=x%0D%0Ay"));
  ASSERT_TRUE(outcome);
  EXPECT_FALSE(outcome->opened);
  EXPECT_TRUE(outcome->detail.contains(QStringLiteral("no method available"))) << outcome->detail.toStdString();
  EXPECT_TRUE(outcome->detail.contains(QStringLiteral("status 3"))) << outcome->detail.toStdString();
  EXPECT_FALSE(outcome->detail.contains(QStringLiteral("firefox"))) << "its last line, which says why";
  EXPECT_EQ(opener.asked(), QByteArray("mailto:?subject=a b&body=x%0D%0Ay")) << "one argument, as given";
}

TEST(QtShell, AMissingOpenerIsAFailureAndOneThatKeepsRunningHasOpened) {
  QtShell missing(QStringLiteral("/nonexistent/xdg-open"));
  const auto notStarted = Open(missing, QStringLiteral("http://example.org"));
  ASSERT_TRUE(notStarted);
  EXPECT_FALSE(notStarted->opened);
  EXPECT_TRUE(notStarted->detail.contains(QStringLiteral("could not be started")));

  FakeOpener fine("exit 0");
  QtShell shell(fine.path());
  EXPECT_TRUE(Open(shell, QStringLiteral("http://example.org"))->opened);

  // A mail program that keeps the opener waiting: opened once the time-out passes.
  FakeOpener waiting("sleep 3");
  QtShell patient(waiting.path(), 200ms);
  EXPECT_TRUE(Open(patient, QStringLiteral("mailto:x@example.org"))->opened);

  std::optional<Shell::Outcome> document;
  shell.OpenDocument(QStringLiteral("/nonexistent/Kestrova.PDF"), [&](const Shell::Outcome& o) { document = o; });
  ASSERT_TRUE(document) << "a missing file is told at once";
  EXPECT_FALSE(document->opened);
}

}  // namespace
}  // namespace kestrova::platform
