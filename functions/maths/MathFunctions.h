#pragma once
#include "sheet/BuiltinDispatch.h"

// The mathematical, trigonometric and rounding functions of formulas (ABS
// to TRUNC, FACT, COMBIN, PERMUT, RAND): one number or integer argument or
// two, an extended-precision result stored as a number (an integer where
// the function counts). Invalid arguments end in the evaluator's errors:
// "#VALUE!" for a range error or overflow, "#DIV/0!" for a pole or a zero
// divisor, "#NUM!" for an argument outside a function's domain.
void registerMathFunctions(TBuiltinTable& table);
// The arithmetic of those of them that have one of the standard shapes.
void registerMathKernels(TKernelTable& kernels);
