#pragma once
#include <memory>
#include <string_view>

#include "sheet/CompiledFormula.h"

// Compiles the formulas users mostly write straight into their stored form,
// without the working lists and pooled tokens that infixToRPN fills:
// "=" and then numbers, texts, references and names, brackets, calls with
// their arguments, and the binary operators, "%", DIV and MOD. The block
// holds what TCompiledFormula::pack makes of infixToRPN's list with the
// function ids bound, token for token, each operand's text found where the
// formula spells it (TCompiledFormula::copyForText relies on that).
//
// nullptr for any other text, and for any text that infixToRPN refuses or
// compiles in a way of its own (signs, AND, OR, XOR, NOT, array constants,
// empty arguments, quotes within texts, exponents, faults): that one
// compiles it then.
std::unique_ptr<TCompiledFormula> compilePlainFormula(std::string_view text, char decimalSeparator,
                                                      char listSeparator, TSizedPools* pools);
