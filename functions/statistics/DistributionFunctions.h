#pragma once
#include "sheet/BuiltinDispatch.h"

// The probability-distribution built-ins over scalar arguments (NORMDIST,
// TDIST, BETADIST, CHIINV and the rest) and the special functions BETA,
// GAMMA, GAMMALN, ERF, FISHER and FISHERINV.
void registerDistributionFunctions(TBuiltinTable& table);
