#include "functions/FinanceFunctions.h"


#include "functions/CallArguments.h"
#include "functions/DayCount.h"
#include "functions/Depreciation.h"
#include "functions/Securities.h"
#include "functions/TimeValue.h"
#include "sheet/CellStates.h"

namespace {

constexpr int defaultBasis = 0;
constexpr int lowestBasis = 0;
constexpr int highestBasis = 4;
constexpr long double defaultPar = 1000;
// The searches of YIELD and RATE.
constexpr int searchIterationCap = 100;
constexpr long double searchTolerance = 1e-7L;
constexpr long double defaultRateGuess = 0.1L;
constexpr int defaultPaymentType = 0;
constexpr int monthsPerYear = 12;
constexpr long double defaultDecliningFactor = 2;

// ---- Day counts and the coupon schedule ----

void evalDAYS360(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(2, 3)) return;
  const long double start = args.number(0);
  const long double end = args.number(1);
  const bool european = args.integer(2, 0) != 0;
  if (!args) return;
  c.setIntegerResult(days360(european, start, end));
}

void evalYEARFRAC(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(2, 3)) return;
  // Whole days already: the dates are read as integers.
  const int start = args.integer(0);
  const int end = args.integer(1);
  const int basis = args.integer(2, defaultBasis);
  if (!args) return;
  if (basis < lowestBasis || basis > highestBasis) return c.fail(errNum);
  c.setNumberResult(yearFraction(basis, start, end));
}

// COUPDAYBS, COUPDAYS, COUPDAYSNC, COUPNCD, COUPNUM, COUPPCD: settlement,
// maturity, frequency [, basis].
template <auto couponRoutine>
void evalCoupon(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 4)) return;
  const long double settlement = args.number(0);
  const long double maturity = args.number(1);
  const int frequency = args.integer(2);
  const int basis = args.integer(3, defaultBasis);
  if (!args) return;
  c.setNumberResult(couponRoutine(frequency, basis, settlement, maturity));
}

// ---- Securities ----

void evalACCRINT(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(6, 7)) return;
  const long double issue = args.number(0);
  const long double firstInterest = args.number(1);
  const long double settlement = args.number(2);
  const long double rate = args.number(3);
  if (!args) return;
  // A par left empty or given as text is the usual face value.
  double par = 0;
  if (!c.numberArgument(4, par)) par = defaultPar;
  const int frequency = args.integer(5);
  const int basis = args.integer(6, defaultBasis);
  if (!args) return;
  c.setNumberResult(accruedInterest(issue, firstInterest, settlement, rate, par, frequency, basis));
}

void evalACCRINTM(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 5)) return;
  const long double issue = args.number(0);
  const long double settlement = args.number(1);
  const long double rate = args.number(2);
  const long double par = args.number(3, defaultPar);
  const int basis = args.integer(4, defaultBasis);
  if (!args) return;
  c.setNumberResult(accruedInterestAtMaturity(issue, settlement, rate, par, basis));
}

// DISC, INTRATE, RECEIVED, PRICEDISC: settlement, maturity, two amounts
// [, basis].
template <auto discountRoutine>
void evalDiscountSecurity(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(4, 5)) return;
  const long double settlement = args.number(0);
  const long double maturity = args.number(1);
  const long double first = args.number(2);
  const long double second = args.number(3);
  const int basis = args.integer(4, defaultBasis);
  if (!args) return;
  c.setNumberResult(discountRoutine(basis, settlement, maturity, first, second));
}

void evalPRICEMAT(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(5, 6)) return;
  const long double settlement = args.number(0);
  const long double maturity = args.number(1);
  const long double issue = args.number(2);
  const long double rate = args.number(3);
  const long double yield = args.number(4);
  const int basis = args.integer(5, defaultBasis);
  if (!args) return;
  c.setNumberResult(priceAtMaturity(basis, settlement, maturity, issue, rate, yield));
}

// The arguments of PRICE and YIELD: settlement, maturity, rate, price or
// yield, redemption, frequency [, basis].
struct TBondArguments {
  long double settlement, maturity, rate, priceOrYield, redemption;
  int frequency, basis;
};

bool readBondArguments(TEvalContext& c, TBondArguments& bond) {
  TCallArguments args(c);
  if (!args.countIn(6, 7)) return false;
  bond.settlement = args.number(0);
  bond.maturity = args.number(1);
  bond.rate = args.number(2);
  bond.priceOrYield = args.number(3);
  bond.redemption = args.number(4);
  bond.frequency = args.integer(5);
  bond.basis = args.integer(6, defaultBasis);
  return static_cast<bool>(args);
}

void evalPRICE(TEvalContext& c) {
  TBondArguments bond;
  if (!readBondArguments(c, bond)) return;
  c.setNumberResult(bondPrice(bond.frequency, bond.basis, bond.settlement, bond.maturity, bond.rate,
                              bond.priceOrYield, bond.redemption));
}

