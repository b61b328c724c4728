// Timings of the financial routines: each for ordinary arguments and at its
// step cap, WORKDAY over 100,000 days with 500 holidays, and XIRR over
// 10,000 dated flows. Run under Wine: tools/wine-run build/bench/FinanceBench.exe
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/BenchTiming.h"
#include "functions/finance/CashFlows.h"
#include "functions/finance/DayCount.h"
#include "functions/finance/Depreciation.h"
#include "functions/finance/Securities.h"
#include "functions/finance/TimeValue.h"
#include "functions/datetext/WorkDays.h"
#include "platform/CalendarDates.h"
#include "platform/FloatingPoint.h"
#include "platform/NumericErrors.h"

namespace {
volatile long double sink;

long double dayNumber(int year, int month, int day) {
  double date = 0;
  encodeDate(year, month, day, date);
  return date;
}

// Prints the times of one call, over rounds of as many calls as fit in
// about 20 ms. A routine that raises (a cap reached) is timed up to its
// exception.
void measure(const char* name, const std::function<long double()>& work) {
  bool raises = false;
  const TBenchTimes times = timeCalls(9, [&] {
    try {
      sink = work();
    } catch (const ENumericError&) {
      raises = true;
    }
  });
  if (!raises) {
    std::printf("%-58s %s  (%.10Lg)\n", name, microseconds(times).c_str(), static_cast<long double>(sink));
  } else {
    std::printf("%-58s %s  (raises)\n", name, microseconds(times).c_str());
  }
}
}  // namespace

