#include "controls/EditorStatus.h"

#include "platform/Dialogs.h"

TEditorStatus::TEditorStatus() {
  defaultFont_.colour = 0;  // black
  clear();
}

void TEditorStatus::clear() {
  tabWidth = 20;
  insertMode = true;
  suppressNextCharacter = false;
  fileName.clear();
  fileDigest_.reset();
  reset();
}

void TEditorStatus::reset() {
  lastVisibleLine = 0;
  leftPixel = 0;
  rightPixel = 0;
  widestLine = 0;
  undoHistory_.clear();
  redoHistory_.clear();
  widthTables.clear();
  widthTableColumns.clear();
  TEditorStatusCore::clear();
  textGeneration = ++nextGeneration_;
  savedGeneration_ = textGeneration;
  undoHistory_.push(*this);
}

// ---- positions

int TEditorStatus::lineLength(int line) const {
  return line >= 0 && line < lineCount() ? static_cast<int>(lines[line].size()) : 0;
}

// Word boundaries are blanks, tabs and everything beyond the end of a line.
bool TEditorStatus::blankAt(int line, int column) const {
  if (column < 1 || column > lineLength(line)) return true;
  const char c = lines[line][column - 1];
  return c == ' ' || c == '\t';
}

void TEditorStatus::moveCaret(TTextPoint point) {
  caret.x = std::max(1, point.x);
  caret.y = std::max(0, point.y);
  collapseSelection();
}

void TEditorStatus::setCaret(TTextPoint point) { moveCaret({point.x, point.y - 1}); }

char TEditorStatus::charAtCaret() const {
  return caret.x <= lineLength(caret.y) ? lines[caret.y][caret.x - 1] : '\0';
}

void TEditorStatus::getSelectionOrdered(TTextRect& rect) const {
  TTextPoint start = selectionAnchor, end = selectionEnd;
  if (end.y < start.y || (end.y == start.y && end.x < start.x)) std::swap(start, end);
  rect = {start.x, start.y + 1, end.x, end.y + 1};
}

void TEditorStatus::setSelection(const TTextRect& rect) {
  selectionAnchor = {rect.left, rect.top - 1};
  selectionEnd = {rect.right, rect.bottom - 1};
}

void TEditorStatus::selectAll() {
  selectionAnchor = {1, 0};
  selectionEnd = lines.empty() ? TTextPoint{1, 0} : TTextPoint{lineLength(lineCount() - 1) + 1, lineCount() - 1};
}

void TEditorStatus::getSelectedText(std::string& text) const {
  text.clear();
  if (!hasSelection()) return;
  TTextRect s;
  getSelectionOrdered(s);
  const int first = s.top - 1, last = s.bottom - 1;
  for (int line = first; line <= last; ++line) {
    const int from = line == first ? s.left - 1 : 0;
    const int to = line == last ? std::min(s.right - 1, lineLength(line)) : lineLength(line);
    if (line != first) text += "\r\n";
    if (line < lineCount() && from < to) text.append(lines[line], from, to - from);
  }
}

void TEditorStatus::caretFromPoint(int x, int y) {
  caret = positionFromPixel(x, y);
  selectionAnchor = selectionEnd = caret;
}

void TEditorStatus::extendSelectionToPoint(int x, int y) { caret = selectionEnd = positionFromPixel(x, y); }

TTextPoint TEditorStatus::positionFromPixel(int x, int y) const {
  if (widthTables.empty()) return {1, topLineIndex};
  size_t row = 0;
  for (int top = 0; row + 1 < widthTables.size(); ++row) {
    top += widthTables[row][0];
    if (y < top) break;
  }
  // The mouse reaches no further than the last line: a caret left below it
  // would have the next key typed fill the text with blank lines.
  const int lastRow = lineCount() - 1 - topLineIndex;
  row = std::min(row, static_cast<size_t>(std::max(lastRow, 0)));
  const std::vector<int>& bounds = widthTables[row];
  const int first = row < widthTableColumns.size() ? widthTableColumns[row] : 1;
  const long long target = static_cast<long long>(leftPixel) + x;
  int column = first + static_cast<int>(bounds.size()) - 2;  // the row's last boundary
  for (size_t i = 2; i < bounds.size(); ++i)
    if ((static_cast<long long>(bounds[i - 1]) + bounds[i]) / 2 >= target) {
      column = first + static_cast<int>(i) - 2;
      break;
    }
  return {std::max(1, column), topLineIndex + static_cast<int>(row)};
}

