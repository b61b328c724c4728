#include "functions/SeriesGathering.h"

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

void collectNumberArgs(TEvalContext& context, int first, int last, std::vector<long double>& vector) {
  for (int i = first; i <= last; ++i) {
    double number = 0.0;
    if (context.numberArgument(i, number)) {
      vector.push_back(number);
      continue;
    }
    TArgumentArray array;
    if (context.arrayArgument(i, array) && array) appendArrayNumbers(context.sheet, *array, vector, false);
  }
}
