#include "functions/signal/SignalFunctions.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "functions/ArrayStorage.h"
#include "functions/signal/DataWindows.h"
#include "functions/signal/DigitalFilters.h"
#include "functions/signal/FFT.h"
#include "functions/signal/MaximumEntropy.h"
#include "functions/signal/Resampling.h"
#include "functions/SeriesGathering.h"
#include "functions/signal/SignalLimits.h"
#include "platform/NumericErrors.h"
#include "sheet/Sheet.h"

namespace {

using TSeries = std::vector<long double>;

constexpr int sectionColumns = 4;
constexpr int spectrumColumns = 3;

enum TFilterSelector { filterLowPass = 1, filterHighPass, filterNotch, filterResonator, filterConvolve };

// ---- Result layout ----

// The values row by row into a new array of the given column count.
std::unique_ptr<TArray> arrayOfRows(const TSeries& values, int columns) {
  if (values.empty()) throw ERangeError();
  auto array = std::make_unique<TArray>();
  storeVectorInArray(values, columns, static_cast<int>(values.size() / columns), *array, true);
  return array;
}

std::unique_ptr<TArray> arrayOfOneRow(const TSeries& values) {
  return arrayOfRows(values, static_cast<int>(values.size()));
}

bool isNonEmptyTable(const TArray& array) { return array.dimensionCount() == 2 && array.elementCount() > 0; }

// Work growing with the product of two lengths must stay within the bound.
void requireWorkWithinBound(std::int64_t steps) {
  if (steps > maxSignalWork) throw ERangeError();
}

// ---- Filter design ----

using TFilterDesign = TSeries (*)(int order, long double frequency);

void evalFilterDesign(TEvalContext& context, TFilterDesign design) {
  if (context.argumentCount() != 2) return;
  std::int32_t order = 0;
  double frequency = 0;
  if (!context.integerArgument(0, order) || !context.numberArgument(1, frequency) || order <= 0) return;
  context.setArrayResult(arrayOfRows(design(order, frequency), sectionColumns));
}

void evalMAKE_LOPASS(TEvalContext& context) { evalFilterDesign(context, makeLowPass); }
void evalMAKE_HIPASS(TEvalContext& context) { evalFilterDesign(context, makeHighPass); }

void evalMAKE_EMA(TEvalContext& context) {
  if (context.argumentCount() != 1) return;
  std::int32_t length = 0;
  if (!context.integerArgument(0, length)) return;
  context.setArrayResult(arrayOfOneRow(makeEma(length)));
}

void evalMAKE_NOTCH(TEvalContext& context) {
  if (context.argumentCount() != 2) return;
  double frequency = 0, radius = 0;
  if (!context.numberArgument(0, frequency) || !context.numberArgument(1, radius)) return;
  context.setArrayResult(arrayOfOneRow(makeNotch(frequency, radius)));
}

void evalMAKE_RESONATOR(TEvalContext& context) {
  if (context.argumentCount() != 3) return;
  double frequency = 0, zeroGain = 0, peakGain = 0;
  if (!context.numberArgument(0, frequency) || !context.numberArgument(1, zeroGain) ||
      !context.numberArgument(2, peakGain)) {
    return;
  }
  context.setArrayResult(arrayOfOneRow(makeResonator(frequency, zeroGain, peakGain)));
}

// ---- Filtering ----

TSeries runFilter(int selector, const TSeries& coefficients, const TSeries& signal, long double gain) {
  switch (selector) {
    case filterLowPass: return applyFilter(coefficients, signal, gain);
    case filterHighPass: return applyHighPass(coefficients, signal, gain);
    case filterNotch: return applyNotch(coefficients, signal);
    case filterResonator: return applyResonator(coefficients, signal);
    default: return convolve(coefficients, signal, gain);
  }
}

void evalApplyFilter(TEvalContext& context, int selector) {
  const int count = context.argumentCount();
  if (count < 3 || count > 5) return;
  TArgumentArray table;
  if (!context.arrayArgument(0, table) || !table || !isNonEmptyTable(*table)) return;
  if (selector != filterConvolve && table->dimensions()[1] != sectionColumns) return;
  double gain = 0;
  if (!context.numberArgument(1, gain)) return;
  // Written in place: an array the argument owns becomes the result.
  TArgumentArray dataArgument;
  if (!context.arrayArgument(2, dataArgument, valueOwnedArray, false) || !dataArgument ||
      !isNonEmptyTable(*dataArgument)) {
    return;
  }
  const std::int32_t rows = dataArgument->dimensions()[0];
  const std::int32_t columns = dataArgument->dimensions()[1];
  std::int32_t first = 1, last = columns;
  if (count >= 4) {
    if (!context.integerArgument(3, first)) return;
    last = first;
  }
  if (count == 5 && !context.integerArgument(4, last)) return;
  if (first < 1 || first > last || last > columns) return;

  TSeries coefficients;
  appendArrayNumbers(context.sheet, *table, coefficients, true);
  const auto perSample = static_cast<std::int64_t>(selector == filterConvolve ? coefficients.size()
                                                                              : coefficients.size() / sectionColumns);
  requireWorkWithinBound(perSample * rows * (std::int64_t{last} - first + 1));

  std::unique_ptr<TArray> data = dataArgument.take();
  TSeries signal(static_cast<std::size_t>(rows));
  for (std::int32_t column = first - 1; column < last; ++column) {
    for (std::int32_t row = 0; row < rows; ++row) {
      double value = 0;
      signal[row] = elementNumber(context.sheet, data->at(row, column), value) ? value : 0;
    }
    const TSeries output = runFilter(selector, coefficients, signal, gain);
    if (output.size() < signal.size()) return;
    for (std::int32_t row = 0; row < rows; ++row) storeNumber(data->at(row, column), output[row]);
  }
  context.setArrayResult(std::move(data));
}

// ---- Resampling and windows ----

void evalRESAMPLE(TEvalContext& context) {
  if (context.argumentCount() != 2) return;
  double factor = 0;
  if (!context.numberArgument(0, factor)) return;
  TSeries values;
  collectNumberArgs(context, 1, 1, values);
  const TSeries resampled = resample(values, factor);
  if (resampled.empty()) return;
  context.setArrayResult(arrayOfRows(resampled, 1));
}

struct TWindowRoutines {
  TSeries (*window)(std::int64_t length);
  long double (*weight)(std::int64_t length, std::int64_t index);
};

// By selector - 1: rectangle, triangle, Hanning, Hamming, Blackman.
constexpr TWindowRoutines windowRoutines[] = {{rectangleWindow, rectangleWeight},
                                              {triangleWindow, triangleWeight},
                                              {hanningWindow, hanningWeight},
                                              {hammingWindow, hammingWeight},
                                              {blackmanWindow, blackmanWeight}};

void evalWindowFunction(TEvalContext& context, int selector) {
  const int count = context.argumentCount();
  if (count < 1 || count > 2) return;
  const TWindowRoutines& routines = windowRoutines[selector - 1];
  std::int32_t length = 0;
  if (!context.integerArgument(0, length)) return;
  if (count == 1) {
    context.setArrayResult(arrayOfOneRow(routines.window(length)));
    return;
  }
  std::int32_t position = 0;
  if (!context.integerArgument(1, position)) return;
  // Positions count from 1 in formulas and from 0 in the weight routines.
  context.setNumberResult(routines.weight(length, std::int64_t{position} - 1));
}

// ---- Spectra ----

void evalFourier(TEvalContext& context, bool polar) {
  if (context.argumentCount() != 1) return;
  TSeries values;
  collectNumberArgs(context, 0, 0, values);
  // No numbers make no spectrum, as they make no resampling or MEM model.
  if (values.empty()) return;
  context.setArrayResult(arrayOfRows(fourierSpectrum(values, polar), spectrumColumns));
}

void evalFFTC(TEvalContext& context) { evalFourier(context, false); }
void evalFFTP(TEvalContext& context) { evalFourier(context, true); }

void evalMEM(TEvalContext& context) {
  if (context.argumentCount() != 2) return;
  TSeries values;
  collectNumberArgs(context, 0, 0, values);
  std::int32_t order = 0;
  if (!context.integerArgument(1, order) || order < 1) return;
  const auto length = static_cast<std::int64_t>(values.size());
  requireWorkWithinBound(length * std::min<std::int64_t>(order, length - 1));
  const TSeries coefficients = memCoefficients(values, order);
  if (coefficients.empty()) return;
  context.setArrayResult(arrayOfOneRow(coefficients));
}

// The spectrum over a grid of frequencies (frequencyGrid) or periods; with
// dominant, only the largest value with its frequency and its ratio to the
// mean.
void evalMEMSpectrum(TEvalContext& context, bool frequencyGrid, bool dominant) {
  const int count = context.argumentCount();
  if (count != 3 && count != 5) return;
  TSeries coefficients;
  collectNumberArgs(context, 0, 0, coefficients);
  std::int32_t power = 0, points = 1;
  double start = 0, step = 0;
  if (!context.integerArgument(1, power) || !context.numberArgument(2, start)) return;
  if (count == 5 && (!context.numberArgument(3, step) || !context.integerArgument(4, points))) return;
  if (points < 1) return;
  // The point count comes straight from the formula: bound it before the
  // grid is built.
  requireSignalLength(points);
  requireWorkWithinBound(std::int64_t{points} * static_cast<std::int64_t>(coefficients.size()));

  TSeries grid(static_cast<std::size_t>(points)), frequencies(grid.size());
  for (std::int32_t i = 0; i < points; ++i) {
    grid[i] = start + i * static_cast<long double>(step);
    frequencies[i] = frequencyGrid ? grid[i] : (grid[i] == 0 ? 1 : 1 / grid[i]);
  }
  TSeries shown = memSpectrum(coefficients, frequencies);
  if (shown.empty()) return;
  for (long double& value : shown) {
    value *= 2;
    if (power != 0) continue;
    if (value < 0) throw EInvalidOp();
    value = std::sqrt(value);
  }

  auto result = std::make_unique<TArray>();
  if (dominant) {
    std::size_t largest = 0;
    long double sum = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      sum += shown[i];
      if (shown[i] > shown[largest]) largest = i;
    }
    const long double mean = sum / static_cast<long double>(shown.size());
    result->setSize2D(1, 3);
    storeNumber(result->at(0, 0), frequencies[largest]);
    storeNumber(result->at(0, 1), shown[largest]);
    if (mean != 0) storeNumber(result->at(0, 2), shown[largest] / mean);
  } else {
    result->setSize2D(points, 2);
    for (std::int32_t i = 0; i < points; ++i) {
      storeNumber(result->at(i, 0), shown[i]);
      if (frequencyGrid) {
        storeNumber(result->at(i, 1), frequencies[i]);
      } else if (grid[i] != 0) {
        // A period of 0 has no frequency; its stand-in of 1 is no period either.
        storeNumber(result->at(i, 1), 1 / frequencies[i]);
      }
    }
  }
  context.setArrayResult(std::move(result));
}

