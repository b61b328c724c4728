#include "platform/StdControls.h"

#include <windowsx.h>

#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Form.h"
#include "platform/ImageList.h"

namespace {

TWindowParams systemControl(const char* className, const std::string& caption, DWORD style, DWORD exStyle = 0) {
  TWindowParams params;
  params.className = className;
  params.caption = caption;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style;
  params.exStyle = exStyle;
  params.bounds = {0, 0, 75, 23};
  return params;
}

}  // namespace

TButton::TButton(TControl* parent, const std::string& caption) : TControl(parent) {
  createWindow(systemControl("BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP));
}

void TButton::setDefault(bool isDefault) {
  if (TForm* form = parentForm(this)) {
    if (isDefault) form->defaultButton = this;
    else if (form->defaultButton == this) form->defaultButton = nullptr;
  }
  SendMessageA(handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::setCancel(bool isCancel) {
  if (TForm* form = parentForm(this)) {
    if (isCancel) form->cancelButton = this;
    else if (form->cancelButton == this) form->cancelButton = nullptr;
  }
}

void TButton::setPicture(const TBitmap& picture) {
  // The picture's own bitmap stays selected in its canvas, where the button
  // could not draw it from: the button gets a copy of its own.
  TWindowDC screen(nullptr);
  TBitmapHandle copy(CreateCompatibleBitmap(screen.get(), picture.width(), picture.height()));
  {
    TMemoryDC dc(screen.get());
    TSelectedObject selected(dc.get(), copy.get());
    BitBlt(dc.get(), 0, 0, picture.width(), picture.height(), picture.canvas().handle(), 0, 0, SRCCOPY);
  }
  SetWindowLongPtrA(handle(), GWL_STYLE, GetWindowLongPtrA(handle(), GWL_STYLE) | BS_BITMAP);
  SendMessageA(handle(), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(copy.get()));
  picture_ = std::move(copy);
  invalidate();
}

void TButton::setImages(const TImageList* images, int index, int disabledIndex) {
  images_ = images;
  imageIndex_ = index;
  disabledImageIndex_ = disabledIndex;
  const LONG_PTR style = GetWindowLongPtrA(handle(), GWL_STYLE);
  SetWindowLongPtrA(handle(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  invalidate();
}

bool TButton::drawItemReceived(const DRAWITEMSTRUCT& draw) {
  if (images_ == nullptr || imageIndex_ < 0) return false;
  RECT face = draw.rcItem;
  const bool pushed = (draw.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(draw.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  const bool disabled = (draw.itemState & ODS_DISABLED) != 0 && disabledImageIndex_ >= 0;
  const int offset = pushed ? 1 : 0;
  const int x = (face.left + face.right - images_->width()) / 2 + offset;
  const int y = (face.top + face.bottom - images_->height()) / 2 + offset;
  ImageList_Draw(images_->handle(), disabled ? disabledImageIndex_ : imageIndex_, draw.hDC, x, y, ILD_NORMAL);
  if ((draw.itemState & ODS_FOCUS) != 0) {
    RECT focus = draw.rcItem;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(draw.hDC, &focus);
  }
  return true;
}

void TButton::click() {
  TControl::click();
  if (modalResult != 0) {
    if (TForm* form = parentForm(this)) form->setModalResult(modalResult);
  }
}

bool TButton::commandReceived(WORD code) {
  if (code != BN_CLICKED) return false;
  click();
  return true;
}

TCheckBox::TCheckBox(TControl* parent, const std::string& caption) : TControl(parent) {
  createWindow(systemControl("BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP));
}

bool TCheckBox::checked() const { return Button_GetCheck(handle()) == BST_CHECKED; }
void TCheckBox::setChecked(bool checked) { Button_SetCheck(handle(), checked ? BST_CHECKED : BST_UNCHECKED); }

bool TCheckBox::commandReceived(WORD code) {
  if (code != BN_CLICKED) return false;
  click();
  return true;
}

TRadioButton::TRadioButton(TControl* parent, const std::string& caption, bool firstOfGroup) : TControl(parent) {
  createWindow(systemControl("BUTTON", caption, BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0)));
}

bool TRadioButton::checked() const { return Button_GetCheck(handle()) == BST_CHECKED; }
void TRadioButton::setChecked(bool checked) { Button_SetCheck(handle(), checked ? BST_CHECKED : BST_UNCHECKED); }

bool TRadioButton::commandReceived(WORD code) {
  if (code != BN_CLICKED) return false;
  click();
  return true;
}

TEdit::TEdit(TControl* parent, const std::string& text) : TEdit(parent, ES_AUTOHSCROLL) { setText(text); }

TEdit::TEdit(TControl* parent, DWORD extraStyle) : TControl(parent) {
  createWindow(systemControl("EDIT", "", extraStyle | WS_TABSTOP, WS_EX_CLIENTEDGE));
}

void TEdit::setReadOnly(bool readOnly) { Edit_SetReadOnly(handle(), readOnly); }
void TEdit::setMaxLength(int length) { Edit_LimitText(handle(), length); }
void TEdit::selectAll() { Edit_SetSel(handle(), 0, -1); }
void TEdit::setSelection(int start, int end) { Edit_SetSel(handle(), start, end); }

std::pair<int, int> TEdit::selection() const {
  DWORD start = 0, end = 0;
  SendMessageA(handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

bool TEdit::commandReceived(WORD code) {
  if (code == EN_CHANGE && onChange) onChange();
  return code == EN_CHANGE;
}

void TEdit::keyDown(WORD& key, TShiftState shift) {
  TControl::keyDown(key, shift);
  // Asked for its dialog codes, as every key press here asks, a multi-line
  // edit answers Esc by posting a close to its parent window: a panel holding
  // it was destroyed under its owner, a form was closed. Esc stays a key
  // press the edit's owner handles.
  if (key == VK_ESCAPE && (GetWindowLongA(handle(), GWL_STYLE) & ES_MULTILINE)) key = 0;
}

LRESULT TEdit::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // A multi-line edit claims every key, Tab too, even when the text cannot
  // be changed: there Tab has nothing to do but move on.
  if (message == WM_GETDLGCODE && wParam == VK_TAB && (GetWindowLongA(handle(), GWL_STYLE) & ES_READONLY))
    return TControl::handleMessage(message, wParam, lParam) & ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
  return TControl::handleMessage(message, wParam, lParam);
}

// No scroll bars: under Wine a themed scroll bar costs close to a hundred
// server calls each time it is drawn, and a memo shown while work goes on
// redraws them with every line.
TMemo::TMemo(TControl* parent) : TEdit(parent, ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL) {}

std::vector<std::string> TMemo::lines() const {
  std::vector<std::string> result;
  const std::string all = text();
  size_t start = 0;
  while (start <= all.size()) {
    const size_t end = all.find("\r\n", start);
    if (end == std::string::npos) {
      if (start < all.size()) result.push_back(all.substr(start));
      break;
    }
    result.push_back(all.substr(start, end - start));
    start = end + 2;
  }
  return result;
}

void TMemo::setLines(const std::vector<std::string>& lines) {
  std::string all;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) all += "\r\n";
    all += lines[i];
  }
  setText(all);
}

void TMemo::setWordWrap(bool wrap) {
  // An edit decides on wrapping at creation only; the horizontal scroll
  // style is what turns wrapping off, so the window is made again.
  const LONG style = GetWindowLongA(handle(), GWL_STYLE);
  const bool wrapping = !(style & ES_AUTOHSCROLL);
  if (wrap == wrapping) return;
  SetWindowLongA(handle(), GWL_STYLE, wrap ? (style & ~ES_AUTOHSCROLL) : (style | ES_AUTOHSCROLL));
  SetWindowPos(handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

TLabel::TLabel(TControl* parent, const std::string& caption) : TControl(parent) {
  createWindow(systemControl("STATIC", caption, SS_LEFT | SS_NOPREFIX));
  autoSize();
}

void TLabel::setAlignment(TTextAlignment alignment) {
  LONG style = GetWindowLongA(handle(), GWL_STYLE) & ~(SS_LEFT | SS_RIGHT | SS_CENTER);
  if (alignment == TTextAlignment::right) style |= SS_RIGHT;
  if (alignment == TTextAlignment::centre) style |= SS_CENTER;
  SetWindowLongA(handle(), GWL_STYLE, style);
  invalidate();
}

TTextAlignment TLabel::alignment() const {
  const LONG style = GetWindowLongA(handle(), GWL_STYLE) & SS_TYPEMASK;
  return style == SS_RIGHT ? TTextAlignment::right : style == SS_CENTER ? TTextAlignment::centre : TTextAlignment::left;
}

void TLabel::autoSize() {
  HDC dc = GetDC(handle());
  HGDIOBJ old = SelectObject(dc, font().handle());
  RECT rect{0, 0, 0, 0};
  const std::string caption = text();
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  setSize(rect.right, rect.bottom);
}

HBRUSH TLabel::controlColor(HDC dc) {
  if (HBRUSH own = TControl::controlColor(dc)) return own;
  // Without a colour of its own the label shows its parent's background.
  TColor background = parent() ? parent()->color() : clBtnFace;
  if (background == clDefault) background = clBtnFace;
  background_.reset(CreateSolidBrush(colorToRGB(background)));
  SetBkColor(dc, colorToRGB(background));
  SetTextColor(dc, colorToRGB(font().color()));
  return background_.get();
}

TGroupBox::TGroupBox(TControl* parent, const std::string& caption) : TControl(parent) {
  createWindow(systemControl("BUTTON", caption, BS_GROUPBOX | WS_CLIPCHILDREN));
  setSize(185, 105);
}

LRESULT TGroupBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The system's group box paints only its frame and caption, and the parent
  // clips its children: without this the inside shows whatever the screen
  // held before (black on a fresh display).
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(handle(), &client);
    TColor fill = color();
    if (fill == clDefault && parent()) fill = parent()->color();
    if (fill == clDefault) fill = clBtnFace;
    TBrushHandle brush(CreateSolidBrush(colorToRGB(fill)));
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
    return 1;
  }
  return TControl::handleMessage(message, wParam, lParam);
}

RECT TGroupBox::alignRect() const {
  RECT rect = clientRect();
  const int captionHeight = -font().height();
  rect.top += captionHeight + 4;
  InflateRect(&rect, -4, 0);
  rect.bottom -= 4;
  return rect;
}

TComboBox::TComboBox(TControl* parent, TComboStyle style) : TControl(parent) {
  // An editable box scrolls its text: without it typing stops at the box's
  // width and the text is silently cut.
  const DWORD kind = style == TComboStyle::dropDown        ? CBS_DROPDOWN | CBS_AUTOHSCROLL
                     : style == TComboStyle::ownerDrawList ? CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS
                                                           : CBS_DROPDOWNLIST;
  TWindowParams params = systemControl("COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | kind);
  params.bounds = {0, 0, 145, 150};
  createWindow(params);
}

void TComboBox::addItem(const std::string& item) { ComboBox_AddString(handle(), item.c_str()); }
void TComboBox::clear() { ComboBox_ResetContent(handle()); }
int TComboBox::count() const { return ComboBox_GetCount(handle()); }

std::string TComboBox::item(int index) const {
  const int length = ComboBox_GetLBTextLen(handle(), index);
  if (length < 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  ComboBox_GetLBText(handle(), index, text.data());
  text.resize(static_cast<size_t>(length));
  return text;
}

void TComboBox::setItemHeight(int height) {
  ComboBox_SetItemHeight(handle(), -1, height);
  ComboBox_SetItemHeight(handle(), 0, height);
}

bool TComboBox::drawItemReceived(const DRAWITEMSTRUCT& draw) {
  if (draw.CtlType != ODT_COMBOBOX) return false;
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  TCanvas canvas(draw.hDC);
  canvas.fillRect(draw.rcItem, selected ? clHighlight : clWindow);
  if (draw.itemID != static_cast<UINT>(-1) && onDrawItem) onDrawItem(canvas, static_cast<int>(draw.itemID), draw.rcItem);
  if (draw.itemState & ODS_FOCUS) DrawFocusRect(draw.hDC, &draw.rcItem);
  return true;
}

bool TComboBox::dialogKey(WORD key, TShiftState shift) {
  // The keys of the box's own edit, no control of ours, reach the box only
  // as dialog keys: its key event sees Return and Esc there first, as it
  // would in a plain edit.
  if (GetFocus() != handle()) {
    WORD seen = key;
    keyDown(seen, shift);
    if (seen == 0) return true;
  }
  return TControl::dialogKey(key, shift);
}

int TComboBox::itemIndex() const { return ComboBox_GetCurSel(handle()); }
void TComboBox::setItemIndex(int index) { ComboBox_SetCurSel(handle(), index); }

bool TComboBox::commandReceived(WORD code) {
  switch (code) {
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE:
      if (onChange) onChange();
      return true;
    case CBN_DROPDOWN: {
      // The height a combo box gets when it drops is the height of its last
      // resize; layouts give it its closed height, so the list's height is
      // given here, just before it drops.
      RECT closed;
      GetWindowRect(handle(), &closed);
      SetWindowPos(handle(), nullptr, 0, 0, closed.right - closed.left, closed.bottom - closed.top + dropDownHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    }
    case CBN_SETFOCUS:
      // The focus may sit in the combo's own edit, which is no control of ours.
      application().focusMovedTo(this);
      return true;
    default:
      return false;
  }
}

TListBox::TListBox(TControl* parent) : TControl(parent) {
  TWindowParams params =
      systemControl("LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
  params.bounds = {0, 0, 120, 97};
  createWindow(params);
}

void TListBox::addItem(const std::string& item) { ListBox_AddString(handle(), item.c_str()); }
void TListBox::clear() { ListBox_ResetContent(handle()); }
int TListBox::count() const { return ListBox_GetCount(handle()); }

std::string TListBox::item(int index) const {
  const int length = ListBox_GetTextLen(handle(), index);
  if (length < 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  ListBox_GetText(handle(), index, text.data());
  text.resize(static_cast<size_t>(length));
  return text;
}

int TListBox::itemIndex() const { return ListBox_GetCurSel(handle()); }
void TListBox::setItemIndex(int index) { ListBox_SetCurSel(handle(), index); }
void TListBox::beginUpdate() { SendMessageA(handle(), WM_SETREDRAW, FALSE, 0); }

void TListBox::endUpdate() {
  SendMessageA(handle(), WM_SETREDRAW, TRUE, 0);
  invalidate();
}

bool TListBox::commandReceived(WORD code) {
  if (code != LBN_SELCHANGE) return false;
  if (onChange) onChange();
  click();
  return true;
}
