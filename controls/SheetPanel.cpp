#include "controls/SheetPanel.h"

#include <algorithm>

#include "controls/PaintBoxEx.h"
#include "controls/ScrollBarEx.h"
#include "controls/SheetScrollMap.h"
#include "platform/CalendarDates.h"
#include "platform/Canvas.h"
#include "platform/GdiObjects.h"
#include "sheet/Sheet.h"
#include "sheet/SheetCanvas.h"

namespace {

constexpr int scrollBarThickness = 16;
constexpr UINT refreshDelayMs = 50;

}  // namespace

TSheetPanel::TSheetPanel(TControl* parent)
    : TControl(parent), sheet_(std::make_unique<TSheet>()), refreshTimer_(refreshDelayMs, refreshDelayMs, [this] {
        refresh();
      }) {
  TWindowParams params;
  params.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  params.bounds = RECT{0, 0, 196, 196};
  createWindow(params);
  setColor(clBtnFace);

  sheet_->setColsSizable(true);
  sheet_->setRowsSizable(true);
  sheet_->setMultiSelect(true);

  paintBox_ = &add<TPaintBoxEx>();
  paintBox_->onPaint = [this](TCanvas& canvas) {
    BitBlt(canvas.handle(), 0, 0, offscreen_.width(), offscreen_.height(), offscreen_.canvas().handle(), 0, 0,
           SRCCOPY);
  };
  paintBox_->onMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
    surfaceMouseDown(button, shift, x, y);
  };
  paintBox_->onMouseMove = [this](TShiftState shift, int x, int y) { surfaceMouseMove(shift, x, y); };
  paintBox_->onMouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
    surfaceMouseUp(button, shift, x, y);
  };
  vScrollBar_ = &add<TScrollBarEx>(true);
  hScrollBar_ = &add<TScrollBarEx>(false);
  for (TScrollBarEx* bar : {vScrollBar_, hScrollBar_}) {
    bar->setMin(1);
    bar->setParams(scrollScaleMax, 1, 1);  // large change: a tenth of the scale
    bar->setSmallChange(100);
    bar->setTabStop(false);
    bar->onScrollCode = [this, bar](WORD code, int position) { scrolled(*bar, bar == vScrollBar_, code, position); };
    bar->onMouseDown = [this, bar](TMouseButton button, TShiftState shift, int x, int y) {
      scrollBarPressed(*bar, button, shift, x, y);
    };
  }
  colorDialog = std::make_unique<TColorDialog>();
  buildEditors();
  layout();
}

TSheetPanel::~TSheetPanel() {
  refreshTimer_.cancel();
  // The children go after this body, some with the focus: nothing they
  // report may reach the sheet, which goes first.
  endingEditor_ = true;
  session_.close();
  editorKeys_ = TEditorKeys{};
}

// ---- Options ----

