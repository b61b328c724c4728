#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/Control.h"

class TPageControl;

// One page of a page control: a plain container filling the page area.
class TTabSheet : public TControl {
 public:
  TTabSheet(TPageControl* pageControl, const std::string& caption);
  ~TTabSheet() override;
  TPageControl* pageControl() const { return pageControl_; }
  void setCaption(const std::string& caption);
  std::string caption() const { return caption_; }
  int pageIndex() const;
  // The control of the page that last had the focus, while it is still
  // there and can take it again.
  TControl* lastFocused() const;

 protected:
  void focusMovedInside(TControl& focused) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_;
  std::string caption_;
  // A window, not a control: the control may be gone when the page is back.
  HWND lastFocused_ = nullptr;
};

// Tabs over pages; only the active page shows.
class TPageControl : public TControl {
 public:
  explicit TPageControl(TControl* parent);
  ~TPageControl() override;

  int pageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* page(int index) const;
  TTabSheet* activePage() const { return activePage_; }
  int activePageIndex() const;
  void setActivePage(TTabSheet* page);
  void setActivePageIndex(int index);
  // The next (or previous) page, round the end, as if the user clicked its
  // tab: onChanging may keep the page, onChange follows a change.
  void selectNextPage(bool forward);
  // Switches painting off and on around bulk changes.
  void setRedraw(bool redraw);

  // The user is about to leave the active page, whose open edits are
  // taken; false keeps it.
  std::function<bool()> onChanging;
  std::function<void()> onChange;  // the user chose another page

 protected:
  RECT alignRect() const override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool notificationReceived(NMHDR& header, LRESULT& result) override;

 private:
  friend class TTabSheet;
  // The active page's edits taken and onChanging agreeing.
  bool leavingAllowed();
  // Every page out of sight at the size of the one shown.
  void fitHiddenPages();
  void addPage(TTabSheet* page);
  void removePage(TTabSheet* page);

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};
