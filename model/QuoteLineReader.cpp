#include "model/QuoteLineReader.h"

#include <algorithm>
#include <emmintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"

namespace {

constexpr char endOfFileByte = 0x1A;
constexpr size_t readChunkSize = 1 << 16;
constexpr size_t estimateSampleSize = 1 << 13;
// No quote line comes near this; a file without line breaks (or a damaged
// one) must not grow the buffer without end.
constexpr size_t maxLineLength = size_t{1} << 24;
// Beyond this many lines the series grow as lines come: a short sample
// stands for the whole file only so far.
constexpr size_t maxReservedLines = size_t{1} << 18;

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// An editor's mark of UTF-8 text, no part of the first line.
constexpr std::string_view utf8Mark = "\xef\xbb\xbf";

// The first CR, LF or end-of-file byte from p on, else end; sixteen bytes
// at a time, since finding lines is a good part of loading a quote file.
const char* findLineBreak(const char* p, const char* end) {
  const __m128i lineFeeds = _mm_set1_epi8('\n');
  const __m128i carriageReturns = _mm_set1_epi8('\r');
  const __m128i endMarks = _mm_set1_epi8(endOfFileByte);
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i found = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, lineFeeds), _mm_cmpeq_epi8(bytes, carriageReturns)),
                                       _mm_cmpeq_epi8(bytes, endMarks));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(found));
    if (mask != 0) return p + std::countr_zero(mask);
    p += 16;
  }
  while (p != end && !isLineEnd(*p) && *p != endOfFileByte) ++p;
  return p;
}

}  // namespace

void TQuoteLineReader::restart() {
  position_ = 0;
  failed_ = endsInsideLine_ = afterCarriageReturn_ = endMarkPending_ = false;
  lineEnds_ = endMarkLine_ = linesAfterEndMark_ = 0;
}

int TQuoteLineReader::open(const std::string& fileName) {
  buffer_.clear();
  restart();
  filled_ = 0;
  inputEnded_ = fileEnded_ = true;
  // A device or anything else that is no regular file cannot be read.
  if (!file_.open(fileName)) return pathExists(fileName) || namesDevice(fileName) ? -3 : -2;
  inputEnded_ = fileEnded_ = false;
  buffer_.resize(readChunkSize);
  fill();
  skipByteOrderMark();
  return failed_ ? -3 : 0;
}

void TQuoteLineReader::assign(std::string bytes) {
  file_.close();
  buffer_.assign(bytes.begin(), bytes.end());
  restart();
  filled_ = buffer_.size();
  inputEnded_ = true;
  fileEnded_ = false;
  skipByteOrderMark();
}

void TQuoteLineReader::skipByteOrderMark() {
  // Read as text, the mark would make the first line's date no date, and
  // the file's first quote would be lost from every figure.
  if (std::string_view(buffer_.data(), filled_).starts_with(utf8Mark)) position_ = utf8Mark.size();
}

