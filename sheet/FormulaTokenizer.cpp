#include "sheet/FormulaTokenizer.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool sameWord(std::string_view word, std::string_view upperKeyword) {
  if (word.size() != upperKeyword.size()) return false;
  for (std::size_t index = 0; index < word.size(); ++index) {
    char c = word[index];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upperKeyword[index]) return false;
  }
  return true;
}

// + and - take two operands after something that ends an operand.
bool endsOperand(const TTokenObject* previous) {
  if (!previous) return false;
  if (previous->tokenClass == tokenOperand || previous->tokenClass == tokenCloseBrace) return true;
  return previous->tokenClass == tokenOperator &&
         (previous->operatorCode == opCloseBracket || previous->operatorCode == opPercent);
}

bool parseWhole(std::string_view text, std::int32_t& result) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result);
  return error == std::errc() && end == text.data() + text.size();
}

// Values beyond the double range fail; values below it become 0 or a
// denormal, as the x87 unit would round them.
bool parseWhole(std::string_view text, double& result) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result, std::chars_format::general);
  if (end != text.data() + text.size()) return false;
  if (error == std::errc()) return true;
  if (error != std::errc::result_out_of_range) return false;
  std::string terminated(text);
  double value = std::strtod(terminated.c_str(), nullptr);
  if (std::isinf(value)) return false;
  result = value;
  return true;
}

// Text from start up to end holds [sign] digits [separator digits] [E [sign] digits].
void convertNumber(TTokenObject& token, std::string_view text, char decimalSeparator) {
  std::string normalised;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (decimalSeparator != '.' && text.find(decimalSeparator) != std::string_view::npos) {
    normalised.assign(text);
    for (char& c : normalised) {
      if (c == decimalSeparator) c = '.';
    }
    text = normalised;
  }
  if (token.value.kind == valueInteger) {
    if (parseWhole(text, token.value.integer)) return;
    token.value.kind = valueNumber;
  }
  if (!parseWhole(text, token.value.number)) token.ok = false;
}

std::size_t readNumber(TTokenObject& token, std::string_view text, std::size_t start, char decimalSeparator) {
  std::size_t length = text.size();
  std::size_t end = start;
  if (text[end] == '+' || text[end] == '-') ++end;
  bool separatorTaken = false;
  end = formulaDigitsEnd(text, end, decimalSeparator, separatorTaken);
  bool exponent = end + 1 < length && (text[end] == 'E' || text[end] == 'e');
  if (exponent) {
    ++end;
    if ((text[end] == '+' || text[end] == '-') && end + 1 < length) ++end;
    while (end < length && isDigit(text[end])) ++end;
  }
  token.tokenClass = tokenOperand;
  token.value.kind = exponent || separatorTaken ? valueNumber : valueInteger;
  convertNumber(token, text.substr(start, end - start), decimalSeparator);
  return end;
}

std::size_t readString(TTokenObject& token, std::string_view text, std::size_t start) {
  token.tokenClass = tokenOperand;
  token.value.kind = valueString;
  std::size_t position = start + 1;
  while (position < text.size()) {
    std::size_t quote = text.find('"', position);
    if (quote == std::string_view::npos) break;
    token.value.string.append(text.substr(position, quote - position));
    if (quote + 1 < text.size() && text[quote + 1] == '"') {
      token.value.string.push_back('"');
      position = quote + 2;
    } else {
      return quote + 1;
    }
  }
  // A string without its closing quote runs to the end of the text.
  if (position < text.size()) token.value.string.append(text.substr(position));
  return text.size();
}

