#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/functions/FormulaResults.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

constexpr double empty = std::numeric_limits<double>::quiet_NaN();

// NaN in expected stands for an empty element.
void expectTable(const TNumberTable& table, int rows, int columns, const std::vector<double>& expected,
                 double tolerance) {
  ASSERT_EQ(table.rows, rows);
  ASSERT_EQ(table.columns, columns);
  ASSERT_EQ(table.values.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::isnan(expected[i])) {
      EXPECT_TRUE(std::isnan(table.values[i])) << "element " << i << " should be empty";
    } else {
      EXPECT_NEAR(table.values[i], expected[i], tolerance * std::fmax(1.0, std::fabs(expected[i]))) << "element " << i;
    }
  }
}

const std::string sample = "{3.5,1.2,7.8,4.4,4.4,9.1,2.3,6.6}";

std::string over(const std::string& name) { return "=" + name + "(" + sample + ")"; }

}  // namespace

TEST(StatisticsFunctions, SeriesTakeNumbersAndNumericTextsAndSkipTheRest) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "3", 2);  // a text cell whose text reads as a number
  enter(sheet, 1, 3, "abc", 2);
  enter(sheet, 1, 5, "", 2);  // an empty text
  EXPECT_EQ(resultOf(sheet, "=AVERAGE(A1:A5)"), "2");
  EXPECT_EQ(resultOf(sheet, "=AVERAGE(A1:A5,10,\"4\",\"x\",NOSUCHNAME)"), "4.5");
  EXPECT_EQ(resultOf(sheet, "=COUNT(A1:A5,5,\"x\")"), "3");
  EXPECT_EQ(resultOf(sheet, "=COUNTA(A1:A5,\"x\")"), "5") << "the empty text counts as a value";
  EXPECT_EQ(resultOf(sheet, "=COUNTBLANK(A1:A5)"), "2") << "an empty cell and an empty text";
  EXPECT_EQ(resultOf(sheet, "=COUNTBLANK(5)"), "#VALUE!");
  EXPECT_EQ(resultOf(sheet, "=MAX(A3)"), "#VALUE!") << "no number at all";
  // Deliberately unlike other spreadsheets: the mean of no numbers is 0.
  EXPECT_EQ(resultOf(sheet, "=AVERAGE(\"abc\")"), "0");
  EXPECT_EQ(resultOf(sheet, "=AVERAGE()"), "#VALUE!");
}

TEST(StatisticsFunctions, CellsOverARangeFollowItsChanges) {
  TSheet sheet;
  enter(sheet, 1, 1, "5");
  enter(sheet, 1, 2, "1");
  enter(sheet, 1, 3, "3");
  enter(sheet, 2, 1, "=MEDIAN(A1:A3)");
  enter(sheet, 2, 2, "=RANK(A2,A1:A3)");
  EXPECT_EQ(shown(sheet, 2, 1), "3");
  EXPECT_EQ(shown(sheet, 2, 2), "3");
  enter(sheet, 1, 2, "9");
  EXPECT_EQ(shown(sheet, 2, 1), "5");
  EXPECT_EQ(shown(sheet, 2, 2), "1");
}

// Expected values: numpy 1.24 and scipy.stats 1.10 (gmean, hmean, and skew
// and kurtosis with bias=False).
TEST(StatisticsFunctions, DescriptiveStatisticsAgreeWithNumpy) {
  TSheet sheet;
  expectNumbers(sheet,
                {
                    {over("AVEDEV"), 2.190625},
                    {over("AVERAGE"), 4.9125},
                    {over("DEVSQ"), 51.84875},
                    {over("GEOMEAN"), 4.147823819196928},
                    {over("HARMEAN"), 3.3361328048349748},
                    {over("KURT"), -0.9893613492369666},
                    {over("SKEW"), 0.28557024374224615},
                    {over("STDEV"), 2.7215738618884266},
                    {over("STDEVP"), 2.5457992359964288},
                    {over("VAR"), 7.4069642857142854},
                    {over("VARP"), 6.48109375},
                    {over("MEDIAN"), 4.4},
                    {over("MODE"), 4.4},
                    {over("MAX"), 9.1},
                    {over("MIN"), 1.2},
                    {"=STDEV(0.033,0.033,0.033)", 0.0},  // no "#NUM!" from a rounding below zero
                },
                1e-13);
}

