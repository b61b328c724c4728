#pragma once
#include "sheet/BuiltinDispatch.h"

// The technical-indicator built-ins ACD ... ZZI. Each takes a table of dated
// rows (a range, an array constant or another function's array), checks its
// column count and its parameters, runs one indicator routine over the
// table's numbers and returns the routine's records as an array of rows; any
// rejection or an empty result shows "#VALUE!".
void registerIndicatorFunctions(TBuiltinTable& table);
