#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/Marks.h"

class TPrices;

// Quote field codes as the evaluator's quote columns name them.
constexpr int quoteFieldOpen = 3;
constexpr int quoteFieldHigh = 4;
constexpr int quoteFieldLow = 5;
constexpr int quoteFieldClose = 6;
constexpr int quoteFieldVolume = 7;

// One line of a plot: display options and the marks pinned to it.
class TSeries {
 public:
  TSeries() = default;
  virtual ~TSeries() = default;
  TSeries(const TSeries&) = delete;
  TSeries& operator=(const TSeries&) = delete;

  TTextMarks textMarks;
  TImageMarks imageMarks;
  uint32_t color = 0;
  int width = 2;
  bool enabled = false;
  bool percent = false;
  bool fillable = true;
  bool foreground = true;
  bool inLegend = true;
  long double scale = 1.0L;
  std::string caption;
  // Point kinds of markers on open, high, low and close; a nonzero byte also
  // puts that field into the series' range.
  uint8_t openMarker = 0;
  uint8_t highMarker = 0;
  uint8_t lowMarker = 0;
  uint8_t closeMarker = 0;
};

// A series over a price history seen through the scale.
class TPriceSeries : public TSeries {
 public:
  TPriceSeries();
  ~TPriceSeries() override;

  // Borrows prices that another owner keeps alive (nullptr drops them).
  void setPrices(TPrices* prices);
  // Takes prices that are freed with the series.
  void takePrices(std::unique_ptr<TPrices> prices);
  TPrices* prices() const { return prices_; }
  bool ownsPrices() const { return ownedPrices_ != nullptr; }

  // Quote mask bits (8 open, 16 high, 32 low, 64 close).
  uint16_t lineFields = 0;
  uint16_t barFields = 0;
  uint16_t countedFields = 0;

  // Adds the price dates and the marks' X values missing from the sorted
  // array, which stays sorted; the first nonzero code of the three merges.
  int mergeXValues(std::vector<double>& values) const;

  // Fold the series' values dated fromX to toX into a running minimum or
  // maximum shared by several series.
  void minimum(long double& value, bool& found, double fromX, double toX) const;
  void maximum(long double& value, bool& found, double fromX, double toX) const;

  // Scales the series so that it reads 100 at the record of date x.
  void setPercentBase(double x);

  // The value of a field code at a record, scaled; 0 for other codes.
  long double fieldValue(int field, const struct TQuoteRecord& record) const;

 private:
  void fold(long double& value, bool& found, double fromX, double toX, bool minimums) const;

  TPrices* prices_ = nullptr;
  std::unique_ptr<TPrices> ownedPrices_;
};
