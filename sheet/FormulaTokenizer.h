#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

#include "sheet/TokenObject.h"

// Reads one token of a formula text. Reading starts at position (0-based);
// blanks (spaces) are skipped. On return position is the token's first
// character and endPosition the character after it; at the end of the text
// the token has class 0 (tokenEnd) and endPosition equals position.
//
// previous is the token read before (nullptr at the start): it decides
// whether + and - take two operands or sign the operand after them. A sign
// directly before a digit or the decimal separator belongs to the number, so
// -2^2 squares the constant -2 while -A1^2 negates A1 squared.
//
// Number constants are integers (kind 1) unless written with the decimal
// separator or an exponent, or too large for 32 bits (kind 2). A number that
// cannot be converted leaves the token's ok false. DIV, MOD, AND, OR, XOR and
// NOT are always operators; any other word directly followed by "(" is a
// function call (operator 22, the word in value.string); other words are
// identifier operands (kind 4): references, constant names, named values.
void getFormulaToken(TTokenObject& token, std::string_view text, std::size_t& position, std::size_t& endPosition,
                     char decimalSeparator, char listSeparator, const TTokenObject* previous);

// Calls visit with each token of the text in turn, its first character and
// the character after it. Returns where reading stopped: the end of the
// text, or the end of the last token before one the tokenizer could not
// take apart.
std::size_t forEachFormulaToken(
    std::string_view text, char decimalSeparator, char listSeparator,
    const std::function<void(const TTokenObject& token, std::size_t position, std::size_t endPosition)>& visit);

// The characters that end a word of a formula besides the list separator.
inline constexpr auto formulaWordDelimiters = [] {
  std::array<bool, 256> table{};
  for (char c : std::string_view(" \"%&()*+-/:<=>^{}")) table[static_cast<unsigned char>(c)] = true;
  return table;
}();

// Whether c ends a word (a name, reference or function name) of a formula.
// Asked for every character of every word: kept inline.
inline bool isFormulaWordDelimiter(char c, char listSeparator) {
  return formulaWordDelimiters[static_cast<unsigned char>(c)] || c == listSeparator;
}

// Where the digits of a number from start end, with at most one decimal
// separator among them (separatorTaken tells whether one was).
std::size_t formulaDigitsEnd(std::string_view text, std::size_t start, char decimalSeparator, bool& separatorTaken);

// The operators of one character, by the character; "<" and ">" stand for
// themselves until the next character is seen.
inline constexpr auto formulaOperatorChars = [] {
  std::array<std::uint8_t, 256> table{};
  const std::pair<char, std::uint8_t> operators[] = {
      {':', opRange},   {'=', opEqual},       {'&', opConcatenate},  {'*', opMultiply}, {'/', opDivide}, {'^', opPower},
      {'%', opPercent}, {'(', opOpenBracket}, {')', opCloseBracket}, {'>', opGreater},  {'<', opLess}};
  for (const auto& [c, code] : operators) table[static_cast<unsigned char>(c)] = code;
  return table;
}();

// The operator that the characters at position stand for by themselves
// (":", "=", "&", "*", "/", "^", "%", brackets and comparisons), length set
// to the characters it takes; 0 for any other character. Signs and the list
// separator are read by what stands around them. Asked for every token:
// a look in a table, where a switch would jump somewhere new each time.
inline std::uint8_t formulaOperatorAt(std::string_view text, std::size_t position, std::size_t& length) {
  length = 1;
  const std::uint8_t code = formulaOperatorChars[static_cast<unsigned char>(text[position])];
  if ((code != opGreater && code != opLess) || position + 1 >= text.size()) return code;
  const char next = text[position + 1];
  if (next == '=') {
    length = 2;
    return code == opGreater ? opGreaterEqual : opLessEqual;
  }
  if (code == opLess && next == '>') {
    length = 2;
    return opNotEqual;
  }
  return code;
}

// formulaKeywordOperator for a word of any length.
std::uint8_t formulaKeywordOf(std::string_view word);

// The operator a word stands for (DIV, MOD, AND, OR, XOR, NOT in any letter
// case); 0 for any other word, which most words are told by their length,
// and short references by their second character.
inline std::uint8_t formulaKeywordOperator(std::string_view word) {
  if (word.size() != 2 && word.size() != 3) return 0;
  const char second = static_cast<char>(word[1] | 0x20);
  return second >= 'a' && second <= 'z' ? formulaKeywordOf(word) : 0;
}
