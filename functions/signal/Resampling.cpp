#include "functions/signal/Resampling.h"

#include <algorithm>
#include <cmath>

#include "functions/signal/SignalLimits.h"
#include "platform/NumericErrors.h"

// Four-point Lagrange interpolation.
long double cubicInterpolate(std::int64_t& index, long double& fraction, std::span<const long double> series,
                             std::int64_t last, long double step) {
  fraction += step;
  const long double whole = std::trunc(fraction);
  index += static_cast<std::int64_t>(whole);
  fraction -= whole;

  const long double f = fraction;
  const long double weights[4] = {-f * (f - 1) * (f - 2) / 6, (f + 1) * (f - 1) * (f - 2) / 2,
                                  -(f + 1) * f * (f - 2) / 2, (f + 1) * f * (f - 1) / 6};
  const std::int64_t end = std::min(last, static_cast<std::int64_t>(series.size()) - 1);
  long double sum = 0;
  for (int k = 0; k < 4; ++k) {
    const std::int64_t sample = index - 1 + k;
    if (sample >= 0 && sample <= end) sum += weights[k] * series[sample];
  }
  return sum;
}

std::vector<long double> resample(std::span<const long double> series, long double factor) {
  // A factor of 0 or below would give no length or a negative one.
  if (!(factor > 0)) throw ERangeError();
  if (series.empty()) return {};
  const long double exactLength = static_cast<long double>(series.size()) * factor;
  if (!(exactLength <= maxSignalLength)) throw ERangeError();
  const auto length = static_cast<std::int64_t>(std::nearbyint(exactLength));

  const long double step = 1 / factor;
  const std::int64_t last = static_cast<std::int64_t>(series.size()) - 1;
  std::int64_t index = 0;
  long double fraction = -step;
  std::vector<long double> result(length);
  for (std::int64_t k = 0; k < length; ++k) result[k] = cubicInterpolate(index, fraction, series, last, step);
  return result;
}