std::size_t readWord(TTokenObject& token, std::string_view text, std::size_t start, char listSeparator) {
  std::size_t end = start + 1;
  while (end < text.size() && !isFormulaWordDelimiter(text[end], listSeparator)) ++end;
  std::string_view word = text.substr(start, end - start);
  if (std::uint8_t code = formulaKeywordOperator(word)) {
    token.tokenClass = tokenOperator;
    token.operatorCode = code;
  } else if (end + 1 < text.size() && text[end] == '(') {
    token.tokenClass = tokenOperator;
    token.operatorCode = opFunctionCall;
    token.value.string.assign(word);
  } else {
    token.tokenClass = tokenOperand;
    token.value.kind = valueIdentifier;
    token.value.string.assign(word);
  }
  return end;
}

void setOperator(TTokenObject& token, std::uint8_t code) {
  token.tokenClass = tokenOperator;
  token.operatorCode = code;
}

}  // namespace

std::size_t formulaDigitsEnd(std::string_view text, std::size_t start, char decimalSeparator, bool& separatorTaken) {
  std::size_t end = start;
  while (end < text.size()) {
    if (isDigit(text[end])) {
      ++end;
    } else if (text[end] == decimalSeparator && !separatorTaken) {
      separatorTaken = true;
      ++end;
    } else {
      break;
    }
  }
  return end;
}

std::uint8_t formulaKeywordOf(std::string_view word) {
  if (sameWord(word, "DIV")) return opDiv;
  if (sameWord(word, "MOD")) return opMod;
  if (sameWord(word, "AND")) return opAnd;
  if (sameWord(word, "OR")) return opOr;
  if (sameWord(word, "XOR")) return opXor;
  if (sameWord(word, "NOT")) return opNot;
  return 0;
}

void getFormulaToken(TTokenObject& token, std::string_view text, std::size_t& position, std::size_t& endPosition,
                     char decimalSeparator, char listSeparator, const TTokenObject* previous) {
  token.clear();
  std::size_t length = text.size();
  while (position < length && text[position] == ' ') ++position;
  endPosition = position;
  if (position >= length) return;

  char c = text[position];
  char next = position + 1 < length ? text[position + 1] : '\0';
  endPosition = position + 1;
  if (c == '+' || c == '-') {
    if (endsOperand(previous)) {
      setOperator(token, c == '+' ? opAdd : opSubtract);
    } else if (position + 1 < length && (isDigit(next) || next == decimalSeparator)) {
      endPosition = readNumber(token, text, position, decimalSeparator);
    } else {
      setOperator(token, c == '+' ? opUnaryPlus : opUnaryMinus);
    }
    return;
  }
  if (c == decimalSeparator || isDigit(c)) {
    endPosition = readNumber(token, text, position, decimalSeparator);
    return;
  }
  std::size_t operatorLength = 0;
  if (const std::uint8_t code = formulaOperatorAt(text, position, operatorLength)) {
    setOperator(token, code);
    endPosition = position + operatorLength;
    return;
  }
  switch (c) {
    case '{': token.tokenClass = tokenOpenBrace; return;
    case '}': token.tokenClass = tokenCloseBrace; return;
    case '"': endPosition = readString(token, text, position); return;
    default: break;
  }
  if (c == listSeparator) {
    setOperator(token, opListSeparator);
    return;
  }
  endPosition = readWord(token, text, position, listSeparator);
}

std::size_t forEachFormulaToken(
    std::string_view text, char decimalSeparator, char listSeparator,
    const std::function<void(const TTokenObject& token, std::size_t position, std::size_t endPosition)>& visit) {
  // The token before decides the next one's signs: two are kept in turn.
  TTokenObject tokens[2];
  const TTokenObject* previous = nullptr;
  std::size_t end = 0;
  for (int n = 0;; n ^= 1) {
    TTokenObject& token = tokens[n];
    token.clear();
    std::size_t position = end;
    std::size_t tokenEnd = end;
    getFormulaToken(token, text, position, tokenEnd, decimalSeparator, listSeparator, previous);
    if (token.tokenClass == ::tokenEnd || tokenEnd <= end) return end;
    visit(token, position, tokenEnd);
    end = tokenEnd;
    previous = &token;
  }
}
