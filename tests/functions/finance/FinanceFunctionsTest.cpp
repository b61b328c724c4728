#include <gtest/gtest.h>

#include "tests/functions/FormulaValues.h"

// Expected values come from a script written for these tests (Python mpmath,
// 40 digits) working from first principles: bond prices as the discounted
// coupons and redemption, yields and rates as roots found by mpmath's
// findroot, durations as present-value-weighted times, loans amortised period
// by period, depreciation stepped year by year. Dates are day numbers
// (45337 = 15 Feb 2024).

namespace {

struct FinanceFunctions : testing::Test {
  TSheet sheet;
  double value(const std::string& formula) { return requiredNumberOf(sheet, formula); }
  std::string text(const std::string& formula) { return evaluated(sheet, formula); }
};

}  // namespace

TEST_F(FinanceFunctions, BondsAndBillsAgainstIndependentValues) {
  // 15 Feb 2024 to 15 Nov 2031, semiannual: 16 coupons left.
  EXPECT_NEAR(value("=PRICE(45337,48167,0.0575,0.065,100,2)"), 95.478371999658315519, 1e-10);
  EXPECT_NEAR(value("=PRICE(45337,48167,0.0575,0.065,100,2,1)"), 95.479607918051921009, 1e-10);
  EXPECT_NEAR(value("=YIELD(45337,48167,0.0575,95.04287,100,2)"), 0.065746649799194112553, 1e-9);
  EXPECT_NEAR(value("=DURATION(45337,48167,0.08,0.09,2,1)"), 5.7410277027979308164, 1e-10);
  EXPECT_NEAR(value("=MDURATION(45337,48167,0.08,0.09,2,1)"), 5.4938064141606993458, 1e-10);
  // 31 Mar to 1 Jun 2024: 62 days.
  EXPECT_NEAR(value("=TBILLPRICE(45382,45444,0.0914)"), 98.425888888888888889, 1e-10);
  EXPECT_NEAR(value("=TBILLEQ(45382,45444,0.0914)"), 0.094151493565943016347, 1e-12);
  EXPECT_NEAR(value("=TBILLYIELD(45382,45444,98.45)"), 0.091416962925342813611, 1e-12);
  // Discount securities over 90 days on an actual/360 basis, issued 92 days
  // before settlement.
  EXPECT_NEAR(value("=DISC(45337,45427,97.975,100,2)"), 0.081, 1e-14);
  EXPECT_NEAR(value("=INTRATE(45337,45427,1000000,1014420,2)"), 0.05768, 1e-14);
  EXPECT_NEAR(value("=RECEIVED(45337,45427,1000000,0.0575,2)"), 1014584.6544071020926, 1e-8);
  EXPECT_NEAR(value("=PRICEDISC(45337,45427,0.0525,100,2)"), 98.6875, 1e-12);
  EXPECT_NEAR(value("=PRICEMAT(45337,45427,45245,0.061,0.061,2)"), 99.976584037866973105, 1e-11);
  // Issue 1 Mar 2008, first interest 31 Aug, settlement 1 May: a third of
  // the first coupon.
  EXPECT_NEAR(value("=ACCRINT(39508,39691,39569,0.1,1000,2,0)"), 50.0 / 3, 1e-10);
}

TEST_F(FinanceFunctions, AnnuitiesAgainstIndependentValues) {
  EXPECT_NEAR(value("=RATE(48,-200,8000)"), 0.0077014724882020438160, 1e-10);
  EXPECT_NEAR(value("=RATE(60,-500,20000,-5000,1,0.05)"), 0.018551413347090126623, 1e-10);
  EXPECT_NEAR(value("=NPER(0.01,-100,-1000,10000,1)"), 59.673865674294625588, 1e-9);
  EXPECT_NEAR(value("=PV(0.08/12,240,500)"), -59777.145851188021817, 1e-7);
  EXPECT_NEAR(value("=FV(0.06/12,10,-200,-500,1)"), 2581.4033740601791537, 1e-9);
  EXPECT_NEAR(value("=PMT(0.1/12,36,8000)"), -258.13749755069989277, 1e-9);
  EXPECT_NEAR(value("=IPMT(0.1/12,3,36,8000)"), -63.462189566454721702, 1e-9);
  EXPECT_NEAR(value("=PPMT(0.1/12,3,36,8000)"), -194.67530798424517107, 1e-9);
  EXPECT_NEAR(value("=CUMIPMT(0.09/12,360,125000,13,24,0)"), -11135.232130750842688, 1e-7);
  EXPECT_NEAR(value("=CUMPRINC(0.09/12,360,125000,13,24)"), -934.10712342089831434, 1e-8);
  EXPECT_NEAR(value("=EFFECT(0.0525,4)"), 0.053542667370758, 1e-14);  // (1 + 0.0525/4)^4 - 1
  EXPECT_NEAR(value("=NOMINAL(0.053542667370758,4)"), 0.0525, 1e-13);
}