// ---- view

void TEditorStatus::setTopLine(int line, bool moveCaret) {
  const int top = std::clamp(line, 1, std::max(1, lineCount())) - 1;
  const int shift = top - topLineIndex;
  topLineIndex = top;
  lastVisibleLine += shift;
  if (moveCaret) {
    caret.y = std::max(0, caret.y + shift);
    collapseSelection();
  }
}

void TEditorStatus::setLeftPixel(int x) {
  const int left = std::max(0, x);
  rightPixel += left - leftPixel;
  leftPixel = left;
}

// ---- history

void TEditorStatus::textChanged() {
  textGeneration = ++nextGeneration_;
  // A state reached by a new edit makes the undone states unreachable.
  redoHistory_.clear();
  refreshModified();
}

void TEditorStatus::saveUndo() {
  undoHistory_.push(*this);
  redoHistory_.clear();
}

void TEditorStatus::beginEdit(TEditKind kind) {
  if (lastEditKind != kind) saveUndo();
  lastEditKind = kind;
}

bool TEditorStatus::restoreFrom(TEditorStatusHistory& from, TEditorStatusHistory& to) {
  if (readOnly) return false;
  auto snapshot = from.pop();
  if (!snapshot) return false;
  to.push(*this);
  assign(*snapshot);
  // The next edit starts a group of its own, so that redo never replays a
  // state the document has moved away from.
  lastEditKind = TEditKind::none;
  refreshModified();
  return true;
}

bool TEditorStatus::undo() { return restoreFrom(undoHistory_, redoHistory_); }
bool TEditorStatus::redo() { return restoreFrom(redoHistory_, undoHistory_); }

// ---- editing primitives

// Typing in virtual space first fills the text up to the caret.
void TEditorStatus::pad() {
  if (lineCount() <= caret.y) lines.resize(caret.y + 1);
  std::string& line = lines[caret.y];
  if (static_cast<int>(line.size()) < caret.x - 1) line.resize(caret.x - 1, ' ');
}

bool TEditorStatus::deleteSelectionRaw() {
  if (!hasSelection()) return false;
  TTextRect s;
  getSelectionOrdered(s);
  const int first = s.top - 1, last = s.bottom - 1;
  if (first < lineCount()) {
    std::string joined = lines[first].substr(0, std::min(s.left - 1, lineLength(first)));
    if (last < lineCount() && s.right - 1 < lineLength(last)) {
      if (static_cast<int>(joined.size()) < s.left - 1) joined.resize(s.left - 1, ' ');
      joined += lines[last].substr(s.right - 1);
    }
    lines[first] = std::move(joined);
    const int lastPresent = std::min(last, lineCount() - 1);
    if (lastPresent > first) lines.erase(lines.begin() + first + 1, lines.begin() + lastPresent + 1);
    textChanged();
  }
  caret = {s.left, first};
  collapseSelection();
  return true;
}

void TEditorStatus::typeCharacter(char character) {
  deleteSelectionRaw();
  pad();
  std::string& line = lines[caret.y];
  if (insertMode || caret.x > static_cast<int>(line.size()))
    line.insert(line.begin() + caret.x - 1, character);
  else
    line[caret.x - 1] = character;
  ++caret.x;
  collapseSelection();
  textChanged();
}

void TEditorStatus::newLine() {
  pad();
  std::string rest = lines[caret.y].substr(caret.x - 1);
  lines[caret.y].resize(caret.x - 1);
  lines.insert(lines.begin() + caret.y + 1, std::move(rest));
  caret = {1, caret.y + 1};
  collapseSelection();
  textChanged();
}

