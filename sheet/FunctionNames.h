#pragma once
#include <string_view>

// The names of the built-in functions and their ids. The evaluator dispatches
// on the id; compiled formulas carry it in their function-call tokens. Ids
// are fixed: they group the functions by family in a set order (ABS 1, IF 22,
// ADDRESS 54, ACD 114, PORTFOLIO_NAME 163, ASSET_NAME 183, ACCRINT 215,
// AVEDEV 259, DATE 338, CHAR 357, VALUE 378).
constexpr int builtInFunctionCount = 378;

// The id (1 to 378) of a built-in function name in any letter case; -1 when
// the name is not built in (a macro function, for instance).
int FunctionIdOf(std::string_view name);

// The name of a built-in id in upper case; empty outside 1 to 378.
std::string_view builtInFunctionName(int id);
