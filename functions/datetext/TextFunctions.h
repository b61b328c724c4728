#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/LocaleSettings.h"
#include "sheet/BuiltinDispatch.h"

// The text built-ins the evaluator computes itself, on 8-bit texts whose
// positions count characters from 1. Positions and counts are added in 64
// bits, so no start plus count wraps; a result that would grow beyond
// maxSheetTextLength (model/TextFormatting.h) raises ERangeError
// ("#VALUE!"). Where a built-in fails otherwise, the result is empty
// (std::nullopt) and the evaluator names the cell error.

// count characters from position start: a start below 1 counts as 1, one
// beyond the end or a negative count gives the empty text, and a count
// reaching past the end stops there.
std::string extractText(const std::string& text, std::int64_t start, std::int64_t count);

// CLEAN: the text without control characters below 32, except that line
// feeds, carriage returns (and spaces) stay.
std::string cleanControlChars(const std::string& text);

// CHAR: the character of code n modulo 256.
std::string characterOfCode(std::int32_t n);

// CODE: the code 0 to 255 of the first character; none for an empty text.
std::optional<std::int32_t> codeOfFirstCharacter(const std::string& text);

// DOLLAR: value rounded to decimals places (negative: left of the point),
// held as money with four decimals and written in the settings' currency
// format with max(0, decimals) decimals. None when the rounded amount does
// not fit money's 64-bit range (about 9.22E14).
std::optional<std::string> dollarText(double value, std::int32_t decimals,
                                      const TLocaleSettings& settings = localeSettings());

// FIND and SEARCH look from start, which must lie within `within`; this
// tells whether it does (FIND and SEARCH fail differently when not).
bool startWithinText(const std::string& within, std::int32_t start);

// FIND, case kept: the position of find in within at or after start (an
// empty find is found at start); none when it does not occur or start lies
// outside within. Without start: from 1, and an empty find gives 1.
std::optional<std::int32_t> findText(const std::string& find, const std::string& within,
                                     std::optional<std::int32_t> start = std::nullopt);

// SEARCH, case ignored, no wildcards: the position of find in within at or
// after start (1 when none is given); none for an empty find or when it does
// not occur. The start must be checked with startWithinText first.
std::optional<std::int32_t> searchText(const std::string& find, const std::string& within, std::int32_t start = 1);

// LEFT and RIGHT: the first or last count characters (the whole text when
// count reaches beyond it, empty when count <= 0).
std::string leftText(const std::string& text, std::int32_t count);
std::string rightText(const std::string& text, std::int32_t count);

// MID: count characters from start; none when start < 1 or count < 0.
std::optional<std::string> midText(const std::string& text, std::int32_t start, std::int32_t count);

// REPLACE: the first start - 1 characters of oldText, then newText, then
// oldText from position start + count on, by the extracting rules alone.
std::string replaceText(const std::string& oldText, std::int32_t start, std::int32_t count,
                        const std::string& newText);

// SUBSTITUTE with three arguments: every occurrence of oldText, left to
// right and not overlapping, replaced by newText; unchanged for an empty
// oldText. With four: substituteInstance, capped like the rest.
std::string substituteAll(const std::string& text, const std::string& oldText, const std::string& newText);
std::string substituteOne(const std::string& text, const std::string& oldText, const std::string& newText,
                          std::int32_t instance);

// CHAR, CLEAN, CODE, DOLLAR, EXACT, FIND, FIXED, LEFT, LEN, LOWER, MID,
// PROPER, REPLACE, REPT, RIGHT, SEARCH, SUBSTITUTE, T, TRIM, UPPER, VALUE.
void registerTextFunctions(TBuiltinTable& table);