void evalYIELD(TEvalContext& c) {
  TBondArguments bond;
  if (!readBondArguments(c, bond)) return;
  c.setNumberResult(bondYield(bond.frequency, bond.basis, searchIterationCap, bond.settlement, bond.maturity,
                              bond.rate, bond.priceOrYield, bond.redemption, searchTolerance));
}

// DURATION, MDURATION: settlement, maturity, coupon, yield, frequency
// [, basis].
template <auto durationRoutine>
void evalDuration(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(5, 6)) return;
  const long double settlement = args.number(0);
  const long double maturity = args.number(1);
  const long double coupon = args.number(2);
  const long double yield = args.number(3);
  const int frequency = args.integer(4);
  const int basis = args.integer(5, defaultBasis);
  if (!args) return;
  c.setNumberResult(durationRoutine(frequency, basis, settlement, maturity, coupon, yield));
}

// TBILLEQ, TBILLPRICE, TBILLYIELD: settlement, maturity, discount or price.
template <auto billRoutine>
void evalTreasuryBill(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 3) return;
  const long double settlement = args.number(0);
  const long double maturity = args.number(1);
  const long double amount = args.number(2);
  if (!args) return;
  c.setNumberResult(billRoutine(settlement, maturity, amount));
}

// ---- Annuities ----

void evalPV(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 5)) return;
  const long double rate = args.number(0);
  const int nper = args.integer(1);
  const long double pmt = args.number(2);
  const long double fv = args.number(3, 0);
  const int type = args.integer(4, defaultPaymentType);
  if (!args) return;
  c.setNumberResult(presentValue(nper, type, rate, pmt, fv));
}

void evalFV(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 5)) return;
  const long double rate = args.number(0);
  const int nper = args.integer(1);
  const long double pmt = args.number(2);
  const long double pv = args.number(3, 0);
  const int type = args.integer(4, defaultPaymentType);
  if (!args) return;
  c.setNumberResult(futureValue(nper, type, rate, pmt, pv));
}

void evalPMT(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 5)) return;
  const long double rate = args.number(0);
  const int nper = args.integer(1);
  const long double pv = args.number(2);
  const long double fv = args.number(3, 0);
  const int type = args.integer(4, defaultPaymentType);
  if (!args) return;
  c.setNumberResult(payment(nper, type, rate, pv, fv));
}

// IPMT, PPMT: rate, per, nper, pv [, fv [, type]].
template <auto periodRoutine>
void evalPeriodPayment(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(4, 6)) return;
  const long double rate = args.number(0);
  const int per = args.integer(1);
  const int nper = args.integer(2);
  const long double pv = args.number(3);
  const long double fv = args.number(4, 0);
  const int type = args.integer(5, defaultPaymentType);
  if (!args) return;
  c.setNumberResult(periodRoutine(per, nper, type, rate, pv, fv));
}

void evalNPER(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 5)) return;
  const long double rate = args.number(0);
  const long double pmt = args.number(1);
  const long double pv = args.number(2);
  const long double fv = args.number(3, 0);
  const int type = args.integer(4, defaultPaymentType);
  if (!args) return;
  c.setNumberResult(periodCount(type, rate, pmt, pv, fv));
}

void evalRATE(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 6)) return;
  const int nper = args.integer(0);
  const long double pmt = args.number(1);
  const long double pv = args.number(2);
  const long double fv = args.number(3, 0);
  const int type = args.integer(4, defaultPaymentType);
  const long double guess = args.number(5, defaultRateGuess);
  if (!args) return;
  c.setNumberResult(loanRate(nper, type, searchIterationCap, pmt, pv, fv, guess, searchTolerance));
}

// CUMIPMT, CUMPRINC: rate, nper, pv, start, end [, type].
template <auto cumulativeRoutine>
void evalCumulative(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(5, 6)) return;
  const long double rate = args.number(0);
  const int nper = args.integer(1);
  const long double pv = args.number(2);
  const int start = args.integer(3);
  const int end = args.integer(4);
  const int type = args.integer(5, defaultPaymentType);
  if (!args) return;
  c.setNumberResult(cumulativeRoutine(nper, start, end, type, rate, pv));
}

// EFFECT, NOMINAL: rate, periods per year. DOLLARDE, DOLLARFR: price,
// fraction. Each routine takes the integer first.
template <auto routine>
void evalNumberAndInteger(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 2) return;
  const long double number = args.number(0);
  const int integer = args.integer(1);
  if (!args) return;
  c.setNumberResult(routine(integer, number));
}

// ---- Depreciation ----

void evalDB(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(4, 5)) return;
  const long double cost = args.number(0);
  const long double salvage = args.number(1);
  const int life = args.integer(2);
  const int period = args.integer(3);
  const int month = args.integer(4, monthsPerYear);
  if (!args) return;
  c.setNumberResult(fixedDecliningBalance(life, period, month, cost, salvage));
}

