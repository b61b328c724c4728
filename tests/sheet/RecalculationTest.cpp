#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tests/sheet/SheetTestSupport.h"
#include "tests/support/ThreadTime.h"
#include "tests/support/TestScriptEngine.h"

TEST(Recalculation, ChangesReachDirectAndIndirectDependents) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "=A1+1");
  enter(sheet, 2, 1, "=A2*10");
  enter(sheet, 2, 2, "=A1+B1");
  enter(sheet, 1, 1, "5");
  EXPECT_EQ(shown(sheet, 1, 2), "6");
  EXPECT_EQ(shown(sheet, 2, 1), "60");
  EXPECT_EQ(shown(sheet, 2, 2), "65");
}

TEST(Recalculation, AFreshlyEnteredArrayFormulaFollowsWhatItReads) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "2");
  enter(sheet, 3, 1, "=A1:B1");
  EXPECT_EQ(shown(sheet, 3, 1), "1");
  enter(sheet, 1, 1, "7");
  EXPECT_EQ(shown(sheet, 3, 1), "7");
}

TEST(Recalculation, CriteriaEvaluatedInsideAFormulaLeaveItsCellAndLinksAlone) {
  TSheet sheet;
  sheet.stopAtFirstError = false;
  enter(sheet, 1, 1, "5");
  enter(sheet, 1, 2, "6");
  enter(sheet, 1, 3, "5");
  // The criterion text is itself a formula giving an array: it is read for
  // its first element and must not spill over the cells around C1.
  enter(sheet, 3, 1, "=(A3*1)+COUNTIF(A1:A3,\"A1:A2\")");
  EXPECT_EQ(shown(sheet, 3, 1), "7");
  EXPECT_EQ(sheet.getCell(3, 2), nullptr);
  // The link to A3, recorded before the criterion was evaluated, survives.
  enter(sheet, 1, 3, "1");
  EXPECT_EQ(shown(sheet, 3, 1), "2");
}

TEST(Recalculation, FarReferencesCostMemoryByTheirLinksOnly) {
  // Each was valid and took hundreds of megabytes when the links were held
  // in a table as long as the farthest row read.
  TSheet sheet;
  enter(sheet, 1, 1, "=A100000000");
  enter(sheet, 1, 2, "=OFFSET(A1,99999999,0)+A16000000");
  enter(sheet, 1, 3, "=COUNTIF(A1:A2,\"ZZZZ9999999\")");
  sheet.recalculateAll(true);
  EXPECT_LE(sheet.dependents.pageCount(), 8u);
  EXPECT_EQ(sheet.dependents.getDependents({0, 99999999}), (std::vector<TCellCoord>{{0, 0}, {0, 1}}));
  for (int row = 1; row <= 3; ++row) enter(sheet, 1, row, "", 2);
  EXPECT_EQ(sheet.dependents.pageCount(), 0u);
}

TEST(Recalculation, ARowSummedToTheLastColumnIsQuickAndLeavesNothingBehind) {
  TSheet sheet;
  enter(sheet, 3, 12, "4");
  const auto started = threadProcessorTime();
  enter(sheet, 1, 1, "=SUM(A12:ZZZZZ12)");
  EXPECT_EQ(shown(sheet, 1, 1), "4");
  enter(sheet, 3, 12, "5");
  EXPECT_EQ(shown(sheet, 1, 1), "5");
  enter(sheet, 1, 1, "", 2);
  EXPECT_LT(threadProcessorTime() - started, std::chrono::seconds(1));
  EXPECT_EQ(sheet.dependents.storedRangeCount(), 0u);
  EXPECT_EQ(sheet.dependents.pageCount(), 0u);
}

TEST(Recalculation, ManualModeMarksEveryDependentNotComputed) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "=A1*0");
  enter(sheet, 1, 3, "=A2+1");
  sheet.autoRecalculate = false;
  enter(sheet, 1, 1, "2");
  EXPECT_EQ(shown(sheet, 1, 2), "#N/A") << "even though its value would not change";
  EXPECT_EQ(shown(sheet, 1, 3), "#N/A");
  sheet.recalculateAll(false);
  EXPECT_EQ(shown(sheet, 1, 3), "1");
  EXPECT_FALSE(sheet.autoRecalculate);
}

