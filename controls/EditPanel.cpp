#include "controls/EditPanel.h"

#include <algorithm>

#include "controls/PaintBoxEx.h"
#include "controls/ScrollBarEx.h"
#include "platform/Bevel.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

TEditPanel::TEditPanel(TControl* parent)
    : TKeyPanel(parent), updateTimer_(50, [this] { update(); }) {
  setBevelOuter(TBevelCut::none);
  setBevelInner(TBevelCut::none);
  setTabStop(true);
  setBounds(0, 0, 196, 196);
  bevel_ = &add<TBevel>();
  bevel_->setBounds(0, 0, 180, 180);
  verticalBar_ = &add<TScrollBarEx>(true);
  verticalBar_->setMin(1);
  verticalBar_->setParams(10, 1, 0);
  verticalBar_->setBounds(width() - 16, 1, 16, 179);
  horizontalBar_ = &add<TScrollBarEx>(false);
  horizontalBar_->setParams(9, 1, 0);
  horizontalBar_->setBounds(1, height() - 16, 179, 16);
  paintBox_ = &add<TPaintBoxEx>();
  paintBox_->setBounds(1, 1, 179, 179);
  bitmap_.setSize(179, 179);
  // The frame lies under the text area, which it surrounds by one pixel.
  paintBox_->bringToFront();

  paintBox_->onPaint = [this](TCanvas& canvas) { canvas.draw(0, 0, bitmap_); };
  paintBox_->onMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) { paintBoxMouseDown(b, s, x, y); };
  paintBox_->onMouseMove = [this](TShiftState s, int x, int y) { paintBoxMouseMove(s, x, y); };
  paintBox_->onMouseUp = [this](TMouseButton, TShiftState, int, int) { mouseDown_ = false; };
  verticalBar_->onMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
    forwardMouseDown(*verticalBar_, b, s, x, y);
  };
  horizontalBar_->onMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
    forwardMouseDown(*horizontalBar_, b, s, x, y);
  };
  verticalBar_->onScroll = [this](int position) {
    if (!document_ || position == document_->topLine()) return;
    document_->setTopLine(position, false);
    paintText(false, true, TEditorStatus::noHighlight, false);
  };
  horizontalBar_->onScroll = [this](int position) {
    if (!document_ || position == document_->leftPixel) return;
    document_->setLeftPixel(position);
    paintText(false, false, TEditorStatus::noHighlight, false);
  };
}

TEditPanel::~TEditPanel() { updateTimer_.setEnabled(false); }

// ---- attachment

void TEditPanel::setEditorStatus(TEditorStatus* document) {
  document_ = document;
  textChangedOutside();
  update();
}

void TEditPanel::setOnGetTextAttributes(TTextAttributesCallback callback) {
  getTextAttributes_ = std::move(callback);
  textChangedOutside();
  update();
}

void TEditPanel::setFontAttributeSets(TFontAttributeSets* sets) {
  fontAttributeSets_ = sets;
  update();
}

void TEditPanel::textChangedOutside() { colouredDocument_ = nullptr; }

void TEditPanel::setBgColor(TColor colour) {
  if (!document_) return;
  document_->backgroundColour = colour;
  paintText(false, false, TEditorStatus::noHighlight, false);
}

// ---- document operations

void TEditPanel::getCaret(TTextPoint& point) const { point = document_ ? document_->getCaret() : TTextPoint{0, 0}; }

void TEditPanel::setSelection(const TTextRect& rect) {
  if (!document_) return;
  document_->setSelection(rect);
  paintText(false, true, TEditorStatus::noHighlight, true);
}

void TEditPanel::updateAfter(bool done) {
  if (done) update();
}

bool TEditPanel::undo() {
  const bool done = document_ && document_->undo();
  updateAfter(done);
  return done;
}

bool TEditPanel::redo() {
  const bool done = document_ && document_->redo();
  updateAfter(done);
  return done;
}

bool TEditPanel::cut() {
  const bool done = document_ && document_->cut();
  updateAfter(done);
  return done;
}

