#include "functions/maths/MathFunctions.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "functions/CheckedArithmetic.h"
#include "functions/maths/Combinatorics.h"
#include "model/Power.h"
#include "model/Rounding.h"
#include "platform/NumericErrors.h"
#include "platform/RandomGenerator.h"
#include "sheet/EvalContext.h"

namespace {

constexpr long double pi = std::numbers::pi_v<long double>;
constexpr long double degreesPerHalfTurn = 180.0L;
// PI() is the double, not the extended constant.
constexpr double piAsDouble = 3.141592653589793;
constexpr int roundUp = 1;
constexpr int roundDown = -1;
constexpr int roundNearest = 0;

// ---- Numeric kernels with their domains checked: the maths library answers
// NaN or infinity here without raising a fault. ----

long double squareRoot(long double x) {
  if (x < 0) throw EInvalidOp();
  return std::sqrt(x);
}

// Both arc functions through the arc tangent of the root term, so anything
// beyond -1 ... 1 is an invalid operation.
long double arcSine(long double x) { return std::atan2(x, squareRoot(1.0L - x * x)); }
long double arcCosine(long double x) { return std::atan2(squareRoot(1.0L - x * x), x); }

long double arcCosh(long double x) {
  if (!(x >= 1)) throw EInvalidOp();
  return std::acosh(x);
}

// ln((1 + x) / (1 - x)) / 2: the poles at -1 and 1 divide by zero.
long double arcTanh(long double x) {
  if (std::fabs(x) == 1) throw EZeroDivide();
  if (!(std::fabs(x) < 1)) throw EInvalidOp();
  return std::atanh(x);
}

long double decimalLog(long double x) {
  if (x == 0) throw EZeroDivide();
  if (!(x > 0)) throw EInvalidOp();
  return std::log10(x);
}

long double fractionalPart(long double x) { return x - std::trunc(x); }

// INT rounds toward minus infinity.
long double integerPart(long double x) {
  return x > 0 ? roundToDigits(0, roundDown, x) : roundToDigits(0, roundUp, x);
}

long double absolute(long double x) { return std::fabs(x); }
long double arcTangent(long double x) { return std::atan(x); }
long double arcSinh(long double x) { return std::asinh(x); }
long double cosine(long double x) { return std::cos(x); }
long double sine(long double x) { return std::sin(x); }
long double tangent(long double x) { return std::tan(x); }
long double hyperbolicCosine(long double x) { return std::cosh(x); }
long double hyperbolicSine(long double x) { return std::sinh(x); }
long double hyperbolicTangent(long double x) { return std::tanh(x); }
long double degrees(long double x) { return x * degreesPerHalfTurn / pi; }
long double radians(long double x) { return x * pi / degreesPerHalfTurn; }
long double square(long double x) { return x * x; }
long double rootOfPiTimes(long double x) { return squareRoot(x * pi); }
long double oddNumber(long double x) { return roundUpToOdd(x); }

// ---- The shapes of the functions' argument lists ----

template <long double (*compute)(long double)>
void numberFunction(TEvalContext& context) {
  double x = 0;
  if (context.argumentCount() != 1 || !context.numberArgument(0, x)) return;
  context.setNumberResult(compute(x));
}

template <long double (*compute)(long double, long double)>
void twoNumberFunction(TEvalContext& context) {
  double a = 0, b = 0;
  if (context.argumentCount() != 2 || !context.numberArgument(0, a) || !context.numberArgument(1, b)) return;
  context.setNumberResult(compute(a, b));
}

template <long double (*compute)(int)>
void integerFunction(TEvalContext& context) {
  std::int32_t n = 0;
  if (context.argumentCount() != 1 || !context.integerArgument(0, n)) return;
  context.setNumberResult(compute(n));
}

template <long double (*compute)(int, int)>
void twoIntegerFunction(TEvalContext& context) {
  std::int32_t n = 0, k = 0;
  if (context.argumentCount() != 2 || !context.integerArgument(0, n) || !context.integerArgument(1, k)) return;
  context.setNumberResult(compute(n, k));
}

// TRUNC, ROUND, ROUNDDOWN and ROUNDUP: x, then the digits (0 when they may
// be left out).
template <int mode, bool digitsRequired>
void roundingFunction(TEvalContext& context) {
  int count = context.argumentCount();
  if (count < (digitsRequired ? 2 : 1) || count > 2) return;
  double x = 0;
  std::int32_t digits = 0;
  if (!context.numberArgument(0, x)) return;
  if (count == 2 && !context.integerArgument(1, digits)) return;
  context.setNumberResult(roundToDigits(digits, mode, x));
}

// A function of one of the standard shapes: its routine and its arithmetic.
struct TShapedFunction {
  const char* name;
  TBuiltinRoutine routine;
  TNumberKernel kernel;
};

template <long double (*compute)(long double)>
constexpr TShapedFunction numberShaped(const char* name) {
  return {name, numberFunction<compute>, {TNumberKernel::oneNumber, compute, 0, false}};
}

template <int mode, bool digitsRequired>
constexpr TShapedFunction roundingShaped(const char* name) {
  return {name, roundingFunction<mode, digitsRequired>, {TNumberKernel::rounding, nullptr, mode, digitsRequired}};
}

long double arcTangentOfPoint(long double x, long double y) { return std::atan2(y, x); }

void evalLOG(TEvalContext& context) {
  int count = context.argumentCount();
  double x = 0, base = 0;
  if (count < 1 || count > 2 || !context.numberArgument(0, x)) return;
  if (count == 1) {
    context.setNumberResult(decimalLog(x));
    return;
  }
  if (!context.numberArgument(1, base)) return;
  context.setNumberResult(quotient(naturalLog(x), naturalLog(base)));
}

void evalPI(TEvalContext& context) {
  if (context.argumentCount() == 0) context.setNumberResult(piAsDouble);
}

// Odd values move away from zero to the next even one.
void evalEVEN(TEvalContext& context) {
  std::int32_t n = 0;
  if (context.argumentCount() != 1 || !context.integerArgument(0, n)) return;
  std::int64_t even = static_cast<std::int64_t>(n) + n % 2;
  if (even > std::numeric_limits<std::int32_t>::max()) throw ERangeError();
  context.setIntegerResult(static_cast<std::int32_t>(even));
}

// QUOTIENT truncates toward zero, MOD keeps the sign of the dividend.
template <bool remainder>
void integerDivision(TEvalContext& context) {
  std::int32_t a = 0, b = 0;
  if (context.argumentCount() != 2 || !context.integerArgument(0, a) || !context.integerArgument(1, b)) return;
  if (b == 0) throw EDivByZero();
  // The one quotient beyond 32 bits; the processor traps on it.
  if (a == std::numeric_limits<std::int32_t>::min() && b == -1) return;
  context.setIntegerResult(remainder ? a % b : a / b);
}

void evalSIGN(TEvalContext& context) {
  double x = 0;
  if (context.argumentCount() != 1 || !context.numberArgument(0, x)) return;
  context.setIntegerResult(signOf(x));
}

void evalRAND(TEvalContext& context) {
  if (context.argumentCount() == 0) context.setNumberResult(nextRandomFraction());
}

void evalRANDBETWEEN(TEvalContext& context) {
  std::int32_t low = 0, high = 0;
  if (context.argumentCount() != 2 || !context.integerArgument(0, low) || !context.integerArgument(1, high)) return;
  // An empty range has nothing to draw from.
  if (high < low) throw ERangeError();
  std::uint64_t range = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low + 1);
  context.setIntegerResult(static_cast<std::int32_t>(low + static_cast<std::int64_t>(nextRandomBelow(range))));
}

