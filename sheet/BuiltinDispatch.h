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

// Runs routine as the step of the call token at index, exactly as
// TSheet::evaluateOperator runs a built-in: failures and floating-point
// faults become the returned error code, 0 on success (index then points
// past the result).
std::uint8_t runBuiltinStep(TSheet& sheet, TRPNstackObject& list, int& index, bool recordDependents, int column,
                            int row, TBuiltinRoutine routine);