bool TSheetPanel::showVScrollBar() const { return vScrollBar_->visible(); }
void TSheetPanel::setShowVScrollBar(bool b) {
  vScrollBar_->setVisible(b);
  layout();
}
bool TSheetPanel::showHScrollBar() const { return hScrollBar_->visible(); }
void TSheetPanel::setShowHScrollBar(bool b) {
  hScrollBar_->setVisible(b);
  layout();
}
bool TSheetPanel::numericColCoords() const { return sheet_->getNumericColCoords(); }
void TSheetPanel::setNumericColCoords(bool b) {
  sheet_->setNumericColCoords(b);
  render();
}
bool TSheetPanel::showColCoords() const { return sheet_->getShowColCoords(); }
void TSheetPanel::setShowColCoords(bool b) {
  sheet_->setShowColCoords(b);
  render();
}
bool TSheetPanel::showRowCoords() const { return sheet_->getShowRowCoords(); }
void TSheetPanel::setShowRowCoords(bool b) {
  sheet_->setShowRowCoords(b);
  render();
}
bool TSheetPanel::colsSizable() const { return sheet_->getColsSizable(); }
void TSheetPanel::setColsSizable(bool b) {
  sheet_->setColsSizable(b);
  render();
}
bool TSheetPanel::rowsSizable() const { return sheet_->getRowsSizable(); }
void TSheetPanel::setRowsSizable(bool b) {
  sheet_->setRowsSizable(b);
  render();
}
void TSheetPanel::setInnerSizable(bool b) {
  innerSizable_ = b;
  render();
}
bool TSheetPanel::showGridLines() const { return sheet_->gridLines; }
void TSheetPanel::setShowGridLines(bool b) {
  sheet_->gridLines = b;
  render();
}
bool TSheetPanel::showCellErrors() const { return sheet_->showErrorTexts; }
void TSheetPanel::setShowCellErrors(bool b) {
  sheet_->showErrorTexts = b;
  render();
}
int TSheetPanel::defaultMaxDecimals() const { return sheet_->defaultMaxDecimals; }
void TSheetPanel::setDefaultMaxDecimals(int n) {
  sheet_->setDefaultMaxDecimals(n);
  render();
}
bool TSheetPanel::defaultFixedDecimals() const { return sheet_->defaultFixedDecimals; }
void TSheetPanel::setDefaultFixedDecimals(bool b) {
  sheet_->defaultFixedDecimals = b;
  render();
}
bool TSheetPanel::multiSelect() const { return sheet_->multiSelect; }
void TSheetPanel::setMultiSelect(bool b) {
  sheet_->setMultiSelect(b);
  render();
}
int TSheetPanel::maxVisibleCol() const { return sheet_->getColCount(); }
void TSheetPanel::setMaxVisibleCol(int n) {
  sheet_->setColCount(n);
  refresh();
}
int TSheetPanel::maxVisibleRow() const { return sheet_->getRowCount(); }
void TSheetPanel::setMaxVisibleRow(int n) {
  sheet_->setRowCount(n);
  refresh();
}
int TSheetPanel::defaultColWidth() const { return sheet_->getDefaultColWidth(); }
void TSheetPanel::setDefaultColWidth(int w) {
  sheet_->setDefaultColWidth(w);
  refresh();
}
int TSheetPanel::defaultRowHeight() const { return sheet_->getDefaultRowHeight(); }
void TSheetPanel::setDefaultRowHeight(int h) {
  sheet_->setDefaultRowHeight(h);
  refresh();
}
int TSheetPanel::fixedCols() const { return sheet_->getFixedCols(); }
void TSheetPanel::setFixedCols(int n) {
  sheet_->setFixedCols(n);
  refresh();
}
int TSheetPanel::fixedRows() const { return sheet_->getFixedRows(); }
void TSheetPanel::setFixedRows(int n) {
  sheet_->setFixedRows(n);
  refresh();
}
int TSheetPanel::trueImageIndex() const { return sheet_->trueImage; }
void TSheetPanel::setTrueImageIndex(int i) {
  sheet_->trueImage = i;
  render();
}
int TSheetPanel::falseImageIndex() const { return sheet_->falseImage; }
void TSheetPanel::setFalseImageIndex(int i) {
  sheet_->falseImage = i;
  render();
}
TColor TSheetPanel::backgroundColor() const { return sheet_->backgroundColor; }
void TSheetPanel::setBackgroundColor(TColor c) {
  sheet_->backgroundColor = c;
  render();
}
TColor TSheetPanel::gridColor() const {
  return sheet_->gridColor == clDefault ? sheet_->headerColor : sheet_->gridColor;
}
void TSheetPanel::setGridColor(TColor c) {
  sheet_->gridColor = c;
  render();
}
TColor TSheetPanel::defaultFillColor() const { return sheet_->defaultFillColor; }
void TSheetPanel::setDefaultFillColor(TColor c) {
  sheet_->defaultFillColor = c;
  render();
}
const TFontProperties& TSheetPanel::defaultFont() const { return sheet_->defaultFont; }
void TSheetPanel::setDefaultFont(const TFontProperties& font) {
  sheet_->setDefaultFont(font);
  render();
}
HIMAGELIST TSheetPanel::imageList() const { return sheet_->imageList; }
void TSheetPanel::setImageList(HIMAGELIST images) {
  sheet_->imageList = images;
  render();
}
std::string TSheetPanel::dateFormat() const { return sheet_->dateFormat; }
void TSheetPanel::setDateFormat(const std::string& format) {
  sheet_->dateFormat = format;
  render();
}
std::string TSheetPanel::timeFormat() const { return sheet_->timeFormat; }
void TSheetPanel::setTimeFormat(const std::string& format) {
  sheet_->timeFormat = format;
  render();
}
bool TSheetPanel::expandVectorResults() const { return sheet_->expandVectorResults; }
void TSheetPanel::setExpandVectorResults(bool b) { sheet_->expandVectorResults = b; }

