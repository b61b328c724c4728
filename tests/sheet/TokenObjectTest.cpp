#include <gtest/gtest.h>

#include <memory>

#include "sheet/RPNstack.h"
#include "sheet/TokenObject.h"
#include "sheet/ValueArray.h"
#include "tests/sheet/TokenText.h"

namespace {

TTokenPtr integerToken(TRPNstackObject& list, int value) {
  TTokenPtr token = list.newToken();
  token->tokenClass = tokenOperand;
  token->value.kind = valueInteger;
  token->value.integer = value;
  return token;
}

}  // namespace

TEST(TokenObject, PooledTokenGoesBackToItsSlot) {
  auto factory = std::make_shared<TTokenObjectFactory>();
  TTokenPtr token = factory->newToken();
  const TObjectBlock& block = factory->block(0);
  EXPECT_EQ(block.freeCount(), block.capacity() - 1);
  EXPECT_EQ(token->tokenClass, tokenEnd);
  EXPECT_TRUE(token->ok);
  token.reset();
  EXPECT_EQ(factory->blockCount(), 1);
  EXPECT_EQ(factory->block(0).freeCount(), factory->block(0).capacity());
}

TEST(TokenObject, BorrowedArrayIsNeverFreedThroughTheToken) {
  TArray cellResult;
  cellResult.setSize2D(1, 2);
  cellResult.at(0, 1).kind = valueInteger;
  {
    auto token = std::make_unique<TTokenObject>();
    token->setBorrowedArray(&cellResult);
    EXPECT_EQ(token->value.kind, valueBorrowedArray);
    EXPECT_EQ(token->releaseOwnedArray(), nullptr);
    TTokenObject copy;
    copy.assign(token.get());
    EXPECT_EQ(copy.subArray(), &cellResult) << "a borrowed array is shared, not copied";
    token->clear();
    EXPECT_EQ(token->subArray(), nullptr);
  }
  EXPECT_EQ(cellResult.elementCount(), 2);
  EXPECT_EQ(cellResult.at(0, 1).kind, valueInteger);
}

TEST(TokenObject, AssignCopiesNestedListsAndOwnedArraysDeeply) {
  auto factory = std::make_shared<TTokenObjectFactory>();
  TRPNstackObject formula(factory);
  auto elements = std::make_unique<TRPNstackObject>(factory);
  elements->push(integerToken(*elements, 1));
  elements->push(integerToken(*elements, 2));
  TTokenPtr constant = formula.newToken();
  constant->tokenClass = tokenOperand;
  constant->setSubList(std::move(elements));
  formula.push(std::move(constant));
  TTokenObject copy;
  copy.assign(formula.getItem(0));
  ASSERT_NE(copy.subList(), formula.getItem(0)->subList());
  EXPECT_EQ(copy.subList()->factory(), factory);
  copy.subList()->getItem(0)->value.integer = 7;
  EXPECT_EQ(tokenText(formula), "{1 2}");
  EXPECT_EQ(tokenText(copy), "{7 2}");

  TTokenObject arrayToken;
  auto array = std::make_unique<TArray>();
  array->setSize2D(2, 2);
  arrayToken.setOwnedArray(std::move(array));
  copy.assign(&arrayToken);
  ASSERT_NE(copy.subArray(), arrayToken.subArray());
  EXPECT_EQ(copy.subArray()->elementCount(), 4);
  std::unique_ptr<TArray> taken = arrayToken.releaseOwnedArray();
  EXPECT_EQ(taken->elementCount(), 4);
  EXPECT_EQ(arrayToken.subArray(), nullptr);

  // A list or token may be given a copy of something nested inside it.
  formula.assign(formula.getItem(0)->subList());
  EXPECT_EQ(tokenText(formula), "1 2");
  auto inner = std::make_unique<TRPNstackObject>();
  TTokenPtr text = inner->newToken();
  text->tokenClass = tokenOperand;
  text->value.kind = valueString;
  text->value.string = "inner";
  inner->push(std::move(text));
  copy.setSubList(std::move(inner));
  copy.assign(copy.subList()->getItem(0));
  EXPECT_EQ(copy.value.string, "inner");
  EXPECT_EQ(copy.subList(), nullptr);

  copy.assign(nullptr);
  EXPECT_EQ(copy.value.kind, valueEmpty);
  EXPECT_EQ(copy.subArray(), nullptr);
}

