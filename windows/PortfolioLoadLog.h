#pragma once
#include <chrono>
#include <string>
#include <vector>

// The lines of the load log that the Portfolios window shows while
// portfolios open and close: what each progress code of the portfolio table
// writes, and the trimming that keeps the log short. The memo only mirrors
// these lines.
class TPortfolioLoadLog {
 public:
  // Lines beyond this count drop the older half of the log before the next
  // line is added; the window sets it from the memo's height (twice the
  // lines that fit). Below 1 the log is never trimmed.
  void setLineCapacity(int lines) { capacity_ = lines; }
  void clear();
  // Answers whether the code wrote to the log.
  bool notify(int code, const std::string& text);

  // Whether the memo should show the log now: at the first line after a
  // clear, then at most once a repaint interval. Rebuilding and repainting
  // the memo at every line cost more than the loading it reports.
  static constexpr std::chrono::milliseconds repaintInterval{50};
  bool repaintDue(std::chrono::steady_clock::time_point now);

  // What the memo must change to show the log as it is now, given what it
  // showed at the last update: drop lines at its top, then add text at its
  // end (the rest of its last line, and each new line after CR LF). Setting
  // the memo's whole text took longer the longer the log.
  struct TUpdate {
    int droppedLines = 0;
    std::string appended;
  };
  TUpdate takeUpdate();

  const std::vector<std::string>& lines() const { return lines_; }
  // The lines each followed by CR LF, as the memo holds them.
  std::string text() const;

 private:
  void addLine(const std::string& line);
  bool lastLineEmpty() const { return lines_.empty() || lines_.back().empty(); }

  std::vector<std::string> lines_;
  int capacity_ = 0;
  // The memo shows lines_[0, shownLines_) after dropping droppedShown_ lines
  // at its top; the last of them was shownLastLength_ long when shown.
  size_t shownLines_ = 0;
  size_t shownLastLength_ = 0;
  int droppedShown_ = 0;
  bool repainted_ = false;
  std::chrono::steady_clock::time_point lastRepaint_;
};