int TSheetPanel::getColWidth(int col) const { return sheet_->getColWidth(col); }
int TSheetPanel::getRowHeight(int row) const { return sheet_->getRowHeight(row); }
void TSheetPanel::setColWidth(int col, int width) {
  sheet_->setColWidth(col, width);
  refresh();
}
std::string TSheetPanel::getListSeparator() const { return sheet_->listSeparator; }
std::string TSheetPanel::getDecimalSeparator() const { return sheet_->decimalSeparator; }

void TSheetPanel::setSheetVisible(bool show) {
  if (!show) endEdit(TEditEnding::giveUp);
  sheetShown_ = show;
  refresh();
}

// ---- Layout and drawing ----

void TSheetPanel::layout() {
  refreshTimer_.cancel();
  const RECT client = clientRect();
  const int w = vScrollBar_->visible() ? std::max(0, static_cast<int>(client.right) - scrollBarThickness)
                                       : static_cast<int>(client.right);
  const int h = hScrollBar_->visible() ? std::max(0, static_cast<int>(client.bottom) - scrollBarThickness)
                                       : static_cast<int>(client.bottom);
  vScrollBar_->setBounds(w, 1, scrollBarThickness, std::max(0, h - 1));
  hScrollBar_->setBounds(1, h, std::max(0, w - 1), scrollBarThickness);
  const int surfaceWidth = std::max(0, w - 1);
  const int surfaceHeight = std::max(0, h - 1);
  paintBox_->setBounds(0, 0, surfaceWidth, surfaceHeight);
  offscreen_.setSize(surfaceWidth, surfaceHeight);
  invalidate();
  requestRefresh();
}

void TSheetPanel::resized() {
  // Creating the window sizes it, before the constructor has built the parts.
  if (!paintBox_ || !hScrollBar_) return;
  layout();
  TControl::resized();
}

void TSheetPanel::paint(TCanvas& canvas) {
  // The raised frame one pixel beyond the surface, the face between the bars.
  const RECT client = clientRect();
  canvas.fillRect(client, clBtnFace);
  const RECT surface = paintBox_->bounds();
  canvas.frame3D(RECT{0, 0, surface.right + 1, surface.bottom + 1}, clBtnHighlight, clBtnShadow);
  refresh();
}

void TSheetPanel::render() {
  if (!handle()) return;
  const RECT surface = paintBox_->clientRect();
  if (offscreen_.width() != surface.right || offscreen_.height() != surface.bottom) {
    offscreen_.setSize(surface.right, surface.bottom);
  }
  if (!offscreen_.empty()) {
    HDC dc = offscreen_.canvas().handle();
    if (sheetShown_) {
      TSheetCanvas canvas(dc);
      sheet_->paint(canvas, surface);
    } else {
      TBrushHandle brush(CreateSolidBrush(colorToRGB(sheet_->backgroundColor)));
      FillRect(dc, &surface, brush.get());
    }
  }
  copyToSurface();
  if (currentEditor_) placeEditor();
}

void TSheetPanel::copyToSurface() {
  if (!paintBox_->handle() || offscreen_.empty()) return;
  TWindowDC dc(paintBox_->handle());
  BitBlt(dc.get(), 0, 0, offscreen_.width(), offscreen_.height(), offscreen_.canvas().handle(), 0, 0, SRCCOPY);
}

