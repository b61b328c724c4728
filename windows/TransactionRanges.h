#pragma once
#include <cstdint>
#include <string>
#include <vector>

class TAsset;
class TPortfolio;

// The merge dialog's three dates kept consistent: start and end within the
// allowed dates and start <= end; the destination never after the end nor
// before the start when either moves.
class TMergeDates {
 public:
  void reset(double start, double end, double destination, double lowest, double highest);
  void setStart(double date);
  void setEnd(double date);
  void setDestination(double date) { destination_ = date; }
  double start() const { return start_; }
  double end() const { return end_; }
  double destination() const { return destination_; }
  double lowest() const { return lowest_; }
  double highest() const { return highest_; }

 private:
  double start_ = 0;
  double end_ = 0;
  double destination_ = 0;
  double lowest_ = 0;
  double highest_ = 0;
};

// The delete dialog's number range: lowest <= start <= end <= highest after
// every edit.
class TNumberRange {
 public:
  void reset(int32_t a, int32_t b, int32_t first, int32_t last);
  // Typed text: a number is truncated and clamped, anything else keeps the
  // previous value. Moving start past end drags end along, and the reverse.
  void typeStart(const std::string& text);
  void typeEnd(const std::string& text);
  // An arrow step of -1 or +1; a step past lowest or highest does nothing.
  void stepStart(int step);
  void stepEnd(int step);
  void setStart(int32_t number);
  void setEnd(int32_t number);
  int32_t start() const { return start_; }
  int32_t end() const { return end_; }
  int32_t lowest() const { return lowest_; }
  int32_t highest() const { return highest_; }

 private:
  bool clampTyped(const std::string& text, int32_t& number) const;
  int32_t lowest_ = 0;
  int32_t highest_ = 0;
  int32_t start_ = 0;
  int32_t end_ = 0;
};

// The amounts a merge of one asset's transactions carries.
struct TMergeSums {
  int count = 0;
  long double units = 0;
  long double value = 0;
  long double fees = 0;
};

// The first and last moment a merge of the days firstDay to lastDay takes:
// from one second before the first midnight to 23:59:59 of the last day.
void mergeWindow(double firstDay, double lastDay, double& from, double& to);

// Why no new transaction of the asset could be written: its folder is
// missing ("C:\A\1.TRN is missing"), the portfolio has no number left, or
// the folder took no new file.
std::string whyNoNewTransaction(const TPortfolio& portfolio, const TAsset& asset);

// Replaces, in each asset given, the transactions of the merge window by
// one dated on the destination, carrying exactly the units, value and fees
// of the transactions the deletion takes (both ends of the window
// included), its comment the window's two dates; without deleteSource the
// sources stay beside it. A merge that deletes its sources is one deletion:
// every asset's sum and every source's file are asked first, and when one
// refuses nothing is merged (-4, why naming it and why). A source whose file
// stays after all (another program took it since) stays beside the merged
// transaction, which leaves it out (-4, why naming it). mergedCount grows by
// one for each transaction added. 0 also when the window holds none; else
// the first failing code of the model.
int mergeTransactions(TPortfolio& portfolio, const std::vector<TAsset*>& assets, bool deleteSource, int& mergedCount,
                      double destination, double firstDay, double lastDay, std::string& why);
// Deletes the assets' transactions numbered lo to hi, all or none: every
// file is asked first, and when one refuses none goes (-4, why naming it and
// why). 0 when they went, also when there are none; -4 and why naming those
// whose files stayed after all (another program took them since).
int deleteTransactionRange(TPortfolio& portfolio, const std::vector<TAsset*>& assets, int32_t lo, int32_t hi,
                           std::string& why);
