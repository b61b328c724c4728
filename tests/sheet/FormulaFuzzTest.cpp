#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "sheet/FormulaCompiler.h"
#include "sheet/FormulaRespelling.h"
#include "sheet/PlainFormulaCompiler.h"
#include "sheet/Sheet.h"
#include "sheet/ValueArray.h"
#include "tests/sheet/TokenText.h"

namespace {

// Random formulas of the grammar users write: references, ranges, numbers
// with decimals and exponents, strings holding separators and quotes,
// nested calls with empty arguments, array constants, every operator.
class TFormulaGenerator {
 public:
  explicit TFormulaGenerator(unsigned seed) : random_(seed) {}

  std::string formula() { return std::string(pick(3) ? "=" : "") + expression(0); }

 private:
  int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

  std::string number() {
    static const char* const samples[] = {"0", "7", "42", "2147483648", "1.5", "0.125", ".5", "3.", "1E5",
                                          "2.5e-3", "6.02E23", "007", "0.1", "1e308"};
    return samples[pick(14)];
  }

  std::string reference() {
    static const char* const samples[] = {"A1", "$B$2", "AB12", "c3", "$Z9", "XFD1048576", "PI", "TRUE", "Rate"};
    std::string first = samples[pick(9)];
    return pick(4) ? first : first + ":" + samples[pick(6)];
  }

  std::string text() {
    static const char* const samples[] = {"\"\"", "\"abc\"", "\"1,5;2\"", "\"say \"\"hi\"\"\"", "\"{(\""};
    return samples[pick(5)];
  }

  std::string arguments(int depth, int count) {
    std::string list;
    for (int index = 0; index < count; ++index) {
      if (index > 0) list += ';';
      if (pick(8)) list += expression(depth + 1);
    }
    return list;
  }

  std::string arrayConstant(int depth) {
    std::string constant = "{";
    int count = pick(4);
    for (int index = 0; index < count; ++index) {
      if (index > 0) constant += ';';
      constant += depth < 3 && !pick(3) ? arrayConstant(depth + 1) : pick(2) ? number() : text();
    }
    return constant + "}";
  }

  std::string expression(int depth) {
    static const char* const binary[] = {"+", "-", "*", "/", "^", "&", "=", "<>", "<", ">", "<=", ">=",
                                         " AND ", " or ", " XOR ", " DIV ", " mod "};
    static const char* const functions[] = {"SUM", "IF", "round", "Max", "MYMACRO", "INDEX"};
    int choice = depth > 5 ? pick(4) : pick(11);
    switch (choice) {
      case 0: return number();
      case 1: return reference();
      case 2: return text();
      case 3: return arrayConstant(0);
      case 4: case 5: case 6:
        return expression(depth + 1) + binary[pick(17)] + expression(depth + 1);
      case 7: return std::string(pick(2) ? "-" : "NOT ") + expression(depth + 1);
      case 8: return std::string("(") + expression(depth + 1) + ")";
      case 9: return expression(depth + 1) + "%";
      default: return std::string(functions[pick(6)]) + "(" + arguments(depth, pick(4)) + ")";
    }
  }

  std::mt19937 random_;
};

// Random formulas of the kind typed most: no signs, braces, quotes inside
// texts, exponents or empty arguments, spaced at random.
class TPlainFormulaGenerator {
 public:
  explicit TPlainFormulaGenerator(unsigned seed) : random_(seed) {}

  std::string formula() { return "=" + blanks() + expression(0); }

 private:
  int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  std::string blanks() { return pick(4) ? "" : std::string(static_cast<std::size_t>(1 + pick(2)), ' '); }

  std::string operand() {
    static const char* const samples[] = {"0", "7", "2147483647", "2147483648", "1.5", ".5", "3.", "0.1",
                                          "A1", "$F$1", "aB12", "Rate", "PI", "D9:E10", "$A$1:B#", "\"\"",
                                          "\"x\"", "\"a;b,c\"", "99999999999999999999"};
    return samples[pick(19)];
  }

