#pragma once
#include <cstdint>

// The numeric routines compute in 80-bit extended precision. On 64-bit
// Windows the x87 unit may run with a 53-bit mantissa, which would make
// `long double` no better than `double`: every thread that evaluates
// formulas calls this once before its first computation.
void setExtendedPrecision();

// The x87 precision control bits, and their setting for a 64-bit mantissa.
constexpr unsigned short precisionControlMask = 0x0300;
constexpr unsigned short precisionControl64 = 0x0300;

inline unsigned short readControlWord() {
  unsigned short word = 0;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

// True when the x87 precision control of this thread is set to 64 bits.
inline bool hasExtendedPrecision() { return (readControlWord() & precisionControlMask) == precisionControl64; }

// The quotient rounded to 64 bits whatever the thread's precision control,
// for values held as a division that must come back as they went in on any
// thread, also one that never asked for extended precision.
inline long double extendedQuotient(long double dividend, long double divisor);
// Its way on a thread whose precision control is lower.
long double extendedQuotientOnLowerPrecision(long double dividend, long double divisor);

inline long double extendedQuotient(long double dividend, long double divisor) {
  if (hasExtendedPrecision()) return dividend / divisor;
  return extendedQuotientOnLowerPrecision(dividend, divisor);
}

// The nearest integer by the x87 unit's own rounding, for a value known to
// lie within the range of 32 bits: the library's lrint takes its argument
// through memory.
inline int32_t nearestInt32(long double value) {
  int32_t rounded = 0;
  asm("fistpl %0" : "=m"(rounded) : "t"(value) : "st");
  return rounded;
}

// The same within the range of 63 bits. A cast truncates instead by setting
// the unit's rounding mode and back, and each setting waits for the work in
// flight: a whole number found this way is one rounding away, whatever the
// mode, and is told by a comparison.
inline int64_t nearestInt64(long double value) {
  int64_t rounded = 0;
  asm("fistpll %0" : "=m"(rounded) : "t"(value) : "st");
  return rounded;
}
