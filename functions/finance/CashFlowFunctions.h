#pragma once
#include "sheet/BuiltinDispatch.h"

// The cash-flow built-ins over series of values: FVSCHEDULE, IRR, MIRR,
// NPV, XIRR and XNPV.
void registerCashFlowFunctions(TBuiltinTable& table);