TEST(Recalculation, ManualModeMarksAWebOfFormulasOnce) {
  // Each row reads both cells of the row above: 2^60 paths lead from A1 to
  // the last row, and each place must be reached in reasonable time.
  constexpr int rows = 60;
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "=A1");
  for (int r = 2; r <= rows; ++r) {
    std::string above = std::to_string(r - 1);
    enter(sheet, 1, r, "=A" + above + "+B" + above);
    enter(sheet, 2, r, "=A" + above + "-B" + above);
  }
  enter(sheet, 3, 1, "=9");
  sheet.getCell(3, 1)->state = errCirc;  // left in "#CIRC!" by an earlier cycle
  sheet.noteCircularCell(3, 1);
  sheet.autoRecalculate = false;
  enter(sheet, 2, 1, "=A1*0");
  for (int r = 1; r <= rows; ++r) {
    EXPECT_EQ(sheet.getCell(1, r)->state, r == 1 ? stateValid : errNA) << r;
    EXPECT_EQ(sheet.getCell(2, r)->state, errNA) << r;
  }
  EXPECT_EQ(sheet.getCell(3, 1)->state, errNA) << "the cycle's cell is looked at again";
  sheet.recalculateAll(false);
  EXPECT_EQ(sheet.getCellNumber(1, rows), 536870912.0) << "2^29: each second row doubles";
  EXPECT_EQ(sheet.getCellNumber(2, rows), 536870912.0);
}

TEST(Recalculation, FormulasThatReadLaterPlacesFollowThem) {
  // Read as one place, and through a rectangle large enough to be filed
  // once for its readers.
  for (const char* reader : {"=B5*2", "=SUM(B5:C40)*2"}) {
    TSheet sheet;
    enter(sheet, 1, 1, reader);
    enter(sheet, 2, 5, "=D1+1");
    enter(sheet, 4, 1, "4");
    sheet.markAllDirty();
    sheet.recalculateAll(true);
    EXPECT_EQ(shown(sheet, 1, 1), "10") << reader;
    EXPECT_EQ(sheet.dependents.storedRangeCount(), reader[1] == 'S' ? 1u : 0u) << reader;
  }
}

TEST(Recalculation, ReadersOfLargeRangesFollowChangesAndCloseNoCycle) {
  // Running sums from the top: the long ones are read as whole rectangles.
  TSheet sheet;
  constexpr int rows = 40;
  for (int row = 1; row <= rows; ++row) {
    enter(sheet, 1, row, std::to_string(row));
    enter(sheet, 2, row, "=SUM($A$1:A" + std::to_string(row) + ")");
  }
  enter(sheet, 3, 1, "=SUM(A1:B40)");
  enter(sheet, 1, 35, "0");
  EXPECT_EQ(sheet.getCellNumber(2, 40), 785);
  EXPECT_EQ(sheet.getCellNumber(2, 34), 595);
  EXPECT_EQ(sheet.getCellNumber(3, 1), 12055);
  enter(sheet, 1, 38, "=B40");
  EXPECT_EQ(shown(sheet, 1, 38), "#CIRC!");
  enter(sheet, 1, 38, "1");
  EXPECT_EQ(sheet.getCellNumber(2, 40), 748);
  enter(sheet, 2, 36, "");
  enter(sheet, 1, 1, "2");
  EXPECT_EQ(sheet.getCellNumber(2, 40), 749);
  const std::vector<TCellCoord> readers = sheet.dependents.getDependents({0, 0});
  EXPECT_EQ(readers.size(), static_cast<std::size_t>(rows)) << "B1:B40 but B36, and C1";
  EXPECT_EQ(std::count(readers.begin(), readers.end(), TCellCoord{1, 35}), 0);
}

