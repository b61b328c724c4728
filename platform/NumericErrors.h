#pragma once
#include <stdexcept>

// The exceptions of numeric work. Routines raise them for invalid arguments
// and failed searches; the evaluator maps each to a cell state:
//   ERangeError, EIntOverflow, EOverflow, anything else  -> "#VALUE!"
//   EZeroDivide (floating), EDivByZero (integer)         -> "#DIV/0!"
//   EInvalidOp (invalid floating operation)              -> "#NUM!"
struct ENumericError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// Invalid argument of a numeric routine (raised with an empty message).
struct ERangeError : ENumericError {
  ERangeError() : ENumericError("") {}
};
// A search or iteration that does not converge.
struct EIntOverflow : ENumericError {
  EIntOverflow() : ENumericError("") {}
};
struct EZeroDivide : ENumericError {
  EZeroDivide() : ENumericError("Floating point division by zero") {}
};
struct EDivByZero : ENumericError {
  EDivByZero() : ENumericError("Division by zero") {}
};
struct EInvalidOp : ENumericError {
  EInvalidOp() : ENumericError("Invalid floating point operation") {}
};
struct EOverflow : ENumericError {
  EOverflow() : ENumericError("Floating point overflow") {}
};

// The x87 and SSE units run with their exceptions masked, so a fault leaves
// only a status flag. Code that must treat a fault as an error clears the
// flags before the work and raises what they hold after it: division by
// zero, then invalid operation, then overflow (underflow and inexact results
// are not faults). Clearing leaves the flags that are no fault as they are
// while no fault is set.
void clearFloatingPointFaults();
void raiseFloatingPointFaults();
bool floatingPointFaultPending();

// All status flags of both units (faults, underflow, inexact), so work that
// clears them can hand a caller's earlier flags back afterwards.
unsigned floatingPointFlags();
void restoreFloatingPointFlags(unsigned flags);
