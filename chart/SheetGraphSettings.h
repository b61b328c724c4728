#pragma once
#include <string>

class TPortfolioTable;

// The inputs of one computation of a sheet graph. The graph keeps a pending
// copy that collects changes and an applied copy that the last computation
// started from; comparing the two tells whether to rebuild the internal
// sheet, only recompute, or only redraw. The uses flags, set while the sheet
// is built, say which inputs some formula reads.
class TSheetGraphSettings {
 public:
  TSheetGraphSettings() { TSheetGraphSettings::clear(); }
  virtual ~TSheetGraphSettings() = default;
  TSheetGraphSettings(const TSheetGraphSettings&) = delete;
  TSheetGraphSettings& operator=(const TSheetGraphSettings&) = delete;

  virtual void clear();
  // nullptr clears.
  void assign(const TSheetGraphSettings* other);
  // True when the text is a formula (begins with "=").
  bool setTopText(const std::string& text);
  bool setBottomText(const std::string& text);

  // Called on the applied copy with the pending one as other.
  bool needsRebuild(const TSheetGraphSettings* other) const;
  bool needsRecompute(const TSheetGraphSettings* other) const;
  // For sheet charts: a date range that still lies within the computed data
  // (dataFirstX to dataLastX) needs no computation.
  bool needsRecomputeForRange(const TSheetGraphSettings* other, double dataFirstX, double dataLastX) const;

  TPortfolioTable* portfolioTable = nullptr;
  double fromDate = 0;
  double toDate = 0;
  int portfolioIndex = -1;
  int assetIndex = -1;
  bool logarithmic = false;
  bool built = false;
  bool usesFromDate = false;
  bool usesToDate = false;
  bool usesIsLog = false;
  bool topTextIsFormula = false;
  bool bottomTextIsFormula = false;
  bool usesAsset = false;
  bool usesPortfolio = false;
  std::string topText;
  std::string bottomText;
  std::string fromXFormula;
  std::string toXFormula;
  std::string stepsFormula;
  double fromX = 0;
  double toX = 0;
};

// A sheet chart's X runs over the dates by default.
class TSheetChartSettings : public TSheetGraphSettings {
 public:
  TSheetChartSettings() { TSheetChartSettings::clear(); }
  void clear() override;
};