bool TEditPanel::paste() {
  const bool done = document_ && document_->paste();
  updateAfter(done);
  return done;
}

void TEditPanel::copy() {
  if (document_) document_->copy();
}

bool TEditPanel::insertText(const std::string& text) {
  const bool done = document_ && document_->insertText(text);
  updateAfter(done);
  return done;
}

bool TEditPanel::deleteSelection() {
  const bool done = document_ && document_->deleteSelection();
  updateAfter(done);
  return done;
}

void TEditPanel::deleteLine() {
  if (!document_) return;
  document_->deleteLine();
  update();
}

void TEditPanel::selectAll() {
  if (!document_) return;
  document_->selectAll();
  update();
}

bool TEditPanel::find(const std::string& text, const TSearchOptions& options) {
  if (!document_) return false;
  if (!document_->find(text, options)) {
    paintText(false, false, TEditorStatus::noHighlight, false);
    return false;
  }
  // The occurrence shows with exchanged colours until the next paint.
  const TTextPoint caret = document_->caret;
  const int length = static_cast<int>(text.size());
  const TTextRect found = options.down ? TTextRect{caret.x - length, caret.y, caret.x, caret.y}
                                       : TTextRect{caret.x, caret.y, caret.x + length, caret.y};
  paintText(true, true, found, true);
  return true;
}

bool TEditPanel::replace(const std::string& findText, const std::string& replaceText, const TSearchOptions& options) {
  const bool done = document_ && document_->replace(findText, replaceText, options);
  updateAfter(done);
  return done;
}

void TEditPanel::clear() {
  if (!document_) return;
  document_->clear();
  update();
}

bool TEditPanel::loadFile(const std::string& fileName, bool createIfMissing) {
  if (!document_) return false;
  bool loaded;
  if (fileExists(fileName)) {
    loaded = document_->loadFromFile(fileName);
  } else {
    document_->clear();
    loaded = createIfMissing && document_->saveToFile(fileName, true);
  }
  update();
  return loaded;
}

// ---- update and paint

void TEditPanel::update() {
  updateTimer_.setEnabled(false);
  if (getTextAttributes_ && document_) {
    if (colouredDocument_ != document_ || colouredGeneration_ != document_->textGeneration) {
      std::string text;
      document_->getText(false, text);
      attributeIds_.assign(text.size(), 0);
      if (!text.empty()) getTextAttributes_(text, attributeIds_);
      colouredDocument_ = document_;
      colouredGeneration_ = document_->textGeneration;
    }
  } else {
    attributeIds_.clear();
    colouredDocument_ = nullptr;
  }
  paintText(true, true, TEditorStatus::noHighlight, true);
}

void TEditPanel::paintText(bool keepCaretVisible, bool updateHorizontalBar, const TTextRect& highlight,
                           bool updateVerticalBar) {
  updateTimer_.setEnabled(false);
  if (!handle()) return;
  if (caret_) caret_->hide();
  const bool hasFocus = focused();
  const RECT area = paintBox_->clientRect();
  if (document_) {
    document_->selectionBackgroundColour = hasFocus ? clHighlight : clBtnFace;
    document_->selectionTextColour = hasFocus ? clHighlightText : clBtnText;
    document_->render(bitmap_.canvas().handle(), area, &attributeIds_, fontAttributeSets_, keepCaretVisible,
                      highlight);
  } else {
    bitmap_.canvas().fillRect(area, clWindow);
  }
  paintBox_->repaint();
  caret_.reset();  // a thread has one caret: the old one goes before the new one comes
  if (document_ && hasFocus && document_->caretHeight > 0) {
    caret_ = std::make_unique<TCaret>(handle(), 0, document_->caretHeight);
    const RECT box = paintBox_->bounds();
    caret_->moveTo(box.left + document_->caretX, box.top + document_->caretY);
    caret_->show();
  }
  if (updateVerticalBar) {
    if (document_)
      verticalBar_->setParams(std::max(1, document_->lineCount() + document_->visibleLineCount() - 1),
                              document_->topLine(), document_->visibleLineCount());
    else
      verticalBar_->setParams(1, 0, 1);
  }
  if (updateHorizontalBar) {
    if (document_)
      horizontalBar_->setParams(std::max(1, document_->documentWidth()), document_->leftPixel,
                                document_->viewWidth());
    else
      horizontalBar_->setParams(1, 0, 1);
  }
  if (onRender) onRender(*this);
}

