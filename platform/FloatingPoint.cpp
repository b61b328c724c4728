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
