#pragma once

// The numeric routines compute in 80-bit extended precision. On 64-bit
// Windows the x87 unit may run with a 53-bit mantissa, which would make
// `long double` no better than `double`: every thread that evaluates
// formulas calls this once before its first computation.
void setExtendedPrecision();

// True when the x87 precision control of this thread is set to 64 bits.
bool hasExtendedPrecision();
