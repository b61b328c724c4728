#pragma once
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/PriceDateList.h"
#include "model/PriceValueList.h"
#include "model/QuoteFileEdits.h"
#include "model/QuoteFormat.h"
#include "model/QuoteRecord.h"

// The price history of one asset: dated quote records in arrival order with
// an index in date order. Records of equal dates may coexist. The series can
// be rebuilt onto a reordered list of dates for a test run and restored.
class TPrices {
 public:
  TPrices();
  // The stand-in series of assets without prices: every lookup succeeds
  // with the null quote (prices 1, volumes and sizes 0).
  static std::unique_ptr<TPrices> createNullSeries();

  void clear(bool modified);

  int count() const { return static_cast<int>(current_.dates.size()); }
  int savedCount() const { return static_cast<int>(saved_.dates.size()); }
  bool isNull() const { return isNull_; }
  bool modified() const { return modified_; }
  bool sorted() const { return sorted_; }
  double lastChange() const { return lastChange_; }

  // The sorted position of a record within tolerance days of the date, or
  // -1; pos is the last position probed.
  int findDate(int& pos, double date, double tolerance);
  void ensureSorted();

  void getRecord(int physicalIndex, TQuoteRecord& quote) const;
  void getRecordBySortedIndex(int i, double& date, TQuoteRecord& quote);
  void getRecordAtDate(bool atOrBefore, double& recordDate, TQuoteRecord& quote, double date);
  void firstDate(double& date, bool& found);
  void lastDate(double& date, bool& found);

  bool addRecord(const TQuoteRecord& quote, bool skipIfDateExists, double tolerance, double date);
  bool addQuote(const TQuoteRecord& quote, bool skipIfDateExists, double tolerance);

  // 0; -2 missing file; -3 read error; -5 out of memory; -6 empty format;
  // -7 no usable line.
  int loadFromFile(const std::string& fileName, const TQuoteFormat& format);
  // Loads the file again, keeping the records held when it cannot be read
  // completely: an emptied series would let the next save overwrite the file
  // with only the records added since. Same results as loadFromFile, and -1
  // while an aligned copy is held.
  int reloadFromFile(const std::string& fileName, const TQuoteFormat& format);
  // 0; -1 while an aligned copy is held; -4 write error; -6 empty format.
  // The file is replaced only once the new text is completely written.
  int saveToFile(const std::string& fileName, const TQuoteFormat& format, bool skipRepeatedDates, bool inDateOrder);
  // Writes the days changed since the file was read or last written into
  // the file as it stands (see applyQuoteDayEdits), so that lines another
  // program added or changed meanwhile stay; a file not there yet that the
  // series never held records of is written whole. The series itself keeps
  // its records. 0 (also when nothing changed); -1, -4, -6 as saveToFile;
  // -3 the file cannot be read; -8 the changes cannot be applied: the file
  // no longer reads in the format, or it is gone.
  int saveChangesToFile(const std::string& fileName, const TQuoteFormat& format);
  // Puts back the records as the file held them when read or last written,
  // dropping every change since.
  void discardChanges();

  // Appends the record dates missing from the sorted list; 0 or -5.
  int mergeDates(std::vector<double>& dates) const;

  // The smallest (largest) present value of each field from the record at
  // or after fromDate through the records dated up to toDate.
  void fieldMinimums(TQuoteRecord& quote, double toDate, double fromDate);
  void fieldMaximums(TQuoteRecord& quote, double toDate, double fromDate);

  // Rebuilds the series so that its step returns follow the order of the
  // given dates after fromDate, every date staying where it is; 0 or -5.
  int alignToDates(const std::vector<double>& dates, double fromDate, double tolerance);
  // Puts the records as they were before alignToDates back; -7 when none
  // are kept.
  int restore();

 private:
  // The records in arrival (physical) order, one array per field.
  struct TStorage {
    TPriceDateList dates;
    // Value bits only; date bits come from the date. While every record has
    // the same ones (as every line of most files has), the common mask
    // stands for all of them and record i's values start at i times its
    // value count; the first record that differs makes the two lists.
    bool uniform = true;
    uint16_t uniformMask = 0;
    std::vector<uint16_t> masks;
    std::vector<uint32_t> firstValues;   // position of each record's first value in values
    TPriceValueList values;              // the present values of each record, in field order
    // Physical record numbers in date order. Empty stands for 0, 1, 2, ...:
    // the records of most files arrive in date order.
    std::vector<int32_t> index;

    uint16_t maskOf(int physicalIndex) const { return uniform ? uniformMask : masks[physicalIndex]; }
    uint32_t firstValueOf(int physicalIndex) const {
      return uniform ? static_cast<uint32_t>(physicalIndex) * static_cast<uint32_t>(std::popcount(uniformMask))
                     : firstValues[physicalIndex];
    }
    int32_t physicalAt(int position) const { return index.empty() ? position : index[position]; }
    // Gives every record its own mask and first value position.
    void makeListsOfMasks();
    // Writes out the index that empty stands for.
    void makeIndex();
  };

  double sortedDate(int position) const { return current_.dates[current_.physicalAt(position)]; }
  long double valueOf(const TStorage& storage, int physicalIndex, int valueIndex) const;
  // Stores the date, the quote's present values and their mask bits.
  static void appendRecord(TStorage& storage, double date, const TQuoteRecord& quote);
  void fillQuote(const TStorage& storage, int physicalIndex, TQuoteRecord& quote) const;
  void reserveForLines(size_t lines, uint16_t fields);
  void foldFields(TQuoteRecord& quote, double toDate, double fromDate, bool minimums);
  void buildIndexInArrivalOrder();
  // Keeps the records as read before the first change, in date order.
  void keepRecordsAsRead();
  // The days whose records differ between two stores in date order.
  TQuoteDayEdits changedDays(const TStorage& before, const TStorage& after) const;

  TStorage current_;
  TStorage saved_;  // the records as loaded while an aligned copy is current
  // The records as the file held them when read or last written, while the
  // series holds changes not written yet.
  std::unique_ptr<TStorage> asRead_;
  bool sorted_ = false;
  bool modified_ = false;
  bool modifiedBeforeAlignment_ = false;
  bool isNull_ = false;
  double lastChange_ = 0;
};

// The quote every lookup on the null series gives, without date bits.
TQuoteRecord nullQuote();
