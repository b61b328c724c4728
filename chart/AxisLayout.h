#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/AxisSteps.h"

// What an axis strip shows, worked out without a window: the ticks, their
// labels and the slider mark, for a strip of a given size and a label font
// given by its text measure. The axis controls draw the result.

using TTextWidth = std::function<int(const std::string&)>;

struct TAxisTick {
  int position = 0;       // x on an X axis, y on a Y axis
  bool labelled = false;  // a long tick; its label is drawn when labelShown
  bool labelShown = false;
  std::string text;
  int labelLeft = 0;
  int labelTop = 0;
};

struct TAxisSlider {
  bool shown = false;
  std::string text;  // with a blank on either side
  int labelLeft = 0;
  int labelTop = 0;
};

struct TAxisLayout {
  // The base line (y on an X axis, x on a Y axis) and where the long and the
  // short ticks end.
  int baseLine = 0;
  int bigTickEnd = 0;
  int smallTickEnd = 0;
  std::vector<TAxisTick> ticks;
  TAxisSlider slider;
  // The positions of the labelled ticks, in drawing order: the grid of the
  // plot follows them.
  std::vector<int> tickPositions;
};

// The settings and label rules shared by both axes.
class TAxisModel {
 public:
  virtual ~TAxisModel() = default;

  double lo = 0;
  double hi = 0;
  int floatDecimals = 15;
  int lineWidth = 1;
  int bigTickWidth = 0;
  int bigTickHeight = 0;
  int smallTickWidth = 0;
  int smallTickHeight = 0;
  int labelMargin = 5;
  int sliderPos = 0;
  bool smallTicks = false;
  bool floatCommas = false;
  bool floatTrimZeros = true;
  bool showSlider = false;
  std::string floatDecimalSeparator;
  std::string floatThousandSeparator;

  // A value with the given decimals as the labels write it.
  virtual std::string formatValue(int decimals, double value) const;
  // A value with the decimals that the step of the last layout needs.
  virtual std::string formatTick(double value) const = 0;

  long double tickStep() const { return tickStep_; }

 protected:
  TAxisModel();
  long double tickStep_ = 1.0L;
};

class TXAxisModel : public TAxisModel {
 public:
  TXAxisModel();

  int loIndex = -1;
  int hiIndex = -1;
  bool aboveGraph = false;
  bool dateLabels = false;
  std::string dateFormatString;
  std::string timeFormatString;

  // Sets hiIndex up to the new loIndex when it lies below it, and the reverse.
  void setLoIndex(int index);
  void setHiIndex(int index);
  // Shares the array; the index range becomes all of it (-1, -1 when empty).
  void setXValues(std::shared_ptr<const std::vector<double>> values);
  const std::shared_ptr<const std::vector<double>>& xValues() const { return xValues_; }

  std::string formatValue(int decimals, double value) const override;
  std::string formatTick(double value) const override;

  // Lays the strip out: width W, height H, label height h.
  TAxisLayout layout(int width, int height, int labelHeight, const TTextWidth& textWidth);

  bool timeFormatChosen() const { return timeFormatChosen_; }

 private:
  struct TTickRun;
  void placeTick(TTickRun& run, int x, double value) const;

  std::shared_ptr<const std::vector<double>> xValues_;
  bool timeFormatChosen_ = false;
};

class TYAxisModel : public TAxisModel {
 public:
  TYAxisModel();

  bool rightOfGraph = false;
  bool logarithmic = false;

  std::string formatTick(double value) const override;

  // Lays the strip out: width W, height H, label height h. A logarithmic
  // axis over a range that reaches 0 or below is laid out linear, as the
  // plot beside it is drawn.
  TAxisLayout layout(int width, int height, int labelHeight, const TTextWidth& textWidth);
  bool logarithmicInEffect() const { return logarithmic && lo > 0; }
};
