#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "sheet/ValueRecord.h"

class TSheet;

// The rows of a table by key, for pairing the rows of another table with
// "the first row not yet taken whose key is equal" in one pass instead of a
// search per row. Equal means equal by the sheet's comparison: numbers by
// value, texts ignoring case, and a number equal to a text that reads as
// its own text form (the number 1 equals the text "1"). That relation is
// not transitive across kinds, so a number is filed both by value and by
// its text form. Keys that are neither numbers nor texts match nothing.
class TKeyIndex {
 public:
  explicit TKeyIndex(const TSheet& sheet) : sheet_(sheet) {}

  // Files row (rows are added in increasing order) under key.
  void add(const TValueRecord& key, std::int32_t row);
  // The first row not taken yet whose key equals key, marked as taken; -1
  // when there is none.
  std::int32_t takeFirstEqual(const TValueRecord& key);

 private:
  // Rows filed under one key, in increasing order; those before `next` are
  // all taken.
  struct TRowQueue {
    std::vector<std::int32_t> rows;
    std::size_t next = 0;
  };
  // The text a number key is compared as, upper-cased.
  std::string numberText(const TValueRecord& key) const;
  static double numberOf(const TValueRecord& key);
  // The first row of the queue not taken yet, -1 when there is none.
  std::int32_t firstFree(TRowQueue* queue);

  const TSheet& sheet_;
  std::unordered_map<double, TRowQueue> numbers_;           // number keys by value
  std::unordered_map<std::string, TRowQueue> numberTexts_;  // number keys by text form
  std::unordered_map<std::string, TRowQueue> texts_;        // text keys, upper-cased
  std::vector<bool> taken_;                                 // by row
};
