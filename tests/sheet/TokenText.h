#pragma once
#include <charconv>
#include <string>

#include "sheet/RPNstack.h"

// Compiled lists written out for readable expectations: "1 2 3 * + 4 -".
// Empty operands are "_", strings quoted, function calls name/count, unary
// signs u+ and u-, the formula-start marker START, array constants {...}.
inline std::string numberText(double value) {
  if (value == 0) return "0";
  char buffer[64];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

inline std::string tokenText(const TRPNstackObject& list);

inline std::string enclosed(char open, const std::string& inner, char close) {
  std::string text(1, open);
  text += inner;
  text += close;
  return text;
}

inline std::string tokenText(const TTokenObject& token) {
  static const char* const operators[] = {"?",  ")",  ",",   "=", "<>", ">", "<",  ">=", "<=", "+",
                                          "-",  "OR", "XOR", "&", "*",  "/", "DIV", "MOD", "AND", "^",
                                          "%",  ":",  "F",   "u+", "u-", "NOT", "(",  "START"};
  if (token.tokenClass == tokenOperator) {
    if (token.operatorCode == opFunctionCall) return token.value.string + "/" + std::to_string(token.value.integer);
    return token.operatorCode <= opFormulaStart ? operators[token.operatorCode] : "?";
  }
  if (token.tokenClass != tokenOperand) return "class" + std::to_string(token.tokenClass);
  switch (token.value.kind) {
    case valueEmpty: return "_";
    case valueInteger: return std::to_string(token.value.integer);
    case valueNumber: return numberText(token.value.number);
    case valueString: return enclosed('"', token.value.string, '"');
    case valueIdentifier: return token.value.string;
    case valueArrayConstant: return enclosed('{', token.subList() ? tokenText(*token.subList()) : "?", '}');
    default: return "array";
  }
}

inline std::string tokenText(const TRPNstackObject& list) {
  std::string text;
  for (int index = 0; index < list.count(); ++index) {
    if (index > 0) text += ' ';
    text += tokenText(*list.getItem(index));
  }
  return text;
}
