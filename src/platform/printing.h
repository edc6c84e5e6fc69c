#pragma once

#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/output/fixed_metrics.h"
#include "core/output/print_cursor.h"
#include "core/output/printout_names.h"

class QPainter;
class QRectF;

namespace kestrova::platform {

// Draws what the layouts' steps cannot (lines, filled shapes, a chart) with
// a document's own painter, in device units within `area`.
using PagePainter = std::function<void(QPainter& painter, const QRectF& area)>;

// One document of a printout while it is being printed: a job on a printer,
// or a PDF written to a temporary file that takes its name only once it is
// complete. Destroying a document that was not committed throws it away
// (the printer job is aborted, the temporary file removed).
class PrintDocument : public output::PrintMetrics, public output::StepSink {
 public:
  // What failed, in a sentence for a notice; empty while all is well.
  virtual QString error() const = 0;
  // Ends the document: a printer's job is sent, a PDF's file completed.
  virtual bool Finish() = 0;
  // A finished PDF takes its name: Taken when a file has it already (and
  // replace is false). A printer's document has nothing to commit.
  virtual output::Claim Commit(const QString& path, bool replace) = 0;
  // Removes the committed file again: a later document of its printout failed.
  virtual void Discard() = 0;
  // Paints on the current page below `top` inches (the printable area down
  // to its bottom edge), after the steps taken so far; false when the
  // document has failed.
  virtual bool Paint(double top, const PagePainter& paint) = 0;
};

// The desktop's printers and PDF files, as the printouts use them.
class Printing {
 public:
  using Found = std::function<void(std::optional<QString> printer)>;
  virtual ~Printing() = default;
  // Looks for the default printer away from the window's thread and returns
  // at once; `found` runs later on the context's thread, with nothing when
  // there is no printer or the answer did not come in time. Nothing runs
  // once the context is gone.
  virtual void FindPrinter(QObject* context, Found found) = 0;
  // A document on the printer; check error().
  virtual std::unique_ptr<PrintDocument> OnPrinter(const QString& printer, const QString& title) = 0;
  // A US Letter PDF with 0.25-inch margins, written beside where it will be
  // kept; check error().
  virtual std::unique_ptr<PrintDocument> IntoPdf(const QString& folder, const QString& title) = 0;
};

// Qt Print Support: the default printer through the platform's print
// system, PDFs through QPdfWriter.
class QtPrinting : public Printing {
 public:
  static constexpr std::chrono::milliseconds kDefaultLookupTime{4000};
  explicit QtPrinting(std::chrono::milliseconds lookupTime = kDefaultLookupTime) : lookupTime_(lookupTime) {}
  void FindPrinter(QObject* context, Found found) override;
  std::unique_ptr<PrintDocument> OnPrinter(const QString& printer, const QString& title) override;
  std::unique_ptr<PrintDocument> IntoPdf(const QString& folder, const QString& title) override;

 private:
  std::chrono::milliseconds lookupTime_;
};

// The natural size of a picture file as it will print, or nothing when it
// cannot be read as a picture.
std::optional<QSize> PictureSize(const QString& path);

// Keeps every document's steps, with every character 0.125 inch wide and
// every line 0.25 inch high; PDF files are names in `files`. For tests.
class RecordingPrinting : public Printing {
 public:
  struct Document {
    QString printer{};  // empty for a PDF
    QString folder{};   // a PDF's
    QString title{};
    std::vector<output::PrintStep> steps{};
    std::vector<double> paintedAt{};  // the top of each Paint, in inches
    bool finished = false;
    QString file{};  // the name a PDF was committed under
  };

  void FindPrinter(QObject* context, Found found) override {
    ++lookups;
    QTimer::singleShot(0, context, [found = std::move(found), answer = printer] { found(answer); });
  }
  std::unique_ptr<PrintDocument> OnPrinter(const QString& name, const QString& title) override {
    return Start(Document{.printer = name, .title = title});
  }
  std::unique_ptr<PrintDocument> IntoPdf(const QString& folder, const QString& title) override {
    return Start(Document{.folder = folder, .title = title});
  }

  std::optional<QString> printer;  // what FindPrinter answers
  int lookups = 0;
  std::vector<Document> documents;  // every one started, in order
  QStringList files;                // PDF files there are (tests may add some)
  QStringList refusedPaths;         // names a PDF cannot take
  int failAtPage = 0;               // a document fails when its page n starts (0: never)
  bool failToStart = false;
  QString failure = QStringLiteral("The printer is out of paper.");
  output::FixedMetrics metrics;

 private:
  class Recorder : public PrintDocument {
   public:
    Recorder(RecordingPrinting& owner, std::size_t index) : owner_(owner), index_(index) {
      if (owner.failToStart) error_ = owner.failure;
    }
    QString error() const override { return error_; }
    bool Take(output::PrintStep step) override {
      if (!error_.isEmpty()) return false;
      if (std::holds_alternative<output::NewPageStep>(step) && ++pages_ + 1 == owner_.failAtPage) {
        error_ = owner_.failure;
        return false;
      }
      doc().steps.push_back(std::move(step));
      return true;
    }
    bool Finish() override {
      if (!error_.isEmpty()) return false;
      doc().finished = true;
      return true;
    }
    output::Claim Commit(const QString& path, bool replace) override {
      if (owner_.refusedPaths.contains(path)) return output::Claim::Failed;
      if (owner_.files.contains(path) && !replace) return output::Claim::Taken;
      if (!owner_.files.contains(path)) owner_.files.append(path);
      doc().file = path;
      return output::Claim::Got;
    }
    void Discard() override {
      owner_.files.removeAll(doc().file);
      doc().file.clear();
    }
    bool Paint(double top, const PagePainter&) override {
      if (!error_.isEmpty()) return false;
      doc().paintedAt.push_back(top);
      return true;
    }
    double TextWidth(std::string_view t, const output::PrintFont& f) const override {
      return owner_.metrics.TextWidth(t, f);
    }
    double LineHeight(const output::PrintFont& f) const override { return owner_.metrics.LineHeight(f); }
    double PageWidth() const override { return owner_.metrics.PageWidth(); }

   private:
    Document& doc() { return owner_.documents[index_]; }
    RecordingPrinting& owner_;
    std::size_t index_;
    int pages_ = 0;
    QString error_;
  };
  std::unique_ptr<PrintDocument> Start(Document document) {
    documents.push_back(std::move(document));
    return std::make_unique<Recorder>(*this, documents.size() - 1);
  }
};

}  // namespace kestrova::platform
