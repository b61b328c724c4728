#include "model/Prices.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <new>
#include <numeric>

#include "model/ChangeStamps.h"
#include "model/DateIndex.h"
#include "model/QuoteLineReader.h"
#include "model/QuickSort.h"
#include "platform/CalendarDates.h"
#include "platform/FileSystem.h"

namespace {

// Whole-day dates of years 1..9999; other dates carry no calendar date.
constexpr double firstCalendarDate = -693593;  // 1 January 1
constexpr double lastCalendarDate = 2958465;   // 31 December 9999

void setDateFields(TQuoteRecord& quote, double date) {
  if (date < firstCalendarDate || date >= lastCalendarDate + 1) return;
  int year = 0, month = 0, day = 0;
  decodeDate(date, year, month, day);
  quote.Year = static_cast<uint16_t>(year);
  quote.Month = static_cast<uint16_t>(month);
  quote.Day = static_cast<uint16_t>(day);
  quote.Mask |= quoteDateBits;
}

static_assert(std::numeric_limits<long double>::digits == 64, "values are stored as 80-bit extended");

// One chained step: previous × current / before, or 0 when that fails.
long double chainedValue(long double previous, long double current, long double before) {
  if (before == 0) return 0;
  const long double value = previous * current / before;
  return std::isfinite(value) ? value : 0;
}

}  // namespace

TQuoteRecord nullQuote() {
  TQuoteRecord quote;
  quote.Open = quote.High = quote.Low = quote.Close = quote.Bid = quote.Ask = 1;
  quote.Mask = quoteValueBits;
  return quote;
}

TPrices::TPrices() { clear(false); }

std::unique_ptr<TPrices> TPrices::createNullSeries() {
  auto series = std::make_unique<TPrices>();
  series->isNull_ = true;
  return series;
}

void TPrices::clear(bool modified) {
  if (modified)
    keepRecordsAsRead();
  else
    asRead_.reset();
  current_ = TStorage{};
  saved_ = TStorage{};
  sorted_ = false;
  isNull_ = false;
  modified_ = modified;
  lastChange_ = changeStamp();
}

int TPrices::findDate(int& pos, double date, double tolerance) {
  if (isNull_) {
    pos = 0;
    return 0;
  }
  pos = -1;
  const int last = count() - 1;
  if (last < 0) return -1;
  ensureSorted();
  auto within = [&](int position) {
    return position >= 0 && position <= last && std::fabs(sortedDate(position) - date) <= tolerance;
  };
  if (sortedDate(0) > date) {
    pos = 0;
    return within(0) ? 0 : -1;
  }
  if (sortedDate(last) < date) {
    pos = last;
    return within(last) ? last : -1;
  }
  int lo = 0, hi = last;
  while (hi >= lo) {
    const int mid = (lo + hi) / 2;
    pos = mid;
    const double probed = sortedDate(mid);
    if (probed > date) hi = mid - 1;
    else if (probed == date) return mid;
    else lo = mid + 1;
  }
  // No exact date: it lies between positions hi and lo, and the last probe
  // is one of them. The nearer one within the tolerance matches, so a
  // record just on the other side of the date is not missed.
  const int other = pos == lo ? hi : lo;
  const bool probeWithin = within(pos);
  const bool otherWithin = within(other);
  if (probeWithin && otherWithin) {
    return std::fabs(sortedDate(other) - date) < std::fabs(sortedDate(pos) - date) ? other : pos;
  }
  return probeWithin ? pos : otherWithin ? other : -1;
}

void TPrices::ensureSorted() {
  if (sorted_) return;
  current_.makeIndex();
  const TPriceDateList& dates = current_.dates;
  quickSortBy(current_.index.data(), current_.index.size(), [&](int32_t physical) { return dates[physical]; });
  sorted_ = true;
}

long double TPrices::valueOf(const TStorage& storage, int physicalIndex, int valueIndex) const {
  const uint16_t bit = quoteValueBit(valueIndex);
  const int before = std::popcount(static_cast<unsigned>(storage.maskOf(physicalIndex) & (bit - 1)));
  return storage.values[storage.firstValueOf(physicalIndex) + before];
}