const TShapedFunction shapedFunctions[] = {
    numberShaped<absolute>("ABS"),
    numberShaped<arcCosine>("ACOS"),
    numberShaped<arcCosh>("ACOSH"),
    numberShaped<arcSine>("ASIN"),
    numberShaped<arcSinh>("ASINH"),
    numberShaped<arcTangent>("ATAN"),
    numberShaped<arcTanh>("ATANH"),
    numberShaped<cosine>("COS"),
    numberShaped<hyperbolicCosine>("COSH"),
    numberShaped<degrees>("DEGREES"),
    numberShaped<exponential>("EXP"),
    numberShaped<fractionalPart>("FRAC"),
    numberShaped<integerPart>("INT"),
    numberShaped<naturalLog>("LN"),
    numberShaped<decimalLog>("LOG10"),
    numberShaped<oddNumber>("ODD"),
    numberShaped<radians>("RADIANS"),
    roundingShaped<roundNearest, true>("ROUND"),
    roundingShaped<roundDown, false>("ROUNDDOWN"),
    roundingShaped<roundUp, false>("ROUNDUP"),
    numberShaped<sine>("SIN"),
    numberShaped<hyperbolicSine>("SINH"),
    numberShaped<square>("SQR"),
    numberShaped<squareRoot>("SQRT"),
    numberShaped<rootOfPiTimes>("SQRTPI"),
    numberShaped<tangent>("TAN"),
    numberShaped<hyperbolicTangent>("TANH"),
    roundingShaped<roundDown, false>("TRUNC"),
};

}  // namespace

void registerMathFunctions(TBuiltinTable& table) {
  auto set = [&table](const char* name, TBuiltinRoutine routine) { table[FunctionIdOf(name)] = routine; };
  for (const TShapedFunction& function : shapedFunctions) set(function.name, function.routine);
  set("ATAN2", twoNumberFunction<arcTangentOfPoint>);
  set("CEILING", twoNumberFunction<ceilingToMultiple>);
  set("COMBIN", twoIntegerFunction<combinations>);
  set("EVEN", evalEVEN);
  set("FACT", integerFunction<factorial>);
  set("FACTDOUBLE", integerFunction<doubleFactorial>);
  set("FLOOR", twoNumberFunction<floorToMultiple>);
  set("LOG", evalLOG);
  set("MOD", integerDivision<true>);
  set("MROUND", twoNumberFunction<roundToMultiple>);
  set("PERMUT", twoIntegerFunction<permutations>);
  set("PI", evalPI);
  set("POWER", twoNumberFunction<power>);
  set("QUOTIENT", integerDivision<false>);
  set("RAND", evalRAND);
  set("RANDBETWEEN", evalRANDBETWEEN);
  set("SIGN", evalSIGN);
}

void registerMathKernels(TKernelTable& kernels) {
  for (const TShapedFunction& function : shapedFunctions) kernels[FunctionIdOf(function.name)] = function.kernel;
}