// A rate read by three columns of formulas entered row by row: its readers
// outgrow one array and are kept in blocks, which every change must still
// reach, each once.
TEST(Recalculation, ARateReadByThousandsReachesEachOfThemAfterEntriesAndClearsAnywhere) {
  TSheet sheet;
  constexpr int rows = 1500;
  enter(sheet, 8, 1, "2");
  for (int row = 1; row <= 10; ++row) enter(sheet, 9, row, std::to_string(row));
  for (int row = 1; row <= rows; ++row) {
    const std::string r = std::to_string(row);
    enter(sheet, 1, row, r);
    enter(sheet, 2, row, "=A" + r + "*$H$1");
    enter(sheet, 3, row, "=B" + r + "+$H$1");
    enter(sheet, 4, row, "=VLOOKUP($H$1,$I$1:$I$10,1)+A" + r);
  }
  // The middle column cleared from the top: its readers lie between the
  // other two columns' in the rate's list.
  for (int row = 1; row <= rows / 2; ++row) enter(sheet, 3, row, "");
  enter(sheet, 8, 1, "3");
  EXPECT_EQ(sheet.getCellNumber(2, rows), 3.0 * rows);
  EXPECT_EQ(sheet.getCellNumber(2, 1), 3);
  EXPECT_EQ(sheet.getCellNumber(3, rows), 3.0 * rows + 3);
  EXPECT_EQ(sheet.getCellNumber(3, rows / 2 + 1), 3.0 * (rows / 2 + 1) + 3);
  EXPECT_FALSE(sheet.dependents.hasLink({2, rows / 2 - 1}, {7, 0}));
  EXPECT_EQ(sheet.getCellNumber(4, 700), 703);
  enter(sheet, 8, 1, "25");
  EXPECT_EQ(sheet.getCellNumber(4, 700), 710);
  EXPECT_EQ(sheet.getCellNumber(3, rows), 25.0 * rows + 25);
  EXPECT_EQ(sheet.getCellNumber(3, rows / 2 + 1), 25.0 * (rows / 2 + 1) + 25);
  EXPECT_EQ(sheet.dependents.getDependents({7, 0}).size(), static_cast<std::size_t>(rows + rows / 2 + rows));
  // A full pass that records every link again fills the blocks in order.
  sheet.recalculateAll(true);
  EXPECT_EQ(sheet.dependents.getDependents({7, 0}).size(), static_cast<std::size_t>(rows + rows / 2 + rows));
  enter(sheet, 8, 1, "4");
  EXPECT_EQ(sheet.getCellNumber(3, rows), 4.0 * rows + 4);
  EXPECT_EQ(sheet.getCellNumber(4, rows), 4.0 + rows);
}

TEST(Recalculation, ACellReadingItselfIsCircular) {
  TSheet sheet;
  enter(sheet, 1, 1, "=A1+1");
  EXPECT_EQ(shown(sheet, 1, 1), "#CIRC!");
  enter(sheet, 1, 2, "=A2:A3");
  EXPECT_EQ(shown(sheet, 1, 2), "#CIRC!") << "a range around the cell";
}

TEST(Recalculation, CircularCellsRecoverWhenTheCycleIsBroken) {
  TSheet sheet;
  enter(sheet, 1, 1, "=B1+1");
  enter(sheet, 2, 1, "=C1");
  enter(sheet, 3, 1, "=A1");
  EXPECT_EQ(shown(sheet, 3, 1), "#CIRC!");
  enter(sheet, 3, 1, "7");
  EXPECT_EQ(shown(sheet, 2, 1), "7");
  EXPECT_EQ(shown(sheet, 1, 1), "8") << "no full recalculation needed";
}

TEST(Recalculation, OldLinksGoWithTheFormulaThatMadeThem) {
  // With the links of B1's first formula kept, A1 reading B1 looked like a
  // cycle.
  TSheet sheet;
  enter(sheet, 2, 1, "=A1");
  enter(sheet, 2, 1, "=5");
  enter(sheet, 1, 1, "=B1");
  EXPECT_EQ(shown(sheet, 1, 1), "5");
  enter(sheet, 3, 1, "=D1");
  enter(sheet, 3, 1, "9");
  enter(sheet, 4, 1, "=C1");
  EXPECT_EQ(shown(sheet, 4, 1), "9");
  sheet.putCell(4, 1, nullptr);
  enter(sheet, 3, 1, "=D1");
  EXPECT_EQ(shown(sheet, 3, 1), "#N/A") << "D1 is gone: nothing to read, no cycle";
}

