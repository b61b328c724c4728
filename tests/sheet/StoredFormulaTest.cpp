#include <gtest/gtest.h>

#include "sheet/StoredFormula.h"

TEST(StoredFormula, FormulasTravelThroughTheStoredFormBetweenLocales) {
  const std::string stored = formulaToStore("IF(A1>1,5;\"a;b\";SUM(2;3,25))", ',', ';');
  EXPECT_EQ(stored, "IF(A1>1.5;\"a;b\";SUM(2;3.25))");
  EXPECT_EQ(formulaFromStore(stored, '.', ','), "IF(A1>1.5,\"a;b\",SUM(2,3.25))");
  EXPECT_EQ(formulaToStore("IF(A1>1.5,\"a;b\",SUM(2,3.25))", '.', ','), stored);
}

TEST(StoredFormula, OnlyFormulasAmongContentsAreRespelled) {
  EXPECT_EQ(contentToStore("=SUM(1,5;2)", true, ',', ';'), "=SUM(1.5;2)");
  EXPECT_EQ(contentToStore("1,50", true, ',', ';'), "1,50");
  EXPECT_EQ(contentToStore("1,50", false, ',', ';'), "1.5") << "a number cell's value";
  EXPECT_EQ(contentFromStore("Smith; John", true, ',', ','), "Smith; John");
  EXPECT_EQ(contentFromStore("SUM(1;2)", true, '.', ','), "SUM(1;2)") << "a text without = is no formula";

  // A field's definition has lost its "=" in the editor.
  EXPECT_EQ(fieldContentToStore("SUM(1,5;2)", ',', ';'), "SUM(1.5;2)");
  EXPECT_EQ(fieldContentToStore("PRICE*1,5", ',', ';'), "PRICE*1.5");
  EXPECT_EQ(fieldContentFromStore("SUM(1.5;2)", ',', ';'), "SUM(1,5;2)");
  EXPECT_EQ(fieldContentToStore("1,50", ',', ';'), "1,50") << "a lone number";
  EXPECT_EQ(fieldContentToStore("Smith; John", ',', ';'), "Smith; John");
  EXPECT_EQ(fieldContentToStore("Fees 1,5 %", ',', ';'), "Fees 1,5 %") << "reads as no formula";
}
