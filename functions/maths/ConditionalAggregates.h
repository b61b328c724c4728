#pragma once

class TEvalContext;

constexpr int sumIfMode = 0;
constexpr int countIfMode = 1;

// SUMIF (range, criterion [, sum range]) and COUNTIF (range, criterion).
// The criterion is brought once into the form of an operator and a value
// (">5", "=\"abc\""); each element of the range is then tested by the
// sheet's own operator, as the formula of the element followed by that
// form. COUNTIF counts the elements that pass, SUMIF adds the numbers paired
// with them (in storage order) in the sum range, or the elements
// themselves.
void evalSUMIF_COUNTIF(TEvalContext& context, int mode);