void TEditorStatus::deleteForward() {
  if (deleteSelectionRaw() || caret.y >= lineCount()) return;
  std::string& line = lines[caret.y];
  if (caret.x <= static_cast<int>(line.size())) {
    line.erase(caret.x - 1, 1);
  } else if (caret.y + 1 < lineCount()) {
    line += lines[caret.y + 1];
    lines.erase(lines.begin() + caret.y + 1);
  } else {
    return;
  }
  textChanged();
}

void TEditorStatus::backspace() {
  if (deleteSelectionRaw()) return;
  if (caret.x == 1) {
    if (caret.y == 0) return;
    if (caret.y >= lineCount()) {
      --caret.y;
      if (caret.y < lineCount()) caret.x = lineLength(caret.y) + 1;
    } else {
      caret.x = lineLength(caret.y - 1) + 1;
      lines[caret.y - 1] += lines[caret.y];
      lines.erase(lines.begin() + caret.y);
      --caret.y;
      textChanged();
    }
  } else {
    if (caret.x - 1 <= lineLength(caret.y)) {
      lines[caret.y].erase(caret.x - 2, 1);
      textChanged();
    }
    --caret.x;
  }
  collapseSelection();
}

void TEditorStatus::deleteWordLeft() {
  if (caret.x == 1 || hasSelection()) {
    backspace();
    return;
  }
  const bool word = !blankAt(caret.y, caret.x - 1);
  bool changed = false;
  while (caret.x > 1 && blankAt(caret.y, caret.x - 1) != word) {
    if (caret.x - 1 <= lineLength(caret.y)) {
      lines[caret.y].erase(caret.x - 2, 1);
      changed = true;
    }
    --caret.x;
  }
  collapseSelection();
  if (changed) textChanged();
}

void TEditorStatus::wordLeft() {
  TTextPoint p = caret;
  if (p.x == 1) {
    if (p.y > 0) {
      --p.y;
      p.x = std::max(1, lineLength(p.y));
    }
  } else {
    const bool fromBlank = blankAt(p.y, p.x);
    // From a blank: over the blanks, then over the word before them; from a
    // word: over the rest of it, then over the blanks before it.
    while (p.x > 1 && blankAt(p.y, p.x - 1) == fromBlank) --p.x;
    while (p.x > 1 && blankAt(p.y, p.x - 1) != fromBlank) --p.x;
  }
  moveCaret(p);
}

void TEditorStatus::wordRight() {
  TTextPoint p = caret;
  if (p.x > lineLength(p.y)) p = {1, p.y + 1};
  const int length = lineLength(p.y);
  const bool fromBlank = blankAt(p.y, p.x);
  while (p.x <= length && blankAt(p.y, p.x) == fromBlank) ++p.x;
  moveCaret(p);
}

void TEditorStatus::moveToFirstNonBlankOfNextLine() {
  const int line = caret.y + 1;
  int column = 1;
  const int length = lineLength(line);
  while (column <= length && blankAt(line, column)) ++column;
  moveCaret({column <= length ? column : 1, line});
}

// ---- keys

bool TEditorStatus::keyDown(WORD key, TShiftState shiftState) {
  if (shiftState & ssCtrl) {
    if (key >= VK_BACK && key <= VK_DOWN) suppressNextCharacter = true;
    return handleCtrlKey(key);
  }
  if (shiftState & ssAlt) return false;
  suppressNextCharacter = false;
  return handlePlainKey(key);
}

