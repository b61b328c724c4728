// The financial, cash-flow and calendar built-ins timed through formulas:
// each function in 1,000 cells, then at its step cap; a sheet of 10,000
// mixed financial formulas recalculated in full; XIRR and XNPV over 10,000
// dated flows in cells; WORKDAY over 100,000 days with 500 holidays in a
// range. Run under Wine: tools/wine-run build/bench/FinanceFunctionsBench.exe
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

// 15 Feb 2024 to 15 Nov 2031 for the bonds, 31 Mar to 1 Jun 2024 for the bills.
const std::vector<std::string> ordinaryFormulas = {
    "=1+2",  // the frame alone, for comparison
    "=DAYS360(45322,45382)",
    "=YEARFRAC(45108,45352,1)",
    "=COUPNUM(45337,48167,2,1)",
    "=COUPDAYBS(45337,48167,2,1)",
    "=ACCRINT(39508,39691,39569,0.1,1000,2,0)",
    "=ACCRINTM(39508,39569,0.1)",
    "=DISC(45337,45427,97.975,100,2)",
    "=INTRATE(45337,45427,1000000,1014420,2)",
    "=RECEIVED(45337,45427,1000000,0.0575,2)",
    "=PRICEDISC(45337,45427,0.0525,100,2)",
    "=PRICEMAT(45337,45427,45245,0.061,0.061,2)",
    "=PRICE(45337,48167,0.0575,0.065,100,2)",
    "=YIELD(45337,48167,0.0575,95.04287,100,2)",
    "=DURATION(45337,48167,0.08,0.09,2,1)",
    "=MDURATION(45337,48167,0.08,0.09,2,1)",
    "=TBILLEQ(45382,45444,0.0914)",
    "=TBILLPRICE(45382,45444,0.0914)",
    "=TBILLYIELD(45382,45444,98.45)",
    "=PV(0.08/12,240,500)",
    "=FV(0.06/12,10,-200,-500,1)",
    "=PMT(0.1/12,36,8000)",
    "=IPMT(0.1/12,3,36,8000)",
    "=PPMT(0.1/12,3,36,8000)",
    "=NPER(0.01,-100,-1000,10000,1)",
    "=RATE(48,-200,8000)",
    "=CUMIPMT(0.09/12,360,125000,13,24,0)",
    "=CUMPRINC(0.09/12,360,125000,13,24)",
    "=EFFECT(0.0525,4)",
    "=NOMINAL(0.0535,4)",
    "=DOLLARDE(1.02,16)",
    "=DOLLARFR(1.125,16)",
    "=DB(1000000,100000,6,2,7)",
    "=DDB(2400,300,10,5)",
    "=SLN(30000,7500,10)",
    "=SYD(30000,7500,10,3)",
    "=VDB(2400,300,10,6,10,1.5)",
    "=FVSCHEDULE(1,{0.09,0.11,0.1})",
    "=IRR({-70000,12000,15000,18000,21000,26000})",
    "=MIRR({-120000,39000,30000,21000,37000,46000},0.1,0.12)",
    "=NPV(0.1,-10000,3000,4200,6800)",
    "=XNPV(0.09,{-10000,2750,4250,3250,2750},{39448,39508,39751,39859,39904})",
    "=XIRR({-10000,2750,4250,3250,2750},{39448,39508,39751,39859,39904})",
    "=WEEKDAY(45298,2)",
    "=WORKDAY(45296,10)",
    "=NETWORKDAYS(45299,45500)",
    "=EOMONTH(45322,1)",
    "=YEAR(45351.75)",
};

// At the caps the loops sized by an argument stop (or fail) at.
const std::vector<std::string> capFormulas = {
    "=CUMIPMT(0.01,100000,1000,1,100000)",
    "=CUMPRINC(0.01,100000,1000,1,100000)",
    "=DB(1000000,1,1000000,1000000)",
    "=DDB(1000000,1,1000000,1000000)",
    "=VDB(1000000,1,1000000,0,1000000)",
    "=VDB(1,0,1E12,1E12-1,1E12)",
    "=CUMIPMT(0.01,2000000,1000,1,2000000)",
    "=NETWORKDAYS(-693593,2958465)",
    "=WORKDAY(-693593,2000000)",
};

// The times of one evaluation of formula, each of cells copies recalculated
// in full.
TBenchTimes perFormula(const std::string& formula, int cells, std::string& shown) {
  TSheet sheet;
  for (int r = 1; r <= cells; ++r) sheet.setCellContent(1, r, 0, formula, 1);
  const TBenchTimes times =
      timeRounds(cells > 1 ? 9 : 3, [&] { sheet.markAllDirty(); }, [&] { sheet.recalculateAll(false); });
  shown = sheet.getCellText(1, 1, true);
  return times.per(cells);
}

