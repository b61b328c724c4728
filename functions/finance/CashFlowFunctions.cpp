#include "functions/finance/CashFlowFunctions.h"

#include <algorithm>
#include <vector>

#include "functions/CallArguments.h"
#include "functions/finance/CashFlows.h"
#include "functions/finance/DayCount.h"
#include "functions/SeriesGathering.h"

namespace {

using TSeries = std::vector<long double>;

constexpr long double defaultRateGuess = 0.1L;
constexpr long double rateTolerance = 1e-7L;
constexpr int internalRateIterationCap = 20;
constexpr int datedRateIterationCap = 100;

// One argument, or the arguments first to last, as one series.
TSeries series(TEvalContext& c, int first, int last) {
  TSeries values;
  collectNumberArgs(c, first, last, values);
  return values;
}

// Dates of the platform's calendar only: a flow dated beyond it cannot be
// placed in time.
void checkDates(const TSeries& dates) {
  for (long double date : dates) wholeDayNumber(date);
}

void evalFVSCHEDULE(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 2) return;
  const long double principal = args.number(0);
  if (!args) return;
  c.setNumberResult(futureValueSchedule(series(c, 1, 1), principal));
}

void evalIRR(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(1, 2)) return;
  const long double guess = args.number(1, defaultRateGuess);
  if (!args) return;
  const TSeries values = series(c, 0, 0);
  // Flows that never change sign have no rate; the iteration would still
  // settle somewhere far out and show that as one.
  const bool paid = std::any_of(values.begin(), values.end(), [](long double v) { return v < 0; });
  const bool received = std::any_of(values.begin(), values.end(), [](long double v) { return v > 0; });
  if (values.size() >= 2 && (!paid || !received)) {
    c.fail(errNum);
    return;
  }
  c.setNumberResult(internalRate(values, internalRateIterationCap, guess, rateTolerance));
}

void evalMIRR(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 3) return;
  const long double financeRate = args.number(1);
  const long double reinvestRate = args.number(2);
  if (!args) return;
  c.setNumberResult(modifiedInternalRate(series(c, 0, 0), financeRate, reinvestRate));
}

void evalNPV(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() < 2) return;
  const long double rate = args.number(0);
  if (!args) return;
  c.setNumberResult(netPresentValue(series(c, 1, args.count() - 1), rate));
}

void evalXIRR(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(2, 3)) return;
  const long double guess = args.number(2, defaultRateGuess);
  if (!args) return;
  const TSeries values = series(c, 0, 0);
  TSeries dates = series(c, 1, 1);
  checkDates(dates);
  c.setNumberResult(datedInternalRate(values, dates, datedRateIterationCap, guess, rateTolerance));
}

void evalXNPV(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 3) return;
  const long double rate = args.number(0);
  if (!args) return;
  const TSeries values = series(c, 1, 1);
  TSeries dates = series(c, 2, 2);
  checkDates(dates);
  c.setNumberResult(datedNetPresentValue(values, dates, rate));
}

}  // namespace

void registerCashFlowFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("FVSCHEDULE")] = evalFVSCHEDULE;
  table[FunctionIdOf("IRR")] = evalIRR;
  table[FunctionIdOf("MIRR")] = evalMIRR;
  table[FunctionIdOf("NPV")] = evalNPV;
  table[FunctionIdOf("XIRR")] = evalXIRR;
  table[FunctionIdOf("XNPV")] = evalXNPV;
}