void registerAs(TBuiltinTable& table, const char* name, TBuiltinRoutine routine) {
  table[static_cast<std::size_t>(FunctionIdOf(name))] = routine;
}

}  // namespace

void registerSignalFunctions(TBuiltinTable& table) {
  registerAs(table, "MAKE_LOPASS", evalMAKE_LOPASS);
  registerAs(table, "LOPASS", [](TEvalContext& c) { evalApplyFilter(c, filterLowPass); });
  registerAs(table, "MAKE_EMA", evalMAKE_EMA);
  registerAs(table, "MAKE_HIPASS", evalMAKE_HIPASS);
  registerAs(table, "HIPASS", [](TEvalContext& c) { evalApplyFilter(c, filterHighPass); });
  registerAs(table, "MAKE_NOTCH", evalMAKE_NOTCH);
  registerAs(table, "NOTCH", [](TEvalContext& c) { evalApplyFilter(c, filterNotch); });
  registerAs(table, "MAKE_RESONATOR", evalMAKE_RESONATOR);
  registerAs(table, "RESONATE", [](TEvalContext& c) { evalApplyFilter(c, filterResonator); });
  registerAs(table, "RESAMPLE", evalRESAMPLE);
  registerAs(table, "CONVOLVE", [](TEvalContext& c) { evalApplyFilter(c, filterConvolve); });
  registerAs(table, "RECTANGLE", [](TEvalContext& c) { evalWindowFunction(c, 1); });
  registerAs(table, "TRIANGLE", [](TEvalContext& c) { evalWindowFunction(c, 2); });
  registerAs(table, "HANNING", [](TEvalContext& c) { evalWindowFunction(c, 3); });
  registerAs(table, "HAMMING", [](TEvalContext& c) { evalWindowFunction(c, 4); });
  registerAs(table, "BLACKMAN", [](TEvalContext& c) { evalWindowFunction(c, 5); });
  registerAs(table, "FFTC", evalFFTC);
  registerAs(table, "FFTP", evalFFTP);
  registerAs(table, "MEM", evalMEM);
  registerAs(table, "MEMF", [](TEvalContext& c) { evalMEMSpectrum(c, true, false); });
  registerAs(table, "MEMP", [](TEvalContext& c) { evalMEMSpectrum(c, false, false); });
  registerAs(table, "MEMDOM", [](TEvalContext& c) { evalMEMSpectrum(c, true, true); });
}