void eachFunction() {
  std::printf("Each function in 1,000 cells (recalculation per formula)\n");
  for (const std::string& formula : ordinaryFormulas) {
    std::string shown;
    const TBenchTimes times = perFormula(formula, 1000, shown);
    std::printf("  %-72s %s  %s\n", formula.c_str(), microseconds(times).c_str(), shown.c_str());
  }
  std::printf("At the caps (one cell)\n");
  for (const std::string& formula : capFormulas) {
    std::string shown;
    const TBenchTimes times = perFormula(formula, 1, shown);
    std::printf("  %-72s %s  %s\n", formula.c_str(), microseconds(times).c_str(), shown.c_str());
  }
}

void mixedSheet() {
  constexpr int formulas = 10000;
  TSheet sheet;
  // Column A holds a rate per row, so neighbouring formulas differ.
  const int kinds = static_cast<int>(ordinaryFormulas.size()) - 1;
  for (int r = 1; r <= formulas; ++r) {
    sheet.setCellContent(1, r, 0, std::to_string(0.01 + (r % 50) * 0.001), 1);
    std::string formula = ordinaryFormulas[1 + r % kinds];
    if (formula.rfind("=PV(", 0) == 0) formula = "=PV(A" + std::to_string(r) + ",240,500)";
    sheet.setCellContent(2, r, 0, formula, 1);
  }
  const TBenchTimes rebuilt = timeRounds(9, [&] { sheet.recalculateAll(true); });
  const TBenchTimes kept = timeRounds(9, [&] { sheet.markAllDirty(); }, [&] { sheet.recalculateAll(false); });
  std::printf("%d mixed financial formulas, a formula, links rebuilt: %s\n", formulas,
              microseconds(rebuilt.per(formulas)).c_str());
  std::printf("%d mixed financial formulas, a formula, all dirty:     %s\n", formulas,
              microseconds(kept.per(formulas)).c_str());
}

// The times of one evaluation of a loose formula over the sheet's cells.
TBenchTimes timeLoose(TSheet& sheet, const std::string& formula, std::string& result) {
  return timeCalls(9, [&] {
    const std::uint8_t code = sheet.parseAndEvaluate(formula, 10, 1, false);
    TValueRecord value = sheet.resultValue;
    result = code != 0 ? cellStateText(code) : (sheet.convertValue(value, valueString) ? value.string : "?");
  });
}

void datedFlows() {
  constexpr int flows = 10000;
  TSheet sheet;
  std::mt19937 random(11);
  std::uniform_real_distribution<double> amount(5, 25);
  sheet.setCellContent(1, 1, 0, "-100000", 1);
  sheet.setCellContent(2, 1, 0, "40000", 1);
  for (int r = 2; r <= flows; ++r) {
    sheet.setCellContent(1, r, 0, std::to_string(amount(random)), 1);
    sheet.setCellContent(2, r, 0, std::to_string(40000 + r), 1);
  }
  const std::string rows = std::to_string(flows);
  for (const std::string& formula : {"=XNPV(0.05,A1:A" + rows + ",B1:B" + rows + ")",
                                    "=XIRR(A1:A" + rows + ",B1:B" + rows + ")",
                                    "=IRR(A1:A" + rows + ",0.0001)", "=NPV(0.0001,A1:A" + rows + ")"}) {
    std::string result;
    const TBenchTimes times = timeLoose(sheet, formula, result);
    std::printf("%-40s over %d flows in cells: %s  (%s)\n", formula.c_str(), flows, microseconds(times).c_str(),
                result.c_str());
  }
}

void workdayWithHolidays() {
  constexpr int holidays = 500;
  TSheet sheet;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> day(45000, 45000 + 140000);
  for (int r = 1; r <= holidays; ++r) sheet.setCellContent(3, r, 0, std::to_string(day(random)), 1);
  for (const std::string& formula : {std::string("=WORKDAY(45000,100000,C1:C500)"),
                                    std::string("=WORKDAY(185000,-100000,C1:C500)"),
                                    std::string("=NETWORKDAYS(45000,185000,C1:C500)")}) {
    std::string result;
    const TBenchTimes times = timeLoose(sheet, formula, result);
    std::printf("%-40s 500 holidays in a range: %s  (%s)\n", formula.c_str(), microseconds(times).c_str(),
                result.c_str());
  }
}

}  // namespace

int main() {
  setExtendedPrecision();
  localeSettings() = defaultLocaleSettings();
  eachFunction();
  mixedSheet();
  datedFlows();
  workdayWithHolidays();
  return 0;
}
