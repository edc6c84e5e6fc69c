// The manual's pictures of the windows: each one written, of the size the
// window has on the 1366 x 768 screen they are taken on, and drawn (not an
// empty or single-colour grab).

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QSet>
#include <QString>

namespace {

QString PicturesFolder() { return QString::fromLocal8Bit(qgetenv("KESTROVA_MANUAL_PICTURES")); }

int ColoursIn(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  }
  return static_cast<int>(colours.size());
}

struct Expected {
  const char* name;
  QSize least;
  QSize most;
};

TEST(ManualPictures, EachWindowIsDrawnAtItsSize) {
  ASSERT_FALSE(PicturesFolder().isEmpty());
  const QSize screen(1366, 768);
  const Expected pictures[] = {
      {"title-window", {400, 300}, screen},
      // The administrative window and the search dialog have fixed sizes
      // (8930 x 5375 and 6420 x 8610 twips, 15 twips a pixel).
      {"admin-window", {595, 358}, {595, 358}},
      {"search-dialog", {428, 574}, {428, 574}},
      // The main window fits the screen it opens on.
      {"main-window", {800, 600}, screen},
      {"message-dialog", {250, 100}, {900, 500}},
  };
  for (const Expected& e : pictures) {
    SCOPED_TRACE(e.name);
    const QImage image(PicturesFolder() + QLatin1Char('/') + QLatin1String(e.name) + QStringLiteral(".png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), e.least.width());
    EXPECT_GE(image.height(), e.least.height());
    EXPECT_LE(image.width(), e.most.width());
    EXPECT_LE(image.height(), e.most.height());
    EXPECT_GT(ColoursIn(image), 20) << "a blank grab";
  }
}

}  // namespace
