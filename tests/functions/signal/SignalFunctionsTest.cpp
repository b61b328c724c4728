#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "functions/signal/SignalFunctions.h"
#include "sheet/BuiltinDispatch.h"
#include "tests/functions/NumericTestSupport.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

constexpr double noNumber = std::numeric_limits<double>::quiet_NaN();
constexpr double pi = 3.14159265358979323846;

class SignalFunctions : public TClearsFaultFlags {
 protected:
  TSheet sheet;

  // The formula's result is an array of that shape holding, cell by cell,
  // the numbers within tolerance (noNumber: empty, or text kept).
  void expectArray(const std::string& formula, int rows, int columns, const std::vector<double>& expected,
                   double tolerance = 1e-14) {
    SCOPED_TRACE(formula);
    TRPNstackObject list(sheet.tokenFactory);
    std::uint8_t code = parseNotCompiled;
    sheet.compileFormula(formula, list, code);
    ASSERT_EQ(code, stateValid);
    ASSERT_EQ(cellStateText(sheet.evaluateTokenList(list, 30, 1, false)), cellStateText(stateValid));
    ASSERT_EQ(list.getItem(0)->value.kind, valueOwnedArray);
    const TArray& array = *list.getItem(0)->subArray();
    ASSERT_EQ(array.dimensions(), (std::vector<std::int32_t>{rows, columns}));
    for (std::size_t i = 0; i < expected.size() && i < array.elements().size(); ++i) {
      const TValueRecord& element = array.elements()[i];
      if (std::isnan(expected[i])) {
        EXPECT_NE(element.kind, valueNumber) << "element " << i;
      } else {
        EXPECT_EQ(element.kind, valueNumber) << "element " << i;
        EXPECT_NEAR(element.number, expected[i], tolerance * std::max(1.0, std::fabs(expected[i]))) << i;
      }
    }
  }

  void enterColumn(int col, const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) enter(sheet, col, static_cast<int>(i) + 1, texts[i]);
  }
};

}  // namespace

TEST_F(SignalFunctions, EveryIdOfTheFamilyHasItsRoutine) {
  for (int id = FunctionIdOf("MAKE_LOPASS"); id <= FunctionIdOf("MEMDOM"); ++id) {
    EXPECT_NE(builtinRoutines()[static_cast<std::size_t>(id)], nullptr) << builtInFunctionName(id);
  }
}

TEST_F(SignalFunctions, DesignsGiveOneRowOfFourPerSection) {
  expectArray("=MAKE_LOPASS(1,0.1)", 1, 4, {});
  expectArray("=MAKE_LOPASS(4,0.1)", 2, 4, {});
  expectArray("=MAKE_HIPASS(5,0.1)", 3, 4, {});
  expectArray("=MAKE_EMA(9)", 1, 4, {0.2, 0, 0.8, 0});
  // Frequency first, then radius: the closed form of the notch section.
  expectArray("=MAKE_NOTCH(0.1,0.9)", 1, 4, {0.9261803398874988, -1.4985912696499033, 1.4562305898749057, -0.81});
  expectArray("=MAKE_RESONATOR(0.1,2,10)", 1, 4, {});
  EXPECT_EQ(evaluated(sheet, "=MAKE_LOPASS(0,0.1)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=MAKE_LOPASS(1001,0.1)"), "#VALUE!") << "the design's order cap";
  EXPECT_EQ(evaluated(sheet, "=MAKE_EMA(-1)"), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "=MAKE_RESONATOR(0.1,1)"), "#VALUE!");
}