// ---- keys, mouse, focus, size

void TEditPanel::keyDown(WORD& key, TShiftState shift) {
  if (document_ && document_->keyDown(key, shift & (ssShift | ssCtrl | ssAlt))) update();
  TKeyPanel::keyDown(key, shift);
}

void TEditPanel::keyPress(char& key) {
  // Typing bursts are coloured and painted once, 50 ms after the last key.
  if (document_ && document_->keyPress(key)) updateTimer_.restart();
  TKeyPanel::keyPress(key);
}

void TEditPanel::paintBoxMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (canFocus()) {
    mouseDown_ = true;
    setFocus();
    if (button == TMouseButton::left && document_) {
      document_->caretFromPoint(x, y);
      paintText(false, true, TEditorStatus::noHighlight, false);
    }
  }
  forwardMouseDown(*paintBox_, button, shift, x, y);
}

void TEditPanel::paintBoxMouseMove(TShiftState shift, int x, int y) {
  if (!visible() || !mouseDown_ || !(shift & ssLeft) || !document_) return;
  if (caret_) caret_->hide();
  document_->extendSelectionToPoint(x, y);
  updateTimer_.restart();
}

void TEditPanel::forwardMouseDown(const TControl& from, TMouseButton button, TShiftState shift, int x, int y) {
  const RECT at = from.bounds();
  if (onMouseDown) onMouseDown(button, shift, x + at.left, y + at.top);
}

void TEditPanel::resized() {
  // Sizing the window while the constructor builds it comes before the parts.
  if (!paintBox_) return;
  updateTimer_.setEnabled(false);
  const int textWidth = std::max(0, width() - (verticalBar_->visible() ? verticalBar_->width() : 0));
  const int textHeight = std::max(0, height() - (horizontalBar_->visible() ? horizontalBar_->height() : 0));
  verticalBar_->setBounds(textWidth, 1, verticalBar_->width(), std::max(0, textHeight - 1));
  horizontalBar_->setBounds(1, textHeight, std::max(0, textWidth - 1), horizontalBar_->height());
  bevel_->setBounds(0, 0, textWidth, textHeight);
  paintBox_->setBounds(1, 1, std::max(0, textWidth - 2), std::max(0, textHeight - 2));
  bitmap_.setSize(paintBox_->width(), paintBox_->height());
  updateTimer_.restart();
  TKeyPanel::resized();
}

bool TEditPanel::mouseWheel(int delta, TShiftState shift, int x, int y) {
  if (!document_ || delta == 0) return TKeyPanel::mouseWheel(delta, shift, x, y);
  document_->setTopLine(document_->topLine() + (delta > 0 ? -1 : 1), false);
  paintText(false, false, TEditorStatus::noHighlight, true);
  return true;
}

LRESULT TEditPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS: {
      const LRESULT result = TKeyPanel::handleMessage(message, wParam, lParam);
      paintText(false, true, TEditorStatus::noHighlight, true);
      return result;
    }
    case WM_KILLFOCUS: {
      caret_.reset();
      const LRESULT result = TKeyPanel::handleMessage(message, wParam, lParam);
      paintText(false, false, TEditorStatus::noHighlight, false);
      return result;
    }
    case WM_GETDLGCODE:
      // A text that cannot be changed has no use for Tab: it moves on.
      if (isReadOnly()) return TKeyPanel::handleMessage(message, wParam, lParam) & ~DLGC_WANTTAB;
      break;
    default:
      break;
  }
  return TKeyPanel::handleMessage(message, wParam, lParam);
}
