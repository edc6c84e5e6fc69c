#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

// What a printout is made of, and the pen that lays it out. Layouts write
// drawing steps through a PrintCursor; a print surface (a printer, a PDF
// file, a test's recorder) carries them out as they come and tells the
// cursor how wide a text is and how high a line.
namespace kestrova::output {

struct PrintFont {
  std::string name = "Arial";
  double size = 10;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;

  friend bool operator==(const PrintFont&, const PrintFont&) = default;
};

// Coordinates are inches from the top left corner of the printable area.
// A text's top edge is at y.
struct TextStep {
  double x = 0;
  double y = 0;
  std::string text;  // UTF-8
  PrintFont font;

  friend bool operator==(const TextStep&, const TextStep&) = default;
};

// A picture file stretched over a rectangle.
struct PictureStep {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  std::string path;

  friend bool operator==(const PictureStep&, const PictureStep&) = default;
};

struct NewPageStep {
  friend bool operator==(const NewPageStep&, const NewPageStep&) = default;
};

using PrintStep = std::variant<TextStep, PictureStep, NewPageStep>;

// Carries out steps as they come. False stops the printout: it was
// cancelled, or the surface failed.
class StepSink {
 public:
  virtual ~StepSink() = default;
  virtual bool Take(PrintStep step) = 0;
};

// What the surface tells the layouts, in inches.
class PrintMetrics {
 public:
  virtual ~PrintMetrics() = default;
  virtual double TextWidth(std::string_view text, const PrintFont& font) const = 0;
  virtual double LineHeight(const PrintFont& font) const = 0;
  // The printable area's width.
  virtual double PageWidth() const = 0;
};

// The printer's current position and font. Printing a text puts it at
// (x, y) and moves x past it; ending the line moves y down a line and x back
// to 0; a new page puts both at 0. Texts printed one after another on a line
// in one font reach the sink as one step.
class PrintCursor {
 public:
  PrintCursor(const PrintMetrics& metrics, StepSink& sink) : metrics_(metrics), sink_(sink) {}
  PrintCursor(const PrintCursor&) = delete;
  PrintCursor& operator=(const PrintCursor&) = delete;

  double x = 0;
  double y = 0;

  const PrintFont& font() const { return font_; }
  void SetFont(PrintFont font) { font_ = std::move(font); }
  void SetBold(bool bold) { font_.bold = bold; }

  // Prints without ending the line.
  void Print(std::string_view text);
  void EndLine();
  void NewPage();
  void DrawPicture(double left, double top, double width, double height, std::string path);
  // Hands on the text gathered so far; the layouts end with it.
  void Flush();

  // The printer's page number, from 1.
  int page() const { return page_; }
  // The sink refused a step: nothing more goes out and the layouts stop.
  bool stopped() const { return stopped_; }

  double TextWidth(std::string_view text) const { return metrics_.TextWidth(text, font_); }
  double LineHeight() const { return metrics_.LineHeight(font_); }
  const PrintMetrics& metrics() const { return metrics_; }

 private:
  void Send(PrintStep step);

  const PrintMetrics& metrics_;
  StepSink& sink_;
  PrintFont font_;
  std::optional<TextStep> run_;  // text on this line not yet handed on
  double runEnd_ = 0;            // where x stood after it
  int page_ = 1;
  bool stopped_ = false;
};

}  // namespace kestrova::output
