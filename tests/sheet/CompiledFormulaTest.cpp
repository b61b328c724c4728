#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sheet/CompiledFormula.h"
#include "sheet/FormulaCompiler.h"
#include "sheet/Sheet.h"
#include "sheet/ValueArray.h"
#include "tests/sheet/TokenText.h"

namespace {

std::unique_ptr<TRPNstackObject> compiled(const std::shared_ptr<TTokenObjectFactory>& factory,
                                          const std::string& text) {
  auto list = std::make_unique<TRPNstackObject>(factory);
  TSyntaxFlags flags;
  EXPECT_TRUE(infixToRPN(*list, text, '.', ',', flags)) << text;
  TSheet::bindFunctionIds(*list);
  return list;
}

void expectSameTokens(const TRPNstackObject& expected, const TRPNstackObject& actual) {
  ASSERT_EQ(actual.count(), expected.count());
  for (int i = 0; i < expected.count(); ++i) {
    const TTokenObject& want = *expected.getItem(i);
    const TTokenObject& got = *actual.getItem(i);
    SCOPED_TRACE("token " + std::to_string(i) + ": " + tokenText(want));
    EXPECT_EQ(got.tokenClass, want.tokenClass);
    EXPECT_EQ(got.operatorCode, want.operatorCode);
    EXPECT_EQ(got.functionId, want.functionId);
    EXPECT_EQ(got.ok, want.ok);
    EXPECT_EQ(got.value.kind, want.value.kind);
    EXPECT_EQ(got.value.integer, want.value.integer);
    EXPECT_EQ(got.value.number, want.value.number);
    EXPECT_EQ(got.value.string, want.value.string);
    EXPECT_EQ(got.subArray(), nullptr);
    ASSERT_EQ(got.subList() != nullptr, want.subList() != nullptr);
    if (want.subList()) {
      EXPECT_NE(got.subList(), want.subList()) << "a nested list is copied";
      expectSameTokens(*want.subList(), *got.subList());
    }
  }
}

}  // namespace

TEST(CompiledFormula, UnpackingGivesWhatCopyingTheListGives) {
  auto factory = std::make_shared<TTokenObjectFactory>();
  // Every kind of token, texts spelled otherwise than in the formula, a
  // text too long to be stored in place, and one beyond the reach of the
  // texts' offsets with names after it.
  const std::string formula = "=-SUM(A1:B2,{{1,\"a\"},{2.5,-3}},,FOO(x1))+\"" + std::string(100, 'x') +
                              "\"&\"say \"\"x1\"\"\"&PI*2%^1E300>=7 MOD 2&\"" + std::string(70000, 'y') +
                              "\"&LEN(C3)";
  auto list = compiled(factory, formula);
  std::unique_ptr<TCompiledFormula> packed = TCompiledFormula::pack(*list, formula);
  EXPECT_EQ(packed->count(), list->count());
  EXPECT_EQ(packed->text(), formula);

  // The working list still holds what another formula left: more tokens,
  // texts and an owned array.
  TRPNstackObject working(factory);
  for (int i = 0; i < 40; ++i) {
    TTokenPtr token = working.newToken();
    token->tokenClass = tokenOperand;
    token->value.kind = valueString;
    token->value.string = "left over " + std::to_string(i);
    token->ok = false;
    if (i == 3) token->setOwnedArray(std::make_unique<TArray>());
    working.push(std::move(token));
  }
  packed->unpackInto(working);
  expectSameTokens(*list, working);

  // Each copy's nested lists are its own: an evaluation may rewrite them.
  TRPNstackObject* constant = nullptr;
  for (int i = 0; i < working.count(); ++i) {
    if (working.getItem(i)->subList()) constant = working.getItem(i)->subList();
  }
  ASSERT_NE(constant, nullptr);
  constant->deleteRange(0, constant->count() - 1);
  std::unique_ptr<TCompiledFormula> copy = packed->copy();
  packed.reset();
  list->getItem(0)->value.string = "changed";  // the source list is not needed any more
  copy->unpackInto(working);
  EXPECT_EQ(copy->text(), formula);
  EXPECT_EQ(working.getItem(0)->value.string, "A1");
  auto again = compiled(factory, formula);
  expectSameTokens(*again, working);
}

TEST(CompiledFormula, AnEmptyListUnpacksToAnEmptyList) {
  TRPNstackObject empty;
  std::unique_ptr<TCompiledFormula> packed = TCompiledFormula::pack(empty);
  TRPNstackObject working;
  working.push(working.newToken());
  packed->unpackInto(working);
  EXPECT_EQ(working.count(), 0);
}

TEST(CompiledFormula, BlocksFromPoolsAndFromTheHeapGoBackWhereTheyCameFrom) {
  auto factory = std::make_shared<TTokenObjectFactory>();
  TSizedPools pools;
  // The second is too long for any pool and falls back to the heap.
  for (const std::string& formula : {std::string("=A1*2+LEN(\"abc\")"), "=\"" + std::string(600, 'z') + "\""}) {
    auto list = compiled(factory, formula);
    std::unique_ptr<TCompiledFormula> pooled = TCompiledFormula::pack(*list, formula, &pools);
    std::unique_ptr<TCompiledFormula> onHeap = pooled->copy();
    pooled.reset();
    std::unique_ptr<TCompiledFormula> again = onHeap->copy(&pools);
    onHeap.reset();
    EXPECT_EQ(again->text(), formula);
    TRPNstackObject working(factory);
    again->unpackInto(working);
    expectSameTokens(*list, working);
  }
}
