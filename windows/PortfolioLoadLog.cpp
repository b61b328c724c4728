#include "windows/PortfolioLoadLog.h"

#include <algorithm>

namespace {
const std::string indent5(5, ' ');
const std::string indent10(10, ' ');
}  // namespace

void TPortfolioLoadLog::clear() {
  lines_.clear();
  shownLines_ = 0;
  shownLastLength_ = 0;
  droppedShown_ = 0;
  repainted_ = false;
}

TPortfolioLoadLog::TUpdate TPortfolioLoadLog::takeUpdate() {
  TUpdate update;
  update.droppedLines = droppedShown_;
  if (shownLines_ > 0) update.appended = lines_[shownLines_ - 1].substr(shownLastLength_);
  for (size_t line = shownLines_; line < lines_.size(); ++line) {
    if (line > 0) update.appended += "\r\n";
    update.appended += lines_[line];
  }
  shownLines_ = lines_.size();
  shownLastLength_ = lines_.empty() ? 0 : lines_.back().size();
  droppedShown_ = 0;
  return update;
}

bool TPortfolioLoadLog::repaintDue(std::chrono::steady_clock::time_point now) {
  if (repainted_ && now - lastRepaint_ < repaintInterval) return false;
  repainted_ = true;
  lastRepaint_ = now;
  return true;
}

bool TPortfolioLoadLog::notify(int code, const std::string& text) {
  switch (code) {
    case 0:
      if (!lastLineEmpty()) lines_.back() += " OK";
      return true;
    case 1: addLine("Out of memory!"); return true;
    case 10: addLine("Preparing portfolio table..."); return true;
    case 11: addLine("Portfolio directory not found: " + text); return true;
    case 12:
      if (!lastLineEmpty()) addLine("");
      addLine("Loading portfolio: " + text);
      return true;
    case 13: addLine(indent5 + "Loading asset: " + text); return true;
    case 14: addLine(indent10 + "Transactions loaded"); return true;
    case 15: addLine(indent10 + "Quotes loaded"); return true;
    case 16: addLine(indent10 + "Asset loaded"); return true;
    case 17:
      addLine(indent5 + "Portfolio loaded");
      addLine("");
      return true;
    case 18: addLine("Computing forex quotes: " + text); return true;
    case 19: addLine("Loading forex quotes: " + text); return true;
    case 20: addLine("Unloading portfolio: " + text); return true;
    case 21:
      addLine(indent10 + "Asset not loaded: " + text);
      addLine(indent5 + "Portfolio not opened");
      addLine("");
      return true;
    default: return false;
  }
}

void TPortfolioLoadLog::addLine(const std::string& line) {
  if (capacity_ > 0 && static_cast<int>(lines_.size()) > capacity_) {
    const size_t dropped = lines_.size() / 2;
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<long>(dropped));
    const size_t droppedShown = std::min(dropped, shownLines_);
    droppedShown_ += static_cast<int>(droppedShown);
    shownLines_ -= droppedShown;
  }
  lines_.push_back(line);
}

std::string TPortfolioLoadLog::text() const {
  std::string result;
  for (const std::string& line : lines_) result += line + "\r\n";
  return result;
}