void TSheetPanel::placeScrollThumbs() {
  const TScrollThumb vertical = scrollThumb(verticalScrollAxis(*sheet_), vScrollBar_->max());
  vScrollBar_->setParams(vScrollBar_->max(), vertical.position, vertical.pageSize);
  const TScrollThumb horizontal = scrollThumb(horizontalScrollAxis(*sheet_), hScrollBar_->max());
  hScrollBar_->setParams(hScrollBar_->max(), horizontal.position, horizontal.pageSize);
}

void TSheetPanel::refresh() {
  refreshTimer_.cancel();
  // A sheet rebuilt under an open editor no longer has its cell.
  if (session_.isOpen() && !session_.belongsTo(*sheet_)) finishEditing(false);
  render();
  placeScrollThumbs();
  lastRefreshTime_ = currentDateTime();
  lastRefreshTick_ = GetTickCount64();
  if (onRender) onRender();
}

void TSheetPanel::requestRefresh() {
  // After a quiet spell the first change shows at once; the changes that
  // follow it closely are coalesced, shown at most refreshDelayMs later.
  if (!refreshTimer_.pending() && GetTickCount64() - lastRefreshTick_ >= refreshDelayMs && handle()) {
    refresh();
    return;
  }
  refreshTimer_.request();
}

// ---- Scrolling ----

void TSheetPanel::scrolled(TScrollBarEx& bar, bool vertical, WORD code, int position) {
  const TScrollAxis axis = vertical ? verticalScrollAxis(*sheet_) : horizontalScrollAxis(*sheet_);
  const int lastPosition = std::max(bar.min(), bar.max() - bar.pageSize() + 1);
  auto lineAt = [&](int barPosition) {
    return scrollLineAt(axis, std::clamp(barPosition, bar.min(), lastPosition), bar.max());
  };
  int line = axis.first;
  switch (code) {
    case SB_LINEUP:
      line = axis.first - 1;
      break;
    case SB_LINEDOWN:
      line = axis.first + 1;
      break;
    case SB_PAGEUP:
      line = lineAt(bar.position() - bar.largeChange());
      break;
    case SB_PAGEDOWN:
      line = lineAt(bar.position() + bar.largeChange());
      break;
    case SB_TOP:
      line = lineAt(bar.min());
      break;
    case SB_BOTTOM:
      line = lineAt(lastPosition);
      break;
    default:  // the thumb
      line = lineAt(position);
      break;
  }
  const int before = vertical ? sheet_->topRow : sheet_->leftCol;
  POINT topLeft{sheet_->leftCol, sheet_->topRow};
  (vertical ? topLeft.y : topLeft.x) = line;
  sheet_->setTopLeft(topLeft);
  if ((vertical ? sheet_->topRow : sheet_->leftCol) != before) requestRefresh();
}

bool TSheetPanel::wheel(int delta) {
  if (!sheetShown_ || delta == 0) return true;
  const int before = sheet_->topRow;
  sheet_->setTopLeft(POINT{sheet_->leftCol, sheet_->topRow + (delta > 0 ? -1 : 1)});
  if (sheet_->topRow != before) requestRefresh();
  return true;
}

void TSheetPanel::scrollBarPressed(TScrollBarEx& bar, TMouseButton button, TShiftState shift, int x, int y) {
  const RECT at = bar.bounds();
  TControl::mouseDown(button, shift, x + at.left, y + at.top);
}

// ---- Mouse on the surface ----