// Expected values: numpy.percentile (linear), sorted positions, closed forms.
TEST(StatisticsFunctions, OrderStatistics) {
  TSheet sheet;
  expectNumbers(sheet,
                {
                    {"=LARGE(" + sample + ",3)", 6.6},
                    {"=SMALL(" + sample + ",2)", 2.3},
                    {"=PERCENTILE(" + sample + ",0.3)", 3.59},
                    {"=QUARTILE(" + sample + ",1)", 3.2},
                    {"=QUARTILE(" + sample + ",3)", 6.9},
                    {"=TRIMMEAN(" + sample + ",0.25)", 29.0 / 6},
                    {"=PERCENTRANK(" + sample + ",4)", 0.365},
                    {"=PERCENTRANK({1,2,3,4},2.5)", 0.5},
                    // Rounded to the significance, where other spreadsheets truncate (0.666).
                    {"=PERCENTRANK({1,2,3,4},3)", 0.667},
                    {"=PERCENTRANK({1,2,3,4},3,1)", 0.7},
                },
                1e-14);
  EXPECT_EQ(resultOf(sheet, "=PERCENTRANK({1,2,3,4},0.5)"), "#VALUE!");
  EXPECT_EQ(resultOf(sheet, "=RANK(2,{1,2,2,3})"), "3") << "ties take the rank of the last of them";
  EXPECT_EQ(resultOf(sheet, "=RANK(2,{3,2,1,2},1)"), "2");
  EXPECT_EQ(resultOf(sheet, "=RANK(2.5,{1,2,2,3})"), "#VALUE!");
}

// Expected values: numpy.cov, numpy.corrcoef, scipy.stats.linregress; the
// standard error of y from the residuals over n - 2.
TEST(StatisticsFunctions, TwoSeriesMeasures) {
  TSheet sheet;
  const std::string y = "{2.1,3.9,6.2,7.8,10.1,12.2}", x = "{1,2,3,4,5,6.5}";
  expectNumbers(sheet,
                {
                    {"=COVAR(" + x + "," + y + ")", 6.320833333333333},
                    {"=COVAR(" + x + "," + y + ",1)", 7.585},
                    {"=CORREL(" + x + "," + y + ")", 0.9974727735580002},
                    {"=PEARSON(" + x + "," + y + ")", 0.9974727735580002},
                    {"=RSQ(" + y + "," + x + ")", 0.9949519339894901},
                    {"=SLOPE(" + y + "," + x + ")", 1.8767010309278347},
                    {"=INTERCEPT(" + y + "," + x + ")", 0.3251546391752589},
                    {"=STEYX(" + y + "," + x + ")", 0.3004635593802744},
                    {"=FORECAST(8," + y + "," + x + ")", 15.338762886597937},
                },
                1e-13);
  // Unequal lengths: the fits say "#N/A", the correlations "#VALUE!".
  EXPECT_EQ(resultOf(sheet, "=SLOPE({1,2,3},{1,2,3,4})"), "#N/A");
  EXPECT_EQ(resultOf(sheet, "=FORECAST(1,{1,2,3},{1,2,3,4})"), "#N/A");
  EXPECT_EQ(resultOf(sheet, "=PEARSON({1,2,3},{1,2,3,4})"), "#VALUE!");
  EXPECT_EQ(resultOf(sheet, "=COVAR({1,2,3},{1,2,3,4})"), "#VALUE!");
}

