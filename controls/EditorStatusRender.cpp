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

}  // namespace

// One render of a document: the fonts it needs, the layout of its lines
// and the drawing of the visible rows.
class TEditorRenderer {
 public:
  TEditorRenderer(TEditorStatus& document, HDC canvas, const RECT& rect, const std::vector<uint16_t>* ids,
                  TFontAttributeSets* sets)
      : document_(document), canvas_(canvas), rect_(rect), sets_(sets), ids_(ids && !ids->empty() ? ids : nullptr) {
    document_.widthTables.clear();
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
  };
  struct TLineLayout {
    int ascent = 0;
    int descent = 0;
    std::vector<int> bounds;          // x of the boundaries of columns 1..n+1
    std::vector<const TFont*> fonts;  // per character
    const TFont* endFont = nullptr;   // the font at the line end
  };

  int viewHeight() const { return rect_.bottom - rect_.top; }
  int viewWidth() const { return std::max(0, static_cast<int>(rect_.right - rect_.left)); }
  uint16_t idAt(size_t index) const { return coloured_ && index < ids_->size() ? (*ids_)[index] : 0; }
  TFont& font(uint16_t id);
  void select(const TFont& f) { SelectObject(canvas_, f.handle.get()); }
  size_t lineOffset(int line);
  TLineLayout layout(int line);
  int caretPixel(const TLineLayout& l, int column) const;
  int rowsFrom(int top);

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
    l.fonts.resize(text.size());
    l.bounds.reserve(text.size() + 1);
    int x = 0;
    l.bounds.push_back(0);
    for (size_t i = 0; i < text.size(); ++i) {
      const uint16_t id = idAt(offset + i);
      const TFont& f = coloured_ ? font(id) : *base_;
      l.fonts[i] = &f;
      l.ascent = std::max(l.ascent, f.ascent);
      l.descent = std::max(l.descent, f.descent);
      const unsigned char c = text[i];
      if (c == '\t') {
        const int tab = std::max<int>(1, document_.tabWidth);
        x = (x / tab + 1) * tab;
      } else if (coloured_ && i + 1 < text.size() && idAt(offset + i + 1) != id) {
        // The last character before a change of font: measured alone, since
        // its overhang is not shared with a neighbour of the same font.
        select(f);
        SIZE extent{};
        x += GetTextExtentPoint32A(canvas_, &text[i], 1, &extent) ? extent.cx : f.attributes->widths[c];
      } else {
        x += f.attributes->widths[c];
      }
      l.bounds.push_back(x);
    }
  }
  if (l.fonts.empty()) {
    l.ascent = l.endFont->ascent;
    l.descent = l.endFont->descent;
    if (l.bounds.empty()) l.bounds.push_back(0);
  }
  return l;
}

// The pixel x of a column, in virtual space a blank's width per column past the end.
int TEditorRenderer::caretPixel(const TLineLayout& l, int column) const {
  const int last = static_cast<int>(l.bounds.size());
  if (column <= last) return l.bounds[column - 1];
  return l.bounds.back() + (column - last) * l.endFont->attributes->widths[' '];
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
  const int x = caretPixel(layout(d.caret.y), d.caret.x);
  const int w = viewWidth();
  if (x < d.leftPixel)
    d.leftPixel = x;
  else if (x >= d.leftPixel + w)
    d.leftPixel = std::max(0, x - w + 1);
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
    d.widestLine = std::max(d.widestLine, l.bounds.back());
    if (y + height <= viewHeight()) ++fullRows;
    if (line == d.caret.y) {
      d.caretHeight = height;
      d.caretX = caretPixel(l, d.caret.x) - d.leftPixel;
      d.caretY = y;
    }
    const std::string* text = line < d.lineCount() ? &d.lines[line] : nullptr;
    const int count = text ? static_cast<int>(text->size()) : 0;
    const int baseline = rect_.top + y + l.ascent;
    // Runs of characters that share font and colours, each drawn at the
    // computed positions over its own opaque cell.
    for (int start = 0; start < count;) {
      const auto colours = [&](int i, COLORREF& fore, COLORREF& back) {
        const COLORREF own = colorToRGB(l.fonts[i]->attributes->colour);
        const bool selected = anySelection && !before(i + 1, line + 1, selection.left, selection.top) &&
                              before(i + 1, line + 1, selection.right, selection.bottom);
        if (selected) {
          fore = coloured_ ? inverse(own) : selectionText;
          back = selectionBackground;
        } else {
          fore = own;
          back = background;
        }
        if (highlight.top >= 0 && !before(i + 1, line, highlight.left, highlight.top) &&
            before(i + 1, line, highlight.right, highlight.bottom))
          std::swap(fore, back);
      };
      COLORREF fore, back;
      colours(start, fore, back);
      int end = start + 1;
      for (COLORREF f2, b2; end < count && l.fonts[end] == l.fonts[start]; ++end) {
        colours(end, f2, b2);
        if (f2 != fore || b2 != back) break;
      }
      drawn.assign(*text, start, end - start);
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
