#pragma once
#include <array>
#include <cstdint>

#include "sheet/EvalContext.h"
#include "sheet/FunctionNames.h"

// The routines of the built-in functions, index = built-in id (1 to 378;
// entry 0 unused). An id without a routine yet is nullptr: its call shows
// "#NAME?", like any function the sheet does not know.
using TBuiltinTable = std::array<TBuiltinRoutine, builtInFunctionCount + 1>;

// The table, filled once on first use (functions/BuiltinTable.cpp).
const TBuiltinTable& builtinRoutines();

// The arithmetic of a built-in whose routine is one of the standard shapes
// round it: one number in, one number out (oneNumber: the routine reads
// its one argument as a number and gives compute(x)), or a number and
// digits (rounding: the digits may be left out unless required, and the
// routine gives roundToDigits(digits, mode, x)). A formula evaluated
// without tokens calls the arithmetic itself; both come from one
// registration, so they cannot drift apart.
struct TNumberKernel {
  enum TShape : std::uint8_t { none, oneNumber, rounding };
  TShape shape = none;
  long double (*compute)(long double) = nullptr;
  int roundingMode = 0;
  bool digitsRequired = false;
};
using TKernelTable = std::array<TNumberKernel, builtInFunctionCount + 1>;
const TKernelTable& numberKernels();

// Runs routine as the step of the call token at index, exactly as
// TSheet::evaluateOperator runs a built-in: failures and floating-point
// faults become the returned error code, 0 on success (index then points
// past the result).
std::uint8_t runBuiltinStep(TSheet& sheet, TRPNstackObject& list, int& index, bool recordDependents, int column,
                            int row, TBuiltinRoutine routine);
