#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/settings_store.h"

namespace kestrova::platform {
namespace {

TEST(SettingsStore, KeysLiveUnderDefaults) {
  QTemporaryDir dir;
  const QString file = QDir(dir.path()).filePath(QStringLiteral("Kestrova.conf"));
  {
    QtSettingsStore store(file);
    EXPECT_FALSE(store.Read(QStringLiteral("NewUser")).has_value());
    store.Write(QStringLiteral("NewUser"), QStringLiteral("NoShow"));
    store.Write(QStringLiteral("SortOption"), QStringLiteral("2"));
  }
  QtSettingsStore again(file);
  EXPECT_EQ(again.Read(QStringLiteral("NewUser")), QStringLiteral("NoShow"));
  again.Delete(QStringLiteral("SortOption"));
  EXPECT_FALSE(again.Read(QStringLiteral("SortOption")).has_value());

  QFile raw(file);
  ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
  const QByteArray text = raw.readAll();
  EXPECT_TRUE(text.contains("[Defaults]")) << text.constData();
  EXPECT_TRUE(text.contains("NewUser=NoShow"));
  EXPECT_FALSE(text.contains("SortOption"));
}

TEST(SettingsStore, TheMemoryDoubleBehavesAlike) {
  MemorySettingsStore store;
  store.Write(QStringLiteral("RefreshSound"), QStringLiteral("1"));
  EXPECT_EQ(store.Read(QStringLiteral("RefreshSound")), QStringLiteral("1"));
  store.Delete(QStringLiteral("RefreshSound"));
  EXPECT_FALSE(store.Read(QStringLiteral("RefreshSound")).has_value());
}

}  // namespace
}  // namespace kestrova::platform
