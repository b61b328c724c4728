#include "functions/indicators/IndicatorSeries.h"

#include "platform/NumericErrors.h"

void requirePeriod(int32_t period) {
  if (period < 1) throw ERangeError();
}

TIndicatorOutput::TIndicatorOutput(std::vector<long double>& output) : output_(output) {
  output_.clear();
  callerFlags_ = floatingPointFlags();
  clearFloatingPointFaults();
}

TIndicatorOutput::~TIndicatorOutput() { restoreFloatingPointFlags(callerFlags_); }

void TIndicatorOutput::reserve(long long records, int valuesPerRecord) {
  if (records > 0) output_.reserve(static_cast<std::size_t>(records) * (valuesPerRecord + 1));
}

void TIndicatorOutput::write(long double date, long double value) {
  raisePending();
  output_.push_back(date);
  output_.push_back(value);
}

void TIndicatorOutput::write(long double date, long double first, long double second) {
  raisePending();
  output_.push_back(date);
  output_.push_back(first);
  output_.push_back(second);
}

void TIndicatorOutput::write(long double date, long double first, long double second, long double third) {
  raisePending();
  output_.push_back(date);
  output_.push_back(first);
  output_.push_back(second);
  output_.push_back(third);
}

void TIndicatorOutput::raisePending() {
  if (floatingPointFaultPending()) raiseFloatingPointFaults();
}

long double TIndicatorOutput::checked(long double value) {
  raisePending();
  return value;
}

bool TIndicatorOutput::faulted(long double) {
  if (!floatingPointFaultPending()) return false;
  clearFloatingPointFaults();
  return true;
}
