#pragma once
#include <cmath>
#include <memory>

#include "model/Prices.h"
#include "platform/CalendarDates.h"

inline double day(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return date;
}

// A day's quote with the fields whose values are given (NaN: absent).
inline TQuoteRecord quoteOf(long double open, long double high, long double low, long double close,
                            long double volume = NAN) {
  TQuoteRecord quote;
  const long double values[] = {open, high, low, close, volume};
  for (int v = 0; v < 5; ++v) {
    if (values[v] == values[v]) {
      quote.*quoteValueFields[v] = values[v];
      quote.Mask |= quoteValueBit(v);
    }
  }
  return quote;
}

inline TQuoteRecord closeQuote(long double close) { return quoteOf(NAN, NAN, NAN, close); }
