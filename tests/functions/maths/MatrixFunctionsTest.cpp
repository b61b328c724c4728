#include <gtest/gtest.h>

#include "tests/functions/FormulaResults.h"
#include "tests/sheet/SheetTestSupport.h"
#include "tests/support/ThreadTime.h"

// Expected values: numpy 1.24 (matmul, det, inv, solve) and hand products.
TEST(MatrixFunctions, ArithmeticBetweenArrays) {
  TSheet sheet;
  expectResults(sheet, {
                           {"=MMULT({{1.5,2,-1},{0.5,3,2}},{{1,4},{2,-1},{0.5,2}})", "2x2: 5 2 7.5 3"},
                           {"=MMULT({1,2},{{3},{4}})", "1x1: 11"},
                           {"=MMULT({{1,2,3},{4,5,6}},{{1,2,3},{4,5,6}})", "#VALUE!"},
                           {"=MMULT({1,\"x\"},{{2},{3}})", "1x1: 2"},  // a product with a text is left out
                           // * between two arrays is the matrix product, + and - work element-wise.
                           {"={{1,2},{3,4}}*{{5,6},{7,8}}", "2x2: 19 22 43 50"},
                           {"={{1,2},{3,4}}+{{5,6},{7,8}}", "2x2: 6 8 10 12"},
                           {"={{1,2},{3,4}}-{{5,6},{7,8}}", "2x2: -4 -4 -4 -4"},
                           {"=MSUM({1,\"x\"},{2,3})", "1x2: 3 3"},
                           {"=MSUB({1,2},{2,\"x\"})", "1x2: -1 2"},
                           {"=MSUM({1,2},{{1},{2}})", "#VALUE!"},
                           {"=SUMPRODUCT({1,2,3},{4,5,6})", "32"},
                           {"=SUMPRODUCT({{1,2},{3,4}},{5,6,7,8})", "70"},  // equal counts, any shape
                           {"=SUMPRODUCT({1,\"x\",3},{4,5,6})", "22"},
                           {"=SUMPRODUCT({1,2},MAKEVECTOR(0),{3,4})", "11"},
                           {"=SUMPRODUCT({1,2},{1,2,3})", "#VALUE!"},
                           {"=SUMPRODUCT({1,2},5)", "#VALUE!"},
                           {"=SUMX2MY2({1,2},{3,4})", "-20"},
                           {"=SUMX2PY2({1,2},{3,4})", "30"},
                           {"=SUMXMY2({1,\"x\"},{3,4})", "20"},
                           {"=SUMXMY2({1,2},{3,4,5})", "#VALUE!"},
                       });
  // A product too large for an array is refused, not allocated.
  EXPECT_EQ(resultOf(sheet, "=MMULT(MAKEVECTOR(5000),TRANSPOSE(MAKEVECTOR(5000)))"), "#VALUE!");
}

TEST(MatrixFunctions, DeterminantsInversesAndSystems) {
  TSheet sheet;
  expectResults(sheet, {
                           {"=MDETERM({{2,-1,0},{-1,2,-1},{0,-1,2}})", "4"},
                           {"=MDETERM({{0,1},{1,0}})", "-1"},
                           {"=MDETERM({{2,4},{1,2}})", "0"},
                           // A zero column meets a zero pivot inside the decomposition: a
                           // singular matrix still has the determinant 0 (not "#NUM!").
                           {"=MDETERM({{0,1},{0,2}})", "0"},
                           {"=MDETERM({{1,2,3},{4,5,6}})", "#VALUE!"},
                           {"=MINVERSE({{4,7},{2,6}})", "2x2: 0.6 -0.7 -0.2 0.4"},
                           {"=MINVERSE({{2,-1,0},{-1,2,-1},{0,-1,2}})", "3x3: 0.75 0.5 0.25 0.5 1 0.5 0.25 0.5 0.75"},
                           {"=MINVERSE({{2,4},{1,2}})", "#N/A"},
                           {"=MINVERSE({{0,1},{0,2}})", "#N/A"},
                           {"=MSOLVE({{3,2,-1},{2,-2,4},{-1,0.5,-1}},{{1},{-2},{0}})", "3x1: 1 -2 -2"},
                           {"=MSOLVE({{2,4},{1,2}},{{1},{2}})", "#N/A"},
                           {"=MSOLVE({{2,1},{1,3}},{{3,1},{5,1}})", "#VALUE!"},
                           {"=MSOLVE({{2,1},{1,3}},{{3},{5},{1}})", "#VALUE!"},
                       });
}