TEST(Recalculation, AFormulaClearedElsewhereDropsItsLinks) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "=A1+1");
  sheet.currentCol = 1;
  sheet.currentRow = 2;
  sheet.setCurrentCellNumber(3);
  EXPECT_TRUE(sheet.dependents.getDependents({0, 0}).empty());
  enter(sheet, 1, 1, "2");
  EXPECT_EQ(shown(sheet, 1, 2), "3") << "a plain value now";
}

TEST(Recalculation, LongChainsNeedNoDeepStack) {
  TSheet sheet;
  constexpr int rows = 100000;
  enter(sheet, 1, 1, "0");
  for (int row = 2; row <= rows; ++row) enter(sheet, 1, row, "=A" + std::to_string(row - 1) + "+1");
  enter(sheet, 1, 1, "1");
  EXPECT_EQ(sheet.getCellNumber(1, rows), rows);
}

TEST(Recalculation, DiamondsOfDependentsStayCheap) {
  // Each row reads the two above: the number of paths doubles per row.
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "1");
  for (int row = 3; row <= 40; ++row) {
    enter(sheet, 1, row, "=A" + std::to_string(row - 1) + "+A" + std::to_string(row - 2));
  }
  EXPECT_EQ(sheet.getCellNumber(1, 40), 102334155.0);
  enter(sheet, 1, 1, "=A40");
  EXPECT_EQ(shown(sheet, 1, 1), "#CIRC!");
  EXPECT_TRUE(sheet.dependents.isReachable({0, 1}, {0, 39}));
}

TEST(Recalculation, WithoutStopAtFirstErrorEveryReferenceIsRecorded) {
  TSheet sheet;
  enter(sheet, 1, 1, "2");
  sheet.stopAtFirstError = false;
  enter(sheet, 2, 1, "=1/0+A1");
  EXPECT_EQ(shown(sheet, 2, 1), "#DIV/0!");
  EXPECT_EQ(sheet.dependents.getDependents({0, 0}).size(), 1u);
  sheet.stopAtFirstError = true;
  enter(sheet, 3, 1, "=1/0+A1");
  EXPECT_EQ(sheet.dependents.getDependents({0, 0}).size(), 1u) << "the walk stopped before A1";
}

TEST(Recalculation, SetCellContentKeepsStringCellsAndChoosesNumberCells) {
  TSheet sheet;
  enter(sheet, 1, 1, "12.5", 0);
  EXPECT_EQ(sheet.getCell(1, 1)->cellType(), 1);
  enter(sheet, 2, 1, "text", 0);
  enter(sheet, 2, 1, "42", 0);
  EXPECT_EQ(sheet.getCell(2, 1)->cellType(), 2);
  enter(sheet, 2, 1, "=A1*2", 5);
  EXPECT_EQ(sheet.getCell(2, 1)->cellType(), 5);
  EXPECT_EQ(shown(sheet, 2, 1), "25");
  sheet.getCell(2, 1)->locked = true;
  enter(sheet, 2, 1, "1", 5);
  EXPECT_EQ(shown(sheet, 2, 1), "25") << "locked";
}

namespace {

std::vector<std::string> shownGrid(const TSheet& sheet, int cols, int rows) {
  std::vector<std::string> texts;
  for (int col = 1; col <= cols; ++col) {
    for (int row = 1; row <= rows; ++row) texts.push_back(shown(sheet, col, row));
  }
  return texts;
}

}  // namespace

TEST(Recalculation, AFullPassComputesEachFormulaOnceWithTheResultsOfChanges) {
  TTestScriptEngine script(L"JScript", L"var calls = 0; function seen(x) { ++calls; return x; }"
                                       L"function callCount() { return calls; }");
  TSheet sheet;
  sheet.setScriptEngine(script.get(), false);
  constexpr int rows = 10;
  // A running sum: its head's change reaches the whole chain before the
  // walk does.
  for (int row = 1; row <= rows; ++row) {
    std::string r = std::to_string(row);
    enter(sheet, 1, row, r);
    enter(sheet, 2, row, row == 1 ? "=seen(A1)" : "=seen(B" + std::to_string(row - 1) + "+A" + r + ")");
  }
  enter(sheet, 3, 1, "=seen(B10*2)");
  sheet.markAllDirty();
  std::string before = evaluated(sheet, "=callCount()");
  sheet.recalculateAll(false);
  EXPECT_EQ(std::stoi(evaluated(sheet, "=callCount()")) - std::stoi(before), rows + 1);
  EXPECT_EQ(shown(sheet, 3, 1), "110");
  sheet.setScriptEngine(nullptr, false);
}

