#include "platform/printing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPdfWriter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QUuid>
#include <filesystem>
#include <thread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "platform/print_surface.h"

namespace kestrova::platform {
namespace {

// Forwards what the layouts ask to the painter surface it owns.
class SurfaceDocument : public PrintDocument {
 public:
  QString error() const override { return error_.isEmpty() && surface_ ? surface_->error() : error_; }
  bool Take(output::PrintStep step) override { return surface_ && surface_->Take(std::move(step)); }
  double TextWidth(std::string_view text, const output::PrintFont& font) const override {
    return surface_ ? surface_->TextWidth(text, font) : 0;
  }
  double LineHeight(const output::PrintFont& font) const override { return surface_ ? surface_->LineHeight(font) : 0; }
  double PageWidth() const override { return surface_ ? surface_->PageWidth() : 0; }
  bool Paint(double top, const PagePainter& paint) override {
    return surface_ && error().isEmpty() && surface_->Paint(top, paint);
  }

 protected:
  void Begin(QPagedPaintDevice& device) {
    surface_ = std::make_unique<PainterSurface>(device);
    if (!surface_->ok()) error_ = startError_;
  }
  bool EndSurface() { return surface_ && error().isEmpty() && surface_->End(); }
  std::unique_ptr<PainterSurface> surface_;
  QString error_;
  QString startError_;
};

class PrinterDocument : public SurfaceDocument {
 public:
  PrinterDocument(const QString& name, const QString& title) : printer_(QPrinter::HighResolution) {
    printer_.setPrinterName(name);
    startError_ = QStringLiteral("The printer \"%1\" could not start the printout.").arg(name);
    if (!printer_.isValid()) {
      error_ = startError_;
      return;
    }
    printer_.setDocName(title);
    printer_.setFullPage(false);
    Begin(printer_);
  }
  ~PrinterDocument() override {
    if (!finished_ && surface_) printer_.abort();
    surface_.reset();  // before the printer it paints on
  }
  bool Finish() override {
    if (!EndSurface() || printer_.printerState() == QPrinter::Error) {
      if (error_.isEmpty())
        error_ = QStringLiteral("The printer \"%1\" did not accept the printout.").arg(printer_.printerName());
      return false;
    }
    finished_ = true;
    return true;
  }
  output::Claim Commit(const QString&, bool) override { return output::Claim::Got; }
  void Discard() override {}

 private:
  QPrinter printer_;
  bool finished_ = false;
};

class PdfDocument : public SurfaceDocument {
 public:
  PdfDocument(const QString& folder, const QString& title)
      : file_(QDir(folder).filePath(
            QStringLiteral(".kestrova-printout-%1.pdf.part").arg(QUuid::createUuid().toString(QUuid::Id128)))) {
    startError_ = QStringLiteral("The PDF file could not be written in \"%1\".").arg(QDir::toNativeSeparators(folder));
    if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      error_ = startError_ + QLatin1Char(' ') + file_.errorString() + QLatin1Char('.');
      return;
    }
    writer_ = std::make_unique<QPdfWriter>(&file_);
    writer_->setPageSize(QPageSize(QPageSize::Letter));
    writer_->setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    writer_->setTitle(title);
    writer_->setCreator(QCoreApplication::applicationName());
    Begin(*writer_);
  }
  ~PdfDocument() override {
    surface_.reset();  // before the writer and the file it paints into
    writer_.reset();
    if (file_.isOpen()) file_.close();
    if (committed_.isEmpty()) file_.remove();
  }
  bool Finish() override {
    if (!EndSurface()) return false;
    bool written = file_.flush() && file_.error() == QFileDevice::NoError;
#ifdef Q_OS_UNIX
    written = written && ::fsync(file_.handle()) == 0;
#endif
    file_.close();
    written = written && file_.error() == QFileDevice::NoError;
    if (!written) {
      error_ = startError_ + QLatin1Char(' ') + file_.errorString() + QLatin1Char('.');
      return false;
    }
    finished_ = true;
    return true;
  }
  output::Claim Commit(const QString& path, bool replace) override {
    if (!finished_ || !committed_.isEmpty()) return output::Claim::Failed;
    if (replace) {
      // Replaced in one step: the old file stays whole until the new one
      // takes its place.
      std::error_code ec;
      std::filesystem::rename(file_.fileName().toStdString(), path.toStdString(), ec);
      if (ec) return Refused(path, QString::fromStdString(ec.message()));
    } else if (!QFile::rename(file_.fileName(), path)) {
      // Never over a file that is there: a name taken meanwhile is refused.
      if (QFileInfo::exists(path)) return output::Claim::Taken;
      return Refused(path, QFile(file_.fileName()).exists() ? QStringLiteral("it could not be renamed")
                                                            : QStringLiteral("the written file is gone"));
    }
    committed_ = path;
    return output::Claim::Got;
  }
  void Discard() override {
    if (!committed_.isEmpty()) QFile::remove(committed_);
  }

 private:
  output::Claim Refused(const QString& path, const QString& reason) {
    error_ = QStringLiteral("The PDF file \"%1\" could not be saved: %2.").arg(QDir::toNativeSeparators(path), reason);
    return output::Claim::Failed;
  }

  QFile file_;  // under a hidden name of its own until it is complete
  std::unique_ptr<QPdfWriter> writer_;
  bool finished_ = false;
  QString committed_;
};

}  // namespace

void QtPrinting::FindPrinter(QObject* context, Found found) {
  // The print system may take its time (a print server that does not
  // answer): the window's thread never waits for it. Whichever comes first,
  // the answer or the time limit, is the one delivered.
  auto once = std::make_shared<Found>(std::move(found));
  const auto deliver = [once](std::optional<QString> printer) {
    if (!*once) return;
    Found call = std::move(*once);
    *once = nullptr;
    call(std::move(printer));
  };
  QPointer<QObject> guard(context);
  std::thread([guard, deliver] {
    const QString name = QPrinterInfo::defaultPrinterName();
    std::optional<QString> printer;
    if (!name.isEmpty()) printer = name;
    if (QCoreApplication* app = QCoreApplication::instance()) {
      QMetaObject::invokeMethod(
          app,
          [guard, deliver, printer] {
            if (guard) deliver(printer);
          },
          Qt::QueuedConnection);
    }
  }).detach();
  QTimer::singleShot(lookupTime_, context, [deliver] { deliver(std::nullopt); });
}

std::unique_ptr<PrintDocument> QtPrinting::OnPrinter(const QString& printer, const QString& title) {
  return std::make_unique<PrinterDocument>(printer, title);
}

std::unique_ptr<PrintDocument> QtPrinting::IntoPdf(const QString& folder, const QString& title) {
  return std::make_unique<PdfDocument>(folder, title);
}

std::optional<QSize> PictureSize(const QString& path) {
  QImageReader reader(path);
  QSize size = reader.size();
  if (!reader.canRead() || !size.isValid() || size.isEmpty()) return std::nullopt;
  if (reader.autoTransform() && (reader.transformation() & QImageIOHandler::TransformationRotate90)) size.transpose();
  return size;
}

}  // namespace kestrova::platform
