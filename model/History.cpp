#include "model/History.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "model/QuickSort.h"
#include "model/QuoteLineReader.h"
#include "platform/CalendarDates.h"

namespace {

bool isBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

void THistory::clear() {
  records_.clear();
  records_.shrink_to_fit();
  saved_.clear();
  saved_.shrink_to_fit();
  sorted_ = false;
  aligned_ = false;
  passedOver_ = 0;
}

int THistory::load(const std::string& fileName, const TQuoteFormat& format) {
  clear();
  if (format.isEmpty()) return -6;
  constexpr uint16_t required = quoteDateBits | quoteCloseBit;
  try {
    TQuoteLineReader reader;
    const int opened = reader.open(fileName);
    if (opened != 0) return opened;
    std::string_view line;
    TQuoteRecord quote;
    TDateEncoder dates;
    records_.reserve(reader.lineCountEstimate());
    bool firstLine = true;
    while (reader.readQuoteLine(line)) {
      const bool columnNames = firstLine && line.find_first_of("0123456789") == std::string_view::npos;
      firstLine = false;
      parseQuoteLine(line, format, quote);
      // The parser takes day 31 in every month; such a line has no date.
      double date = 0;
      if (quote.Error || (quote.Mask & required) != required ||
          !dates.encode(quote.Year, quote.Month, quote.Day, date)) {
        if (!columnNames && !isBlankLine(line)) ++passedOver_;
        continue;
      }
      records_.push_back({date, quote.Close});
    }
    if (reader.failed()) {
      clear();
      return -3;
    }
    // A last line without its end may have been cut off inside its last
    // value ("1.0" read for "1.0537"), and lines after an end-of-file byte
    // are no quotes: either is told of, as in settings files.
    reader.reportUnreadEnd(fileName);
  } catch (const std::bad_alloc&) {
    clear();
    return -5;
  }
  if (records_.empty()) return -7;
  records_.shrink_to_fit();
  return 0;
}

void THistory::ensureSorted() {
  if (sorted_) return;
  quickSortBy(records_.data(), records_.size(), [](const THistoryRecord& record) { return record.Date; });
  sorted_ = true;
}

int THistory::indexOfDate(double date) {
  if (records_.empty()) return -1;
  ensureSorted();
  if (date < records_.front().Date || date > records_.back().Date) return -1;
  int lo = 0, hi = count() - 1, mid = 0;
  do {
    mid = (lo + hi) / 2;
    if (records_[mid].Date > date) hi = mid - 1;
    else if (records_[mid].Date == date) return mid;
    else lo = mid + 1;
  } while (hi >= lo);
  return mid;
}

int THistory::mergeDates(std::vector<double>& dates) const {
  try {
    const auto known = static_cast<std::ptrdiff_t>(dates.size());
    for (const THistoryRecord& record : records_) {
      if (!std::binary_search(dates.begin(), dates.begin() + known, record.Date)) dates.push_back(record.Date);
    }
  } catch (const std::bad_alloc&) {
    return -5;
  }
  return 0;
}

int THistory::alignToDates(const std::vector<double>& dates, double fromDate) {
  if (!saved_.empty()) restore();
  else ensureSorted();
  const int n = count();
  if (n == 0) return 0;
  try {
    std::vector<THistoryRecord> aligned;
    aligned.reserve(n);
    std::vector<bool> used(n, false);
    // The new record k keeps the date of record k, so the dates stay in
    // place and in order; its value takes the step ratio of record i.
    auto appendChained = [&](int i) {
      const long double previous = aligned.back().Value;
      const long double before = records_[i - 1].Value;
      long double value = 0;
      if (before != 0) {
        value = previous * records_[i].Value / before;
        if (!std::isfinite(value)) value = 0;
      }
      aligned.push_back({records_[aligned.size()].Date, value});
      used[i] = true;
    };
    int k = 0;
    do {
      aligned.push_back(records_[k]);
      used[k++] = true;
    } while (k < n && records_[k].Date <= fromDate);
    for (double date : dates) {
      const int i = indexOfDate(date);
      if (i >= 0 && !used[i]) appendChained(i);
    }
    for (int i = 0; i < n; ++i) {
      if (!used[i]) appendChained(i);
    }
    saved_ = std::move(records_);
    records_ = std::move(aligned);
  } catch (const std::bad_alloc&) {
    return -5;
  }
  aligned_ = true;
  return 0;
}

int THistory::restore() {
  if (saved_.empty()) return -7;
  records_ = std::move(saved_);
  saved_.clear();
  sorted_ = true;
  aligned_ = true;
  return 0;
}
