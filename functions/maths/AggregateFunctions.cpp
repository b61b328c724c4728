#include "functions/maths/AggregateFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <vector>

#include "functions/maths/Combinatorics.h"
#include "functions/maths/ConditionalAggregates.h"
#include "functions/RangeValues.h"
#include "functions/SeriesGathering.h"
#include "model/Power.h"
#include "platform/NumericErrors.h"
#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"

namespace {

constexpr std::int64_t largestInteger = std::numeric_limits<std::int32_t>::max();

// Every number of the call's arguments, first to last, arrays and ranges
// row by row (ranges read in place). Whatever does not convert is passed
// over: a name that reads nothing, a text that is no number, an empty or
// failed cell.
template <class Visit>
void forEachNumber(TEvalContext& context, Visit visit) {
  for (int i = 0; i < context.argumentCount(); ++i) {
    auto visitNumber = [&](const TValueRecord& element) {
      double number = 0;
      if (elementNumber(context.sheet, element, number)) visit(static_cast<long double>(number));
      return true;
    };
    if (forEachRangeValue(context, i, visitNumber)) continue;
    TArgumentArray array;
    if (!context.arrayArgument(i, array, valueNumber)) continue;
    if (!array) {
      visit(static_cast<long double>(context.argument(i)->value.number));
      continue;
    }
    for (const TValueRecord& element : array->elements()) visitNumber(element);
  }
}

bool elementInteger(const TSheet& sheet, const TValueRecord& element, std::int32_t& value) {
  if (element.kind == valueInteger) {
    value = element.integer;
    return true;
  }
  // Converted on a copy: the array may belong to another cell.
  TValueRecord converted = element;
  if (!sheet.convertValue(converted, valueInteger)) return false;
  value = converted.integer;
  return true;
}

// Every integer of the call's arguments in the same order; false at the
// first argument or element that is no integer (an empty cell included).
template <class Visit>
bool forEachInteger(TEvalContext& context, Visit visit) {
  for (int i = 0; i < context.argumentCount(); ++i) {
    bool valid = true;
    auto visitInteger = [&](const TValueRecord& element) {
      std::int32_t value = 0;
      valid = elementInteger(context.sheet, element, value);
      if (valid) visit(value);
      return valid;
    };
    if (forEachRangeValue(context, i, visitInteger)) {
      if (!valid) return false;
      continue;
    }
    TArgumentArray array;
    if (!context.arrayArgument(i, array, valueInteger)) return false;
    if (!array) {
      visit(context.argument(i)->value.integer);
      continue;
    }
    for (const TValueRecord& element : array->elements()) {
      if (!visitInteger(element)) return false;
    }
  }
  return true;
}

template <class Combine>
void numberAggregate(TEvalContext& context, long double start, Combine combine) {
  if (context.argumentCount() < 1) return;
  long double result = start;
  forEachNumber(context, [&](long double x) { result = combine(result, x); });
  context.setNumberResult(result);
}

void evalSUM(TEvalContext& context) {
  numberAggregate(context, 0.0L, [](long double sum, long double x) { return sum + x; });
}

void evalSUMSQ(TEvalContext& context) {
  numberAggregate(context, 0.0L, [](long double sum, long double x) { return sum + x * x; });
}

void evalPRODUCT(TEvalContext& context) {
  numberAggregate(context, 1.0L, [](long double product, long double x) { return product * x; });
}

std::uint64_t absoluteValue(std::int32_t value) {
  return static_cast<std::uint64_t>(std::llabs(static_cast<long long>(value)));
}

// Euclid's algorithm on magnitudes, in 64 bits: the magnitude of
// -2147483648 fits, and no value takes more than a few dozen steps.
void evalGCD(TEvalContext& context) {
  if (context.argumentCount() < 1) return;
  std::uint64_t divisor = 0;
  if (!forEachInteger(context, [&](std::int32_t value) { divisor = std::gcd(divisor, absoluteValue(value)); })) return;
  // No common divisor above 1, or only zeros: 1.
  if (divisor < 2) divisor = 1;
  if (divisor > static_cast<std::uint64_t>(largestInteger)) throw ERangeError();
  context.setIntegerResult(static_cast<std::int32_t>(divisor));
}

// The smallest multiple of the largest value that every non-zero value
// divides, which is the least common multiple of the magnitudes; 0 when no
// value is positive. Beyond 32 bits the call fails.
void evalLCM(TEvalContext& context) {
  if (context.argumentCount() < 1) return;
  std::int32_t largest = std::numeric_limits<std::int32_t>::min();
  std::uint64_t multiple = 1;
  bool beyond32Bits = false;
  bool valid = forEachInteger(context, [&](std::int32_t value) {
    largest = std::max(largest, value);
    if (value == 0 || beyond32Bits) return;
    std::uint64_t magnitude = absoluteValue(value);
    multiple = multiple / std::gcd(multiple, magnitude) * magnitude;
    beyond32Bits = multiple > static_cast<std::uint64_t>(largestInteger);
  });
  if (!valid) return;
  if (largest <= 0) {
    context.setIntegerResult(0);
    return;
  }
  if (beyond32Bits) throw ERangeError();
  context.setIntegerResult(static_cast<std::int32_t>(multiple));
}

// The product of the binomial coefficients C(k1 + ... + kj, kj), each as a
// running product over its smaller side: the multinomial without the
// factorial of the whole sum, which leaves extended range from 1755 on. A
// product that overflows stays infinite and ends the walk.
long double multinomialByBinomials(const std::vector<std::int32_t>& counts) {
  long double result = 1.0L;
  std::int64_t total = 0;
  for (std::int32_t count : counts) {
    total += count;
    std::int64_t smaller = std::min<std::int64_t>(count, total - count);
    for (std::int64_t i = 1; i <= smaller && !std::isinf(result); ++i) {
      result = result * static_cast<long double>(total - smaller + i) / static_cast<long double>(i);
    }
    if (std::isinf(result)) break;
  }
  return result;
}

// (k1 + ... + km)! / (k1! ... km!).
void evalMULTINOMIAL(TEvalContext& context) {
  if (context.argumentCount() < 1) return;
  std::vector<std::int32_t> counts;
  if (!forEachInteger(context, [&](std::int32_t value) { counts.push_back(value); })) return;
  std::int64_t total = 0;
  for (std::int32_t count : counts) {
    if (count < 0) throw ERangeError();  // no factorial
    total += count;
  }
  // The factorial of a large sum overflows on the way, not in the result.
  unsigned flags = floatingPointFlags();
  long double numerator = total <= largestInteger ? factorial(static_cast<int>(total)) : HUGE_VALL;
  if (std::isinf(numerator)) {
    restoreFloatingPointFlags(flags);
    context.setNumberResult(multinomialByBinomials(counts));
    return;
  }
  long double denominator = 1.0L;
  for (std::int32_t count : counts) denominator *= factorial(count);
  context.setNumberResult(numerator / denominator);
}

// x, n, m, then coefficients a1, a2, ...: the sum of ai x^(n + (i - 1) m).
// Every array element moves the exponent on, a number or not; an argument
// that cannot be read at all does not.
void evalSERIESSUM(TEvalContext& context) {
  int count = context.argumentCount();
  double x = 0, first = 0, step = 0;
  if (count < 4 || !context.numberArgument(0, x) || !context.numberArgument(1, first) ||
      !context.numberArgument(2, step)) {
    return;
  }
  long double sum = 0.0L;
  long double exponent = first;
  for (int i = 3; i < count; ++i) {
    TArgumentArray array;
    if (!context.arrayArgument(i, array, valueNumber)) continue;
    if (!array) {
      sum += context.argument(i)->value.number * power(x, exponent);
      exponent += step;
      continue;
    }
    for (const TValueRecord& element : array->elements()) {
      double coefficient = 0;
      if (elementNumber(context.sheet, element, coefficient)) sum += coefficient * power(x, exponent);
      exponent += step;
    }
  }
  context.setNumberResult(sum);
}

}  // namespace

void registerAggregateFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("GCD")] = evalGCD;
  table[FunctionIdOf("LCM")] = evalLCM;
  table[FunctionIdOf("MULTINOMIAL")] = evalMULTINOMIAL;
  table[FunctionIdOf("PRODUCT")] = evalPRODUCT;
  table[FunctionIdOf("SERIESSUM")] = evalSERIESSUM;
  table[FunctionIdOf("SUM")] = evalSUM;
  table[FunctionIdOf("SUMIF")] = [](TEvalContext& context) { evalSUMIF_COUNTIF(context, sumIfMode); };
  table[FunctionIdOf("SUMSQ")] = evalSUMSQ;
  table[FunctionIdOf("COUNTIF")] = [](TEvalContext& context) { evalSUMIF_COUNTIF(context, countIfMode); };
}
