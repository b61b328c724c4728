#include "model/PriceCache.h"

#include <algorithm>
#include <new>

#include "platform/LocaleSettings.h"

namespace {
std::string trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}
}  // namespace

TPricesTable::TPricesTable() : nullSeries_(TPrices::createNullSeries()) {}

void TPricesTable::clear() {
  while (!entries_.empty()) entries_.pop_back();
}

int TPricesTable::acquire(const std::string& location, const std::string& formatString, TPrices*& prices,
                          const void* user) {
  std::string key = trimmed(location);
  if (key.empty()) {
    prices = nullSeries_.get();
    return 0;
  }
  try {
    key = upperCase(key);
    for (TEntry& entry : entries_) {
      if (entry.Location == key && entry.FormatString == formatString) {
        entry.Users.push_back(user);
        prices = entry.Series.get();
        return 0;
      }
    }
    const TQuoteFormat format = compileQuoteFormat(formatString, false);
    if (format.isEmpty()) return -6;
    auto series = std::make_unique<TPrices>();
    const int loaded = series->loadFromFile(key, format);
    // A missing file is cached as an empty series, so records added later
    // can be saved to that path.
    if (loaded != 0 && loaded != -2) return loaded;
    entries_.push_back({key, formatString, {user}, std::move(series)});
    prices = entries_.back().Series.get();
    return 0;
  } catch (const std::bad_alloc&) {
    prices = nullptr;
    return -5;
  }
}

TPricesTable::TEntry* TPricesTable::findEntry(const TPrices* prices) {
  for (TEntry& entry : entries_) {
    if (entry.Series.get() == prices) return &entry;
  }
  return nullptr;
}

void TPricesTable::removeEntry(TEntry* entry) {
  // The last entry takes the place of the removed one.
  if (entry != &entries_.back()) *entry = std::move(entries_.back());
  entries_.pop_back();
}

void TPricesTable::release(const TPrices* prices, const void* user) {
  TEntry* entry = findEntry(prices);
  if (entry == nullptr) return;
  auto found = std::find(entry->Users.begin(), entry->Users.end(), user);
  if (found == entry->Users.end()) return;
  if (entry->Users.size() == 1) {
    removeEntry(entry);
    return;
  }
  *found = entry->Users.back();
  entry->Users.pop_back();
}

int TPricesTable::save(TPrices* prices) {
  if (prices == nullptr || !prices->modified()) return 0;
  const TEntry* entry = findEntry(prices);
  if (entry == nullptr) return 0;
  const TQuoteFormat format = compileQuoteFormat(entry->FormatString, false);
  if (format.isEmpty()) return -6;
  return prices->saveChangesToFile(entry->Location, format);
}

int TPricesTable::reload(TPrices* prices) {
  const TEntry* entry = findEntry(prices);
  if (entry == nullptr) return 0;
  return prices->reloadFromFile(entry->Location, compileQuoteFormat(entry->FormatString, false));
}

int TPricesTable::reloadAll() {
  int first = 0;
  for (TEntry& entry : entries_) {
    const int result = entry.Series->reloadFromFile(entry.Location, compileQuoteFormat(entry.FormatString, false));
    // A series cached for a file not written yet is no failure here either,
    // or a new asset would make every reload fail.
    if (first == 0 && result != -2) first = result;
  }
  return first;
}

TPricesTable& pricesTable() {
  static TPricesTable instance;
  return instance;
}
