#include "platform/PageControl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/Application.h"

TTabSheet::TTabSheet(TPageControl* pageControl, const std::string& caption)
    : TControl(pageControl), pageControl_(pageControl), caption_(caption) {
  TWindowParams params;
  params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;  // hidden until active
  createWindow(params);
  setAlign(TAlign::client);
  pageControl_->addPage(this);
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->removePage(this);
}

void TTabSheet::setCaption(const std::string& caption) {
  caption_ = caption;
  if (!pageControl_) return;
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(caption_.c_str());
  SendMessageA(pageControl_->handle(), TCM_SETITEMA, pageIndex(), reinterpret_cast<LPARAM>(&item));
  // Wine's tab control repaints its tabs only as far as the last one now
  // reaches: a piece of a longer caption stayed beside them.
  InvalidateRect(pageControl_->handle(), nullptr, TRUE);
}

int TTabSheet::pageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  const auto found = std::find(pages.begin(), pages.end(), this);
  return found == pages.end() ? -1 : static_cast<int>(found - pages.begin());
}

TPageControl::TPageControl(TControl* parent) : TControl(parent) {
  TWindowParams params;
  params.className = WC_TABCONTROLA;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP;
  params.bounds = {0, 0, 289, 193};
  createWindow(params);
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
}

TTabSheet* TPageControl::page(int index) const {
  return index >= 0 && index < pageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

int TPageControl::activePageIndex() const { return activePage_ ? activePage_->pageIndex() : -1; }

void TPageControl::addPage(TTabSheet* page) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(page->caption_.c_str());
  SendMessageA(handle(), TCM_INSERTITEMA, pages_.size(), reinterpret_cast<LPARAM>(&item));
  pages_.push_back(page);
  realign();
  if (!activePage_) setActivePage(page);
}

void TPageControl::removePage(TTabSheet* removed) {
  const int index = removed->pageIndex();
  if (index < 0) return;
  pages_.erase(pages_.begin() + index);
  if (handle()) TabCtrl_DeleteItem(handle(), index);
  if (activePage_ == removed) {
    activePage_ = nullptr;
    setActivePage(page(std::min(index, pageCount() - 1)));
  }
}

TControl* TTabSheet::lastFocused() const {
  if (!lastFocused_ || !IsChild(handle(), lastFocused_)) return nullptr;
  TControl* control = TControl::fromHandle(lastFocused_);
  return control && control->canFocus() ? control : nullptr;
}

void TTabSheet::focusMovedInside(TControl& focused) { lastFocused_ = focused.handle(); }

bool TPageControl::leavingAllowed() {
  // An edit the page refuses keeps the user on it, in the edit.
  if (activePage_ && !activePage_->endEditsInside(TEditEnding::take)) return false;
  return !onChanging || onChanging();
}

void TPageControl::setActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) return;
  TTabSheet* previous = activePage_;
  // Changed without asking: an edit left open would stay on a page no one
  // sees, so one the page refuses is dropped.
  if (previous && previous != page) previous->endEditsInside(TEditEnding::giveUp);
  // A hidden window keeps the focus it holds, and the keys would go on
  // reaching a page the user no longer sees.
  const bool focusLeaves = previous && previous != page && previous->holdsFocus();
  activePage_ = page;
  if (page) {
    TabCtrl_SetCurSel(handle(), page->pageIndex());
    page->realign();
    page->show();
    page->bringToFront();
  }
  if (focusLeaves) {
    // The keys go back where the user left them on the page, else to its
    // first tab stop. A page without a tab stop holds the keys itself: the
    // tab row taking them would tell onChange that the user chose it.
    const TApplication::TFocusInPlace inPlace;
    TControl* stop = page ? page->lastFocused() : nullptr;
    if (!stop) {
      const std::vector<TControl*> stops = page ? page->tabStops() : std::vector<TControl*>{};
      if (!stops.empty()) stop = stops.front();
    }
    if (stop && stop->canFocus())
      stop->setFocus();
    else if (page)
      page->setFocus();
    else
      setFocus();
  }
  if (previous && previous != page) previous->hide();
}

void TPageControl::setActivePageIndex(int index) { setActivePage(page(index)); }

void TPageControl::setRedraw(bool redraw) {
  SendMessageA(handle(), WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

RECT TPageControl::alignRect() const {
  RECT rect = clientRect();
  TabCtrl_AdjustRect(handle(), FALSE, &rect);
  return rect;
}

void TPageControl::selectNextPage(bool forward) {
  const int count = pageCount();
  if (count < 2 || !enabled()) return;
  if (!leavingAllowed()) return;
  setActivePageIndex((activePageIndex() + (forward ? 1 : count - 1)) % count);
  if (onChange) onChange();
}

void TPageControl::fitHiddenPages() {
  const RECT rect = alignRect();
  for (TTabSheet* page : pages_)
    if (!page->visible()) page->setBounds(rect);
}

LRESULT TPageControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    const LRESULT result = TControl::handleMessage(message, wParam, lParam);
    // Aligning passes over the hidden pages: the windows on them would go on
    // showing the size they had when last seen, and keep it as their layout.
    fitHiddenPages();
    return result;
  }
  if (message == WM_LBUTTONDOWN && activePage_) {
    // The tab row takes the focus on the press, before it asks to change:
    // the page's edits are taken first, and one it refuses keeps the page
    // and the focus, and the press does nothing.
    TCHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int index = TabCtrl_HitTest(handle(), &hit);
    if (index >= 0 && page(index) != activePage_ && !activePage_->endEditsInside(TEditEnding::take)) return 0;
  }
  return TControl::handleMessage(message, wParam, lParam);
}

bool TPageControl::notificationReceived(NMHDR& header, LRESULT& result) {
  if (header.code == TCN_SELCHANGING) {
    result = leavingAllowed() ? FALSE : TRUE;
    return true;
  }
  if (header.code != TCN_SELCHANGE) return false;
  const int selected = TabCtrl_GetCurSel(handle());
  // Wine's tab control, moved by the arrow keys, leaves the tab it came
  // from marked as pressed, and takes every later click for a click among
  // pressed buttons that changes nothing: only the chosen tab keeps the mark.
  TCITEMA item{};
  item.mask = TCIF_STATE;
  item.dwStateMask = TCIS_BUTTONPRESSED;
  for (int index = 0; index < pageCount(); ++index) {
    item.dwState = index == selected ? TCIS_BUTTONPRESSED : 0;
    SendMessageA(handle(), TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
  }
  setActivePage(page(selected));
  if (onChange) onChange();
  return true;
}