// Expected values: scipy.stats (ttest_ind, ttest_rel, f.cdf, norm.sf,
// chi2.sf).
TEST(StatisticsFunctions, TestsOfSamplesAndTables) {
  TSheet sheet;
  const std::string a = "{3.1,4.2,5.5,2.8,4.9,3.7}", b = "{4,5.1,6.3,3.9,5.2,4.8,6.9}";
  const std::string after = "{3.4,4.1,6,3.3,5,4.4}";
  const std::string observed = "{{10,20,30},{30,40,25}}", expected = "{{12,18,28},{28,42,27}}";
  expectNumbers(sheet,
                {
                    {"=FTEST(" + a + "," + b + ")", 0.9095274052499425},
                    {"=TTEST(" + a + "," + b + ",2,2)", 0.08476007952069874},
                    {"=TTEST(" + a + "," + b + ",1,2)", 0.04238003976034937},
                    {"=TTEST(" + a + "," + b + ",2,3)", 0.08363331081124184},
                    {"=TTEST(" + a + "," + after + ",2,1)", 0.03920245127843636},
                    {"=ZTEST(" + sample + ",4)", 0.17148171283695274},
                    {"=ZTEST(" + sample + ",4,2.5)", 0.15094802854147776},
                    {"=CHI2(" + observed + "," + expected + ")", 1.0846560846560847},
                    // A table of two rows and three columns has two degrees of freedom ...
                    {"=CHITEST(" + observed + "," + expected + ")", 0.5813931677350908},
                    // ... a single row its length less one.
                    {"=CHITEST({10,20,30,40},{12,18,28,42})", 0.8509850694672885},
                },
                1e-9);
  EXPECT_EQ(resultOf(sheet, "=TTEST(" + a + "," + b + ",2)"), "#VALUE!");
  EXPECT_EQ(resultOf(sheet, "=TTEST(" + a + "," + b + ",2,1)"), "#VALUE!") << "paired samples differ in length";
  EXPECT_EQ(resultOf(sheet, "=CHI2({1,2,3},{{1},{2},{3}})"), "#VALUE!") << "shapes differ";
  EXPECT_EQ(resultOf(sheet, "=CHITEST({1,2,3},{1,2})"), "#VALUE!");
  // Dense: a text keeps its place as 0, so the pairs stay aligned.
  EXPECT_EQ(resultOf(sheet, "=CHI2({1,\"x\",3},{2,1,3})"), "1.5");
}

TEST(StatisticsFunctions, ProbabilityOfARange) {
  TSheet sheet;
  EXPECT_EQ(resultOf(sheet, "=PROB({1,2,3,4},{0.1,0.2,0.3,0.4},2,3)"), "0.5");
  EXPECT_EQ(resultOf(sheet, "=PROB({1,2,3,4},{0.1,0.2,0.3,0.4},3)"), "0.3");
  EXPECT_EQ(resultOf(sheet, "=PROB({1,2,3},{0.1,0.2,0.3,0.4},3)"), "#N/A");
  EXPECT_EQ(resultOf(sheet, "=PROB({1,2},{0.5,0.4},1)"), "#VALUE!") << "the probabilities do not sum to 1";
}

TEST(StatisticsFunctions, FrequencyCountsIntoBinsInTheirGivenOrder) {
  TSheet sheet;
  EXPECT_EQ(resultOf(sheet, "=FREQUENCY({5,10,15,25},{10,20})"), "3x1: 2 1 1");
  EXPECT_EQ(resultOf(sheet, "=FREQUENCY({1,2,3,4,5},{4,2})"), "3x1: 4 0 1");
}

