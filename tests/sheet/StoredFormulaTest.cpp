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
  EXPECT_EQ(contentToStore("1,50", false, ',', ';'), "1.50") << "a number cell's value, every digit";
  EXPECT_EQ(contentFromStore("Smith; John", true, ',', ','), "Smith; John");
  EXPECT_EQ(contentFromStore("SUM(1;2)", true, '.', ','), "SUM(1;2)") << "a text without = is no formula";

}

// A field's definition has lost its "=" in the editor and may be kept while it
// does not compile: it is stored in the one form all the same, so corrected
// under other settings it computes what the user typed.
TEST(StoredFormula, DefinitionsThatDoNotCompileTravelBetweenLocalesToo) {
  EXPECT_EQ(formulaToStore("SUM(1,5;2)", ',', ';'), "SUM(1.5;2)");
  EXPECT_EQ(formulaToStore("PRICE*1,5", ',', ';'), "PRICE*1.5");
  EXPECT_EQ(formulaFromStore("SUM(1.5;2)", ',', ';'), "SUM(1,5;2)");
  EXPECT_EQ(formulaToStore("1,50", ',', ';'), "1.50") << "a lone number";
  EXPECT_EQ(formulaFromStore("1.5", ',', ';'), "1,5");
  EXPECT_EQ(formulaToStore("Smith; John", ',', ';'), "Smith; John");
  EXPECT_EQ(formulaToStore("Fees 1,5 %", ',', ';'), "Fees 1.5 %") << "reads as no formula";

  const std::string english = formulaToStore("SUM(1,2)+", '.', ',');
  EXPECT_EQ(english, "SUM(1;2)+");
  EXPECT_EQ(formulaFromStore(english, ',', ';'), "SUM(1;2)+") << "two arguments under German settings too";
  const std::string german = formulaToStore("SUM(1;2,5)+", ',', ';');
  EXPECT_EQ(german, "SUM(1;2.5)+");
  EXPECT_EQ(formulaFromStore(german, '.', ','), "SUM(1,2.5)+");

  // Back under the settings it was typed with, it reads as typed; quoted
  // texts, an unclosed one too, never change.
  for (const std::string typed : {"SUM(1,2)+", "IF(A1>0,5;\"x,y;z\"", "CONCATENATE(\"1,5;\";", "(1,5;;2,25"}) {
    EXPECT_EQ(formulaFromStore(formulaToStore(typed, ',', ';'), ',', ';'), typed);
  }
  EXPECT_EQ(formulaToStore("IF(A1>0,5;\"x,y;z\"", ',', ';'), "IF(A1>0.5;\"x,y;z\"");
  EXPECT_EQ(formulaFromStore(formulaToStore("F(1.5,\"a;b\"", '.', ','), '.', ','), "F(1.5,\"a;b\"");
}

TEST(StoredFormula, SampleNumbersChangeOnlyTheirDecimalSeparator) {
  EXPECT_EQ(numberToStore("100000,1234567890123456789", ','), "100000.1234567890123456789") << "every digit stays";
  EXPECT_EQ(numberFromStore("100000.1234567890123456789", ','), "100000,1234567890123456789");
  EXPECT_EQ(numberToStore("-1,5E-3", ','), "-1.5E-3");
  EXPECT_EQ(numberToStore(",5", ','), ".5");
  EXPECT_EQ(numberFromStore("1.5", '.'), "1.5");
  EXPECT_EQ(numberToStore("24.12.2025", ','), "24.12.2025") << "a date";
  EXPECT_EQ(numberToStore("1.234,5", ','), "1.234,5") << "thousands separators are no plain number";
  EXPECT_EQ(numberToStore("1,5 %", ','), "1,5 %");
  EXPECT_EQ(numberToStore(",", ','), ",");
  EXPECT_EQ(numberToStore("", ','), "");
}

// The stored form has no thousands separator: a grouped number would read
// as another one under other settings ("1,234.5" is 1.2345 to a German).
TEST(StoredFormula, GroupedSampleNumbersLoseOnlyTheirGrouping) {
  EXPECT_EQ(groupedNumberToStore("1,234.5", '.', ','), "1234.5");
  EXPECT_EQ(groupedNumberToStore("1.234,5", ',', '.'), "1234.5");
  EXPECT_EQ(groupedNumberToStore("-1.234.567,50E3", ',', '.'), "-1234567.50E3") << "every digit stays";
  EXPECT_EQ(groupedNumberToStore(" 1\xA0" "234,5 ", ',', '\xA0'), "1234.5");
  EXPECT_EQ(groupedNumberToStore("1,5", ',', '.'), "1.5");
  EXPECT_EQ(groupedNumberToStore("1,5 %", ',', '.'), "1,5 %") << "no number: as typed";
  EXPECT_EQ(groupedNumberToStore("Smith", '.', ','), "Smith");
  EXPECT_EQ(groupedNumberToStore("1,5", ',', ','), "1.5") << "a thousands separator like the decimal one is none";
}
