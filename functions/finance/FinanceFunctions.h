#pragma once
#include "sheet/BuiltinDispatch.h"

// The financial built-ins the evaluator computes itself: day counts and the
// coupon schedule (DAYS360, YEARFRAC, the COUP family), securities (ACCRINT
// to YIELD, the durations, the treasury bills), annuities (PV to DOLLARFR)
// and depreciation (DB, DDB, SLN, SYD, VDB).
void registerFinanceFunctions(TBuiltinTable& table);
