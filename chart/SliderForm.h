#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/SliderScale.h"
#include "chart/SliderScrolling.h"
#include "model/SettingsBaseline.h"
#include "platform/Form.h"
#include "platform/Timer.h"

class TEdit;
class TGroupBox;
class TKeyPanel;
class TSourceTable;
class TToolTips;
class TTrackBar;
class TUpDown;

// The parameter window: a track bar, up-down buttons and an edit box for
// every adjustable parameter of a sheet graph's sources, one group per
// source. Every committed value goes straight into the source table; the
// caller's callback follows two seconds after the last change, so a run of
// changes recomputes the chart once.
class TSliderForm : public TForm {
 public:
  TSliderForm();
  ~TSliderForm() override;

  void loadGUIoptions(const std::string& fileName);
  void saveGUIoptions(const std::string& fileName);

  // Builds the sliders and shows the window modally; returns when it has
  // closed. Nothing is shown for a table without adjustable parameters.
  void showSourceParameters(TSourceTable* table, const std::string& caption,
                            std::function<void(TSliderForm*)> modifiedCallback, POINT position);
  // The building and placing part of showSourceParameters: false when no
  // slider was made.
  bool buildSliders(TSourceTable* table, const std::string& caption,
                    std::function<void(TSliderForm*)> modifiedCallback, POINT position);
  void killAll();
  bool modified() const { return modified_; }

  struct TSlider {
    TSliderScale scale;
    int sourceIndex;
    int parameterIndex;
    TKeyPanel* panel;
    TEdit* edit;
    TTrackBar* trackBar;
    TUpDown* upDown;
  };
  int sliderCount() const { return static_cast<int>(sliders_.size()); }
  const TSlider& slider(int index) const { return sliders_[index]; }
  TGroupBox& group(int index) const { return *groups_[index]; }
  int groupCount() const { return static_cast<int>(groups_.size()); }

  void addGroup(int sourceIndex, int parameterIndex, const std::string& title, const std::string& label,
                const std::string& hint, long double value, long double low, long double high, int steps);
  void addParam(int sourceIndex, int parameterIndex, const std::string& label, const std::string& hint,
                long double value, long double low, long double high, int steps);
  void updateTrackBar(int index);
  void trackBarChange(int index);
  void editChange(int index);
  void upDownClick(int index, bool up);
  void notifyTimerTimer();
  bool FormCloseQuery();
  void FormKeyPress(char& key);

  TTimer notifyTimer;
  const TSliderScrolling& scrolling() const { return scrolling_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void resized() override;

 private:
  int scaled(int pixels) const;
  void showValue(TSlider& slider);
  void scrollTo(int position);
  void moveGroups(int delta);
  void updateScrollBar();
  void scrollSliderIntoView(int index);
  void scrollMessage(WORD code);
  void writeGUIoptions(TPortableIniFile& ini) const;

  bool updatingTrackBar_ = false;
  bool updatingEdits_ = false;
  bool modified_ = false;
  std::vector<TSlider> sliders_;
  TSourceTable* sourceTable_ = nullptr;
  std::function<void(TSliderForm*)> modifiedCallback_;
  std::unique_ptr<TToolTips> hints_;
  std::vector<std::unique_ptr<TGroupBox>> groups_;
  int pixelsPerInch_ = 96;
  int maximumHeight_ = 0;  // the window as tall as its groups; 0: none
  bool autoScroll_ = false;
  TSliderScrolling scrolling_;
  TSettingsBaseline savedGUIoptions_;
};
