#pragma once
#include <cstdint>

#include "platform/NumericErrors.h"

// The most elements a signal-processing routine accepts as a length, makes as
// a result or needs as a work buffer. Lengths come straight from formula
// arguments (a window of 1E9 weights, a spectrum over a billion points), so
// they are checked against this bound before anything is allocated; beyond it
// the routines raise the range error ("#VALUE!"). A power of two, so the
// transform length of the longest accepted series is still within it.
inline constexpr std::int64_t maxSignalLength = std::int64_t{1} << 22;

// Raises ERangeError when a length is negative or beyond maxSignalLength.
inline void requireSignalLength(std::int64_t length) {
  if (length < 0 || length > maxSignalLength) throw ERangeError();
}
