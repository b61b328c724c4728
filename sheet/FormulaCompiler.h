#pragma once
#include <string_view>

#include "sheet/RPNstack.h"

// What a failed compile found, in the order in which they decide the
// cell's parse status when several are set.
struct TSyntaxFlags {
  bool unclosedBracket = false;          // a "(" still open at a "}" or at the end
  bool unmatchedClosingBracket = false;  // a ")" with no "(" open
  bool unclosedBrace = false;            // an array constant without its "}"
  bool unmatchedClosingBrace = false;    // a "}" outside an array constant
  // An operand, "(" or "{" after an operand, ")" or "}"; or an operator
  // whose right operand is missing ("1+", "1+*2", "F(1-)").
  bool missingOperator = false;

  bool any() const {
    return unclosedBracket || unmatchedClosingBracket || unclosedBrace || unmatchedClosingBrace || missingOperator;
  }
};

// Brackets and braces nest at most this deep; deeper text fails as an
// unclosed bracket or brace. Braces compile recursively, and nested
// constants are copied, freed and shaped recursively, so crafted text must
// not be able to exhaust the stack.
constexpr int maxNestingDepth = 256;

// Whether the operator stack's top is reduced before incoming is pushed: 1
// reduce, 0 or -1 push (in the reduce loop -1 ends the reduction). From
// loosest to tightest: comparisons; + - OR XOR &; * / DIV MOD AND; unary
// + - NOT; ^ (right-associative); %; the range ":"; all others
// left-associative. The formula's leading "=" is looser than all of them.
int comparePrecedence(const TTokenObject* top, const TTokenObject* incoming);

// Compiles a formula text into postfix order and appends the tokens to
// output (new tokens from output's factory). Array constants in braces
// become operands of kind 5 holding their own compiled lists. A function
// call's argument count (value.integer) is its list separators plus one, or
// 0 for "F()"; empty arguments and elements (F(,1), {1,}) are empty operands.
// A leading "=" becomes the formula-start marker (opFormulaStart), which the
// compiled list always ends with.
//
// Returns false on failure, leaving output as it was; flags say why (no flag
// set: a number that cannot be converted). Never raises on bad text.
//
// operatorStack, when given, holds the operators while they wait (whatever
// it held goes first): a list kept from one compile to the next spares each
// compile the storage of its own.
bool infixToRPN(TRPNstackObject& output, std::string_view text, char decimalSeparator, char listSeparator,
                TSyntaxFlags& flags, TRPNstackObject* operatorStack = nullptr);
