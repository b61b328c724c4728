#pragma once
#include "sheet/BuiltinDispatch.h"

// CURRENCY_CONVERT through the currency tables of the sheet's portfolio
// table, and CONCATENATE.
void registerCurrencyAndTextFunctions(TBuiltinTable& table);
