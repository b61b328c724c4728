#include "platform/NumericErrors.h"

#include <cfenv>

// The flags are read and written on the units themselves: the C library's
// status functions probe the processor for SSE on every call, which costs
// microseconds under virtualisation, and every x86-64 processor has SSE.
// Both units keep the six flags in bits 0 to 5, in the order of <cfenv>.
namespace {

constexpr unsigned allFlags = FE_ALL_EXCEPT;
constexpr unsigned faultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

unsigned x87Flags() {
  unsigned short status;
  asm volatile("fnstsw %0" : "=am"(status));
  return status & allFlags;
}

unsigned sseControlAndFlags() {
  unsigned control;
  asm volatile("stmxcsr %0" : "=m"(control));
  return control;
}

void setSseControlAndFlags(unsigned control) { asm volatile("ldmxcsr %0" : : "m"(control)); }

}  // namespace

void clearFloatingPointFaults() {
  // Writing the flags waits for the work in flight (fnclex, ldmxcsr), and
  // the evaluator clears them round every operator: they are written only
  // when a fault is among them. Nearly every computation leaves the inexact
  // flag, which no reader takes for a fault.
  if ((x87Flags() & faultFlags) != 0) asm volatile("fnclex");
  unsigned control = sseControlAndFlags();
  if ((control & faultFlags) != 0) setSseControlAndFlags(control & ~allFlags);
}

bool floatingPointFaultPending() { return (floatingPointFlags() & faultFlags) != 0; }

unsigned floatingPointFlags() { return x87Flags() | (sseControlAndFlags() & allFlags); }

void restoreFloatingPointFlags(unsigned flags) {
  // The flags of both units are read together, so handing the saved ones back
  // to the SSE unit alone restores what every reader sees. Loading an x87
  // environment instead would need the full 28-byte layout, which the C
  // library's 64-bit fenv_t does not have: a wrong one unmasks exceptions.
  asm volatile("fnclex");
  setSseControlAndFlags((sseControlAndFlags() & ~allFlags) | (flags & allFlags));
}

void raiseFloatingPointFaults() {
  unsigned raised = floatingPointFlags() & faultFlags;
  if (raised == 0) return;
  clearFloatingPointFaults();
  if (raised & FE_DIVBYZERO) throw EZeroDivide();
  if (raised & FE_INVALID) throw EInvalidOp();
  throw EOverflow();
}
