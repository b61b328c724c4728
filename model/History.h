#pragma once
#include <string>
#include <vector>

#include "model/QuoteFormat.h"

struct THistoryRecord {
  double Date;
  long double Value;
};

// A series of (date, value) records read from a quote file: the Close of
// every line with a full date. Besides loading and date search it can be
// rebuilt onto a reordered list of dates for a test run and restored.
class THistory {
 public:
  virtual ~THistory() = default;

  virtual void clear();
  // 0; -2 missing file; -3 read error; -5 out of memory; -6 empty format;
  // -7 no usable line. Any failure leaves the series empty.
  int load(const std::string& fileName, const TQuoteFormat& format);

  int count() const { return static_cast<int>(records_.size()); }
  // The lines of text the last load could not take as a record (no full
  // date, no value): damage in a file whose every line should be one. A
  // first line without a digit is the column names a downloaded table may
  // start with, not damage.
  int passedOver() const { return passedOver_; }
  const std::vector<THistoryRecord>& records() const { return records_; }
  bool sorted() const { return sorted_; }
  bool aligned() const { return aligned_; }

  void ensureSorted();
  // The index of the record of that date, else a neighbour of it; -1 when
  // the series is empty or the date lies outside it.
  int indexOfDate(double date);
  // Appends the record dates missing from the sorted list; 0 or -5.
  int mergeDates(std::vector<double>& dates) const;
  // Rebuilds the values so that their step ratios after fromDate follow the
  // order of the given dates; every date stays in place. 0 or -5.
  int alignToDates(const std::vector<double>& dates, double fromDate);
  // The records as loaded again; -7 when none are kept.
  int restore();

 protected:
  std::vector<THistoryRecord> records_;
  bool sorted_ = false;

 private:
  std::vector<THistoryRecord> saved_;
  bool aligned_ = false;
  int passedOver_ = 0;
};
