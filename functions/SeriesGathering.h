#pragma once
#include <vector>

class TArray;
class TEvalContext;
class TSheet;
struct TValueRecord;

// Gathering the values of built-in arguments into series of extended
// numbers, for the statistics, cash-flow, signal-processing and indicator
// built-ins. Arrays are only read: they may be borrowed from a cell.

// The element as a number by the sheet's conversion rules (a text that reads
// as a number counts); false for empty elements and other texts.
bool elementNumber(const TSheet& sheet, const TValueRecord& element, double& number);

// Appends the array's elements in storage order. Not dense: only the
// elements that convert to numbers. Dense: one entry per element, 0 for an
// element that does not convert, so positions follow the array's shape.
void appendArrayNumbers(const TSheet& sheet, const TArray& array, std::vector<long double>& vector, bool dense);

// Appends the arguments first ... last (0-based) of the current call in
// order: an argument that converts to a number as one entry, an array or
// range with appendArrayNumbers (not dense); anything else adds nothing.
void collectNumberArgs(TEvalContext& context, int first, int last, std::vector<long double>& vector);
