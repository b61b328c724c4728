#include "model/PriceDateList.h"

#include <bit>
#include <cmath>

namespace {

bool isWholeDay(double date) {
  if (!std::isfinite(date) || date < -2147483648.0 || date > 2147483647.0) return false;
  return std::bit_cast<uint64_t>(static_cast<double>(static_cast<int32_t>(date))) == std::bit_cast<uint64_t>(date);
}

}  // namespace

void TPriceDateList::reserve(size_t count) {
  if (wholeDays_) days_.reserve(count);
  else dates_.reserve(count);
}

void TPriceDateList::push_back(double date) {
  if (wholeDays_ && isWholeDay(date)) {
    days_.push_back(static_cast<int32_t>(date));
    return;
  }
  if (wholeDays_) {
    std::vector<double> dates;
    dates.reserve(days_.capacity());
    dates.assign(days_.begin(), days_.end());
    dates_ = std::move(dates);
    days_ = std::vector<int32_t>();
    wholeDays_ = false;
  }
  dates_.push_back(date);
}

bool TPriceDateList::strictlyRising() const {
  for (size_t i = 1; i < size(); ++i) {
    if (!((*this)[i - 1] < (*this)[i])) return false;
  }
  return true;
}

std::vector<double> TPriceDateList::toVector() const {
  std::vector<double> dates(size());
  for (size_t i = 0; i < dates.size(); ++i) dates[i] = (*this)[i];
  return dates;
}
