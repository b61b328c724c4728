#include "model/QuoteFileEdits.h"

#include <algorithm>
#include <set>
#include <vector>

#include "model/QuoteFormat.h"
#include "platform/CalendarDates.h"

namespace {

constexpr char endOfFileByte = 0x1A;
// An editor's mark of UTF-8 text: no part of the first line, and it stays
// in front of whatever line comes first.
constexpr std::string_view utf8Mark = "\xef\xbb\xbf";

struct TTextLine {
  std::string_view content;
  std::string_view end;  // CR LF, LF, CR, or nothing for a last line without one
  bool dated = false;
  int32_t day = 0;
};

// The lines as the quote line reader sees them, each with its own line end.
std::vector<TTextLine> splitLines(std::string_view body) {
  std::vector<TTextLine> lines;
  size_t position = 0;
  while (position < body.size()) {
    const size_t lineEnd = std::min(body.find_first_of("\r\n", position), body.size());
    size_t next = lineEnd;
    if (next < body.size()) next += body.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    lines.push_back({body.substr(position, lineEnd - position), body.substr(lineEnd, next - lineEnd)});
    position = next;
  }
  return lines;
}

void appendRecord(const TQuoteRecord& quote, const TQuoteFormat& format, std::string_view end, std::string& result) {
  std::string line;
  formatQuoteLine(quote, format, line);
  if (line.empty()) return;
  result += line;
  result += end;
}

}  // namespace

bool quoteDayOf(const TQuoteRecord& quote, int32_t& day) {
  if (quote.Error || (quote.Mask & quoteDateBits) != quoteDateBits) return false;
  double date = 0;
  if (!encodeDate(quote.Year, quote.Month, quote.Day, date)) return false;
  day = static_cast<int32_t>(date);
  return true;
}

int applyQuoteDayEdits(std::string_view text, const TQuoteFormat& format, const TQuoteDayEdits& edits,
                       std::string& result) {
  // The reader stops at an end-of-file byte: what follows it is no line, and
  // new lines must come before it to be read.
  const size_t bodyEnd = std::min(text.find(endOfFileByte), text.size());
  const size_t bodyStart = text.starts_with(utf8Mark) ? std::min(utf8Mark.size(), bodyEnd) : 0;
  std::vector<TTextLine> lines = splitLines(text.substr(bodyStart, bodyEnd - bodyStart));
  std::string_view newLine = "\n";
  bool anyText = false;
  std::set<int32_t> daysHeld;
  const TTextLine* firstDated = nullptr;
  const TTextLine* lastDated = nullptr;
  TQuoteRecord quote;
  for (TTextLine& line : lines) {
    if (newLine == "\n" && !line.end.empty()) newLine = line.end;
    if (line.content.empty()) continue;
    anyText = true;
    parseQuoteLine(line.content, format, quote);
    line.dated = quoteDayOf(quote, line.day);
    if (!line.dated) continue;
    daysHeld.insert(line.day);
    if (!firstDated) firstDated = &line;
    lastDated = &line;
  }
  if (anyText && !firstDated) return -8;

  // New days go where the text's order puts them, newest first or last.
  const bool descending = firstDated && firstDated->day > lastDated->day;
  const auto comesBefore = [descending](int32_t a, int32_t b) { return descending ? a > b : a < b; };
  std::vector<int32_t> inserts;
  for (const auto& [day, record] : edits)
    if (record && !daysHeld.contains(day)) inserts.push_back(day);
  if (descending) std::reverse(inserts.begin(), inserts.end());

  result.assign(text.substr(0, bodyStart));
  result.reserve(text.size() + 64 * edits.size());
  size_t nextInsert = 0;
  std::set<int32_t> replaced;
  for (const TTextLine& line : lines) {
    if (line.dated) {
      for (; nextInsert < inserts.size() && comesBefore(inserts[nextInsert], line.day); ++nextInsert)
        appendRecord(*edits.at(inserts[nextInsert]), format, newLine, result);
      const auto edit = edits.find(line.day);
      if (edit != edits.end()) {
        // The day's record takes the place of its first line; its other lines go.
        if (edit->second && replaced.insert(line.day).second) appendRecord(*edit->second, format, line.end, result);
        continue;
      }
    }
    result += line.content;
    result += line.end;
  }
  if (nextInsert < inserts.size() && result.size() > bodyStart && result.back() != '\n' && result.back() != '\r')
    result += newLine;
  for (; nextInsert < inserts.size(); ++nextInsert)
    appendRecord(*edits.at(inserts[nextInsert]), format, newLine, result);
  result += text.substr(bodyEnd);
  return 0;
}