void evalDDB(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(4, 5)) return;
  const long double cost = args.number(0);
  const long double salvage = args.number(1);
  const int life = args.integer(2);
  const int period = args.integer(3);
  const long double factor = args.number(4, defaultDecliningFactor);
  if (!args) return;
  c.setNumberResult(doubleDecliningBalance(life, period, cost, salvage, factor));
}

void evalSLN(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 3) return;
  const long double cost = args.number(0);
  const long double salvage = args.number(1);
  const long double life = args.number(2);
  if (!args) return;
  c.setNumberResult(straightLineDepreciation(cost, salvage, life));
}

void evalSYD(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 4) return;
  const long double cost = args.number(0);
  const long double salvage = args.number(1);
  const long double life = args.number(2);
  const long double period = args.number(3);
  if (!args) return;
  c.setNumberResult(sumOfYearsDepreciation(cost, salvage, life, period));
}

void evalVDB(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(5, 7)) return;
  const long double cost = args.number(0);
  const long double salvage = args.number(1);
  const long double life = args.number(2);
  const long double start = args.number(3);
  const long double end = args.number(4);
  const long double factor = args.number(5, defaultDecliningFactor);
  const bool noSwitch = args.integer(6, 0) != 0;
  if (!args) return;
  c.setNumberResult(variableDecliningBalance(noSwitch, cost, salvage, life, start, end, factor));
}

}  // namespace

void registerFinanceFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("DAYS360")] = evalDAYS360;
  table[FunctionIdOf("YEARFRAC")] = evalYEARFRAC;
  table[FunctionIdOf("COUPDAYBS")] = evalCoupon<couponDaysBefore>;
  table[FunctionIdOf("COUPDAYS")] = evalCoupon<couponDays>;
  table[FunctionIdOf("COUPDAYSNC")] = evalCoupon<couponDaysNext>;
  table[FunctionIdOf("COUPNCD")] = evalCoupon<nextCouponDate>;
  table[FunctionIdOf("COUPNUM")] = evalCoupon<couponCount>;
  table[FunctionIdOf("COUPPCD")] = evalCoupon<previousCouponDate>;

  table[FunctionIdOf("ACCRINT")] = evalACCRINT;
  table[FunctionIdOf("ACCRINTM")] = evalACCRINTM;
  table[FunctionIdOf("DISC")] = evalDiscountSecurity<discountRate>;
  table[FunctionIdOf("INTRATE")] = evalDiscountSecurity<interestRate>;
  table[FunctionIdOf("RECEIVED")] = evalDiscountSecurity<amountReceived>;
  table[FunctionIdOf("PRICEDISC")] = evalDiscountSecurity<priceDiscounted>;
  table[FunctionIdOf("PRICEMAT")] = evalPRICEMAT;
  table[FunctionIdOf("PRICE")] = evalPRICE;
  table[FunctionIdOf("YIELD")] = evalYIELD;
  table[FunctionIdOf("DURATION")] = evalDuration<bondDuration>;
  table[FunctionIdOf("MDURATION")] = evalDuration<modifiedDuration>;
  table[FunctionIdOf("TBILLEQ")] = evalTreasuryBill<tbillEquivalentYield>;
  table[FunctionIdOf("TBILLPRICE")] = evalTreasuryBill<tbillPrice>;
  table[FunctionIdOf("TBILLYIELD")] = evalTreasuryBill<tbillYield>;

  table[FunctionIdOf("PV")] = evalPV;
  table[FunctionIdOf("FV")] = evalFV;
  table[FunctionIdOf("PMT")] = evalPMT;
  table[FunctionIdOf("IPMT")] = evalPeriodPayment<interestPayment>;
  table[FunctionIdOf("PPMT")] = evalPeriodPayment<principalPayment>;
  table[FunctionIdOf("NPER")] = evalNPER;
  table[FunctionIdOf("RATE")] = evalRATE;
  table[FunctionIdOf("CUMIPMT")] = evalCumulative<cumulativeInterest>;
  table[FunctionIdOf("CUMPRINC")] = evalCumulative<cumulativePrincipal>;
  table[FunctionIdOf("EFFECT")] = evalNumberAndInteger<effectiveRate>;
  table[FunctionIdOf("NOMINAL")] = evalNumberAndInteger<nominalRate>;
  table[FunctionIdOf("DOLLARDE")] = evalNumberAndInteger<dollarDecimal>;
  table[FunctionIdOf("DOLLARFR")] = evalNumberAndInteger<dollarFraction>;

  table[FunctionIdOf("DB")] = evalDB;
  table[FunctionIdOf("DDB")] = evalDDB;
  table[FunctionIdOf("SLN")] = evalSLN;
  table[FunctionIdOf("SYD")] = evalSYD;
  table[FunctionIdOf("VDB")] = evalVDB;
}