  std::string expression(int depth) {
    static const char* const binary[] = {"+", "-", "*", "/", "^", "&", "=", "<>", "<", ">", "<=", ">=", " DIV ",
                                         " mod ", ":", "%+"};
    static const char* const functions[] = {"SUM", "IF", "round", "VLOOKUP", "MYMACRO", "NOW", "LEN"};
    switch (depth > 4 ? 0 : pick(6)) {
      case 0: return operand() + blanks();
      case 1: case 2: return expression(depth + 1) + binary[pick(16)] + blanks() + expression(depth + 1);
      case 3: return "(" + blanks() + expression(depth + 1) + ")" + blanks();
      case 4: return expression(depth + 1) + "%" + blanks();
      default: {
        std::string call = std::string(functions[pick(7)]) + "(";
        for (int index = 0, count = pick(4); index < count; ++index) {
          call += (index > 0 ? ";" : "") + blanks() + expression(depth + 1);
        }
        return call + ")" + blanks();
      }
    }
  }

  std::mt19937 random_;
};

int operandsTaken(const TTokenObject& token) {
  switch (token.operatorCode) {
    case opFunctionCall: return token.value.integer;
    case opPercent: case opUnaryPlus: case opUnaryMinus: case opNot: case opFormulaStart: return 1;
    default: return 2;
  }
}

// A compiled list never holds brackets or separators, ends with the
// formula-start marker only at the top, and every nested constant is a
// valid list whose array can be built (or is refused as too large).
void checkCompiled(const TRPNstackObject& list, bool topLevel, const std::string& text) {
  for (int index = 0; index < list.count(); ++index) {
    const TTokenObject& token = *list.getItem(index);
    ASSERT_TRUE(token.tokenClass == tokenOperator || token.tokenClass == tokenOperand) << text;
    if (token.tokenClass == tokenOperator) {
      ASSERT_TRUE(token.operatorCode != opCloseBracket && token.operatorCode != opOpenBracket &&
                  token.operatorCode != opListSeparator)
          << text;
      ASSERT_GE(token.value.integer, 0) << text;
      if (token.operatorCode == opFormulaStart) {
        ASSERT_TRUE(topLevel && index == list.count() - 1) << text;
      }
    } else if (token.value.kind == valueArrayConstant) {
      ASSERT_NE(token.subList(), nullptr) << text;
      checkCompiled(*token.subList(), false, text);
      TArray array;
      try {
        array.loadFromConstant(token.subList());
      } catch (const std::length_error&) {
      }
    }
  }
}

// A formula of the grammar reduces to exactly one value: the postfix order
// is complete and every operator has its operands.
void checkReducesToOneValue(const TRPNstackObject& list, const std::string& text) {
  int depth = 0;
  for (int index = 0; index < list.count(); ++index) {
    const TTokenObject& token = *list.getItem(index);
    if (token.tokenClass == tokenOperand) {
      ++depth;
      continue;
    }
    depth -= operandsTaken(token);
    ASSERT_GE(depth, 0) << text;
    ++depth;
  }
  EXPECT_EQ(depth, 1) << text;
}

// The compiled form with numbers by value: re-spelling may turn 1E3 into
// the integer 1000 but must never change a value.
std::string compiledByValue(const std::string& text, char decimalSeparator, char listSeparator) {
  TRPNstackObject list;
  TSyntaxFlags flags;
  if (!infixToRPN(list, text, decimalSeparator, listSeparator, flags)) {
    return "error " + std::to_string(flags.unclosedBracket) + std::to_string(flags.unmatchedClosingBracket) +
           std::to_string(flags.unclosedBrace) + std::to_string(flags.unmatchedClosingBrace) +
           std::to_string(flags.missingOperator);
  }
  std::string rendered;
  std::function<void(const TRPNstackObject&)> render = [&](const TRPNstackObject& tokens) {
    for (int index = 0; index < tokens.count(); ++index) {
      const TTokenObject& token = *tokens.getItem(index);
      if (token.tokenClass == tokenOperand && token.value.kind == valueInteger) {
        rendered += numberText(token.value.integer);
      } else if (token.subList()) {
        rendered += '{';
        render(*token.subList());
        rendered += '}';
      } else {
        rendered += tokenText(token);
      }
      rendered += ' ';
    }
  };
  render(list);
  return rendered;
}

std::string mutated(std::string text, std::mt19937& random) {
  static const std::string alphabet = "(){}\";,.:E-+ %^&=<>A1\x01\x7f\x80\xff";
  auto below = [&](std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(random); };
  for (int step = 0, steps = 1 + static_cast<int>(below(4)); step < steps; ++step) {
    std::size_t at = text.empty() ? 0 : below(text.size() + 1);
    switch (below(4)) {
      case 0: if (at < text.size()) text.erase(at, 1); break;
      case 1: text.insert(at, 1, alphabet[below(alphabet.size())]); break;
      case 2: text.insert(at, text.substr(below(text.size() + 1))); break;
      default: text.resize(at); break;
    }
  }
  return text;
}

}  // namespace