void TPrices::TStorage::makeListsOfMasks() {
  if (!uniform) return;
  const size_t count = dates.size();
  masks.assign(count, uniformMask);
  firstValues.resize(count);
  for (size_t i = 0; i < count; ++i) firstValues[i] = firstValueOf(static_cast<int>(i));
  uniform = false;
}

void TPrices::TStorage::makeIndex() {
  if (!index.empty()) return;
  index.resize(dates.size());
  std::iota(index.begin(), index.end(), 0);
}

void TPrices::appendRecord(TStorage& storage, double date, const TQuoteRecord& quote) {
  const uint16_t mask = quote.Mask & quoteValueBits;
  if (storage.uniform && storage.dates.empty()) storage.uniformMask = mask;
  if (storage.uniform && mask != storage.uniformMask) storage.makeListsOfMasks();
  if (!storage.uniform) {
    storage.masks.push_back(mask);
    storage.firstValues.push_back(static_cast<uint32_t>(storage.values.size()));
  }
  storage.dates.push_back(date);
  for (unsigned present = mask / quoteOpenBit; present != 0; present &= present - 1) {
    const auto field = static_cast<unsigned>(std::countr_zero(present));
    storage.values.push_back(quote.*quoteValueFields[field], field);
  }
}

void TPrices::fillQuote(const TStorage& storage, int physicalIndex, TQuoteRecord& quote) const {
  quote = TQuoteRecord{};
  const uint16_t mask = storage.maskOf(physicalIndex);
  uint32_t next = storage.firstValueOf(physicalIndex);
  for (int v = 0; v < quoteValueCount; ++v) {
    if (mask & quoteValueBit(v)) quote.*quoteValueFields[v] = storage.values[next++];
  }
  quote.Mask = mask;
  setDateFields(quote, storage.dates[physicalIndex]);
}

void TPrices::getRecord(int physicalIndex, TQuoteRecord& quote) const {
  if (isNull_) {
    quote = nullQuote();
    return;
  }
  if (physicalIndex < 0 || physicalIndex >= count()) {
    quote = TQuoteRecord{};
    quote.Error = 1;
    return;
  }
  fillQuote(current_, physicalIndex, quote);
}

void TPrices::getRecordBySortedIndex(int i, double& date, TQuoteRecord& quote) {
  if (isNull_) {
    quote = nullQuote();
    setDateFields(quote, date);
    return;
  }
  if (i < 0 || i >= count()) {
    quote = TQuoteRecord{};
    quote.Error = 1;
    return;
  }
  ensureSorted();
  const int physical = current_.physicalAt(i);
  date = current_.dates[physical];
  fillQuote(current_, physical, quote);
}

void TPrices::getRecordAtDate(bool atOrBefore, double& recordDate, TQuoteRecord& quote, double date) {
  if (isNull_) {
    recordDate = date;
    quote = nullQuote();
    setDateFields(quote, date);
    return;
  }
  int pos = -1;
  const int found = findDate(pos, date, 0);
  if (!atOrBefore) {
    if (found < 0) {
      quote = TQuoteRecord{};
      quote.Error = 1;
      return;
    }
    getRecordBySortedIndex(found, recordDate, quote);
    return;
  }
  while (pos >= 0 && sortedDate(pos) > date) --pos;
  if (pos < 0) {
    quote = TQuoteRecord{};
    quote.Error = 1;
    return;
  }
  getRecordBySortedIndex(pos, recordDate, quote);
}

void TPrices::firstDate(double& date, bool& found) {
  found = count() > 0;
  if (!found) return;
  ensureSorted();
  date = sortedDate(0);
}

void TPrices::lastDate(double& date, bool& found) {
  found = count() > 0;
  if (!found) return;
  ensureSorted();
  date = sortedDate(count() - 1);
}

bool TPrices::addRecord(const TQuoteRecord& quote, bool skipIfDateExists, double tolerance, double date) {
  // The null series is shared by every asset without prices: a record added
  // to it would show up in all of them.
  if (quote.Error || isNull_) return false;
  int pos = -1;
  const int found = findDate(pos, date, tolerance);
  if (skipIfDateExists && found >= 0) return false;
  const int32_t physical = count();
  // Where the record goes in date order; an unsorted index takes it last.
  int position = physical;
  if (sorted_) {
    position = std::max(0, std::min(pos - 1, physical));
    while (position < physical && sortedDate(position) < date) ++position;
  }
  keepRecordsAsRead();
  if (position < physical) current_.makeIndex();
  appendRecord(current_, date, quote);
  std::vector<int32_t>& index = current_.index;
  if (!index.empty()) index.insert(index.begin() + position, physical);
  modified_ = true;
  return true;
}

