#pragma once
#include "sheet/BuiltinDispatch.h"

// The PORTFOLIO_, ASSET_ and TRANSACTION_ built-ins: what formulas read of
// the portfolios open in the sheet's portfolio table (names and codes,
// values at the end of a day, allocations, amounts and flows over a period,
// price rows and quote fields, owners of transactions). They only read the
// model, keep nothing between calls and so may run on any thread that reads
// the model.
void registerPortfolioFunctions(TBuiltinTable& table);