// Work that would block the window for more than about a second is refused
// before it starts; the largest orders below the bound still answer. The
// arguments alone are millions of elements, whose first touch of memory
// costs what the machine makes it cost: the refusals are timed against
// making the same arguments.
TEST(MatrixFunctions, WorkBeyondTheBoundIsRefusedAtOnce) {
  TSheet sheet;
  const auto argumentsStart = threadProcessorTime();
  for (int order = 0; order < 7; ++order) EXPECT_EQ(resultOf(sheet, "=ROWS(M1(1024))"), "1024");
  EXPECT_EQ(resultOf(sheet, "=ROWS(MMULT(MAKEVECTOR(20000),TRANSPOSE(MAKEVECTOR(200))))"), "20000");
  const double arguments = (threadProcessorTime() - argumentsStart).count();
  const auto start = threadProcessorTime();
  expectResults(sheet, {
                           {"=MINVERSE(M1(1024))", "#VALUE!"},
                           {"=MDETERM(M1(1024))", "#VALUE!"},
                           {"=MSOLVE(M1(1024),MAKEVECTOR(1024))", "#VALUE!"},
                           {"=MMULT(M1(1024),M1(1024))", "#VALUE!"},
                           {"=M1(1024)*M1(1024)", "#VALUE!"},
                           {"=LINEST(MAKEVECTOR(20000),MMULT(MAKEVECTOR(20000),TRANSPOSE(MAKEVECTOR(200))))",
                            "#VALUE!"},
                       });
  const double refusals = (threadProcessorTime() - start).count();
  EXPECT_LT(refusals, 2 * arguments + 0.5);
  EXPECT_EQ(resultOf(sheet, "=MDETERM(M1(200)*2)"), "1.60693804425899e+60");
  EXPECT_EQ(resultOf(sheet, "=ROWS(MINVERSE(M1(200)))"), "200");
}

TEST(MatrixFunctions, GeneratedArraysKeepWithinTheElementLimit) {
  TSheet sheet;
  expectResults(sheet, {
                           {"=M1(3)", "3x3: 1 0 0 0 1 0 0 0 1"},
                           {"=M1(0)", "#VALUE!"},
                           {"=M1(-3)", "#VALUE!"},
                           {"=M1(4097)", "#VALUE!"},   // 4097 x 4097 is just beyond the limit
                           {"=M1(50000)", "#VALUE!"},  // would wrap in 32 bits
                           {"=MAKEVECTOR(3,0,0.5)", "3x1: 0 0.5 1"},
                           {"=MAKEVECTOR(2)", "2x1: 1 2"},
                           {"=MAKEVECTOR(0)", "0x1:"},
                           {"=MAKEVECTOR(0,5)", "#VALUE!"},
                           {"=MAKEVECTOR(-1)", "#VALUE!"},
                           {"=MAKEVECTOR(1E9)", "#VALUE!"},
                           {"=MAKEVECTOR(1E10)", "#VALUE!"},
                       });
  enter(sheet, 2, 2, "=MAKEVECTOR(0)");
  EXPECT_NE(sheet.getCell(2, 2), nullptr) << "an empty array result leaves the cell standing";
}

TEST(MatrixFunctions, ReshapingLeavesTheSourceCellsAlone) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "2");
  enter(sheet, 1, 2, "3");
  enter(sheet, 2, 2, "4");
  enter(sheet, 1, 3, "5");
  enter(sheet, 2, 3, "6");
  expectResults(sheet, {
                           {"=TRANSPOSE({{1,2,3},{4,5,6}})", "3x2: 1 4 2 5 3 6"},
                           {"=TRANSPOSE({1,2,3})", "3x1: 1 2 3"},
                           {"=TRANSPOSE(5)", "#VALUE!"},
                           {"=TRANSPOSE(FLIPROWS(A1:B3))", "2x3: 5 3 1 6 4 2"},
                           {"=FLIPCOLS(A1:B3)", "3x2: 2 1 4 3 6 5"},
                           {"=SWAPCOLS({{1,2,3},{4,5,6}},1,3)", "2x3: 3 2 1 6 5 4"},
                           {"=SWAPCOLS({{1,2,3},{4,5,6}},2,2)", "2x3: 1 2 3 4 5 6"},
                           {"=SWAPROWS(A1:B3,3,1)", "3x2: 5 6 3 4 1 2"},
                           {"=SWAPROWS({{1,2,3},{4,5,6}},1,3)", "#VALUE!"},
                           {"=SWAPCOLS({{1,2,3},{4,5,6}},0,1)", "#VALUE!"},
                       });
  EXPECT_EQ(shown(sheet, 1, 1), "1");
  EXPECT_EQ(shown(sheet, 2, 3), "6");
}