// Expected values: numpy.linalg.lstsq on [1, x1, x2]; the standard errors
// from the diagonal of (A'A)^-1 times the residual variance over n - 3.
TEST(StatisticsFunctions, LinestLaysOutCoefficientsAndStatistics) {
  TSheet sheet;
  const std::string y = "{{5.1},{7.9},{9.2},{13.8},{14.1},{18.9}}";
  const std::string x = "{{1,2},{2,1},{3,4},{4,3},{5,6},{6,5}}";
  expectTable(tableOf(sheet, "=LINEST(" + y + "," + x + ")"), 1, 3, {-47.0 / 60, 197.0 / 60, 2.75}, 1e-13);
  expectTable(tableOf(sheet, "=LINEST(" + y + "," + x + ",1,1)"), 5, 3,
              {-47.0 / 60, 197.0 / 60, 2.75,                                 //
               0.2715268897399518, 0.27152688973995176, 0.6140522658415859,  //
               0.9903718986404274, 0.6359594676112975, empty,                //
               154.29395604395583, 3, empty,                                 //
               124.80666666666666, 1.213333333333335, empty},
              1e-12);
  // One column of y and no x: fitted against 1 ... n.
  EXPECT_EQ(resultOf(sheet, "=LINEST({{1},{3},{5}})"), "1x2: 2 -1");
  // Without a constant its standard error stays empty. R^2 is taken about
  // the mean here, where other spreadsheets use the uncentred sum.
  expectTable(tableOf(sheet, "=LINEST({{1},{3},{6}},{{0},{1},{2}},0,1)"), 5, 2,
              {3, 0, std::sqrt(0.1), empty, 1 - 3.0 / 38, std::sqrt(0.5), 70.0 / 3, 2, 35.0 / 3, 1}, 1e-13);
  // With four arguments a third that does not convert keeps the constant.
  EXPECT_EQ(resultOf(sheet, "=LINEST({{1},{3},{5}},{{0},{1},{2}},\"x\",0)"), "1x2: 2 1");
  EXPECT_EQ(resultOf(sheet, "=LINEST({{1},{3},{5}},5)"), "#VALUE!") << "two arguments need an x table";
  EXPECT_EQ(resultOf(sheet, "=LINEST({{1},{3},{5}},5,1)"), "1x2: 2 -1");
  EXPECT_EQ(resultOf(sheet, "=LINEST({{1},{3},{5}},{{0},{1}})"), "#VALUE!") << "x too short";
  EXPECT_EQ(resultOf(sheet, "=LINEST(5)"), "#VALUE!");
  // A perfect fit has no F: the whole call fails rather than show a part.
  EXPECT_EQ(resultOf(sheet, "=LINEST({{1},{3},{5}},{{0},{1},{2}},1,1)"), "#DIV/0!");
}

// Expected values: numpy.polyfit on ln y; the fits at new points from the
// numpy coefficients.
TEST(StatisticsFunctions, LogestTrendAndGrowth) {
  TSheet sheet;
  expectTable(tableOf(sheet, "=LOGEST({{3},{6.2},{11.9},{24.5},{49}})"), 1, 2, {2.0058220654588066, 1.5066320450820805},
              1e-13);
  expectTable(tableOf(sheet, "=GROWTH({{3},{6.2},{11.9},{24.5},{49}},{{1},{2},{3},{4},{5}},{{6},{7}})"), 2, 1,
              {98.12092362995496, 196.8131137001621}, 1e-12);
  expectTable(tableOf(sheet,
                      "=TREND({{5.1},{7.9},{9.2},{13.8},{14.1},{18.9}},{{1,2},{2,1},{3,4},{4,3},{5,6},{6,5}},"
                      "{{7,8},{8,7}})"),
              2, 1, {19.466666666666665, 23.533333333333328}, 1e-13);
  EXPECT_EQ(resultOf(sheet, "=TREND({{1},{3},{5}})"), "3x1: 1 3 5");
  EXPECT_EQ(resultOf(sheet, "=TREND({{1},{3},{5}},{{0},{1},{2}})"), "3x1: 1 3 5");
  EXPECT_EQ(resultOf(sheet, "=TREND({{1},{3},{5}},0,{{4},{5}})"), "2x1: 7 9") << "x defaults to 1 ... n";
  EXPECT_EQ(resultOf(sheet, "=TREND({{1},{3},{5}},{{0},{1},{2}},0,0)"), "3x1: 0 2.6 5.2")
      << "no constant: new x defaults to x";
  // A row of y takes the rows of x as its variables.
  EXPECT_EQ(resultOf(sheet, "=TREND({2,4,6},{1,2,3},{{4,5}})"), "2x1: 8 10");
  EXPECT_EQ(resultOf(sheet, "=TREND({{1},{3},{5}},{{0},{1},{2}},{{1,2}})"), "#VALUE!") << "new x has two columns";
  EXPECT_EQ(resultOf(sheet, "=TREND({{1},{3},{5}},{{0},{1},{2}},7)"), "#VALUE!") << "three arguments need new x";
  EXPECT_EQ(resultOf(sheet, "=TREND({{1},{3},{5}},{{0},{1},{2}},MAKEVECTOR(0),1)"), "#VALUE!");
}
