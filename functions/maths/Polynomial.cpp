#include "functions/maths/Polynomial.h"

#include "platform/NumericErrors.h"

long double polyEval(std::span<const long double> coefficients, int degree, long double x) {
  if (coefficients.empty() || (degree > 0 && static_cast<std::size_t>(degree) >= coefficients.size()))
    throw ERangeError();
  long double result = coefficients[0];
  for (int i = 1; i <= degree; ++i) result = result * x + coefficients[i];
  return result;
}
