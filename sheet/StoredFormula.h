#pragma once
#include <string>
#include <string_view>

// Every formula the program keeps in a file is spelled with "." as decimal
// and ";" as list separator whatever the user's separators, so a file reads
// the same under every locale. These are the only ways between the two forms.
constexpr char storedDecimalSeparator = '.';
constexpr char storedListSeparator = ';';

// Both go token by token without compiling, so a definition the user keeps
// while it does not compile yet is stored like any other and computes the
// same once corrected under other settings. Quoted texts stay as typed. The
// stored form has no way to tell a ";" or "." that the user's settings read
// as no separator: it comes back as the user's list or decimal separator.

// A formula as kept in a file, to the user's separators (loading).
std::string formulaFromStore(std::string_view stored, char decimalSeparator, char listSeparator);
// A formula with the user's separators, to the form kept in a file (saving).
std::string formulaToStore(std::string_view formula, char decimalSeparator, char listSeparator);

// A cell's content: a formula when it begins with "=", else its value. The
// value of a text cell is the user's own ("Smith; John", "1,50") and is kept
// as it is; the value of any other cell (a number) follows the separators.
std::string contentFromStore(std::string_view stored, bool textCell, char decimalSeparator, char listSeparator);
std::string contentToStore(std::string_view content, bool textCell, char decimalSeparator, char listSeparator);

// A number typed as a value, not as a formula (a field's sample content):
// blanks, a sign, digits with at most one decimal separator and an
// exponent. Only the decimal separator changes, so every digit the user
// typed stays; any other text (a date, a word, a number with thousands
// separators) is kept as it is.
std::string numberFromStore(std::string_view stored, char decimalSeparator);
std::string numberToStore(std::string_view number, char decimalSeparator);
// The same for a number that may hold thousands separators ("1.234,5"
// under German settings): when the user's settings read it as a number it
// is stored without them ("1234.5"), since the stored form has no thousands
// separator and the user's would read as another number elsewhere.
std::string groupedNumberToStore(std::string_view number, char decimalSeparator, char thousandSeparator);