void TSheetPanel::surfaceMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const bool hadFocus = focused();
  if (session_.isOpen()) {
    // The press ends the editor; a value it refuses keeps it, and the press.
    if (!finishEditing(true)) {
      if (editorFocus_) editorFocus_->setFocus();
      return;
    }
  }
  if (canFocus()) setFocus();
  if (sheetShown_ && button == TMouseButton::left) {
    pressCell_ = hadFocus ? POINT{sheet_->currentCol, sheet_->currentRow} : POINT{-1, -1};
    // Borders among the cells resize only when the grid allows it; else the
    // press selects there.
    const int area = sheet_->hitTest(x, y);
    const bool keepInner = innerSizable_ || (area != areaColumnBorder && area != areaRowBorder);
    const bool cols = sheet_->getColsSizable();
    const bool rows = sheet_->getRowsSizable();
    if (!keepInner) {
      sheet_->setColsSizable(false);
      sheet_->setRowsSizable(false);
    }
    sheet_->mouseDown(x, y, (shift & ssShift) != 0, (shift & ssCtrl) != 0);
    sheet_->setColsSizable(cols);
    sheet_->setRowsSizable(rows);
    refresh();
  }
  TControl::mouseDown(button, shift, x, y);
}

void TSheetPanel::surfaceMouseMove(TShiftState shift, int x, int y) {
  if (sheetShown_ && !currentEditor_) {
    if (shift & ssLeft) {
      sheet_->mouseMove(x, y);
      refresh();
    } else {
      LPCSTR cursor = nullptr;
      switch (sheet_->hitTest(x, y)) {
        case areaFixedColumnBorder:
          if (colsSizable()) cursor = IDC_SIZEWE;
          break;
        case areaFixedRowBorder:
          if (rowsSizable()) cursor = IDC_SIZENS;
          break;
        case areaColumnBorder:
          if (innerSizable_ && colsSizable()) cursor = IDC_SIZEWE;
          break;
        case areaRowBorder:
          if (innerSizable_ && rowsSizable()) cursor = IDC_SIZENS;
          break;
        default:
          break;
      }
      if (paintBox_->cursor() != cursor) paintBox_->setCursor(cursor);
    }
  }
  TControl::mouseMove(shift, x, y);
}

void TSheetPanel::surfaceMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (sheetShown_ && button == TMouseButton::left) {
    const bool anchorScrolls = sheet_->anchor.x > sheet_->getFixedCols() && sheet_->anchor.y > sheet_->getFixedRows();
    const bool samePlace = sheet_->currentCol == pressCell_.x && sheet_->currentRow == pressCell_.y;
    if (anchorScrolls && samePlace && sheet_->hitTest(x, y) == areaCell) startEditing(std::string());
  }
  TControl::mouseUp(button, shift, x, y);
}

// ---- Keys and focus ----

LRESULT TSheetPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_MOUSEWHEEL:
      wheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_SHOWWINDOW:
      if (!wParam) endEdit(TEditEnding::giveUp);
      break;
    default:
      break;
  }
  return TControl::handleMessage(message, wParam, lParam);
}

void TSheetPanel::keyDown(WORD& key, TShiftState shift) {
  shift &= ssShift | ssCtrl;
  if (onSheetKeyDown) onSheetKeyDown(key, shift);
  if (key == 0 || !sheetShown_) return;
  if (key == VK_DELETE) {
    // The sheet's own Delete frees the selection's cells; the grid clears
    // the current cell's value or bound property by its type.
    key = 0;
    const bool edited = clearCurrentCell(*sheet_) == TCellWrite::written;
    refresh();
    if (edited) valueEdited();
    return;
  }
  if (sheet_->keyDown(key, shift)) requestRefresh();
}

void TSheetPanel::keyPress(char& key) {
  if (onSheetKeyPress) onSheetKeyPress(key);
  if (key == 0 || !sheetShown_) return;
  const char typed = key;
  if (typed == '\r' || typed == ' ' || static_cast<unsigned char>(typed) > ' ') {
    key = 0;
    startEditing(std::string(1, typed));
  }
}

void TSheetPanel::setFocusColors(bool focused) {
  sheet_->selectionColor = focused ? clHighlight : clBtnFace;
  sheet_->selectionTextColor = focused ? clHighlightText : clBtnText;
  sheet_->showCurrentCellFrame = focused;
  render();
}

void TSheetPanel::doEnter() {
  setFocusColors(true);
  TControl::doEnter();
}

void TSheetPanel::doExit() {
  setFocusColors(false);
  TControl::doExit();
}
