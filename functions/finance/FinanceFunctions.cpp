#include "functions/finance/FinanceFunctions.h"

#include <array>

#include "functions/CallArguments.h"
#include "functions/finance/DayCount.h"
#include "functions/finance/Depreciation.h"
#include "functions/finance/Securities.h"
#include "functions/finance/TimeValue.h"
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

// The arguments the coupon and security built-ins share: settlement,
// maturity, `amountCount` numbers, then a frequency where the built-in has
// one, then an optional basis unless it has none.
enum class TSecurityTail { none, basis, frequencyAndBasis };

struct TSecurityArguments {
  long double settlement = 0, maturity = 0;
  std::array<long double, 3> amounts{};
  int frequency = 0, basis = defaultBasis;
};

template <int amountCount, TSecurityTail tail>
bool readSecurityArguments(TEvalContext& c, TSecurityArguments& security) {
  static_assert(amountCount <= std::tuple_size_v<decltype(security.amounts)>);
  constexpr int withoutBasis = 2 + amountCount + (tail == TSecurityTail::frequencyAndBasis ? 1 : 0);
  TCallArguments args(c);
  if (!args.countIn(withoutBasis, tail == TSecurityTail::none ? withoutBasis : withoutBasis + 1)) return false;
  security.settlement = args.number(0);
  security.maturity = args.number(1);
  for (int i = 0; i < amountCount; ++i) security.amounts[i] = args.number(2 + i);
  if constexpr (tail == TSecurityTail::frequencyAndBasis) security.frequency = args.integer(withoutBasis - 1);
  if constexpr (tail != TSecurityTail::none) security.basis = args.integer(withoutBasis, defaultBasis);
  return static_cast<bool>(args);
}

// COUPDAYBS, COUPDAYS, COUPDAYSNC, COUPNCD, COUPNUM, COUPPCD: settlement,
// maturity, frequency [, basis].
template <auto couponRoutine>
void evalCoupon(TEvalContext& c) {
  TSecurityArguments s;
  if (!readSecurityArguments<0, TSecurityTail::frequencyAndBasis>(c, s)) return;
  c.setNumberResult(couponRoutine(s.frequency, s.basis, s.settlement, s.maturity));
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
  TSecurityArguments s;
  if (!readSecurityArguments<2, TSecurityTail::basis>(c, s)) return;
  c.setNumberResult(discountRoutine(s.basis, s.settlement, s.maturity, s.amounts[0], s.amounts[1]));
}

// PRICEMAT: settlement, maturity, issue, rate, yield [, basis].
void evalPRICEMAT(TEvalContext& c) {
  TSecurityArguments s;
  if (!readSecurityArguments<3, TSecurityTail::basis>(c, s)) return;
  c.setNumberResult(priceAtMaturity(s.basis, s.settlement, s.maturity, s.amounts[0], s.amounts[1], s.amounts[2]));
}

// PRICE, YIELD: settlement, maturity, rate, price or yield, redemption,
// frequency [, basis].
void evalPRICE(TEvalContext& c) {
  TSecurityArguments s;
  if (!readSecurityArguments<3, TSecurityTail::frequencyAndBasis>(c, s)) return;
  c.setNumberResult(
      bondPrice(s.frequency, s.basis, s.settlement, s.maturity, s.amounts[0], s.amounts[1], s.amounts[2]));
}

void evalYIELD(TEvalContext& c) {
  TSecurityArguments s;
  if (!readSecurityArguments<3, TSecurityTail::frequencyAndBasis>(c, s)) return;
  c.setNumberResult(bondYield(s.frequency, s.basis, searchIterationCap, s.settlement, s.maturity, s.amounts[0],
                              s.amounts[1], s.amounts[2], searchTolerance));
}

// DURATION, MDURATION: settlement, maturity, coupon, yield, frequency
// [, basis].
template <auto durationRoutine>
void evalDuration(TEvalContext& c) {
  TSecurityArguments s;
  if (!readSecurityArguments<2, TSecurityTail::frequencyAndBasis>(c, s)) return;
  c.setNumberResult(durationRoutine(s.frequency, s.basis, s.settlement, s.maturity, s.amounts[0], s.amounts[1]));
}

// TBILLEQ, TBILLPRICE, TBILLYIELD: settlement, maturity, discount or price.
template <auto billRoutine>
void evalTreasuryBill(TEvalContext& c) {
  TSecurityArguments s;
  if (!readSecurityArguments<1, TSecurityTail::none>(c, s)) return;
  c.setNumberResult(billRoutine(s.settlement, s.maturity, s.amounts[0]));
}

// ---- Annuities ----

// PV: rate, nper, pmt [, fv [, type]]; FV: rate, nper, pmt [, pv [, type]];
// PMT: rate, nper, pv [, fv [, type]].
template <auto annuityRoutine>
void evalAnnuity(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 5)) return;
  const long double rate = args.number(0);
  const int nper = args.integer(1);
  const long double given = args.number(2);
  const long double other = args.number(3, 0);
  const int type = args.integer(4, defaultPaymentType);
  if (!args) return;
  c.setNumberResult(annuityRoutine(nper, type, rate, given, other));
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

  table[FunctionIdOf("PV")] = evalAnnuity<presentValue>;
  table[FunctionIdOf("FV")] = evalAnnuity<futureValue>;
  table[FunctionIdOf("PMT")] = evalAnnuity<payment>;
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
