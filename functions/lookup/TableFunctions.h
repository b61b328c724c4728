#pragma once
#include "sheet/BuiltinDispatch.h"

// The built-ins over tables held in arrays, whose first column holds the row
// keys (dates, for instance): MSORT sorts by the first column or row, SYNC
// joins two tables on their keys, EXTREMA lists peaks, troughs and flat
// points of a column, CROSSES the places where a column crosses a level or
// another table's column, and MOP applies an operator or function element by
// element.
void registerTableFunctions(TBuiltinTable& table);