int main() {
  setExtendedPrecision();
  const long double settlement = dayNumber(2008, 2, 15);
  const long double maturity = dayNumber(2017, 11, 15);
  const long double longMaturity = dayNumber(9999, 11, 15);

  std::printf("Ordinary arguments\n");
  measure("DAYS360", [&] { return days360(false, settlement, maturity); });
  measure("YEARFRAC basis 1", [&] { return yearFraction(1, settlement, maturity); });
  measure("COUPDAYBS", [&] { return couponDaysBefore(2, 0, settlement, maturity); });
  measure("ACCRINT", [&] { return accruedInterest(settlement - 300, settlement - 100, settlement, 0.1, 1000, 2, 0); });
  measure("PRICE (20 coupons)", [&] { return bondPrice(2, 0, settlement, maturity, 0.0575, 0.065, 100); });
  measure("YIELD (20 coupons)", [&] { return bondYield(2, 0, 100, settlement, maturity, 0.0575, 95.04287, 100, 1e-7); });
  measure("DURATION", [&] { return bondDuration(2, 0, settlement, maturity, 0.08, 0.09); });
  measure("TBILLPRICE", [&] { return tbillPrice(settlement, settlement + 62, 0.0914); });
  measure("PV", [] { return presentValue(240, 0, 0.08L / 12, 500, 0); });
  measure("PMT", [] { return payment(360, 0, 0.06L / 12, 200000, 0); });
  measure("IPMT", [] { return interestPayment(3, 36, 0, 0.1L / 12, 8000, 0); });
  measure("NPER", [] { return periodCount(0, 0.01L, -100, -1000, 10000); });
  measure("RATE", [] { return loanRate(48, 0, 100, -200, 8000, 0, 0.1, 1e-7); });
  measure("CUMIPMT (12 periods)", [] { return cumulativeInterest(360, 13, 24, 0, 0.09L / 12, 125000); });
  measure("DOLLARDE", [] { return dollarDecimal(16, 1.02); });
  const std::vector<long double> flows = {-70000, 12000, 15000, 18000, 21000, 26000};
  measure("NPV (6 flows)", [&] { return netPresentValue(flows, 0.1); });
  measure("IRR (6 flows)", [&] { return internalRate(flows, 20, 0.1, 1e-7); });
  measure("MIRR (6 flows)", [&] { return modifiedInternalRate(flows, 0.1, 0.12); });
  const std::vector<long double> xValues = {-10000, 2750, 4250, 3250, 2750};
  const std::vector<long double> xDates = {39448, 39508, 39751, 39859, 39904};
  measure("XNPV (5 flows)", [&] { auto d = xDates; return datedNetPresentValue(xValues, d, 0.09); });
  measure("XIRR (5 flows)", [&] { auto d = xDates; return datedInternalRate(xValues, d, 100, 0.1, 1e-7); });
  measure("DB", [] { return fixedDecliningBalance(6, 4, 7, 1000000, 100000); });
  measure("DDB", [] { return doubleDecliningBalance(10, 8, 2400, 300, 2); });
  measure("VDB", [] { return variableDecliningBalance(false, 2400, 300, 10, 2.5, 7.25, 2); });
  const std::vector<int> fewHolidays = {40179, 40299, 40544};
  measure("WORKDAY (20 days, 3 holidays)", [&] { return workDay(40200, 20, fewHolidays); });
  measure("NETWORKDAYS (one year, 3 holidays)", [&] { return networkDays(40179, 40544, fewHolidays); });

  std::printf("At the caps\n");
  measure("PRICE, 7,967 years of quarterly coupons", [&] { return bondPrice(4, 0, settlement, longMaturity, 0.0575, 0.065, 100); });
  // Searches that use all their steps without settling.
  measure("YIELD, all 100 steps (price 1000)",
          [&] { return bondYield(2, 0, 100, settlement, maturity, 0.01, 1000, 100, 1e-7); });
  measure("YIELD over 7,967 years of coupons",
          [&] { return bondYield(4, 0, 100, settlement, longMaturity, 0.0575, 95.04287, 100, 1e-7); });
  measure("RATE, all 100 steps (RATE(360;-1;1000;0;0;0.5))", [] { return loanRate(360, 0, 100, -1, 1000, 0, 0.5, 1e-7); });
  measure("IRR of one-signed flows, 20 steps", [&] { return internalRate({1, 1}, 20, 0.1, 1e-7); });
  measure("CUMIPMT, 100,000 periods", [] {
    return cumulativeInterest(maxCumulativePeriods, 1, maxCumulativePeriods, 0, 1e-4L, 1000);
  });
  measure("CUMPRINC, 100,000 periods", [] {
    return cumulativePrincipal(maxCumulativePeriods, 1, maxCumulativePeriods, 0, 1e-4L, 1000);
  });
  measure("DB, 1,000,000 periods", [] {
    return fixedDecliningBalance(maxDepreciationPeriods, maxDepreciationPeriods, 12, 1e9, 1);
  });
  measure("DDB, 1,000,000 periods", [] {
    return doubleDecliningBalance(maxDepreciationPeriods, maxDepreciationPeriods, 1e9, 1, 2);
  });
  measure("VDB, 1,000,000 periods", [] {
    return variableDecliningBalance(false, 1e9, 1, maxDepreciationPeriods, 0.5, maxDepreciationPeriods, 2);
  });
  measure("VDB(1;0;1E12;1E12-1;1E12) (rejected)", [] { return variableDecliningBalance(false, 1, 0, 1e12, 1e12 - 1, 1e12, 2); });

  std::vector<int> holidays;
  for (int i = 0; i < 500; ++i) holidays.push_back(40179 + i * 97 % 150000);
  measure("WORKDAY(d;100000) with 500 holidays", [&] { return workDay(40179, 100000, holidays); });
  measure("WORKDAY(d;-100000) with 500 holidays", [&] { return workDay(140179, -100000, holidays); });
  measure("NETWORKDAYS over 400 years with 500 holidays", [&] { return networkDays(40179, 186279, holidays); });

  std::vector<long double> manyValues;
  std::vector<long double> manyDates;
  // Daily savings over 27 years and a final value that makes the rate 12 %.
  for (int i = 0; i < 9999; ++i) {
    manyValues.push_back(-100 - i % 7);
    manyDates.push_back(36526 + i);
  }
  manyValues.push_back(7066932);
  manyDates.push_back(36526 + 9999);
  measure("XNPV over 10,000 dated flows", [&] { auto d = manyDates; return datedNetPresentValue(manyValues, d, 0.05); });
  measure("XIRR over 10,000 dated flows", [&] { auto d = manyDates; return datedInternalRate(manyValues, d, 100, 0.1, 1e-7); });
  // The same savings with a final value the secant search from 0.1 never
  // settles on: all 100 steps.
  std::vector<long double> stuckValues = manyValues;
  stuckValues.back() = 2000000;
  measure("XIRR over 10,000 dated flows, 100 steps", [&] {
    auto d = manyDates;
    return datedInternalRate(stuckValues, d, 100, 0.1, 1e-7);
  });
  measure("IRR over 10,000 flows, 20 steps", [&] { return internalRate(manyValues, 20, 0.1, 0); });
  return 0;
}
