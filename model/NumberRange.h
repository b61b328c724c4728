#pragma once
#include <cmath>
#include <limits>

// Whether a model value is a number: one the sheets compute with and the
// files store, finite and within the range of a double. Extended sums and
// products reach beyond that range; such a value is no value, and nothing
// worked out from it is one either.
inline bool holdsAsNumber(long double value) {
  return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<double>::max();
}
