#include "platform/FloatingPoint.h"

void setExtendedPrecision() {
  unsigned short word = (readControlWord() & ~precisionControlMask) | precisionControl64;
  asm volatile("fldcw %0" : : "m"(word));
}

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
