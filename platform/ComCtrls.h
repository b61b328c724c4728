#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "platform/Control.h"

class TToolTips;

// Status bar, progress bar, track bar, up-down and scroll bar over the
// common controls.

// A panel's text too long for it is cut at the panel's edge: the bar's hint
// then holds it whole (each such panel's on a line of its own), and holds
// nothing while every text fits.
class TStatusBar : public TControl {
 public:
  explicit TStatusBar(TControl* parent);
  ~TStatusBar() override;
  // Panel widths from the left; a width of -1 stretches to the right edge.
  void setPanels(const std::vector<int>& widths);
  void setPanelText(int panel, const std::string& text);
  std::string panelText(int panel) const;
  // One text over the whole bar (no panels) while set; empty ends it.
  void setSimpleText(const std::string& text);
  std::string hint() const;

 protected:
  void resized() override;

 private:
  bool panelTextFits(int panel, const std::string& text) const;
  void hintCutTexts();

  std::unique_ptr<TToolTips> tips_;
};

class TProgressBar : public TControl {
 public:
  explicit TProgressBar(TControl* parent);
  void setRange(int minimum, int maximum);
  void setPosition(int position);
  int position() const;
};

class TTrackBar : public TControl {
 public:
  // Styles are the system's track bar styles (ticks, thumb and the like).
  explicit TTrackBar(TControl* parent, bool vertical = false, DWORD styles = TBS_AUTOTICKS);
  void setRange(int minimum, int maximum);
  // Needs the fixed-length style.
  void setThumbLength(int length);
  void setPosition(int position);
  int position() const;
  std::function<void()> onChange;

 protected:
  bool scrollReceived(WORD code, int position) override;
};

// Arrow buttons that step a 32-bit position; with a buddy edit it shows the
// position there.
class TUpDown : public TControl {
 public:
  explicit TUpDown(TControl* parent, bool horizontal = false);
  void setRange(int minimum, int maximum);
  void setPosition(int position);
  int position() const;
  void setAssociate(TControl* edit);
  std::function<void(bool up)> onClick;

 protected:
  bool notificationReceived(NMHDR& header, LRESULT& result) override;
};

// A scroll bar whose positions are read at 32 bits (the scroll message's
// own position field has 16).
class TScrollBar : public TControl {
 public:
  TScrollBar(TControl* parent, bool vertical);
  void setParams(int position, int minimum, int maximum, int pageSize = 0);
  int position() const;
  void setPosition(int position);
  int minimum() const;
  int maximum() const;
  int smallChange = 1;
  int largeChange = 1;
  // The scroll code (SB_...) and the new position, which the handler may change.
  std::function<void(int code, int& position)> onScroll;

 protected:
  bool scrollReceived(WORD code, int position) override;
};
