#pragma once
#include <string>
#include <string_view>

// Re-spells a formula from one pair of decimal and list separators to
// another: formulas are stored with "." and ";" and shown with the user's
// separators. Only the separators change: a number keeps every character the
// user typed with the target decimal separator in place of the source one
// ("1,50" and "1.50", never "1.5"), a list separator becomes the target one,
// and everything else (string constants with their separators and doubled
// quotes, names, references, operators) is copied unchanged, with the blanks
// between tokens.
std::string translateFormulaSeparators(std::string_view text, char fromDecimal, char toDecimal, char fromList,
                                       char toList);
