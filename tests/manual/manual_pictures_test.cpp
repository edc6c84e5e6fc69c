// The manual's pictures of the windows: each one written, of the size the
// window has on the 1366 x 768 screen they are taken on, and drawn (not an
// empty or single-colour grab).

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QSet>
#include <QString>
#include <string>

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
      // "View/Edit this User": fixed at 6100 x 5655 twips.
      {"user-form", {407, 377}, {407, 377}},
      // The questions before printing, as message dialogs.
      {"print-option", {250, 100}, {900, 500}},
      {"print-list", {250, 100}, {900, 500}},
      {"chart-window", {1180, 660}, screen},
      // A new report being written: the main window shrunk to the form.
      {"report-form", {600, 350}, screen},
      {"report-form-when", {600, 350}, screen},
      {"report-form-narrative", {600, 350}, screen},
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

// Pictures taken one step apart (another tab, another question) that came
// out the same show a step that did not happen.
TEST(ManualPictures, EachStepShowsSomethingElse) {
  ASSERT_FALSE(PicturesFolder().isEmpty());
  const auto load = [](const char* name) {
    return QImage(PicturesFolder() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
  };
  const char* steps[][2] = {{"main-window", "report-form"},
                            {"report-form", "report-form-when"},
                            {"report-form-when", "report-form-narrative"},
                            {"message-dialog", "print-option"},
                            {"print-option", "print-list"}};
  for (const auto& step : steps) {
    SCOPED_TRACE(std::string(step[0]) + " / " + step[1]);
    const QImage before = load(step[0]);
    const QImage after = load(step[1]);
    ASSERT_FALSE(before.isNull() || after.isNull());
    EXPECT_NE(before, after);
  }
}

}  // namespace
