#include "platform/MaskEdit.h"

#include "platform/Dialogs.h"

TMaskEdit::TMaskEdit(TControl* parent, const std::string& mask, char blank)
    : TEdit(parent), mask_(mask), blank_(blank) {
  setMaxLength(static_cast<int>(mask_.size()));
  setText(conformed());
}

std::string TMaskEdit::conformed() const {
  std::string current = text();
  std::string shaped(mask_.size(), blank_);
  for (std::size_t i = 0; i < mask_.size(); ++i) {
    if (!isPlace(i))
      shaped[i] = mask_[i];
    else if (i < current.size())
      shaped[i] = current[i];
  }
  return shaped;
}

void TMaskEdit::blankRange(std::string& text, std::size_t from, std::size_t to) const {
  for (std::size_t i = from; i < to && i < text.size(); ++i)
    if (isPlace(i)) text[i] = blank_;
}

void TMaskEdit::apply(const std::string& text, std::size_t caret) {
  if (text != this->text()) setText(text);  // the change notification follows
  setSelection(static_cast<int>(caret), static_cast<int>(caret));
}

void TMaskEdit::typeText(const std::string& typed) {
  std::string shaped = conformed();
  auto [start, end] = selection();
  blankRange(shaped, start, end);
  std::size_t caret = static_cast<std::size_t>(start);
  for (char c : typed) {
    if (static_cast<unsigned char>(c) < 32) continue;
    if (caret < mask_.size() && !isPlace(caret) && mask_[caret] == c) {
      ++caret;
      continue;
    }
    while (caret < mask_.size() && !isPlace(caret)) ++caret;
    if (caret >= mask_.size()) {
      MessageBeep(MB_OK);
      break;
    }
    shaped[caret++] = c;
  }
  apply(shaped, caret);
}

void TMaskEdit::clearSelection() {
  std::string shaped = conformed();
  auto [start, end] = selection();
  blankRange(shaped, start, end);
  apply(shaped, start);
}

void TMaskEdit::keyDown(WORD& key, TShiftState shift) {
  TEdit::keyDown(key, shift);
  if (key != VK_DELETE || (shift & (ssCtrl | ssAlt))) return;
  key = 0;
  auto [start, end] = selection();
  if (start != end) {
    clearSelection();
    return;
  }
  std::string shaped = conformed();
  std::size_t at = static_cast<std::size_t>(start);
  while (at < mask_.size() && !isPlace(at)) ++at;
  blankRange(shaped, at, at + 1);
  apply(shaped, start);
}

void TMaskEdit::keyPress(char& key) {
  TEdit::keyPress(key);
  if (key == '\b') {
    key = 0;
    auto [start, end] = selection();
    if (start != end) {
      clearSelection();
      return;
    }
    std::string shaped = conformed();
    std::size_t at = static_cast<std::size_t>(start);
    while (at > 0 && !isPlace(at - 1)) --at;
    if (at == 0) return;
    blankRange(shaped, at - 1, at);
    apply(shaped, at - 1);
  } else if (static_cast<unsigned char>(key) >= 32) {
    const std::string typed(1, key);
    key = 0;
    typeText(typed);
  }
}

LRESULT TMaskEdit::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PASTE:
      typeText(clipboardText());
      return 0;
    case WM_CUT:
      TEdit::handleMessage(WM_COPY, 0, 0);
      clearSelection();
      return 0;
    case WM_CLEAR:
      clearSelection();
      return 0;
  }
  return TEdit::handleMessage(message, wParam, lParam);
}