bool TQuoteLineReader::fill() {
  if (inputEnded_) return false;
  filled_ -= position_;
  std::memmove(buffer_.data(), buffer_.data() + position_, filled_);
  position_ = 0;
  // A line longer than the buffer makes it grow.
  if (filled_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const int64_t got = file_.read(buffer_.data() + filled_, buffer_.size() - filled_);
  if (got <= 0) {
    failed_ = got < 0;
    inputEnded_ = true;
    file_.close();
    return false;
  }
  filled_ += static_cast<size_t>(got);
  return true;
}

bool TQuoteLineReader::readQuoteLine(std::string_view& line) {
  if (fileEnded_ || failed_) {
    if (endMarkPending_) readPastEndMark();
    return false;
  }
  for (;;) {
    for (; position_ < filled_ && isLineEnd(buffer_[position_]); ++position_) {
      const bool carriageReturn = buffer_[position_] == '\r';
      if (carriageReturn || !afterCarriageReturn_) ++lineEnds_;
      afterCarriageReturn_ = carriageReturn;
    }
    if (position_ == filled_) {
      if (fill()) continue;
      fileEnded_ = true;
      return false;
    }
    const char* const start = buffer_.data() + position_;
    const char* const end = buffer_.data() + filled_;
    const char* const lineEnd = findLineBreak(start, end);
    if (lineEnd == end && !inputEnded_) {
      if (filled_ - position_ > maxLineLength) {
        skipLongLine();
        if (failed_) return false;
        continue;
      }
      if (!fill() && failed_) return false;
      continue;
    }
    if (lineEnd != end && *lineEnd == endOfFileByte) {
      fileEnded_ = endMarkPending_ = true;
      endMarkLine_ = lineEnds_ + 1;
    }
    line = std::string_view(start, static_cast<size_t>(lineEnd - start));
    endsInsideLine_ = (lineEnd == end || *lineEnd == endOfFileByte) &&
                      line.find_first_not_of(" \t") != std::string_view::npos;
    position_ += line.size();
    if (line.empty()) {  // the end-of-file byte began the line
      readPastEndMark();
      return false;
    }
    afterCarriageReturn_ = false;
    if (line.size() > maxLineLength) continue;
    return true;
  }
}

void TQuoteLineReader::readPastEndMark() {
  // What follows is read only to be counted: an editor shows it, no reader
  // of quote files takes it, and the user learns how much was left out.
  endMarkPending_ = false;
  ++position_;
  bool lineHasText = false;
  do {
    for (; position_ < filled_; ++position_) {
      const char c = buffer_[position_];
      if (isLineEnd(c)) {
        linesAfterEndMark_ += lineHasText ? 1 : 0;
        lineHasText = false;
      } else if (c != ' ' && c != '\t' && c != endOfFileByte) {
        lineHasText = true;
      }
    }
  } while (fill());
  linesAfterEndMark_ += lineHasText ? 1 : 0;
  // A byte that ends the text is how some editors end a file.
  if (linesAfterEndMark_ == 0) endMarkLine_ = 0;
}

void TQuoteLineReader::reportUnreadEnd(const std::string& fileName) const {
  if (linesAfterEndMark_ > 0)
    reportEndMarkInsideFile(fileName, endMarkLine_, linesAfterEndMark_);
  else if (endsInsideLine_)
    reportPossiblyCutOffFile(fileName);
}

void TQuoteLineReader::skipLongLine() {
  // Read on to the line's end, keeping nothing of it.
  afterCarriageReturn_ = false;
  for (;;) {
    position_ = filled_;
    if (!fill()) return;
    const char* const start = buffer_.data() + position_;
    const char* const lineEnd = findLineBreak(start, buffer_.data() + filled_);
    position_ += static_cast<size_t>(lineEnd - start);
    if (position_ != filled_) return;
  }
}

size_t TQuoteLineReader::lineCountEstimate() const {
  // The lines of the first few kilobytes stand for the rest: counting them
  // in the whole first piece read would cost a pass over a third of a
  // typical price file. Only lines with text count, as only they become
  // records: a file that begins with blank lines is no file of tiny records.
  const size_t sampled = std::min(filled_ - std::min(position_, filled_), estimateSampleSize);
  const char* const begin = buffer_.data() + position_;
  const char* const end = begin + sampled;
  size_t lines = 0;
  for (const char* p = begin; p != end;) {
    const char* const lineEnd = findLineBreak(p, end);
    if (lineEnd != p) ++lines;
    if (lineEnd == end || *lineEnd == endOfFileByte) break;
    p = lineEnd + 1;
  }
  const auto fileSize = static_cast<size_t>(std::max<int64_t>(file_.size(), 0));
  if (sampled == 0 || fileSize <= sampled) return lines;
  const double estimate = static_cast<double>(lines) * (static_cast<double>(fileSize) / static_cast<double>(sampled));
  return std::min(static_cast<size_t>(estimate) + 1, maxReservedLines);
}
