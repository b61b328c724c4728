#pragma once
#include <string>
#include <string_view>

// Every formula the program keeps in a file is spelled with "." as decimal
// and ";" as list separator whatever the user's separators, so a file reads
// the same under every locale. These are the only ways between the two forms.
constexpr char storedDecimalSeparator = '.';
constexpr char storedListSeparator = ';';

// A formula as kept in a file, to the user's separators (loading).
std::string formulaFromStore(std::string_view stored, char decimalSeparator, char listSeparator);
// A formula with the user's separators, to the form kept in a file (saving).
std::string formulaToStore(std::string_view formula, char decimalSeparator, char listSeparator);

// A cell's content: a formula when it begins with "=", else its value. The
// value of a text cell is the user's own ("Smith; John", "1,50") and is kept
// as it is; the value of any other cell (a number) follows the separators.
std::string contentFromStore(std::string_view stored, bool textCell, char decimalSeparator, char listSeparator);
std::string contentToStore(std::string_view content, bool textCell, char decimalSeparator, char listSeparator);

// A field's definition: the field editor takes the "=" off, so a definition
// that calls a function or applies an operator is a formula without it; a
// lone name or number, or a text that reads as no formula, is kept as it is.
std::string fieldContentFromStore(std::string_view stored, char decimalSeparator, char listSeparator);
std::string fieldContentToStore(std::string_view content, char decimalSeparator, char listSeparator);
