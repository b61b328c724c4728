#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "model/QuoteRecord.h"

struct TQuoteFormat;

// The days the program changed in a price series, each with the record it
// now holds for that day (none: the day was deleted), keyed by day number.
using TQuoteDayEdits = std::map<int32_t, std::optional<TQuoteRecord>>;

// Writes the edited days into the text of a price file as it stands, so that
// lines another program wrote since the series was read stay: each line of
// an edited day gives way to that day's record (in the place of its first
// line), the record of a day the text does not hold yet goes in date order
// among its lines, and every other line (other days, headers, what does not
// read in the format) stays byte for byte. A new line ends as the text's
// first line does. 0; -8 when the text holds lines but none reads in the format: it
// is no longer written in the format the series was read with, and the days
// cannot be placed in it.
int applyQuoteDayEdits(std::string_view text, const TQuoteFormat& format, const TQuoteDayEdits& edits,
                       std::string& result);

// The day number of a quote line's date, or false when the record carries
// no valid calendar date.
bool quoteDayOf(const TQuoteRecord& quote, int32_t& day);