TEST(FormulaFuzz, GeneratedFormulasCompileToCompleteLists) {
  TFormulaGenerator generator(20240611);
  auto factory = std::make_shared<TTokenObjectFactory>();
  for (int round = 0; round < 100000; ++round) {
    std::string text = generator.formula();
    TRPNstackObject list(factory);
    TSyntaxFlags flags;
    ASSERT_TRUE(infixToRPN(list, text, '.', ';', flags)) << text;
    checkCompiled(list, true, text);
    checkReducesToOneValue(list, text);
    // Shown with European and with US separators, the formula still means
    // the same.
    std::string stored = compiledByValue(text, '.', ';');
    const std::string european = translateFormulaSeparators(text, '.', ',', ';', ';');
    const std::string american = translateFormulaSeparators(text, '.', '.', ';', ',');
    EXPECT_EQ(compiledByValue(european, ',', ';'), stored) << text;
    EXPECT_EQ(compiledByValue(american, '.', ','), stored) << text;
    // And saved again, it is the text it was, every number as written.
    ASSERT_EQ(translateFormulaSeparators(european, ',', '.', ';', ';'), text);
    ASSERT_EQ(translateFormulaSeparators(american, '.', '.', ',', ';'), text);
  }
}

TEST(FormulaFuzz, MutatedAndRandomTextCompilesOrReportsAStatus) {
  TFormulaGenerator generator(7);
  std::mt19937 random(99);
  auto factory = std::make_shared<TTokenObjectFactory>();
  for (int round = 0; round < 250000; ++round) {
    std::string text;
    if (round % 5 == 4) {
      text.resize(std::uniform_int_distribution<std::size_t>(0, 40)(random));
      for (char& c : text) c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
    } else {
      text = mutated(generator.formula(), random);
    }
    TRPNstackObject list(factory);
    TTokenPtr sentinel = list.newToken();
    sentinel->tokenClass = tokenOperand;
    list.push(std::move(sentinel));
    TSyntaxFlags flags;
    if (infixToRPN(list, text, '.', ';', flags)) {
      checkCompiled(list, true, text);
    } else {
      ASSERT_EQ(list.count(), 1) << "a failed compile must leave the list as it was: " << text;
    }
    // Re-spelling with the same separators only re-prints numbers: it must
    // neither mend nor break a formula.
    EXPECT_EQ(compiledByValue(translateFormulaSeparators(text, '.', '.', ';', ';'), '.', ';'),
              compiledByValue(text, '.', ';'))
        << text;
  }
}

namespace {

// What a stored formula says: header fields, then each token's fields and
// text. Where a text lies in the block is left out: a text the formula
// spells twice may be found at either place.
std::string storedMeaning(const TCompiledFormula& formula) {
  std::string meaning = std::string(formula.text()) + '|' + std::to_string(formula.count()) + '|' +
                        std::to_string(formula.packedTokens().size()) + '|' +
                        std::to_string(formula.directStackDepth()) + '|' + std::to_string(formula.compiled());
  for (const TCompiledFormula::TPackedToken& token : formula.packedTokens()) {
    const std::uint8_t fields[] = {token.tokenClass, token.operatorCode, token.kind, token.ok(), token.whole()};
    meaning.append(reinterpret_cast<const char*>(fields), sizeof fields);
    const std::int32_t numbers[] = {token.integer(), token.functionId(), token.refCol(), token.refRow()};
    meaning.append(reinterpret_cast<const char*>(numbers), sizeof numbers);
    const double number = token.number();
    meaning.append(reinterpret_cast<const char*>(&number), sizeof number);
    meaning.append(formula.textOf(token)).push_back('|');
  }
  return meaning;
}

// What the compiler without working lists makes of text, when it compiles
// it, must be what the general compiler's list packs into; counts the
// formulas it compiled.
void expectPlainCompileAgrees(const std::string& text, char decimalSeparator, char listSeparator, int& compiled) {
  std::unique_ptr<TCompiledFormula> plain = compilePlainFormula(text, decimalSeparator, listSeparator, nullptr);
  if (!plain) return;
  ++compiled;
  TRPNstackObject list;
  TSyntaxFlags flags;
  ASSERT_TRUE(infixToRPN(list, text, decimalSeparator, listSeparator, flags)) << text;
  TSheet::bindFunctionIds(list);
  EXPECT_EQ(storedMeaning(*plain), storedMeaning(*TCompiledFormula::pack(list, text))) << text;
}

}  // namespace

