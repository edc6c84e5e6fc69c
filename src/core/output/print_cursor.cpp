#include "core/output/print_cursor.h"

#include <utility>

namespace kestrova::output {

void PrintCursor::Print(std::string_view text) {
  if (stopped_ || text.empty()) return;
  const double width = metrics_.TextWidth(text, font_);
  if (run_ && run_->y == y && runEnd_ == x && run_->font == font_) {
    run_->text.append(text);
  } else {
    Flush();
    run_ = TextStep{x, y, std::string(text), font_};
  }
  x += width;
  runEnd_ = x;
}

void PrintCursor::EndLine() {
  y += LineHeight();
  x = 0;
}

void PrintCursor::NewPage() {
  Flush();
  Send(NewPageStep{});
  ++page_;
  x = 0;
  y = 0;
}

void PrintCursor::DrawPicture(double left, double top, double width, double height, std::string path) {
  Flush();
  Send(PictureStep{left, top, width, height, std::move(path)});
}

void PrintCursor::Flush() {
  if (!run_) return;
  TextStep step = std::move(*run_);
  run_.reset();
  Send(std::move(step));
}

void PrintCursor::Send(PrintStep step) {
  if (stopped_) return;
  if (!sink_.Take(std::move(step))) {
    stopped_ = true;
    run_.reset();
  }
}

}  // namespace kestrova::output
