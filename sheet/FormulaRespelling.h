#pragma once
#include <string>
#include <string_view>

// Re-spells a formula from one pair of decimal and list separators to
// another: formulas are stored with "." and ";" and shown with the user's
// separators. Numbers written with a decimal separator or an exponent are
// printed again (the shortest text that reads back as the same double, so
// 1.50 becomes 1.5 and 1E3 becomes 1000) with the target decimal separator;
// list separators are replaced; everything else (integers as written, string
// constants with their separators and doubled quotes, names, references,
// operators) is copied unchanged, with the blanks between tokens.
std::string translateFormulaSeparators(std::string_view text, char fromDecimal, char toDecimal, char fromList,
                                       char toList);