// The plain compiler takes the formulas it knows and gives them the general
// compiler's form; all others, broken ones too, it leaves to that one.
TEST(FormulaFuzz, ThePlainCompilerGivesTheGeneralCompilersForm) {
  TPlainFormulaGenerator plainFormulas(20261208);
  TFormulaGenerator anyFormulas(7);
  std::mt19937 random(99);
  int plainCompiled = 0;
  int otherCompiled = 0;
  constexpr int rounds = 20000;
  for (int round = 0; round < rounds; ++round) {
    const std::string plain = plainFormulas.formula();
    expectPlainCompileAgrees(plain, '.', ';', plainCompiled);
    const std::string european = translateFormulaSeparators(plain, '.', ',', ';', ';');
    expectPlainCompileAgrees(european, ',', ';', otherCompiled);
    const std::string american = translateFormulaSeparators(plain, '.', '.', ';', ',');
    expectPlainCompileAgrees(american, '.', ',', otherCompiled);
    expectPlainCompileAgrees(mutated(plain, random), '.', ';', otherCompiled);
    const std::string any = anyFormulas.formula();
    expectPlainCompileAgrees(any, '.', ';', otherCompiled);
    expectPlainCompileAgrees(mutated(any, random), '.', ';', otherCompiled);
    if (HasFailure()) return;
  }
  // Nearly every plain formula takes the quick way (a few are too long).
  EXPECT_GT(plainCompiled, rounds * 9 / 10);
  EXPECT_GT(otherCompiled, rounds);
}

// A formula filled down a column is copied from the one above it with its
// references read again. Whatever the copy gives must be what compiling the
// text gives; a text whose changed digits all stand in names is always
// copied, and never one read with other separators.
TEST(FormulaFuzz, AFormulaCopiedForItsTextIsWhatTheTextCompilesTo) {
  TPlainFormulaGenerator formulas(20261209);
  std::mt19937 random(5);
  int copied = 0;
  int refused = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string text = formulas.formula();
    const std::unique_ptr<TCompiledFormula> model = compilePlainFormula(text, '.', ';', nullptr);
    if (!model) continue;
    std::vector<bool> inName(text.size(), false);
    for (const TCompiledFormula::TPackedToken& token : model->packedTokens()) {
      if (token.tokenClass != tokenOperand || token.kind != valueIdentifier) continue;
      const std::string_view name = model->textOf(token);
      const auto at = static_cast<std::size_t>(name.data() - model->text().data());
      for (std::size_t place = at; place < at + name.size(); ++place) inName[place] = true;
    }
    std::string variant = text;
    bool onlyInNames = true;
    for (std::size_t place = 0; place < variant.size(); ++place) {
      if (variant[place] < '0' || variant[place] > '9' || random() % 3 != 0) continue;
      const char digit = static_cast<char>('0' + random() % 10);
      if (digit == variant[place]) continue;
      variant[place] = digit;
      onlyInNames = onlyInNames && inName[place];
    }
    const std::unique_ptr<TCompiledFormula> copy = model->copyForText(variant, '.', ';', nullptr);
    if (onlyInNames) {
      EXPECT_TRUE(copy) << text << " -> " << variant;
    }
    if (!copy) {
      ++refused;
      continue;
    }
    ++copied;
    const std::unique_ptr<TCompiledFormula> compiled = compilePlainFormula(variant, '.', ';', nullptr);
    ASSERT_TRUE(compiled) << variant;
    EXPECT_EQ(storedMeaning(*copy), storedMeaning(*compiled)) << text << " -> " << variant;
    EXPECT_FALSE(model->copyForText(variant, ',', ';', nullptr)) << variant;
    EXPECT_FALSE(model->copyForText(variant, '.', ',', nullptr)) << variant;
    if (HasFailure()) return;
  }
  EXPECT_GT(copied, 5000);
  EXPECT_GT(refused, 1000);
}
