#include "functions/SeriesGathering.h"

#include <cstdint>

#include "functions/RangeValues.h"
#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"

bool elementNumber(const TSheet& sheet, const TValueRecord& element, double& number) {
  switch (element.kind) {
    case valueNumber:
      number = element.number;
      return true;
    case valueInteger:
      number = element.integer;
      return true;
    case valueString: {
      // Converted on a copy: the array may belong to another cell.
      TValueRecord text = element;
      if (!sheet.convertValue(text, valueNumber)) return false;
      number = text.number;
      return true;
    }
    default:
      return false;
  }
}

void appendArrayNumbers(const TSheet& sheet, const TArray& array, std::vector<long double>& vector, bool dense) {
  vector.reserve(vector.size() + array.elements().size());
  for (const TValueRecord& element : array.elements()) {
    double number = 0.0;
    if (elementNumber(sheet, element, number)) {
      vector.push_back(number);
    } else if (dense) {
      vector.push_back(0.0L);
    }
  }
}

namespace {

// Room for every place of a range argument, so that a long range is not
// gathered through a chain of reallocations.
void reserveForRange(TEvalContext& context, int i, std::vector<long double>& vector) {
  const TTokenObject* operand = context.argument(i);
  int firstCol = 0, firstRow = 0, lastCol = 0, lastRow = 0;
  if (!operand || operand->value.kind != valueIdentifier ||
      !context.sheet.parseRangeRef(operand->value.string, firstCol, firstRow, lastCol, lastRow)) {
    return;
  }
  const std::int64_t places = (std::int64_t{lastRow} - firstRow + 1) * (std::int64_t{lastCol} - firstCol + 1);
  if (places <= maxArrayElements) vector.reserve(vector.size() + static_cast<std::size_t>(places));
}

}  // namespace

void collectNumberArgs(TEvalContext& context, int first, int last, std::vector<long double>& vector) {
  const TSheet& sheet = context.sheet;
  auto appendNumber = [&](const TValueRecord& value) {
    double number = 0.0;
    if (elementNumber(sheet, value, number)) vector.push_back(number);
    return true;
  };
  for (int i = first; i <= last; ++i) {
    // A range goes straight from its cells into the series: a column of
    // formulas over one long range would otherwise copy it into an array
    // once per cell.
    reserveForRange(context, i, vector);
    if (forEachRangeValue(context, i, appendNumber)) continue;
    double number = 0.0;
    if (context.numberArgument(i, number)) {
      vector.push_back(number);
      continue;
    }
    TArgumentArray array;
    if (context.arrayArgument(i, array) && array) appendArrayNumbers(context.sheet, *array, vector, false);
  }
}