bool TEditorStatus::handlePlainKey(WORD key) {
  const bool editKey = key == VK_BACK || key == VK_TAB || key == VK_DELETE || (key == VK_RETURN && insertMode);
  if (editKey && readOnly) return false;
  switch (key) {
    case VK_BACK:
      beginEdit(TEditKind::deleting);
      backspace();
      return true;
    case VK_TAB:
      beginEdit(TEditKind::typing);
      typeCharacter('\t');
      return true;
    case VK_RETURN:
      if (insertMode) {
        beginEdit(TEditKind::typing);
        newLine();
      } else {
        moveToFirstNonBlankOfNextLine();
      }
      return true;
    case VK_PRIOR:
      setTopLine(topLine() - std::max(1, visibleLineCount() - 1), true);
      return true;
    case VK_NEXT:
      setTopLine(topLine() + std::max(1, visibleLineCount() - 1), true);
      return true;
    case VK_END: {
      int column = lineLength(caret.y);
      while (column > 0 && blankAt(caret.y, column)) --column;
      moveCaret({column + 1, caret.y});
      return true;
    }
    case VK_HOME:
      moveCaret({1, caret.y});
      return true;
    case VK_LEFT:
      moveCaret({caret.x - 1, caret.y});
      return true;
    case VK_RIGHT:
      moveCaret({caret.x + 1, caret.y});
      return true;
    case VK_UP:
      moveCaret({caret.x, caret.y - 1});
      return true;
    case VK_DOWN:
      moveCaret({caret.x, caret.y + 1});
      return true;
    case VK_INSERT:
      insertMode = !insertMode;
      return false;
    case VK_DELETE:
      beginEdit(TEditKind::deleting);
      deleteForward();
      return true;
    default:
      return false;
  }
}

bool TEditorStatus::handleCtrlKey(WORD key) {
  switch (key) {
    case VK_BACK:
      if (readOnly) return false;
      beginEdit(TEditKind::deleting);
      deleteWordLeft();
      return true;
    case VK_PRIOR:
      moveCaret({caret.x, topLineIndex});
      return true;
    case VK_NEXT:
      moveCaret({caret.x, std::max(topLineIndex, lastVisibleLine)});
      return true;
    case VK_END:
      moveCaret(lines.empty() ? TTextPoint{1, 0} : TTextPoint{lineLength(lineCount() - 1) + 1, lineCount() - 1});
      return true;
    case VK_HOME:
      moveCaret({1, 0});
      return true;
    case VK_LEFT:
      wordLeft();
      return true;
    case VK_RIGHT:
      wordRight();
      return true;
    case VK_UP:
      if (topLineIndex >= 1) setTopLine(topLineIndex, false);
      return true;
    case VK_DOWN:
      if (topLineIndex < lineCount() - 1) setTopLine(topLineIndex + 2, false);
      return true;
    default:
      return false;
  }
}

bool TEditorStatus::keyPress(char character) {
  if (suppressNextCharacter) {
    suppressNextCharacter = false;
    return false;
  }
  // Line ends come through the Enter key; other control characters are not text.
  if (readOnly || static_cast<unsigned char>(character) < ' ') return false;
  beginEdit(TEditKind::typing);
  typeCharacter(character);
  return true;
}

// ---- whole edits

void TEditorStatus::insertRaw(const std::string& text) {
  const bool mode = insertMode;
  insertMode = true;
  for (char c : text) {
    if (c == '\n')
      newLine();
    else if (c != '\r')
      typeCharacter(c);
  }
  insertMode = mode;
}

bool TEditorStatus::insertText(const std::string& text) {
  if (readOnly || text.empty()) return false;
  saveUndo();
  insertRaw(text);
  lastEditKind = TEditKind::none;
  return true;
}

bool TEditorStatus::deleteSelection() {
  if (readOnly || !hasSelection()) return false;
  saveUndo();
  deleteSelectionRaw();
  lastEditKind = TEditKind::deleting;
  return true;
}

void TEditorStatus::deleteLine() {
  if (readOnly) return;
  saveUndo();
  caret.x = 1;
  collapseSelection();
  if (caret.y < lineCount()) {
    lines.erase(lines.begin() + caret.y);
    textChanged();
  } else if (caret.y > 0) {
    --caret.y;
  }
  collapseSelection();
  lastEditKind = TEditKind::none;
}

void TEditorStatus::copy() {
  std::string text;
  getSelectedText(text);
  if (!text.empty()) setClipboardText(text);
}

bool TEditorStatus::cut() {
  if (readOnly || !hasSelection()) return false;
  copy();
  return deleteSelection();
}

bool TEditorStatus::paste() {
  if (readOnly) return false;
  return clipboardHasText() && insertText(clipboardText());
}

bool TEditorStatus::canPaste() const { return !readOnly && clipboardHasText() && !clipboardText().empty(); }
