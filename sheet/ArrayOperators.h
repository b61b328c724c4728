#pragma once
#include <cstdint>

class TEvalContext;

// The array forms of the operators, tried by the evaluator when an operand
// is an array (a range, an array constant or an array result). Each is a
// step in the operator's context and commits its result or leaves none.

// "=" (equal) and "<>" (not equal) between the two operands before the
// operator, element by element.
void evalArrayEquality(TEvalContext& context, bool equal);
// The operand at arrayIndex times factor, element by element; the result
// replaces the operator and the count operands before it.
void evalArrayArithmetic(TEvalContext& context, int arrayIndex, int count, double factor);
// The operand at arrayIndex DIV (operator code 16) or MOD (17) divisor,
// element by element.
void evalArrayDivMod(TEvalContext& context, int arrayIndex, std::int32_t divisor, std::uint8_t operatorCode,
                     int count);
