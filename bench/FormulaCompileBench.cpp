// Compiling formulas to postfix form, as every cell setter, field definition
// load and chart source does, copying the stored form of a formula filled
// down, and copying a compiled list, as every evaluation does before it
// consumes the copy.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "sheet/CompiledFormula.h"
#include "sheet/FormulaCompiler.h"
#include "sheet/PlainFormulaCompiler.h"
#include "sheet/Sheet.h"

namespace {

const std::vector<std::string> typicalFormulas = {
    "=A1+B1",
    "=SUM(A1:A100)",
    "=IF(B2>0;C2/B2-1;0)",
    "=ROUND(ASSET_CLOSE(3)*ASSET_UNITS(3);2)",
    "=AVERAGE(D2:D250)*(1+$F$1%)",
    "=IF(AND(A5>=1.5;B5<>\"n/a\");VLOOKUP(A5;$H$2:$K$400;3;0);\"\")",
    "=MMULT({{1};{2};{3}};{4;5;6})",
    "={{1;2};{3;4}}",
    "=STDEV(C2:C61)/SQRT(COUNT(C2:C61))*2.5E-1",
    "=PORTFOLIO_NAV()-PORTFOLIO_INVESTMENT()",
    "=-B7^2+3*B7-1.25",
    "=CONCATENATE(ASSET_NAME(1);\" (\";ASSET_SYMBOL(1);\")\")",
    "=MAX(0;MIN(1;(E4-E3)/E3))",
    "=NPV(0.08;B2:B11)+B1",
    "=A1 DIV 7 + A1 MOD 7",
    "=INDEX(MA(ASSET_QUOTES(2);20);1;2)",
};

constexpr int rounds = 7;

// The times of one of the count pieces of work a round does.
void report(const char* what, int count, const TBenchTimes& times) {
  std::printf("%-34s %9d a round, each %s\n", what, count, microseconds(times.per(count)).c_str());
}

}  // namespace

int main() {
  const int formulaCount = benchSize(200000, 5000);
  auto sheetTokens = std::make_shared<TTokenObjectFactory>();
  TRPNstackObject list(sheetTokens);
  TSyntaxFlags flags;
  long long tokenCount = 0;

  bool compiled = true;
  const TBenchTimes typical = timeRounds(rounds, [&] {
    tokenCount = 0;
    for (int index = 0; index < formulaCount; ++index) {
      list.clear();
      compiled = infixToRPN(list, typicalFormulas[index % typicalFormulas.size()], '.', ';', flags) && compiled;
      tokenCount += list.count();
    }
  });
  if (!compiled) {
    std::printf("a typical formula failed to compile\n");
    return 1;
  }
  report("compile typical formulas", formulaCount, typical);
  std::printf("%-34s %9.1f tokens per formula, %d token pool blocks\n", "", double(tokenCount) / formulaCount,
              sheetTokens->blockCount());

  // As the sheet compiles a cell's formula: into a working list emptied
  // for reuse, with an operator stack kept from one compile to the next.
  TRPNstackObject operators(sheetTokens);
  report("compile into reused lists", formulaCount, timeRounds(rounds, [&] {
           for (int index = 0; index < formulaCount; ++index) {
             list.deleteRange(0, list.count() - 1);
             infixToRPN(list, typicalFormulas[index % typicalFormulas.size()], '.', ';', flags, &operators);
           }
         }));

  // Into the stored form a cell keeps, the general way and straight from
  // the text, for the formulas the plain compiler takes.
  std::vector<std::string> plainFormulas;
  for (const std::string& text : typicalFormulas) {
    if (compilePlainFormula(text, '.', ';', nullptr)) plainFormulas.push_back(text);
  }
  TSizedPools pools;
  report("stored form through a list", formulaCount, timeRounds(rounds, [&] {
           for (int index = 0; index < formulaCount; ++index) {
             const std::string& text = plainFormulas[index % plainFormulas.size()];
             list.deleteRange(0, list.count() - 1);
             infixToRPN(list, text, '.', ';', flags, &operators);
             TSheet::bindFunctionIds(list);
             (void)TCompiledFormula::pack(list, text, &pools);
           }
         }));
  report("stored form straight", formulaCount, timeRounds(rounds, [&] {
           for (int index = 0; index < formulaCount; ++index)
             (void)compilePlainFormula(plainFormulas[index % plainFormulas.size()], '.', ';', &pools);
         }));
  std::printf("%-34s %9zu of %zu formulas taken straight\n", "", plainFormulas.size(), typicalFormulas.size());

  // Filled down a column: each formula copied from the one above, whose
  // references name the row before.
  std::vector<std::unique_ptr<TCompiledFormula>> above;
  std::vector<std::string> below;
  for (const std::string& text : plainFormulas) {
    above.push_back(compilePlainFormula(text, '.', ';', nullptr));
    std::string next = text;
    for (const TCompiledFormula::TPackedToken& token : above.back()->packedTokens()) {
      if (token.tokenClass != tokenOperand || token.kind != valueIdentifier || token.refRow() == 0) continue;
      const std::string_view name = above.back()->textOf(token);
      char& last = next[static_cast<std::size_t>(name.data() - above.back()->text().data()) + name.size() - 1];
      last = last == '9' ? '8' : static_cast<char>(last + 1);
    }
    below.push_back(next);
    if (!above.back()->copyForText(next, '.', ';', nullptr)) {
      std::printf("not copied: %s\n", next.c_str());
      return 1;
    }
  }
  report("stored form filled down", formulaCount, timeRounds(rounds, [&] {
           for (int index = 0; index < formulaCount; ++index) {
             const std::size_t which = index % plainFormulas.size();
             (void)above[which]->copyForText(below[which], '.', ';', &pools);
           }
         }));

  std::vector<std::unique_ptr<TRPNstackObject>> compiledLists;
  for (const std::string& text : typicalFormulas) {
    compiledLists.push_back(std::make_unique<TRPNstackObject>(sheetTokens));
    infixToRPN(*compiledLists.back(), text, '.', ';', flags);
  }
  TRPNstackObject workingCopy(sheetTokens);
  report("working copy of a compiled list", formulaCount, timeRounds(rounds, [&] {
           for (int index = 0; index < formulaCount; ++index)
             workingCopy.assign(compiledLists[index % compiledLists.size()].get());
         }));

  std::string powers;
  while (powers.size() < 1000000) powers += "A1^";
  powers += "2";
  report("one 1 MB formula", 1,
         timeRounds(rounds, [&] { list.clear(); }, [&] { infixToRPN(list, powers, '.', ';', flags); }));
  return 0;
}
