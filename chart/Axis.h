#pragma once
#include <memory>
#include <string>
#include <vector>

#include "chart/AxisLayout.h"
#include "platform/Bitmap.h"
#include "platform/Panel.h"

// An axis strip beside a plot: base line, ticks, labels and the slider
// mark, drawn into an off-screen bitmap and copied to the screen. The rules
// of what it shows live in its model (AxisLayout.h); the strip draws them.
class TAxis : public TPanel {
 public:
  ~TAxis() override;

  bool noPaint() const { return noPaint_; }
  void setNoPaint(bool noPaint) { noPaint_ = noPaint; }

  double lo() const { return model().lo; }
  double hi() const { return model().hi; }
  virtual void setLo(double lo) = 0;
  virtual void setHi(double hi) = 0;
  void setFloatDecimals(int decimals);
  void setFloatCommas(bool commas);
  void setFloatTrimZeros(bool trimZeros);
  void setFloatDecimalSeparator(const std::string& separator);
  void setFloatThousandSeparator(const std::string& separator);
  void setLineWidth(int width);
  void setBigTickWidth(int width);
  void setBigTickHeight(int height);
  void setSmallTickWidth(int width);
  void setSmallTickHeight(int height);
  void setLabelMargin(int margin);
  void setSmallTicks(bool smallTicks);
  bool showSlider() const { return model().showSlider; }
  void setShowSlider(bool show);
  int sliderPos() const { return model().sliderPos; }
  void setSliderPos(int position);

  std::string formatValue(int decimals, double value) const { return model().formatValue(decimals, value); }
  std::string formatTick(double value) const { return model().formatTick(value); }
  const TAxisModel& settings() const { return model(); }

  // Lays the strip out again and draws it into the bitmap, so that the tick
  // positions are current, and asks for the screen to follow.
  void updateTicks();
  const std::vector<int>& tickPositions() const { return tickPositions_; }
  const TBitmap& bitmap() const { return bitmap_; }

 protected:
  explicit TAxis(TControl* parent);
  virtual TAxisModel& model() = 0;
  virtual const TAxisModel& model() const = 0;
  virtual TAxisLayout layOut(int width, int height, int labelHeight, const TTextWidth& textWidth) = 0;
  // X axes draw ticks as vertical lines, Y axes as horizontal ones; a long
  // tick also marks the slider.
  virtual void drawTickLine(TCanvas& canvas, int position, bool labelled, const TAxisLayout& layout) = 0;
  virtual void drawBaseLine(TCanvas& canvas, const TAxisLayout& layout) = 0;
  // A change shown at the next paint.
  void changed() { invalidate(); }

  void paint(TCanvas& canvas) override;
  void resized() override;

 private:
  void render();

  bool noPaint_ = false;
  TBitmap bitmap_;
  std::vector<int> tickPositions_;
};

class TXAxis : public TAxis {
 public:
  explicit TXAxis(TControl* parent);

  void setLo(double lo) override;
  void setHi(double hi) override;
  int loIndex() const { return model_.loIndex; }
  int hiIndex() const { return model_.hiIndex; }
  void setLoIndex(int index);
  void setHiIndex(int index);
  void setXValues(std::shared_ptr<const std::vector<double>> values);
  bool aboveGraph() const { return model_.aboveGraph; }
  void setAboveGraph(bool above);
  bool dateLabels() const { return model_.dateLabels; }
  void setDateLabels(bool dates);
  void setDateFormatString(const std::string& format);
  void setTimeFormatString(const std::string& format);

 protected:
  TAxisModel& model() override { return model_; }
  const TAxisModel& model() const override { return model_; }
  TAxisLayout layOut(int width, int height, int labelHeight, const TTextWidth& textWidth) override;
  void drawTickLine(TCanvas& canvas, int position, bool labelled, const TAxisLayout& layout) override;
  void drawBaseLine(TCanvas& canvas, const TAxisLayout& layout) override;

 private:
  TXAxisModel model_;
};

class TYAxis : public TAxis {
 public:
  explicit TYAxis(TControl* parent);

  void setLo(double lo) override;
  void setHi(double hi) override;
  bool rightOfGraph() const { return model_.rightOfGraph; }
  void setRightOfGraph(bool right);
  bool logarithmic() const { return model_.logarithmic; }
  void setLogarithmic(bool logarithmic);
  // The plot sets the flag without a repaint: it repaints the axis itself
  // once its range is fitted.
  void storeLogarithmic(bool logarithmic) { model_.logarithmic = logarithmic; }

 protected:
  TAxisModel& model() override { return model_; }
  const TAxisModel& model() const override { return model_; }
  TAxisLayout layOut(int width, int height, int labelHeight, const TTextWidth& textWidth) override;
  void drawTickLine(TCanvas& canvas, int position, bool labelled, const TAxisLayout& layout) override;
  void drawBaseLine(TCanvas& canvas, const TAxisLayout& layout) override;

 private:
  TYAxisModel model_;
};
