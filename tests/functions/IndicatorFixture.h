#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

// A small daily price table shared by the indicator tests, and helpers that
// turn it into the flat rows the routines read and pick their records apart.
struct TBar {
  long double date, open, high, low, close, volume;
};

inline const std::vector<TBar>& fixtureBars() {
  static const std::vector<TBar> bars{
      {45000, 99.47L, 100.77L, 97.24L, 97.38L, 53890}, {45001, 96.16L, 98.48L, 95.73L, 96.66L, 17040},
      {45002, 96.46L, 96.64L, 93.03L, 93.88L, 77730},  {45003, 94.08L, 98.02L, 92.91L, 96.76L, 15060},
      {45004, 96.99L, 98.94L, 96.28L, 96.37L, 80320},  {45007, 95.27L, 96.35L, 93.64L, 94.78L, 55890},
      {45008, 95.73L, 96.89L, 92.53L, 93.81L, 40500},  {45009, 92.60L, 95.00L, 91.36L, 93.87L, 50660},
      {45010, 94.41L, 95.04L, 92.81L, 93.98L, 47120},  {45011, 93.56L, 93.92L, 90.49L, 92.05L, 16700},
      {45014, 92.27L, 94.17L, 90.81L, 92.42L, 33580},  {45015, 92.75L, 93.77L, 89.86L, 90.19L, 38020},
      {45016, 89.15L, 89.23L, 87.74L, 89.08L, 72630},  {45017, 89.25L, 92.62L, 88.57L, 90.98L, 38680},
      {45018, 91.26L, 92.65L, 89.58L, 91.74L, 87380},  {45021, 91.05L, 92.36L, 89.59L, 92.23L, 35360},
      {45022, 92.67L, 97.27L, 92.10L, 95.63L, 41600},  {45023, 96.79L, 98.67L, 95.16L, 95.87L, 60040},
      {45024, 94.72L, 96.26L, 91.81L, 92.07L, 30280},  {45025, 91.76L, 95.25L, 91.43L, 94.26L, 42900},
      {45028, 94.41L, 98.35L, 92.68L, 96.71L, 32800},  {45029, 97.33L, 101.62L, 96.57L, 100.25L, 28900},
      {45030, 99.20L, 99.66L, 96.79L, 97.26L, 49720},  {45031, 98.25L, 98.81L, 96.05L, 96.34L, 53790},
  };
  return bars;
}

using TBarField = long double TBar::*;

// Rows of the date and the given fields.
inline std::vector<long double> flatRows(const std::vector<TBar>& bars, std::initializer_list<TBarField> fields) {
  std::vector<long double> values;
  for (const TBar& bar : bars) {
    values.push_back(bar.date);
    for (TBarField field : fields) values.push_back(bar.*field);
  }
  return values;
}

// Column `column` (0 the date) of records `width` values long.
inline std::vector<long double> recordColumn(const std::vector<long double>& records, int width, int column) {
  std::vector<long double> result;
  for (std::size_t i = column; i < records.size(); i += width) result.push_back(records[i]);
  return result;
}

// (date, value) rows from parallel lists.
inline std::vector<long double> dated(const std::vector<long double>& dates, const std::vector<long double>& values) {
  std::vector<long double> rows;
  for (std::size_t i = 0; i < values.size(); ++i) {
    rows.push_back(dates[i]);
    rows.push_back(values[i]);
  }
  return rows;
}

// (date, value) rows dated 1, 2, 3, ...
inline std::vector<long double> series(std::initializer_list<long double> values) {
  std::vector<long double> rows;
  long double date = 1;
  for (long double value : values) {
    rows.push_back(date++);
    rows.push_back(value);
  }
  return rows;
}

inline void expectAllNear(const std::vector<long double>& actual, const std::vector<long double>& expected,
                          long double relative = 1e-15L) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_NEAR(static_cast<double>(actual[i]), static_cast<double>(expected[i]),
                static_cast<double>(relative * std::fabs(expected[i]) + 1e-300L))
        << "at " << i;
}