TEST_F(SignalFunctions, FiltersRunDownTheChosenColumnsOnly) {
  enterColumn(1, {"10", "20", "30", "40", "50"});
  enterColumn(2, {"3", "1", "4", "1", "5"});
  for (int row = 1; row <= 5; ++row) enter(sheet, 3, row, "text", 2);
  // scipy.signal.lfilter([0.2], [1, -0.8], [3, 1, 4, 1, 5]) in the middle column; text stays text.
  expectArray("=LOPASS(MAKE_EMA(9),1,A1:C5,2)", 5, 3,
              {10, 0.6, noNumber, 20, 0.68, noNumber, 30, 1.344, noNumber, 40, 1.2752, noNumber, 50, 2.02016,
               noNumber});
  // The gain scales the low-pass and, negated, the high-pass.
  expectArray("=LOPASS(MAKE_EMA(9),2,B1:B5)", 5, 1, {1.2, 1.36, 2.688, 2.5504, 4.04032});
  expectArray("=HIPASS(MAKE_EMA(9),2,B1:B5)", 5, 1, {-1.2, -1.36, -2.688, -2.5504, -4.04032});
  // A result handed on as data: the EMA applied twice (lfilter twice).
  expectArray("=LOPASS(MAKE_EMA(9),1,LOPASS(MAKE_EMA(9),1,B1:B5))", 5, 1, {0.12, 0.232, 0.4544, 0.61856, 0.89888});
  // In a filtered column text counts as 0 and comes back as a number.
  expectArray("=LOPASS({1,0,0,0},1,B1:C2,1,2)", 2, 2, {3, 0, 1, 0});
  for (const char* formula : {"=LOPASS(MAKE_EMA(9),1,A1:C5,0)", "=LOPASS(MAKE_EMA(9),1,A1:C5,4)",
                              "=LOPASS(MAKE_EMA(9),1,A1:C5,3,2)", "=LOPASS(MAKE_EMA(9),1)",
                              "=LOPASS(0.2,1,A1:C5)", "=LOPASS(MAKE_EMA(9),1,7)", "=LOPASS({1,2,0.5},3,A1:A5)"}) {
    EXPECT_EQ(evaluated(sheet, formula), "#VALUE!") << formula;
  }
}

TEST_F(SignalFunctions, NotchResonatorAndConvolutionMatchScipy) {
  enterColumn(1, {"3", "1", "4", "1", "5"});
  // scipy.signal.lfilter([c0, c1, c0], [1, -c2, -c3], x) with MAKE_NOTCH(0.1, 0.9); the gain is not used.
  expectArray("=NOTCH(MAKE_NOTCH(0.1,0.9),7,A1:A5)", 5, 1,
              {2.7785410196624962, 0.47660295899252847, 3.4280966917457816, 0.4640464719606088, 4.736032136616069});
  // lfilter([1], [1, -0.5, 0.25], x): the second coefficient is not used.
  expectArray("=RESONATE({1,9,0.5,-0.25},7,A1:A5)", 5, 1, {3, 2.5, 4.5, 2.625, 5.1875});
  // 3 * numpy.convolve([1, 2, 0.5], x)[:5]: a kernel of any shape.
  expectArray("=CONVOLVE({1,2,0.5},3,A1:A5)", 5, 1, {9, 21, 22.5, 28.5, 27});
}

TEST_F(SignalFunctions, ResampleAndWindows) {
  enterColumn(1, {"1", "4", "9"});
  // Odd rows: the four-point Lagrange cubic at the half positions, zeros outside the series.
  expectArray("=RESAMPLE(2,A1:A3)", 6, 1, {1, 2.25, 4, 7.25, 9, 4.8125});
  EXPECT_EQ(evaluated(sheet, "=RESAMPLE(0,A1:A3)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=RESAMPLE(1E9,A1:A3)"), "#VALUE!") << "beyond the element limit";
  EXPECT_EQ(evaluated(sheet, "=RESAMPLE(0.1,A1:A3)"), "#VALUE!") << "no value left";

  // numpy.hanning(8); single weights count their positions from 1.
  expectArray("=HANNING(8)", 1, 8,
              {0, 0.1882550990706333, 0.6112604669781573, 0.9504844339512095, 0.9504844339512095, 0.6112604669781573,
               0.1882550990706333, 0});
  EXPECT_EQ(evaluated(sheet, "=HANNING(8,2)"), "0.188255099070633");
  EXPECT_EQ(evaluated(sheet, "=HAMMING(7,4)"), "1");
  EXPECT_EQ(evaluated(sheet, "=TRIANGLE(5,2)"), "0.5");
  EXPECT_EQ(evaluated(sheet, "=HANNING(8,-2147483648)"), "0");
  EXPECT_EQ(evaluated(sheet, "=HAMMING(1)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=HAMMING(1,1)"), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "=HANNING(1E9)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=HANNING(8,1,1)"), "#VALUE!");
}

