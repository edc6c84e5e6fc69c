#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/output/print_cursor.h"

class QPagedPaintDevice;

namespace kestrova::platform {

// Carries out drawing steps with a QPainter on a printer or a PDF writer,
// in inches from the printable area's top left corner, and measures texts
// with the device's own fonts ("Arial" is whatever the font configuration
// gives for it: Liberation Sans where fonts-liberation is installed, the
// same widths). Painting starts when the surface is made; check ok().
class PainterSurface : public output::PrintMetrics, public output::StepSink {
 public:
  explicit PainterSurface(QPagedPaintDevice& device);
  ~PainterSurface() override;
  PainterSurface(const PainterSurface&) = delete;
  PainterSurface& operator=(const PainterSurface&) = delete;

  bool ok() const { return error_.isEmpty(); }
  // What failed, in a sentence for a notice.
  const QString& error() const { return error_; }

  bool Take(output::PrintStep step) override;
  // Lends the painter for the rest of the page below `top` inches; whatever
  // it changes of the painter's state is undone afterwards.
  bool Paint(double top, const std::function<void(QPainter&, const QRectF&)>& paint);
  // Ends painting: the device completes its document.
  bool End();

  double TextWidth(std::string_view text, const output::PrintFont& font) const override;
  double LineHeight(const output::PrintFont& font) const override;
  double PageWidth() const override;

  // The family a font really resolves to on this device.
  QString ResolvedFamily(const output::PrintFont& font) const;

 private:
  struct Face {
    output::PrintFont key;
    QFont font;
    QFontMetricsF metrics;
    std::unordered_map<std::string, double> widths;  // of single characters, in device units
  };
  Face& FaceFor(const output::PrintFont& font) const;
  bool Fail(QString error);
  bool DrawText(const output::TextStep& step);
  bool DrawPicture(const output::PictureStep& step);

  QPagedPaintDevice& device_;
  QPainter painter_;
  double dpiX_ = 1;
  double dpiY_ = 1;
  mutable std::vector<Face> faces_;
  QString error_;
};

}  // namespace kestrova::platform