TEST(Recalculation, AFullPassComputesAReaderAfterTheFormulaItReadsFurtherOn) {
  TTestScriptEngine script(L"JScript", L"var calls = 0; function seen(x) { ++calls; return x; }"
                                       L"function callCount() { return calls; }");
  TSheet sheet;
  sheet.setScriptEngine(script.get(), false);
  constexpr int rows = 10;
  // A running sum over a column of formulas: a change of the sum's head
  // reaches the next sum before the walk has computed what it adds.
  for (int row = 1; row <= rows; ++row) {
    std::string r = std::to_string(row);
    enter(sheet, 1, row, r);
    enter(sheet, 2, row, "=seen(A" + r + "*2)");
    enter(sheet, 3, row, row == 1 ? "=seen(B1)" : "=seen(C" + std::to_string(row - 1) + ")+seen(B" + r + ")");
  }
  sheet.markAllDirty();
  std::string before = evaluated(sheet, "=callCount()");
  sheet.recalculateAll(false);
  EXPECT_EQ(std::stoi(evaluated(sheet, "=callCount()")) - std::stoi(before), rows + 2 * rows - 1);
  EXPECT_EQ(shown(sheet, 3, rows), "110");
  sheet.markAllDirty();
  sheet.recalculateAll(true);
  EXPECT_EQ(shown(sheet, 3, rows), "110");
  sheet.setScriptEngine(nullptr, false);
}

TEST(Recalculation, AFullPassDropsLinksLeftByPlacesWithoutAFormula) {
  // Links as places would keep them that lost their formulas unseen: D1
  // empty and E1 a plain value, both further on than the B1 they read.
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "=A1+1");
  enter(sheet, 3, 1, "=B1*2");
  enter(sheet, 5, 1, "7");
  sheet.dependents.addDependent({3, 0}, {1, 0});
  sheet.dependents.addDependent({4, 0}, {1, 0});
  sheet.markAllDirty();
  sheet.recalculateAll(false);
  const std::vector<TCellCoord> readers{{2, 0}};
  EXPECT_EQ(sheet.dependents.getDependents({1, 0}), readers);
  EXPECT_EQ(shown(sheet, 3, 1), "4");
}

TEST(Recalculation, FullPassesGiveWhatTheChangesGave) {
  TSheet sheet;
  sheet.expandVectorResults = true;
  enter(sheet, 1, 1, "=C1*2");  // reads a place the walk reaches later
  enter(sheet, 2, 1, "5");
  enter(sheet, 3, 1, "=B1+1");
  enter(sheet, 1, 2, "=B1*A1");  // a diamond over B1
  enter(sheet, 4, 1, "=E1+1");  // a cycle
  enter(sheet, 5, 1, "=D1");
  enter(sheet, 6, 1, "={{1,2},{3,4}}");  // spills over F1:G2
  enter(sheet, 8, 1, "=G2*10+A2");
  enter(sheet, 1, 3, "=H1-1");
  std::vector<std::string> entered = shownGrid(sheet, 8, 3);
  EXPECT_EQ(entered[0], "12");
  EXPECT_EQ(entered[2], "99");
  EXPECT_EQ(entered[3 * 3 + 0], "#N/A") << "D1 reads E1 in error";
  EXPECT_EQ(entered[4 * 3 + 0], "#CIRC!");
  sheet.markAllDirty();
  sheet.recalculateAll(false);
  EXPECT_EQ(shownGrid(sheet, 8, 3), entered);
  sheet.markAllDirty();
  sheet.recalculateAll(true);
  EXPECT_EQ(shownGrid(sheet, 8, 3), entered);
}

