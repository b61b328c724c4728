#pragma once
#include "sheet/BuiltinDispatch.h"

// The maths aggregates over any mix of values, ranges and arrays: SUM,
// SUMSQ and PRODUCT pass over whatever is no number; MULTINOMIAL, GCD and
// LCM take integers only and fail on anything else; SERIESSUM; SUMIF and
// COUNTIF with their criteria (functions/ConditionalAggregates.h).
void registerAggregateFunctions(TBuiltinTable& table);
