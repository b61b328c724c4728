#include "sheet/ArrayOperators.h"

#include "sheet/EvalContext.h"

// The array forms come with the array arithmetic; until then an operator on
// an array gives no result ("#VALUE!").

void evalArrayEquality(TEvalContext&, bool) {}

void evalArrayArithmetic(TEvalContext&, int, int, double) {}

void evalArrayDivMod(TEvalContext&, int, std::int32_t, std::uint8_t, int) {}
