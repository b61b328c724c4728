#pragma once
#include "sheet/BuiltinDispatch.h"

// The lookup and reference built-ins: VLOOKUP, HLOOKUP, LOOKUP and MATCH
// search in tables or vectors; INDEX, SUBARRAY and CHOOSE pick parts;
// ROWS, COLUMNS, ROW and COLUMN measure; OFFSET, INDIRECT and ARRAY work on
// references, AVAILABLE tests one for a value.
//
// Searches walk the elements in order and need no sorted table: the first
// equal element wins, else (approximate) the largest smaller one. Values
// compare with the sheet's comparison; MATCH type 0 alone uses wildcards.
void registerLookupFunctions(TBuiltinTable& table);