TEST_F(FinanceFunctions, DepreciationAgainstIndependentValues) {
  // Rate 1 - 0.1^(1/6) rounded to 0.319; a first year of 7 months.
  EXPECT_NEAR(value("=DB(1000000,100000,6,1,7)"), 186083.33333333333333, 1e-8);
  EXPECT_NEAR(value("=DB(1000000,100000,6,2,7)"), 259639.41666666666667, 1e-8);
  EXPECT_NEAR(value("=DB(1000000,100000,6,7,7)"), 15845.098473848073468, 1e-8);
  EXPECT_EQ(text("=DB(1000000,100000,6,8,7)"), "#VALUE!");
  EXPECT_NEAR(value("=DDB(2400,300,10,2)"), 384, 1e-10);
  EXPECT_NEAR(value("=DDB(2400,300,10,10,1.5)"), 83.382100661953125, 1e-10);
  EXPECT_NEAR(value("=VDB(2400,300,10,0,10)"), 2100, 1e-9);
  EXPECT_NEAR(value("=VDB(2400,300,10,6,10,1.5)"), 605.1588375, 1e-9);
  EXPECT_NEAR(value("=VDB(2400,300,10,0,10,1.5,1)"), 1927.501429582265625, 1e-9);
  EXPECT_NEAR(value("=VDB(2400,300,10,0,0.875,1.5)"), 315, 1e-10);
  EXPECT_EQ(value("=SLN(30000,7500,10)"), 2250);
  EXPECT_DOUBLE_EQ(value("=SYD(30000,7500,10,10)"), 22500.0 * 2 / 110);
  EXPECT_EQ(text("=SLN(1,0,0)"), "#DIV/0!");
}

TEST_F(FinanceFunctions, DayCountsAndCoupons) {
  EXPECT_EQ(text("=DAYS360(45322,45382)"), "60");  // 31 Jan to 31 Mar
  EXPECT_EQ(text("=DAYS360(45320,45382)"), "62");  // from the 29th the end moves to 1 April
  EXPECT_EQ(text("=DAYS360(45320,45382,1)"), "61");
  EXPECT_EQ(text("=DAYS360(45382,45320)"), "-61");
  EXPECT_NEAR(value("=YEARFRAC(44927,45108,1)"), 181.0 / 365, 1e-15);
  EXPECT_NEAR(value("=YEARFRAC(45108.9,44927.9)"), 180.0 / 360, 1e-15);
  EXPECT_EQ(value("=COUPPCD(45337,48167,2)"), 45245);
  EXPECT_EQ(value("=COUPNCD(45337,48167,2,1)"), 45427);
  EXPECT_EQ(value("=COUPNUM(45337,48167,2)"), 16);
  EXPECT_EQ(value("=COUPDAYS(45337,48167,2,1)"), 182);
  EXPECT_EQ(value("=COUPDAYSNC(45337,48167,2,1)"), 90);
  EXPECT_EQ(value("=COUPDAYBS(45337,48167,2,1)"), 92);
}

