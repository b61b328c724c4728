#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>

#include "sheet/FormulaCompiler.h"
#include "sheet/FormulaRespelling.h"

namespace {

std::string toStored(const std::string& text) { return translateFormulaSeparators(text, ',', '.', ';', ';'); }
std::string toUser(const std::string& text) { return translateFormulaSeparators(text, '.', ',', ';', ';'); }

}  // namespace

TEST(FormulaRespelling, OnlySeparatorsChangeNumbersKeepTheirSpelling) {
  EXPECT_EQ(toStored("=ROUND(1,5;2)"), "=ROUND(1.5;2)");
  EXPECT_EQ(toUser("=ROUND(1.50;2)"), "=ROUND(1,50;2)");
  EXPECT_EQ(toUser("1E3+007+1E15+1.5e-7+0.00001+-0.25+3.+.5"), "1E3+007+1E15+1,5e-7+0,00001+-0,25+3,+,5");
  EXPECT_EQ(toUser("-+1.50^2 & --0.0 & F( "), "-+1,50^2 & --0,0 & F( ") << "signs and blanks keep the meaning";
  EXPECT_EQ(translateFormulaSeparators("=IF(A1>1.5,\"a,b\",SUM(1,2.25))", '.', ',', ',', ';'),
            "=IF(A1>1,5;\"a,b\";SUM(1;2,25))");
  // Printed again from its double, each of these came back as another text
  // (1500, 0,1, ...1234568, 1.2345678901234567E19), and a long number lost
  // its last digits.
  for (const std::string typed : {"=1,5E3", "=0,10+0", "=0,12345678901234567890", "=12345678901234567890",
                                  "=SUM(1,0;2,50E-3;-0,0)"}) {
    const std::string stored = toStored(typed);
    EXPECT_EQ(toUser(stored), typed);
    std::string english = translateFormulaSeparators(stored, '.', '.', ';', ',');
    EXPECT_EQ(translateFormulaSeparators(english, '.', '.', ',', ';'), stored);
  }
  EXPECT_EQ(toStored("=12345678901234567890+1,5E3"), "=12345678901234567890+1.5E3");
}

TEST(FormulaRespelling, EverythingElseIsCopiedAsWritten) {
  EXPECT_EQ(toUser("\"1.5;2\" & \"say \"\"1.5\"\"\""), "\"1.5;2\" & \"say \"\"1.5\"\"\"");
  EXPECT_EQ(toUser("  SUM( $A$1:b2 ;  {1;2} )"), "  SUM( $A$1:b2 ;  {1;2} )");
  EXPECT_EQ(toUser("Source.Symbol*2"), "Source.Symbol*2");
  EXPECT_EQ(toUser("\"unterminated 1.5"), "\"unterminated 1.5");
}

TEST(FormulaRespelling, BrokenNumbersKeepTheirSpelling) {
  // Re-printing these would turn a broken formula into a different one.
  EXPECT_EQ(toUser("1E+"), "1E+");
  EXPECT_EQ(toUser("1.5E+"), "1,5E+");
  EXPECT_EQ(toUser("1e3E5"), "1e3E5");
  EXPECT_EQ(toUser("1e5.5"), "1e5,5");
}

TEST(FormulaRespelling, NumbersReadBackAsTheSameDouble) {
  std::mt19937_64 random(42);
  for (int round = 0; round < 20000; ++round) {
    double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    char buffer[64];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 20).ptr;
    std::string user = toUser(std::string(buffer, end));
    TRPNstackObject list;
    TSyntaxFlags flags;
    ASSERT_TRUE(infixToRPN(list, user, ',', ';', flags)) << user;
    const TTokenObject& number = *list.getItem(0);
    double reread = number.value.kind == valueInteger ? number.value.integer : number.value.number;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(reread), std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value)) << user;
  }
}
