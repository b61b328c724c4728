#pragma once
#include <memory>
#include <string>
#include <vector>

#include "model/Prices.h"

// The program-wide cache of price series. Assets that name the same price
// file with the same format string share one series, read once; it is
// freed with its last user. Assets without a price file get the null series.
class TPricesTable {
 public:
  TPricesTable();
  TPricesTable(const TPricesTable&) = delete;
  TPricesTable& operator=(const TPricesTable&) = delete;

  // Frees every entry and its series (the null series stays).
  void clear();

  // The series of a price file (trimmed, upper-cased) read with a format,
  // shared when cached; the null series for an empty location. 0 (also for
  // a missing file, which gives an empty series to add records to); -6 for
  // a format that compiles to nothing; -3, -7 from reading, nothing cached;
  // -5 on an unexpected failure. prices is set only on 0.
  int acquire(const std::string& location, const std::string& formatString, TPrices*& prices, const void* user);
  // The user no longer holds the series; the last user's release frees it.
  // A release by an object that does not hold the series changes nothing.
  void release(const TPrices* prices, const void* user);
  // Writes the days a modified series changed into its file as it stands
  // (TPrices::saveChangesToFile): 0 (also when nothing needed writing), -1,
  // -3, -4, -6, -8.
  int save(TPrices* prices);
  // Re-reads one cached series from its file, keeping its identity and, when
  // the file cannot be read completely, its records; 0 for a series not
  // cached. Results as TPrices::reloadFromFile.
  int reload(TPrices* prices);
  // Re-reads every cached series from its file; the series keep their
  // identity. The first failure, after all were re-read; a file that does
  // not exist is none, as it is none for acquire.
  int reloadAll();

  TPrices* nullSeries() const { return nullSeries_.get(); }
  int entryCount() const { return static_cast<int>(entries_.size()); }

 private:
  struct TEntry {
    std::string Location;
    std::string FormatString;
    std::vector<const void*> Users;  // compared by identity; duplicates allowed
    std::unique_ptr<TPrices> Series;
  };

  TEntry* findEntry(const TPrices* prices);
  void removeEntry(TEntry* entry);

  std::unique_ptr<TPrices> nullSeries_;
  std::vector<TEntry> entries_;
};

// The one cache of the program; it outlives every asset.
TPricesTable& pricesTable();
