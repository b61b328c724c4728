#include "platform/FloatingPoint.h"

namespace {

constexpr unsigned short precisionControlMask = 0x0300;
constexpr unsigned short precisionControl64 = 0x0300;

unsigned short readControlWord() {
  unsigned short word = 0;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

}  // namespace

void setExtendedPrecision() {
  unsigned short word = (readControlWord() & ~precisionControlMask) | precisionControl64;
  asm volatile("fldcw %0" : : "m"(word));
}

bool hasExtendedPrecision() { return (readControlWord() & precisionControlMask) == precisionControl64; }

long double extendedQuotientOnLowerPrecision(long double dividend, long double divisor) {
  const unsigned short word = readControlWord();
  const unsigned short extended = word | precisionControl64;
  // The operands and the quotient pass through memory so that the division
  // stays between the two changes of the control word.
  volatile long double operand = dividend;
  asm volatile("fldcw %0" : : "m"(extended) : "memory");
  volatile long double quotient = operand / divisor;
  asm volatile("fldcw %0" : : "m"(word) : "memory");
  return quotient;
}
