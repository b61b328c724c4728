#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The dates of a price series' records. Dates read from a file are whole
// days: while every date is one, four bytes hold it. The first date with a
// time of day (or beyond the days four bytes count, or -0) turns the list
// into one of doubles, so that every date comes back bit for bit.
class TPriceDateList {
 public:
  size_t size() const { return wholeDays_ ? days_.size() : dates_.size(); }
  bool empty() const { return size() == 0; }
  double operator[](size_t position) const {
    return wholeDays_ ? static_cast<double>(days_[position]) : dates_[position];
  }
  void reserve(size_t count);
  void push_back(double date);
  // Dates in strictly rising order, as most price files hold them.
  bool strictlyRising() const;
  std::vector<double> toVector() const;

 private:
  bool wholeDays_ = true;
  std::vector<int32_t> days_;
  std::vector<double> dates_;
};