bool TPrices::addQuote(const TQuoteRecord& quote, bool skipIfDateExists, double tolerance) {
  if (quote.Error || (quote.Mask & quoteDateBits) != quoteDateBits) return false;
  double date = 0;
  if (!encodeDate(quote.Year, quote.Month, quote.Day, date)) return false;
  return addRecord(quote, skipIfDateExists, tolerance, date);
}

int TPrices::loadFromFile(const std::string& fileName, const TQuoteFormat& format) {
  clear(false);
  if (format.isEmpty()) return -6;
  try {
    TQuoteLineReader reader;
    const int opened = reader.open(fileName);
    if (opened != 0) return opened;
    std::string_view line;
    TQuoteRecord quote;
    TDateEncoder dates;
    reserveForLines(reader.lineCountEstimate(), quoteFormatFields(format));
    while (reader.readQuoteLine(line)) {
      parseQuoteLine(line, format, quote);
      if (quote.Error || (quote.Mask & quoteDateBits) != quoteDateBits) continue;
      double date = 0;
      if (!dates.encode(quote.Year, quote.Month, quote.Day, date)) continue;
      appendRecord(current_, date, quote);
    }
    buildIndexInArrivalOrder();
    if (reader.failed()) return -3;
    // A last line without its end may have been cut off inside its last
    // value ("1.0" read for "1.0537"), and lines after an end-of-file byte
    // are no quotes: either is told of, as in settings files.
    reader.reportUnreadEnd(fileName);
  } catch (const std::bad_alloc&) {
    clear(false);
    return -5;
  }
  modified_ = false;
  return count() == 0 ? -7 : 0;
}

int TPrices::reloadFromFile(const std::string& fileName, const TQuoteFormat& format) {
  if (savedCount() > 0) return -1;
  TPrices fresh;
  const int result = fresh.loadFromFile(fileName, format);
  if (result != 0) return result;
  current_ = std::move(fresh.current_);
  asRead_.reset();
  sorted_ = fresh.sorted_;
  modified_ = false;
  lastChange_ = fresh.lastChange_;
  return 0;
}

void TPrices::reserveForLines(size_t lines, uint16_t fields) {
  current_.dates.reserve(lines);
  current_.values.reserve(lines * static_cast<size_t>(std::popcount(static_cast<unsigned>(fields & quoteValueBits))));
}

// The index that adding the loaded records one by one would give, built
// without the quadratic cost of inserting into the middle of the index.
void TPrices::buildIndexInArrivalOrder() {
  if (!current_.dates.strictlyRising()) current_.index = dateIndexAsInserted(current_.dates.toVector());
  // The first addition to an empty series leaves the index unsorted; every
  // later one sorts it first.
  sorted_ = count() >= 2;
}

int TPrices::saveToFile(const std::string& fileName, const TQuoteFormat& format, bool skipRepeatedDates,
                        bool inDateOrder) {
  if (format.isEmpty()) return -6;
  if (savedCount() > 0) return -1;
  std::string text;
  try {
    if (inDateOrder) ensureSorted();
    // Before any real date, so the first record is never a repeat.
    double previousDate = firstCalendarDate - 1;
    std::string line;
    TQuoteRecord quote;
    for (int i = 0; i < count(); ++i) {
      const int physical = inDateOrder ? current_.physicalAt(i) : i;
      const double date = current_.dates[physical];
      if (inDateOrder && skipRepeatedDates) {
        if (date == previousDate) continue;
        previousDate = date;
      }
      fillQuote(current_, physical, quote);
      formatQuoteLine(quote, format, line);
      if (line.empty()) continue;
      text += line;
      text += '\n';
    }
  } catch (const std::bad_alloc&) {
    return -4;
  }
  if (!writeFileAtomically(fileName, text)) return -4;
  asRead_.reset();
  modified_ = false;
  return 0;
}

void TPrices::keepRecordsAsRead() {
  // A series changed already holds no longer what was read; neither does
  // an aligned test copy, which is never saved.
  if (asRead_ || isNull_ || modified_) return;
  ensureSorted();
  asRead_ = std::make_unique<TStorage>(current_);
}

