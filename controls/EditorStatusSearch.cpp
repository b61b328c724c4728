#include "controls/EditorStatus.h"

#include "platform/LocaleSettings.h"

namespace {

bool blankOrTab(char c) { return c == ' ' || c == '\t'; }

// The first (down) or last (up) occurrence of the needle in the part of a
// line, as an offset into the part; -1 when there is none.
int occurrenceInPart(const std::string& part, const std::string& needle, const TSearchOptions& options) {
  const auto acceptable = [&](size_t at) {
    if (!options.wholeWord) return true;
    const size_t after = at + needle.size();
    return (at == 0 || blankOrTab(part[at - 1])) && (after == part.size() || blankOrTab(part[after]));
  };
  if (options.down) {
    for (size_t at = part.find(needle); at != std::string::npos; at = part.find(needle, at + needle.size()))
      if (acceptable(at)) return static_cast<int>(at);
  } else if (part.size() >= needle.size()) {
    for (size_t at = part.rfind(needle); at != std::string::npos; at = at ? part.rfind(needle, at - 1) : std::string::npos)
      if (acceptable(at)) return static_cast<int>(at);
  }
  return -1;
}

}  // namespace

// The stretch of text a search walks: from the caret down or up to the end
// of the text, or the selection, starting (down) or ending (up) at the caret
// when the caret lies inside it.
void TEditorStatus::searchRegion(bool down, TTextPoint& from, TTextPoint& to) const {
  const TTextPoint textEnd{lineLength(lineCount() - 1) + 1, lineCount() - 1};
  if (!hasSelection()) {
    from = down ? caret : TTextPoint{1, 0};
    to = down ? textEnd : caret;
    return;
  }
  TTextRect s;
  getSelectionOrdered(s);
  from = {s.left, s.top - 1};
  to = {s.right, s.bottom - 1};
  const auto before = [](TTextPoint a, TTextPoint b) { return a.y < b.y || (a.y == b.y && a.x < b.x); };
  if (!before(caret, from) && before(caret, to)) (down ? from : to) = caret;
}

TEditorStatus::TOccurrence TEditorStatus::findIn(const std::string& text, TTextPoint from, TTextPoint to,
                                                 const TSearchOptions& options) const {
  const std::string needle = options.matchCase ? text : upperCase(text);
  const int lastLine = std::min(to.y, lineCount() - 1);
  const int step = options.down ? 1 : -1;
  for (int line = options.down ? from.y : lastLine; options.down ? line <= lastLine : line >= from.y; line += step) {
    if (line < 0) break;
    const int length = lineLength(line);
    const int start = line == from.y ? std::min(from.x - 1, length) : 0;
    const int end = line == to.y ? std::min(to.x - 1, length) : length;
    if (end - start < static_cast<int>(needle.size())) continue;
    std::string part = lines[line].substr(start, end - start);
    if (!options.matchCase) part = upperCase(std::move(part));
    const int at = occurrenceInPart(part, needle, options);
    if (at >= 0) return {line, start + at + 1};
  }
  return {};
}

bool TEditorStatus::find(const std::string& text, const TSearchOptions& options) {
  // An empty text would be found everywhere, and a replace-all on it for ever.
  if (text.empty() || lines.empty()) return false;
  TTextPoint from, to;
  searchRegion(options.down, from, to);
  const TOccurrence found = findIn(text, from, to, options);
  if (found.line < 0) return false;
  caret = {options.down ? found.column + static_cast<int>(text.size()) : found.column, found.line};
  return true;
}

bool TEditorStatus::replace(const std::string& findText, const std::string& replaceText,
                            const TSearchOptions& options) {
  if (readOnly || findText.empty() || lines.empty()) return false;
  TSearchOptions down = options;
  down.down = true;
  TTextPoint from, to;
  searchRegion(true, from, to);
  const bool selected = hasSelection();
  const int difference = static_cast<int>(replaceText.size()) - static_cast<int>(findText.size());
  const auto shiftAfter = [&](TTextPoint& point, const TOccurrence& at) {
    if (point.y == at.line && point.x >= at.column + static_cast<int>(findText.size())) point.x += difference;
  };
  bool replaced = false;
  // The region is walked once: it ends where its end has moved to with the
  // replacements, and each search starts after the previous replacement, so
  // a replacement that still matches is never replaced again.
  for (;;) {
    const TOccurrence at = findIn(findText, from, to, down);
    if (at.line < 0) break;
    if (!replaced) saveUndo();
    replaced = true;
    std::string& line = lines[at.line];
    line.replace(at.column - 1, findText.size(), replaceText);
    shiftAfter(to, at);
    if (selected) {
      shiftAfter(selectionAnchor, at);
      shiftAfter(selectionEnd, at);
    }
    caret = {at.column + static_cast<int>(replaceText.size()), at.line};
    from = caret;
    if (!options.replaceAll) break;
  }
  if (!replaced) return false;
  lastEditKind = TEditKind::none;
  textChanged();
  return true;
}
