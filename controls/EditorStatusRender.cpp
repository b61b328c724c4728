#include <limits>
#include <map>
#include <memory>

#include "controls/EditorStatus.h"
#include "platform/FontStyle.h"
#include "platform/GdiObjects.h"

namespace {

COLORREF inverse(COLORREF colour) { return colour ^ 0x00FFFFFF; }

bool before(int column, int line, int otherColumn, int otherLine) {
  return line < otherLine || (line == otherLine && column < otherColumn);
}

// A line up to this length is laid out whole, so its geometry is exact
// wherever the view stands. A longer one (a file of one line, megabytes
// long) is laid out only where the view shows it: its columns stand at a
// fixed pitch up to the first one shown, and from there at their widths.
constexpr size_t wholeLayoutLength = 4096;
// Pixel positions stay well inside an int, however long a line is.
constexpr long long farthestPixel = std::numeric_limits<int>::max() / 2;

int clampedPixel(long long x) { return static_cast<int>(std::clamp(x, 0LL, farthestPixel)); }

}  // namespace

// One render of a document: the fonts it needs, the layout of its lines
// and the drawing of the visible rows.
class TEditorRenderer {
 public:
  TEditorRenderer(TEditorStatus& document, HDC canvas, const RECT& rect, const std::vector<uint16_t>* ids,
                  TFontAttributeSets* sets)
      : document_(document), canvas_(canvas), rect_(rect), sets_(sets), ids_(ids && !ids->empty() ? ids : nullptr) {
    document_.widthTables.clear();
    document_.widthTableColumns.clear();
    document_.widestLine = 0;
    if (sets_) sets_->invalidateWidths();
    document_.defaultFont_.widthsStale = true;
    coloured_ = sets_ && ids_;
    base_ = &font(0);
    SetTextAlign(canvas_, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  }

  void keepCaretVisible();
  void draw(const TTextRect& highlight);

 private:
  struct TFont {
    TFontAttributes* attributes = nullptr;
    TFontHandle handle;
    int ascent = 0;
    int descent = 0;
    int averageWidth = 1;
  };
  struct TLineLayout {
    int ascent = 0;
    int descent = 0;
    int firstColumn = 1;              // the column whose left boundary is bounds[0]
    bool reachesEnd = true;           // the boundaries run to the line end
    int pitch = 0;                    // a long line's pixels a column before the laid-out part
    int width = 0;                    // the line's width, for the scroll bar
    std::vector<int> bounds;          // x of the boundaries of columns firstColumn..
    std::vector<const TFont*> fonts;  // per laid-out character
    const TFont* endFont = nullptr;   // the font at the line end
  };

  int viewHeight() const { return rect_.bottom - rect_.top; }
  int viewWidth() const { return std::max(0, static_cast<int>(rect_.right - rect_.left)); }
  uint16_t idAt(size_t index) const { return coloured_ && index < ids_->size() ? (*ids_)[index] : 0; }
  TFont& font(uint16_t id);
  void select(const TFont& f) { SelectObject(canvas_, f.handle.get()); }
  size_t lineOffset(int line);
  int pitchOf(size_t length) const;
  int advance(const std::string& text, size_t index, size_t offset, int x, const TFont& f);
  TLineLayout layout(int line);
  int caretPixel(const TLineLayout& l, int column) const;
  int rowsFrom(int top);
  int leftPixelShowingCaret(const TLineLayout& l);

  TEditorStatus& document_;
  HDC canvas_;
  RECT rect_;
  TFontAttributeSets* sets_;
  const std::vector<uint16_t>* ids_;
  bool coloured_ = false;
  std::map<const TFontAttributes*, TFont> fonts_;
  // Restored before the fonts go, so that none is still selected when deleted.
  TSavedDCState saved_{canvas_};
  const TFont* base_ = nullptr;
  int offsetLine_ = 0;
  size_t offset_ = 0;
};

TEditorRenderer::TFont& TEditorRenderer::font(uint16_t id) {
  TFontAttributes* attributes = sets_ ? sets_->find(id) : nullptr;
  if (!attributes) attributes = &document_.defaultFont_;
  TFont& f = fonts_[attributes];
  if (f.handle) return f;
  f.attributes = attributes;
  const int pitch = attributes->pitch == 2 ? FIXED_PITCH : attributes->pitch == 1 ? VARIABLE_PITCH : DEFAULT_PITCH;
  f.handle.reset(CreateFontA(-MulDiv(attributes->size, GetDeviceCaps(canvas_, LOGPIXELSY), 72), 0, 0, 0,
                             attributes->style & fsBold ? FW_BOLD : FW_NORMAL, (attributes->style & fsItalic) != 0,
                             (attributes->style & fsUnderline) != 0, (attributes->style & fsStrikeOut) != 0,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch,
                             attributes->fontName.c_str()));
  select(f);
  TEXTMETRICA metrics{};
  GetTextMetricsA(canvas_, &metrics);
  f.ascent = metrics.tmAscent;
  f.descent = metrics.tmDescent;
  f.averageWidth = std::max<int>(1, metrics.tmAveCharWidth);
  if (attributes->widthsStale) {
    // The width of a hundred copies, divided: the average advance of a
    // character as it sits in running text.
    char run[100];
    for (int c = 1; c < 256; ++c) {
      std::fill(std::begin(run), std::end(run), static_cast<char>(c));
      SIZE extent{};
      attributes->widths[c] = GetTextExtentPoint32A(canvas_, run, 100, &extent) ? static_cast<uint16_t>(extent.cx / 100) : 0;
    }
    attributes->widthsStale = false;
  }
  return f;
}

// The index in the attribute ids of a line's first character: the ids run
// over the text with CR LF after every line.
size_t TEditorRenderer::lineOffset(int line) {
  if (line < offsetLine_) offsetLine_ = 0, offset_ = 0;
  for (; offsetLine_ < line && offsetLine_ < document_.lineCount(); ++offsetLine_)
    offset_ += document_.lines[offsetLine_].size() + 2;
  return offset_;
}

// The pitch of a long line's columns: the average character of the text
// font, narrower where the line would otherwise reach beyond the positions
// an int holds.
int TEditorRenderer::pitchOf(size_t length) const {
  return static_cast<int>(std::clamp<long long>(farthestPixel / std::max<size_t>(length, 1), 1, base_->averageWidth));
}

// How far a character moves the next one on, standing at x.
int TEditorRenderer::advance(const std::string& text, size_t index, size_t offset, int x, const TFont& f) {
  const unsigned char c = text[index];
  if (c == '\t') {
    const int tab = std::max<int>(1, document_.tabWidth);
    return (x / tab + 1) * tab - x;
  }
  if (coloured_ && index + 1 < text.size() && idAt(offset + index + 1) != idAt(offset + index)) {
    // The last character before a change of font: measured alone, since
    // its overhang is not shared with a neighbour of the same font.
    select(f);
    SIZE extent{};
    return GetTextExtentPoint32A(canvas_, &text[index], 1, &extent) ? extent.cx : f.attributes->widths[c];
  }
  return f.attributes->widths[c];
}

TEditorRenderer::TLineLayout TEditorRenderer::layout(int line) {
  TLineLayout l;
  if (line >= document_.lineCount()) {
    l.endFont = base_;
  } else {
    const std::string& text = document_.lines[line];
    const size_t offset = coloured_ ? lineOffset(line) : 0;
    // A line without characters still needs a height and a caret: it takes
    // the font at its line end.
    l.endFont = coloured_ ? &font(idAt(offset + text.size())) : base_;
    const bool whole = text.size() <= wholeLayoutLength;
    size_t first = 0;
    int x = 0;
    long long right = 0;
    size_t most = text.size();
    if (!whole) {
      l.pitch = pitchOf(text.size());
      first = std::min(text.size(), static_cast<size_t>(document_.leftPixel / l.pitch));
      x = static_cast<int>(first * l.pitch);
      right = static_cast<long long>(document_.leftPixel) + viewWidth();
      // Characters of no width could otherwise keep the layout going.
      most = static_cast<size_t>(viewWidth()) + wholeLayoutLength;
    }
    l.firstColumn = static_cast<int>(first) + 1;
    l.bounds.push_back(x);
    size_t i = first;
    for (; i < text.size() && (whole || (x <= right && i - first < most)); ++i) {
      const TFont& f = coloured_ ? font(idAt(offset + i)) : *base_;
      l.fonts.push_back(&f);
      l.ascent = std::max(l.ascent, f.ascent);
      l.descent = std::max(l.descent, f.descent);
      x += advance(text, i, offset, x, f);
      l.bounds.push_back(x);
    }
    l.reachesEnd = i == text.size();
    l.width = whole ? x : std::max(clampedPixel(static_cast<long long>(text.size()) * l.pitch), l.reachesEnd ? x : 0);
  }
  if (l.fonts.empty()) {
    l.ascent = l.endFont->ascent;
    l.descent = l.endFont->descent;
    if (l.bounds.empty()) l.bounds.push_back(0);
  }
  return l;
}

// The pixel x of a column, in virtual space a blank's width per column past
// the end; a long line's columns outside its laid-out part at its pitch.
int TEditorRenderer::caretPixel(const TLineLayout& l, int column) const {
  if (column < l.firstColumn) return clampedPixel(static_cast<long long>(column - 1) * l.pitch);
  const int last = l.firstColumn + static_cast<int>(l.bounds.size()) - 1;
  if (column <= last) return l.bounds[column - l.firstColumn];
  const int step = l.reachesEnd ? l.endFont->attributes->widths[' '] : l.pitch;
  return clampedPixel(l.bounds.back() + static_cast<long long>(column - last) * step);
}

// How many whole rows fit in the view from a top line on; at least one.
int TEditorRenderer::rowsFrom(int top) {
  int rows = 0;
  for (int y = 0, line = top;; ++line) {
    const TLineLayout l = coloured_ && line < document_.lineCount() ? layout(line) : TLineLayout{};
    const int height = coloured_ && line < document_.lineCount() ? l.ascent + l.descent : base_->ascent + base_->descent;
    if (height <= 0 || y + height > viewHeight()) break;
    y += height;
    ++rows;
  }
  return std::max(1, rows);
}

void TEditorRenderer::keepCaretVisible() {
  TEditorStatus& d = document_;
  if (d.caret.y < d.topLineIndex) {
    d.topLineIndex = d.caret.y;
  } else {
    const int visible = rowsFrom(d.topLineIndex);
    if (d.caret.y >= d.topLineIndex + visible - 1) d.topLineIndex = std::max(0, d.caret.y - visible + 1);
  }
  const TLineLayout l = layout(d.caret.y);
  const int x = caretPixel(l, d.caret.x);
  const int w = viewWidth();
  if (x >= d.leftPixel && x < d.leftPixel + w) return;
  if (l.pitch > 0)
    d.leftPixel = leftPixelShowingCaret(l);
  else if (x < d.leftPixel)
    d.leftPixel = x;
  else
    d.leftPixel = std::max(0, x - w + 1);
}

// Where a long line's view starts so that its caret shows. A move of the
// left pixel moves the laid-out part: the caret's column becomes the first
// one shown or, right of the view, the column as far back as still shows
// it with all the characters between (tabs counted at their widest). Past
// the line end the view shows the end, where the columns stay put.
int TEditorRenderer::leftPixelShowingCaret(const TLineLayout& l) {
  TEditorStatus& d = document_;
  const std::string& text = d.lines[d.caret.y];
  const int caretIndex = d.caret.x - 1;
  const long long end = static_cast<long long>(text.size()) * l.pitch;
  if (caretIndex > static_cast<int>(text.size())) {
    const long long x = end + static_cast<long long>(caretIndex - static_cast<int>(text.size())) *
                                  l.endFont->attributes->widths[' '];
    return clampedPixel(x < d.leftPixel ? x : std::max(end, x - viewWidth() + 1));
  }
  if (caretIndex < l.firstColumn - 1 || caretPixel(l, d.caret.x) < d.leftPixel)
    return clampedPixel(static_cast<long long>(caretIndex) * l.pitch);
  const size_t offset = coloured_ ? lineOffset(d.caret.y) : 0;
  const int room = std::max(0, viewWidth() - 1);
  int first = caretIndex;
  for (int width = 0; first > 0 && caretIndex - first < viewWidth() + static_cast<int>(wholeLayoutLength);) {
    const size_t index = static_cast<size_t>(first - 1);
    const TFont& f = coloured_ ? font(idAt(offset + index)) : *base_;
    const int step = text[index] == '\t' ? std::max<int>(1, d.tabWidth) : advance(text, index, offset, 0, f);
    if (width + step > room) break;
    width += step;
    --first;
  }
  return clampedPixel(static_cast<long long>(first) * l.pitch);
}

void TEditorRenderer::draw(const TTextRect& highlight) {
  TEditorStatus& d = document_;
  d.rightPixel = d.leftPixel + viewWidth() - 1;
  d.caretHeight = 0;
  TTextRect selection;
  d.getSelectionOrdered(selection);
  const bool anySelection = selection.left != selection.right || selection.top != selection.bottom;
  const COLORREF background = colorToRGB(d.backgroundColour);
  const COLORREF selectionBackground = colorToRGB(d.selectionBackgroundColour);
  const COLORREF selectionText = colorToRGB(d.selectionTextColour);
  const int originX = rect_.left - d.leftPixel;
  int fullRows = 0;
  std::string drawn;
  std::vector<INT> advances;
  for (int line = d.topLineIndex, y = 0; y < viewHeight(); ++line) {
    const TLineLayout l = layout(line);
    const int height = l.ascent + l.descent;
    if (height <= 0) break;
    std::vector<int> table{height};
    table.insert(table.end(), l.bounds.begin(), l.bounds.end());
    d.widthTables.push_back(std::move(table));
    d.widthTableColumns.push_back(l.firstColumn);
    d.widestLine = std::max(d.widestLine, l.width);
    if (y + height <= viewHeight()) ++fullRows;
    if (line == d.caret.y) {
      d.caretHeight = height;
      d.caretX = caretPixel(l, d.caret.x) - d.leftPixel;
      d.caretY = y;
    }
    const std::string* text = line < d.lineCount() ? &d.lines[line] : nullptr;
    const int count = static_cast<int>(l.fonts.size());
    const int first = l.firstColumn;
    const int baseline = rect_.top + y + l.ascent;
    // Runs of characters that share font and colours, each drawn at the
    // computed positions over its own opaque cell.
    for (int start = 0; start < count;) {
      const auto colours = [&](int i, COLORREF& fore, COLORREF& back) {
        const COLORREF own = colorToRGB(l.fonts[i]->attributes->colour);
        const bool selected = anySelection && !before(first + i, line + 1, selection.left, selection.top) &&
                              before(first + i, line + 1, selection.right, selection.bottom);
        if (selected) {
          fore = coloured_ ? inverse(own) : selectionText;
          back = selectionBackground;
        } else {
          fore = own;
          back = background;
        }
        if (highlight.top >= 0 && !before(first + i, line, highlight.left, highlight.top) &&
            before(first + i, line, highlight.right, highlight.bottom))
          std::swap(fore, back);
      };
      COLORREF fore, back;
      colours(start, fore, back);
      int end = start + 1;
      for (COLORREF f2, b2; end < count && l.fonts[end] == l.fonts[start]; ++end) {
        colours(end, f2, b2);
        if (f2 != fore || b2 != back) break;
      }
      drawn.assign(*text, first - 1 + start, end - start);
      advances.resize(end - start);
      for (int i = start; i < end; ++i) {
        if (drawn[i - start] == '\t') drawn[i - start] = ' ';
        advances[i - start] = l.bounds[i + 1] - l.bounds[i];
      }
      RECT cell{originX + l.bounds[start], rect_.top + y, originX + l.bounds[end], rect_.top + y + height};
      IntersectRect(&cell, &cell, &rect_);
      if (!IsRectEmpty(&cell)) {
        select(*l.fonts[start]);
        SetTextColor(canvas_, fore);
        SetBkColor(canvas_, back);
        ExtTextOutA(canvas_, originX + l.bounds[start], baseline, ETO_OPAQUE | ETO_CLIPPED, &cell, drawn.data(),
                    static_cast<UINT>(drawn.size()), advances.data());
      }
      start = end;
    }
    y += height;
    if (line >= d.lineCount() && y >= viewHeight()) break;
  }
  d.lastVisibleLine = d.topLineIndex + std::max(1, fullRows) - 1;
}

void TEditorStatus::render(HDC canvas, const RECT& rect, const std::vector<uint16_t>* attributeIds,
                           TFontAttributeSets* fontAttributeSets, bool keepCaretVisible,
                           const TTextRect& highlightRange) {
  {
    const COLORREF background = colorToRGB(backgroundColour);
    SetBkColor(canvas, background);
    ExtTextOutA(canvas, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  }
  TEditorRenderer renderer(*this, canvas, rect, attributeIds, fontAttributeSets);
  if (keepCaretVisible) renderer.keepCaretVisible();
  renderer.draw(highlightRange);
}
