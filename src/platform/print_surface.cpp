#include "platform/print_surface.h"

#include <QImage>
#include <QImageReader>
#include <QPagedPaintDevice>
#include <algorithm>

namespace kestrova::platform {
namespace {

// Pictures are sent at no more than this many dots an inch: enough for any
// printer, and a photograph of many megapixels does not swell the document.
constexpr double kPictureDpi = 300;

}  // namespace

PainterSurface::PainterSurface(QPagedPaintDevice& device) : device_(device) {
  dpiX_ = device.logicalDpiX();
  dpiY_ = device.logicalDpiY();
  if (dpiX_ <= 0 || dpiY_ <= 0 || !painter_.begin(&device)) {
    error_ = QStringLiteral("The printout could not be started.");
    return;
  }
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform);
  painter_.setPen(Qt::black);
}

PainterSurface::~PainterSurface() {
  if (painter_.isActive()) painter_.end();
}

bool PainterSurface::Fail(QString error) {
  if (error_.isEmpty()) error_ = std::move(error);
  return false;
}

PainterSurface::Face& PainterSurface::FaceFor(const output::PrintFont& key) const {
  for (Face& face : faces_) {
    if (face.key == key) return face;
  }
  QFont font(QString::fromStdString(key.name));
  font.setPointSizeF(key.size);
  font.setBold(key.bold);
  font.setItalic(key.italic);
  font.setUnderline(key.underline);
  // A run of text is drawn exactly as wide as its characters measured one
  // by one: the layouts place each character by those widths.
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferNoHinting);
  faces_.push_back(Face{key, font, QFontMetricsF(font, &device_), {}});
  return faces_.back();
}

double PainterSurface::TextWidth(std::string_view text, const output::PrintFont& font) const {
  Face& face = FaceFor(font);
  // Paged text measures one character at a time: those are kept.
  if (text.size() <= 4) {
    const std::string key(text);
    if (const auto it = face.widths.find(key); it != face.widths.end()) return it->second / dpiX_;
    const double width = face.metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
    face.widths.emplace(key, width);
    return width / dpiX_;
  }
  return face.metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))) / dpiX_;
}

double PainterSurface::LineHeight(const output::PrintFont& font) const {
  return FaceFor(font).metrics.lineSpacing() / dpiY_;
}

double PainterSurface::PageWidth() const { return device_.width() / dpiX_; }

QString PainterSurface::ResolvedFamily(const output::PrintFont& font) const {
  return QFontInfo(FaceFor(font).font).family();
}

bool PainterSurface::Take(output::PrintStep step) {
  if (!ok()) return false;
  if (!painter_.isActive()) return Fail(QStringLiteral("The printout was ended by the printer."));
  if (const auto* text = std::get_if<output::TextStep>(&step)) return DrawText(*text);
  if (const auto* picture = std::get_if<output::PictureStep>(&step)) return DrawPicture(*picture);
  if (!device_.newPage()) return Fail(QStringLiteral("The printer could not start a new page."));
  return true;
}

bool PainterSurface::Paint(double top, const std::function<void(QPainter&, const QRectF&)>& paint) {
  if (!ok()) return false;
  if (!painter_.isActive()) return Fail(QStringLiteral("The printout was ended by the printer."));
  const double y = top * dpiY_;
  painter_.save();
  paint(painter_, QRectF(0, y, device_.width(), std::max(0.0, device_.height() - y)));
  painter_.restore();
  return true;
}

bool PainterSurface::DrawText(const output::TextStep& step) {
  const Face& face = FaceFor(step.font);
  painter_.setFont(face.font);
  const QPointF baseline(step.x * dpiX_, step.y * dpiY_ + face.metrics.ascent());
  painter_.drawText(baseline, QString::fromUtf8(step.text.data(), qsizetype(step.text.size())));
  return true;
}

bool PainterSurface::DrawPicture(const output::PictureStep& step) {
  const QRectF target(step.x * dpiX_, step.y * dpiY_, step.width * dpiX_, step.height * dpiY_);
  QImageReader reader(QString::fromStdString(step.path));
  QSize size = reader.size();
  if (reader.autoTransform() && (reader.transformation() & QImageIOHandler::TransformationRotate90)) size.transpose();
  const QSize most(int(step.width * kPictureDpi), int(step.height * kPictureDpi));
  if (size.isValid() && (size.width() > most.width() || size.height() > most.height()) && most.isValid() &&
      !(reader.transformation() & QImageIOHandler::TransformationRotate90)) {
    // The decoder can often scale while it reads (a JPEG in eighths).
    reader.setScaledSize(size.scaled(most, Qt::KeepAspectRatio));
  }
  const QImage image = reader.read();
  if (image.isNull()) {
    return Fail(QStringLiteral("The picture file \"%1\" could not be read.").arg(QString::fromStdString(step.path)));
  }
  painter_.drawImage(target, image);
  return true;
}

bool PainterSurface::End() {
  if (!painter_.isActive()) return ok() ? Fail(QStringLiteral("The printout was ended by the printer.")) : false;
  if (!painter_.end()) return Fail(QStringLiteral("The printout could not be completed."));
  return ok();
}

}  // namespace kestrova::platform