TEST_F(SignalFunctions, FourierRowsPerBinUpToHalfTheLength) {
  enterColumn(1, {"3", "1", "4", "1", "5"});
  // numpy.fft.rfft([3, 1, 4, 1, 5, 0, 0, 0]) / 8, with numpy.abs and numpy.angle.
  expectArray("=FFTC(A1:A5)", 5, 3,
              {1.75, 0, 0, -0.25, -0.6767766952966369, pi / 4, 0.5, 0, pi / 2, -0.25, 0.32322330470336313, 3 * pi / 4,
               1.25, 0, pi});
  expectArray("=FFTP(A1:A5)", 5, 3,
              {1.75, 0, 0, 0.7214753601451936, -1.9246466871468733, pi / 4, 0.5, 0, pi / 2, 0.40862367124698384,
               2.229142977894254, 3 * pi / 4, 1.25, 0, pi});
  expectArray("=FFTP(-3)", 1, 3, {3, pi, 0});
  EXPECT_EQ(evaluated(sheet, "=FFTC(\"a\")"), "#VALUE!") << "no numbers, no spectrum";
  EXPECT_EQ(evaluated(sheet, "=FFTP(B1:B3)"), "#VALUE!");
}

TEST_F(SignalFunctions, MaximumEntropyCoefficientsAndSpectra) {
  enterColumn(1, {"3", "1", "4", "1", "5"});
  // Element 0 is the prediction error's mean square: for (1, 2), 2.5 * (1 - 0.8^2).
  expectArray("=MEM({1,2},1)", 1, 2, {0.9, 0.8});
  // Order 10 on 5 values is order 4; textbook Burg lattice (numpy).
  expectArray("=MEM(A1:A5,10)", 1, 5,
              {0.04057363669487872, 0.017039085012244663, 1.892644478658993, 0.015914751856554867, -0.965750789947066},
              1e-12);
  EXPECT_EQ(evaluated(sheet, "=MEM(A1:A5,0)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=MEM(7,3)"), "#VALUE!") << "one value leaves no order";

  // S(f) = 0.9 / |1 - 0.8 e^(-2 pi i f)|^2: 22.5, 0.9 / 1.64, 0.9 / 3.24 at 0, 0.25, 0.5.
  expectArray("=MEMF({0.9,0.8},1,0,0.25,3)", 3, 2, {45, 0, 1.8 / 1.64, 0.25, 1.8 / 3.24, 0.5});
  expectArray("=MEMF({0.9,0.8},0,0.25)", 1, 2, {std::sqrt(1.8 / 1.64), 0.25});
  // Period 0 stands for frequency 1 (outside the band) and has no period cell.
  expectArray("=MEMP({0.9,0.8},1,0,2,2)", 2, 2, {0, noNumber, 1.8 / 3.24, 2});
  expectArray("=MEMDOM({0.9,0.8},1,0,0.25,3)", 1, 3, {0, 45, 135 / (45 + 1.8 / 1.64 + 1.8 / 3.24)});
  // A flat spectrum peaks at its first frequency; a zero one has no mean to divide by.
  expectArray("=MEMDOM({1,0},1,0.1,0.1,4)", 1, 3, {0.1, 2, 1});
  expectArray("=MEMDOM({0.9,0.8},1,0.6)", 1, 3, {0.6, 0, noNumber});
  EXPECT_EQ(evaluated(sheet, "=MEMF({0.9,0.8},1,0,0.25,0)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=MEMF({0.9,0.8},1,0,0.25,1E9)"), "#VALUE!") << "beyond the element limit";
  EXPECT_EQ(evaluated(sheet, "=MEMF({-0.9,0.8},0,0.25)"), "#NUM!") << "no root of a negative power";
}

TEST_F(SignalFunctions, QuadraticWorkIsBoundedBeforeItStarts) {
  enter(sheet, 1, 5001, "1");
  // Kernel values by data cells, series length by order, points by
  // coefficients: each just above the bound fails at once.
  static_assert(20000LL * 5001 > maxSignalWork && 20001LL * 5000 > maxSignalWork && 1000LL * 100001 > maxSignalWork);
  EXPECT_EQ(evaluated(sheet, "=CONVOLVE(RECTANGLE(20000),1,A1:A5001)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=MEM(RECTANGLE(20001),5000)"), "#VALUE!");
  EXPECT_EQ(evaluated(sheet, "=MEMF(RECTANGLE(1000),1,0,0.000001,100001)"), "#VALUE!");
  // Linear filters count sections, not coefficients.
  expectArray("=LOPASS(MAKE_LOPASS(4,0.1),1,A1:A5001)", 5001, 1, {0});
}
