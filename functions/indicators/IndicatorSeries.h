#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The conventions every technical indicator routine shares: its input is one
// flat array of rows of a fixed width with the date first, its output one
// flat array of records (the date of the input row, then one to three
// values), and a period below 1 is a range error raised before any record.

// The row layouts several routines share, the date first in each:
// (date, value) series and records,
constexpr int valueWidth = 2;
constexpr int valueColumn = 1;
// (date, high, low, close) prices,
constexpr int priceWidth = 4;
constexpr int priceHigh = 1;
constexpr int priceLow = 2;
constexpr int priceClose = 3;
// (date, high, low) ranges,
constexpr int rangeWidth = 3;
constexpr int rangeHigh = 1;
constexpr int rangeLow = 2;
// (date, open, high, low, close) bars.
constexpr int barWidth = 5;
constexpr int barOpen = 1;
constexpr int barHigh = 2;
constexpr int barLow = 3;
constexpr int barClose = 4;

// Raises ERangeError for a period below 1.
void requirePeriod(int32_t period);

// The weight 2 / (period + 1) of the newest value in an exponential average.
inline long double smoothingFactor(int32_t period) { return 2 / (period + 1.0L); }

// Appends a (date, value) record to an intermediate series.
inline void appendRecord(std::vector<long double>& records, long double date, long double value) {
  records.push_back(date);
  records.push_back(value);
}

// A flat input read as rows of `width` values; a trailing partial row is
// ignored.
class TSeriesRows {
 public:
  TSeriesRows(const std::vector<long double>& values, int width)
      : values_(values.data()), width_(width), count_(static_cast<int>(values.size() / width)) {}

  int count() const { return count_; }
  long double date(int row) const { return at(row, 0); }
  long double at(int row, int column) const { return values_[static_cast<std::size_t>(row) * width_ + column]; }
  // The first of a column's values; the next one is `width` further on.
  const long double* column(int row, int column) const {
    return values_ + static_cast<std::size_t>(row) * width_ + column;
  }
  int width() const { return width_; }

 private:
  const long double* values_;
  int width_;
  int count_;
};

// The output of one routine, emptied when the writer is made.
//
// Floating-point faults are masked on this platform, so the writer also keeps
// the status flags for its routine: it starts from a clean status, raises a
// fault of the routine's unguarded arithmetic as its exception before the
// record that fault would spoil (the output then stays as far as it was
// written), lets a guarded row test and forget its own fault, and gives the
// caller's earlier flags back at the end.
class TIndicatorOutput {
 public:
  explicit TIndicatorOutput(std::vector<long double>& output);
  ~TIndicatorOutput();
  TIndicatorOutput(const TIndicatorOutput&) = delete;
  TIndicatorOutput& operator=(const TIndicatorOutput&) = delete;

  void reserve(long long records, int valuesPerRecord);
  void write(long double date, long double value);
  void write(long double date, long double first, long double second);
  void write(long double date, long double first, long double second, long double third);

  // Raises a pending fault of the arithmetic done so far.
  void raisePending();
  // Raises the fault that computing `value` caused, else gives it back.
  long double checked(long double value);
  // For a guarded row: true when the arithmetic that produced `value`
  // faulted. The status is clean again afterwards. Taking the value makes it
  // exist before the flags are read.
  bool faulted(long double value);

 private:
  std::vector<long double>& output_;
  unsigned callerFlags_ = 0;
};
