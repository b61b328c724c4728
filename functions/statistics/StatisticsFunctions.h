#pragma once
#include "sheet/BuiltinDispatch.h"

// The statistics built-ins over series of values: means and dispersions,
// counts, order statistics, two-series measures, tests and frequency counts.
void registerStatisticsFunctions(TBuiltinTable& table);