TEST_F(FinanceFunctions, ArgumentCountsDefaultsAndConversions) {
  for (const char* formula : {"=DAYS360(1)", "=YEARFRAC(1,2,3,4)", "=COUPNUM(1,2)", "=ACCRINT(1,2,3,4,5)",
                              "=ACCRINTM(1,2)", "=PRICE(1,2,3,4,5)", "=TBILLEQ(1,2)", "=PV(0.1,2)",
                              "=RATE(1,2,3,4,5,6,7)", "=CUMIPMT(1,2,3,4)", "=EFFECT(0.1)", "=DB(1,2,3)",
                              "=SLN(1,2,3,4)", "=VDB(1,2,3,4,5,6,7,8)"}) {
    EXPECT_EQ(text(formula), "#VALUE!") << formula;
  }
  EXPECT_EQ(text("=PV(\"ten\",10,100)"), "#VALUE!");
  EXPECT_EQ(text("=YEARFRAC(44927,45108,5)"), "#NUM!") << "a basis is checked before any routine runs";
  EXPECT_EQ(text("=YEARFRAC(44927,45108,-1)"), "#NUM!");
  EXPECT_EQ(text("=COUPNUM(45337,48167,2,5)"), "#VALUE!");
  // A par that is no number, or left empty, counts as 1000.
  EXPECT_NEAR(value("=ACCRINT(39508,39691,39569,0.1,\"x\",2)"), 50.0 / 3, 1e-10);
  EXPECT_NEAR(value("=ACCRINT(39508,39691,39569,0.1,,2)"), 50.0 / 3, 1e-10);
  EXPECT_EQ(text("=ACCRINT(39508,39691,39569,\"x\",1000,2)"), "#VALUE!");
  EXPECT_NEAR(value("=ACCRINTM(39508,39569,0.1)"), 1000 * 0.1 * 60 / 360, 1e-10);
  EXPECT_EQ(text("=ACCRINTM(39508,39569,0.1,\"x\")"), "#VALUE!");
  // Period counts are integers, truncated toward zero.
  EXPECT_EQ(value("=PV(0.08/12,240.9,500)"), value("=PV(0.08/12,240,500)"));
  EXPECT_EQ(value("=DB(1000000,100000,6,1)"), 1000000 * 0.319);
  EXPECT_NEAR(value("=RATE(48,-200,8000,0,0,0.5)"), 0.0077014724882020438160, 1e-10);
  EXPECT_EQ(text("=RATE(48,-200,8000,0,2)"), "#VALUE!");
}

TEST_F(FinanceFunctions, DeliberateDifferencesFromOtherSpreadsheets) {
  // DAYS360: 28 February counts as the 30th even in a leap year.
  EXPECT_EQ(text("=DAYS360(38045,38077)"), "30");
  // YEARFRAC basis 1 across two years divides by their average length;
  // basis 4 adds two days.
  EXPECT_NEAR(value("=YEARFRAC(45108,45352,1)"), 244.0 * 2 / 731, 1e-15);
  EXPECT_NEAR(value("=YEARFRAC(44927,45108,4)"), 182.0 / 360, 1e-15);
  // The coupon schedule compares months only: settlement 10 Mar, maturity
  // 15 Jun, quarterly, makes 15 Mar the "previous" coupon date.
  EXPECT_EQ(value("=COUPPCD(45361,45458,4,1)"), 45366);
  EXPECT_EQ(value("=COUPDAYBS(45361,45458,4,1)"), -5);
  EXPECT_EQ(value("=COUPNUM(45361,45458,4,1)"), 1);
  // PMT has no zero-rate form.
  EXPECT_EQ(text("=PMT(0,12,1000)"), "#NUM!");
  EXPECT_NEAR(value("=PV(0,12,-100)"), 1200, 1e-12);
  // PRICE needs a coupon after the next one; YIELD has a closed form there.
  EXPECT_EQ(text("=PRICE(40612,40770,0.05,0.06,100,2)"), "#VALUE!");
  // ACCRINT after the first interest date gives the current period's
  // interest only: 75 of 360 days on 15 Nov 2008, not the 254 since issue.
  EXPECT_NEAR(value("=ACCRINT(39508,39691,39767,0.1,1000,2,0)"), 1000 * 0.1 * 75 / 360, 1e-10);
}

TEST_F(FinanceFunctions, SoundBehaviourWhereTheRoutinesWouldFail) {
  // Fractions that are powers of ten leave a price as it is.
  EXPECT_EQ(value("=DOLLARDE(1.5,10)"), 1.5);
  EXPECT_EQ(value("=DOLLARDE(1.02,16)"), 1.125);
  EXPECT_EQ(value("=DOLLARFR(1.125,16)"), 1.02);
  EXPECT_EQ(value("=DOLLARFR(1.25,100)"), 1.25);
  // Loops sized by an argument are capped instead of running for hours.
  EXPECT_EQ(text("=VDB(1,0,1E12,1E12-1,1E12)"), "#VALUE!");
  EXPECT_EQ(text("=CUMIPMT(0.01,2000000,1000,1,2000000)"), "#VALUE!");
  EXPECT_EQ(text("=DDB(1000,0,2000000000,2000000000)"), "#VALUE!");
  // A date beyond the calendar (years 1 to 9999).
  EXPECT_EQ(text("=YEARFRAC(1,3000000)"), "#VALUE!");
  EXPECT_EQ(text("=TBILLPRICE(1E9,1E9+30,0.05)"), "#VALUE!");
}