// A formula that reads the same places at every evaluation records its links
// once and then reads without recording them, until a link goes anywhere.
TEST(Recalculation, FormulasThatNoLongerRecordFindTheirLinksAgainAfterAnyGo) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "=IF(A1>0,A1+1,A1)");
  enter(sheet, 1, 5, "5");
  enter(sheet, 3, 5, "=ROUND(A5*2,1)");
  sheet.recalculateAll(true);
  enter(sheet, 1, 1, "2");
  EXPECT_EQ(shown(sheet, 2, 1), "3") << "the lists rebuilt by a full pass";
  // Every link goes with the exchange, those of the formulas left in place
  // too.
  ASSERT_TRUE(sheet.exchangeRows(1, 2));
  enter(sheet, 1, 5, "6");
  EXPECT_EQ(shown(sheet, 3, 5), "12") << "the lists rebuilt after an exchange of rows";
  sheet.dependents.removeDependent({2, 4}, {0, 4});
  sheet.recalculateAll(false);
  enter(sheet, 1, 5, "7");
  EXPECT_EQ(shown(sheet, 3, 5), "14") << "one link dropped and recorded again";
}

TEST(Recalculation, ANewFormulaOrACopyRecordsItsOwnLinks) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  // The old formula read nothing, so no link went with it.
  enter(sheet, 2, 1, "=1+2");
  enter(sheet, 2, 1, "=A1*2");
  enter(sheet, 1, 1, "4");
  EXPECT_EQ(shown(sheet, 2, 1), "8");
  sheet.putCell(2, 3, sheet.getCell(2, 1)->clone());
  sheet.recalculateAll(false);
  enter(sheet, 1, 1, "5");
  EXPECT_EQ(shown(sheet, 2, 3), "10");
}

TEST(Recalculation, FormulasThatMayReadOtherPlacesOrStoppedEarlyRecordAgain) {
  TSheet sheet;
  // IF reads one branch: the other is recorded when it is taken.
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 1, "10");
  enter(sheet, 3, 1, "20");
  enter(sheet, 4, 1, "=IF(A1>0,B1,C1)");
  enter(sheet, 1, 1, "-1");
  enter(sheet, 3, 1, "30");
  EXPECT_EQ(shown(sheet, 4, 1), "30");
  // OFFSET reads a place its arguments pick.
  enter(sheet, 5, 2, "0");
  enter(sheet, 5, 1, "=OFFSET(A1,0,E2)");
  EXPECT_EQ(shown(sheet, 5, 1), "-1");
  enter(sheet, 5, 2, "2");
  enter(sheet, 3, 1, "40");
  EXPECT_EQ(shown(sheet, 5, 1), "40");
  // Stopped at B2's error before reading A2.
  enter(sheet, 1, 2, "1");
  enter(sheet, 2, 2, "=1/0");
  enter(sheet, 3, 2, "2");
  enter(sheet, 4, 2, "=A2+B2*C2");
  EXPECT_EQ(shown(sheet, 4, 2), "#VALUE!");
  enter(sheet, 2, 2, "3");
  enter(sheet, 1, 2, "10");
  EXPECT_EQ(shown(sheet, 4, 2), "16");
  // Evaluated while the sheet recorded nothing.
  enter(sheet, 1, 3, "3");
  sheet.recordDependents = false;
  enter(sheet, 2, 3, "=A3+1");
  sheet.recordDependents = true;
  sheet.recalculateAll(false);
  enter(sheet, 1, 3, "4");
  EXPECT_EQ(shown(sheet, 2, 3), "5");
  // Filled down from a formula whose branch reads a place read elsewhere
  // too, the copy's branch reads one that is not.
  enter(sheet, 6, 4, "5");
  enter(sheet, 7, 4, "=IF(F4>0,F4,0)");
  enter(sheet, 6, 5, "0");
  enter(sheet, 7, 5, "=IF(F5>0,F4,0)");
  enter(sheet, 6, 5, "1");
  enter(sheet, 6, 4, "7");
  EXPECT_EQ(shown(sheet, 7, 5), "7");
}