void TPrices::discardChanges() {
  if (!asRead_) return;
  current_ = std::move(*asRead_);
  asRead_.reset();
  sorted_ = true;  // kept in date order
  modified_ = false;
  lastChange_ = changeStamp();
}

TQuoteDayEdits TPrices::changedDays(const TStorage& before, const TStorage& after) const {
  // The records of the next day in date order from position on; records
  // without a calendar date are no line of a file and are passed over.
  const auto nextDay = [this](const TStorage& storage, size_t& position, int32_t& day,
                              std::vector<TQuoteRecord>& records) {
    records.clear();
    TQuoteRecord quote;
    for (; position < storage.dates.size(); ++position) {
      fillQuote(storage, storage.physicalAt(static_cast<int>(position)), quote);
      int32_t recordDay = 0;
      if (!quoteDayOf(quote, recordDay)) continue;
      if (!records.empty() && recordDay != day) break;
      day = recordDay;
      records.push_back(quote);
    }
    return !records.empty();
  };
  const auto sameValues = [](const TQuoteRecord& a, const TQuoteRecord& b) {
    if (a.Mask != b.Mask) return false;
    for (int v = 0; v < quoteValueCount; ++v)
      if ((a.Mask & quoteValueBit(v)) && a.*quoteValueFields[v] != b.*quoteValueFields[v]) return false;
    return true;
  };
  TQuoteDayEdits edits;
  size_t beforePosition = 0;
  size_t afterPosition = 0;
  int32_t beforeDay = 0;
  int32_t afterDay = 0;
  std::vector<TQuoteRecord> beforeRecords;
  std::vector<TQuoteRecord> afterRecords;
  bool inBefore = nextDay(before, beforePosition, beforeDay, beforeRecords);
  bool inAfter = nextDay(after, afterPosition, afterDay, afterRecords);
  while (inBefore || inAfter) {
    if (inAfter && (!inBefore || afterDay < beforeDay)) {
      edits[afterDay] = afterRecords.front();
      inAfter = nextDay(after, afterPosition, afterDay, afterRecords);
    } else if (!inAfter || beforeDay < afterDay) {
      edits[beforeDay] = std::nullopt;
      inBefore = nextDay(before, beforePosition, beforeDay, beforeRecords);
    } else {
      // A day is written without repeats: its first record stands for it.
      if (!std::equal(beforeRecords.begin(), beforeRecords.end(), afterRecords.begin(), afterRecords.end(), sameValues))
        edits[afterDay] = afterRecords.front();
      inBefore = nextDay(before, beforePosition, beforeDay, beforeRecords);
      inAfter = nextDay(after, afterPosition, afterDay, afterRecords);
    }
  }
  return edits;
}

int TPrices::saveChangesToFile(const std::string& fileName, const TQuoteFormat& format) {
  if (format.isEmpty()) return -6;
  if (savedCount() > 0) return -1;
  if (!modified_) return 0;
  const TStorage none;
  const TStorage& before = asRead_ ? *asRead_ : none;
  std::string text;
  if (!readFileBytes(fileName, text)) {
    if (pathExists(fileName) || namesDevice(fileName)) return -3;
    // A file not made yet takes the whole series; one gone since the series
    // was read from it is no place to write only the changes into.
    return before.dates.empty() ? saveToFile(fileName, format, true, true) : -8;
  }
  std::string written;
  try {
    ensureSorted();
    if (applyQuoteDayEdits(text, format, changedDays(before, current_), written) != 0) return -8;
  } catch (const std::bad_alloc&) {
    return -4;
  }
  if (written != text && !writeFileAtomically(fileName, written)) return -4;
  asRead_.reset();
  modified_ = false;
  return 0;
}

int TPrices::mergeDates(std::vector<double>& dates) const {
  try {
    const auto known = static_cast<std::ptrdiff_t>(dates.size());
    for (size_t i = 0; i < current_.dates.size(); ++i) {
      const double date = current_.dates[i];
      if (!std::binary_search(dates.begin(), dates.begin() + known, date)) dates.push_back(date);
    }
  } catch (const std::bad_alloc&) {
    return -5;
  }
  return 0;
}

void TPrices::fieldMinimums(TQuoteRecord& quote, double toDate, double fromDate) {
  foldFields(quote, toDate, fromDate, true);
}