TEST(RPNstack, CopiedListKeepsTheSourcePoolAlive) {
  auto sheetTokens = std::make_shared<TTokenObjectFactory>();
  auto original = std::make_unique<TRPNstackObject>(sheetTokens);
  for (int value = 0; value < 300; ++value) original->push(integerToken(*original, value));
  TRPNstackObject otherSheetsCopy;
  otherSheetsCopy.assign(original.get());
  original.reset();
  sheetTokens.reset();
  // The copy's tokens come from the adopted pool, which must still be there
  // for the copy and for every token it makes from now on.
  otherSheetsCopy.pushCopy(*otherSheetsCopy.getItem(299));
  EXPECT_EQ(otherSheetsCopy.count(), 301);
  EXPECT_NE(otherSheetsCopy.getItem(300)->ownerBlock(), nullptr);
  EXPECT_EQ(otherSheetsCopy.factory().use_count(), 1);
}

TEST(RPNstack, InPlaceEditsAsTheEvaluatorMakesThem) {
  TRPNstackObject list(std::make_shared<TTokenObjectFactory>());
  for (int value = 0; value < 6; ++value) list.push(integerToken(list, value));
  list.deleteRange(1, 2);
  EXPECT_EQ(tokenText(list), "0 3 4 5");
  list.deleteRange(3, 1);
  EXPECT_EQ(list.count(), 4) << "first after last deletes nothing";
  list.deleteRange(-5, 0);
  EXPECT_EQ(tokenText(list), "3 4 5");
  list.deleteRange(2, 99);
  EXPECT_EQ(tokenText(list), "3 4");
  EXPECT_EQ(list.getItem(2), nullptr);
  EXPECT_EQ(list.getItem(-1), nullptr);
  EXPECT_EQ(list.pop()->value.integer, 4);
  EXPECT_EQ(list.top()->value.integer, 3);
  list.clear();
  EXPECT_EQ(list.pop(), nullptr);
  EXPECT_EQ(list.top(), nullptr);
}

TEST(RPNstack, DeletedTokensComeBackClearedForTheNextFormula) {
  auto factory = std::make_shared<TTokenObjectFactory>();
  {
    TRPNstackObject list(factory);
    for (int value = 0; value < 3; ++value) list.push(integerToken(list, value));
    list.getItem(1)->value.string = "a text longer than a short string holds";
    list.getItem(1)->setOwnedArray(std::make_unique<TArray>());
    list.getItem(2)->functionId = 5;
    const TTokenObject* deleted[] = {list.getItem(1), list.getItem(2)};
    list.deleteRange(1, 2);
    EXPECT_EQ(tokenText(list), "0");
    for (int i = 0; i < 2; ++i) {
      TTokenPtr token = list.newToken();
      EXPECT_TRUE(token.get() == deleted[0] || token.get() == deleted[1]) << "a deleted token serves again";
      EXPECT_EQ(token->tokenClass, tokenEnd);
      EXPECT_EQ(token->functionId, 0);
      EXPECT_EQ(token->value.kind, valueEmpty);
      EXPECT_EQ(token->value.integer, 0);
      EXPECT_TRUE(token->value.string.empty());
      EXPECT_EQ(token->subArray(), nullptr);
      list.push(std::move(token));
    }
    list.deleteRange(0, list.count() - 1);
  }
  EXPECT_EQ(factory->block(0).freeCount(), factory->block(0).capacity()) << "kept tokens go with the list";
}