void TPrices::fieldMaximums(TQuoteRecord& quote, double toDate, double fromDate) {
  foldFields(quote, toDate, fromDate, false);
}

void TPrices::foldFields(TQuoteRecord& quote, double toDate, double fromDate, bool minimums) {
  if (isNull_) {
    quote = nullQuote();
    return;
  }
  quote.Error = 0;
  quote.Mask = 0;
  int pos = -1;
  findDate(pos, fromDate, 0);
  if (count() == 0) return;
  while (pos > 0 && sortedDate(pos) > fromDate) --pos;
  // Step forward only onto a record that exists: a fromDate after the last
  // record leaves the last record as the seed.
  if (sortedDate(pos) < fromDate && pos + 1 < count()) ++pos;
  fillQuote(current_, current_.physicalAt(pos), quote);
  TQuoteRecord record;
  for (int i = pos + 1; i < count() && sortedDate(i) <= toDate; ++i) {
    fillQuote(current_, current_.physicalAt(i), record);
    for (int v = 0; v < quoteValueCount; ++v) {
      const uint16_t bit = quoteValueBit(v);
      if (!(record.Mask & bit)) continue;
      long double& result = quote.*quoteValueFields[v];
      const long double value = record.*quoteValueFields[v];
      if (!(quote.Mask & bit)) {
        result = value;
        quote.Mask |= bit;
      } else {
        result = minimums ? std::min(result, value) : std::max(result, value);
      }
    }
  }
}

int TPrices::alignToDates(const std::vector<double>& dates, double fromDate, double tolerance) {
  if (isNull_) return 0;
  if (savedCount() > 0) restore();
  else ensureSorted();
  const int n = count();
  if (n == 0) return 0;
  try {
    TStorage aligned;
    aligned.values = TPriceValueList::forComputedValues();
    aligned.dates.reserve(n);
    aligned.values.reserve(current_.values.size());
    std::vector<bool> used(n, false);
    TQuoteRecord quote;
    auto copyUnchanged = [&](int position) {
      const int physical = current_.physicalAt(position);
      fillQuote(current_, physical, quote);
      appendRecord(aligned, current_.dates[physical], quote);
      used[position] = true;
    };
    // The step from sorted position p - 1 to p, applied to the last new
    // record, dated as the next record of the series.
    auto appendChained = [&](int p) {
      const int k = static_cast<int>(aligned.dates.size());
      const int current = current_.physicalAt(p);
      const int before = current_.physicalAt(p - 1);
      const int previousNew = k - 1;
      // A field absent from any of the three records cannot be chained.
      const uint16_t mask = current_.maskOf(current) & current_.maskOf(before) & aligned.maskOf(previousNew);
      quote.Mask = mask;
      for (int v = 0; v < quoteValueCount; ++v) {
        if (mask & quoteValueBit(v)) {
          quote.*quoteValueFields[v] = chainedValue(valueOf(aligned, previousNew, v), valueOf(current_, current, v),
                                                    valueOf(current_, before, v));
        }
      }
      appendRecord(aligned, sortedDate(k), quote);
      used[p] = true;
    };

    int k = 0;
    do copyUnchanged(k++);
    while (k < n && sortedDate(k - 1) <= fromDate);
    for (double date : dates) {
      if (static_cast<int>(aligned.dates.size()) == n) break;
      int pos = -1;
      const int p = findDate(pos, date, tolerance);
      if (p >= 0 && !used[p]) appendChained(p);
    }
    for (int p = 0; p < n && static_cast<int>(aligned.dates.size()) < n; ++p) {
      if (!used[p]) appendChained(p);
    }
    saved_ = std::move(current_);
    current_ = std::move(aligned);
  } catch (const std::bad_alloc&) {
    return -5;
  }
  modifiedBeforeAlignment_ = modified_;
  modified_ = true;
  lastChange_ = changeStamp();
  return 0;
}

int TPrices::restore() {
  if (isNull_) return 0;
  if (savedCount() < 1) return -7;
  current_ = std::move(saved_);
  saved_ = TStorage{};
  sorted_ = true;
  // An aligned test copy is never saved, so restoring it changes nothing
  // that needs writing back.
  modified_ = modifiedBeforeAlignment_;
  lastChange_ = changeStamp();
  return 0;
}
