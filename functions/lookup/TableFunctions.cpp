#include "functions/lookup/TableFunctions.h"

#include <memory>
#include <vector>

#include "functions/lookup/KeyIndex.h"
#include "functions/SeriesGathering.h"
#include "functions/lookup/TableView.h"
#include "platform/LocaleSettings.h"
#include "sheet/EvalContext.h"
#include "sheet/FormulaTokenizer.h"
#include "sheet/Sheet.h"

namespace {

int signOf(int order) { return (order > 0) - (order < 0); }

// The sheet's comparison (no wildcards) on copies: it converts what it is
// given, and elements may belong to a range or another cell.
bool compareCopies(TEvalContext& context, const TValueRecord& a, const TValueRecord& b, int& order) {
  TValueRecord left = a;
  TValueRecord right = b;
  return context.sheet.compareValues(left, right, order, context.column, context.row, context.recordDependents, false);
}

// A 1-based column argument of the table, 0 when it is out of range.
std::int32_t columnArgument(TEvalContext& context, int i, const TTableView& table) {
  std::int32_t column = 0;
  if (!context.integerArgument(i, column) || column < 1 || column > table.columns()) return 0;
  return column;
}

bool fitsElementLimit(std::int64_t rows, std::int64_t columns) { return rows * columns <= maxArrayElements; }

// One row of a result: the key of the table row where something was found
// and an integer telling what.
struct TKeyedEvent {
  TValueRecord key;
  std::int32_t kind;
  double value;
};

// Rows of key, kind and (withValue) value; no row at all is "#VALUE!".
void setEventsResult(TEvalContext& context, const std::vector<TKeyedEvent>& events, bool withValue) {
  if (events.empty()) return;
  auto result = std::make_unique<TArray>();
  result->setSize2D(static_cast<std::int32_t>(events.size()), withValue ? 3 : 2);
  for (std::size_t i = 0; i < events.size(); ++i) {
    const auto row = static_cast<std::int32_t>(i);
    result->at(row, 0) = events[i].key;
    TValueRecord& kind = result->at(row, 1);
    kind.kind = valueInteger;
    kind.integer = events[i].kind;
    if (withValue) {
      TValueRecord& value = result->at(row, 2);
      value.kind = valueNumber;
      value.number = events[i].value;
    }
  }
  context.setArrayResult(std::move(result));
}

// EXTREMA (table, column[, ends]): peaks (+1), troughs (-1) and flat points
// (0) of the column, each against its two neighbours; with ends the first
// and last rows count against their one neighbour.
void evalEXTREMA(TEvalContext& context) {
  const int count = context.argumentCount();
  if (count < 2 || count > 3) return;
  TTableView table;
  if (!table.read(context, 0)) return;
  const std::int32_t column = columnArgument(context, 1, table);
  std::int32_t ends = 0;
  if (column == 0 || (count == 3 && !context.integerArgument(2, ends))) return;

  const std::int32_t rows = table.rows();
  std::vector<double> values(static_cast<std::size_t>(rows));
  std::vector<bool> isNumber(static_cast<std::size_t>(rows));
  TValueRecord element;
  for (std::int32_t r = 0; r < rows; ++r) {
    table.get(r, column - 1, element);
    double number = 0.0;
    isNumber[static_cast<std::size_t>(r)] = elementNumber(context.sheet, element, number);
    values[static_cast<std::size_t>(r)] = number;
  }
  std::vector<TKeyedEvent> events;
  for (std::int32_t r = 0; r < rows; ++r) {
    std::int32_t before = r - 1;
    std::int32_t after = r + 1;
    if (ends != 0 && r == 0) before = after;
    if (ends != 0 && r == rows - 1) after = before;
    if (before < 0 || after >= rows) continue;
    const double a = values[static_cast<std::size_t>(before)];
    const double b = values[static_cast<std::size_t>(r)];
    const double c = values[static_cast<std::size_t>(after)];
    if (!isNumber[static_cast<std::size_t>(before)] || !isNumber[static_cast<std::size_t>(r)] ||
        !isNumber[static_cast<std::size_t>(after)]) {
      continue;
    }
    std::int32_t kind = 0;
    if (a < b && b > c) {
      kind = 1;
    } else if (a > b && b < c) {
      kind = -1;
    } else if (a != b && b != c) {
      continue;
    }
    TKeyedEvent event{TValueRecord(), kind, b};
    table.get(r, 0, event.key);
    events.push_back(std::move(event));
  }
  setEventsResult(context, events, true);
}

// Follows the sign of one series against another: a row whose sign is not
// 0 and differs from the last non-zero sign is a crossing.
class TCrossingWatch {
 public:
  // The crossing at this sign (+1 up, -1 down), 0 for none.
  std::int32_t next(int sign) {
    if (sign == 0) return 0;
    const int previous = lastSign_;
    lastSign_ = sign;
    return previous != 0 && previous != sign ? sign : 0;
  }

 private:
  int lastSign_ = 0;
};

// CROSSES (table, column, level): where the column crosses the level.
void crossesLevel(TEvalContext& context) {
  TTableView table;
  if (!table.read(context, 0)) return;
  const std::int32_t column = columnArgument(context, 1, table);
  TValueRecord level;
  level.kind = valueNumber;
  if (column == 0 || !context.numberArgument(2, level.number)) return;
  std::vector<TKeyedEvent> events;
  TCrossingWatch watch;
  TValueRecord value;
  for (std::int32_t r = 0; r < table.rows(); ++r) {
    table.get(r, column - 1, value);
    int order = 0;
    if (!compareCopies(context, value, level, order)) continue;
    if (const std::int32_t direction = watch.next(signOf(order))) {
      TKeyedEvent event{TValueRecord(), direction, 0.0};
      table.get(r, 0, event.key);
      events.push_back(std::move(event));
    }
  }
  setEventsResult(context, events, false);
}

// CROSSES (table1, column1, table2, column2): where table1's column crosses
// table2's, the two paired by key (both ascending): an equal key, else the
// last table2 row below, else (table2 used up) table2's last row.
void crossesTable(TEvalContext& context) {
  TTableView first, second;
  if (!first.read(context, 0) || !second.read(context, 2)) return;
  const std::int32_t firstColumn = columnArgument(context, 1, first);
  const std::int32_t secondColumn = columnArgument(context, 3, second);
  if (firstColumn == 0 || secondColumn == 0) return;
  std::vector<TKeyedEvent> events;
  TCrossingWatch watch;
  std::int32_t next = 0;  // the first table2 row not yet below a table1 key
  std::int32_t lastBelow = -1;
  TValueRecord key, otherKey, value, otherValue;
  for (std::int32_t r = 0; r < first.rows(); ++r) {
    first.get(r, 0, key);
    if (key.kind < valueInteger || key.kind > valueString) continue;
    bool equal = false;
    while (next < second.rows()) {
      second.get(next, 0, otherKey);
      int order = 0;
      if (compareCopies(context, otherKey, key, order) && order >= 0) {
        equal = order == 0;
        break;
      }
      if (otherKey.kind >= valueInteger && otherKey.kind <= valueString) lastBelow = next;
      ++next;
    }
    std::int32_t paired = lastBelow;
    if (equal) {
      paired = next;
    } else if (lastBelow < 0) {
      continue;  // before every key of table2
    } else if (next >= second.rows()) {
      paired = second.rows() - 1;
    }
    first.get(r, firstColumn - 1, value);
    second.get(paired, secondColumn - 1, otherValue);
    int order = 0;
    if (!compareCopies(context, value, otherValue, order)) continue;
    if (const std::int32_t direction = watch.next(signOf(order))) {
      TKeyedEvent event{key, direction, 0.0};
      events.push_back(std::move(event));
    }
  }
  setEventsResult(context, events, false);
}

void evalCROSSES(TEvalContext& context) {
  switch (context.argumentCount()) {
    case 3:
      crossesLevel(context);
      return;
    case 4:
      crossesTable(context);
      return;
    default:
      return;
  }
}

// SYNC (table1, table2[, keepAll]): table2's rows joined to the rows of
// table1 with equal keys, each table2 row to the first table1 row with its
// key not yet joined; with keepAll the rows of either table without a
// partner stay, table1's in place and table2's at the end.
void evalSYNC(TEvalContext& context) {
  const int count = context.argumentCount();
  if (count < 2 || count > 3) return;
  TTableView first, second;
  if (!first.read(context, 0) || !second.read(context, 1)) return;
  std::int32_t keepAll = 1;
  if (count == 3 && !context.integerArgument(2, keepAll)) return;

  TKeyIndex index(context.sheet);
  TValueRecord key;
  for (std::int32_t r = 0; r < first.rows(); ++r) {
    first.get(r, 0, key);
    index.add(key, r);
  }
  std::vector<std::int32_t> partnerOfFirst(static_cast<std::size_t>(first.rows()), -1);
  std::vector<std::int32_t> unmatchedSecond;
  std::int64_t matched = 0;
  for (std::int32_t r = 0; r < second.rows(); ++r) {
    second.get(r, 0, key);
    const std::int32_t partner = index.takeFirstEqual(key);
    if (partner >= 0) {
      partnerOfFirst[static_cast<std::size_t>(partner)] = r;
      ++matched;
    } else {
      unmatchedSecond.push_back(r);
    }
  }
  const std::int64_t rows = keepAll != 0 ? first.rows() + static_cast<std::int64_t>(second.rows()) - matched : matched;
  const std::int64_t columns = static_cast<std::int64_t>(first.columns()) + second.columns() - 1;
  if (!fitsElementLimit(rows, columns)) return;

  auto result = std::make_unique<TArray>();
  result->setSize2D(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(columns));
  std::int32_t out = 0;
  auto copySecond = [&](std::int32_t from, std::int32_t to) {
    for (std::int32_t c = 1; c < second.columns(); ++c) second.get(from, c, result->at(to, first.columns() + c - 1));
  };
  for (std::int32_t r = 0; r < first.rows(); ++r) {
    const std::int32_t partner = partnerOfFirst[static_cast<std::size_t>(r)];
    if (partner < 0 && keepAll == 0) continue;
    for (std::int32_t c = 0; c < first.columns(); ++c) first.get(r, c, result->at(out, c));
    if (partner >= 0) copySecond(partner, out);
    ++out;
  }
  if (keepAll != 0) {
    for (std::int32_t r : unmatchedSecond) {
      second.get(r, 0, result->at(out, 0));
      copySecond(r, out);
      ++out;
    }
  }
  context.setArrayResult(std::move(result));
}

// MSORT (array[, ascending[, byRows]]): the rows reordered by the first
// column (byRows off: the columns by the first row).
void evalMSORT(TEvalContext& context) {
  const int count = context.argumentCount();
  if (count < 1 || count > 3) return;
  TArgumentArray array;
  if (!context.arrayArgument(0, array) || !array || array->dimensionCount() != 2 || array->elementCount() < 1) return;
  std::int32_t ascending = 1, byRows = 1;
  if ((count >= 2 && !context.integerArgument(1, ascending)) || (count == 3 && !context.integerArgument(2, byRows)))
    return;
  std::unique_ptr<TArray> sorted = array.take();
  const std::int32_t rows = sorted->dimensions()[0];
  const std::int32_t columns = sorted->dimensions()[1];
  // A single row (column) has nothing to sort and comes back as it is.
  if (byRows != 0) {
    context.sheet.msortArray(ascending != 0, true, 1, rows, 1, 1, columns, *sorted);
  } else {
    context.sheet.msortArray(ascending != 0, false, 1, columns, 1, 1, rows, *sorted);
  }
  context.setArrayResult(std::move(sorted));
}

char singleSeparator(const std::string& separator, char systemSeparator) {
  return separator.size() == 1 ? separator[0] : systemSeparator;
}

// The operator of MOP: the first token of the text, an operator or a
// function call; binary with two or more arrays, so that - and + subtract
// and add, and a sign with one.
bool readElementOperator(TEvalContext& context, const std::string& text, int arrayCount, TRPNstackObject& holder) {
  const TLocaleSettings& locale = localeSettings();
  const char decimal = singleSeparator(context.sheet.decimalSeparator, locale.decimalSeparator);
  const char list = singleSeparator(context.sheet.listSeparator, locale.listSeparator);
  TTokenObject operandBefore;
  operandBefore.tokenClass = tokenOperand;
  TTokenPtr op = holder.newToken();
  std::size_t position = 0, end = 0;
  // A formula's "(" needs something after it to open a call; the operator
  // text ends with it ("SQRT("), so a blank stands in for the arguments.
  getFormulaToken(*op, text + ' ', position, end, decimal, list, arrayCount > 1 ? &operandBefore : nullptr);
  if (op->tokenClass != tokenOperator) return false;
  switch (op->operatorCode) {
    case opOpenBracket:
    case opCloseBracket:
    case opListSeparator:
      return false;
    default:
      break;
  }
  op->value.integer = arrayCount;
  holder.push(std::move(op));
  TSheet::bindFunctionIds(holder);
  return true;
}

// MOP (operator, array1[, array2 ...]): the operator applied to the
// elements at each position, through a small formula per position; an
// element whose formula fails or gives no single value stays empty.
void evalMOP(TEvalContext& context) {
  const int count = context.argumentCount();
  std::string text;
  if (count < 2 || !context.stringArgument(0, text)) return;
  std::vector<TArgumentArray> arrays(static_cast<std::size_t>(count - 1));
  for (int i = 1; i < count; ++i) {
    TArgumentArray& array = arrays[static_cast<std::size_t>(i - 1)];
    if (!context.arrayArgument(i, array) || !array || array->dimensionCount() != 2 || array->elementCount() < 1) return;
    if (array->dimensions() != arrays.front()->dimensions()) return;
  }
  TRPNstackObject holder(context.sheet.tokenFactory);
  if (!readElementOperator(context, text, count - 1, holder)) return;
  const TTokenObject& op = *holder.getItem(0);

  auto result = std::make_unique<TArray>();
  result->setDimensions(arrays.front()->dimensions());
  TRPNstackObject formula(context.sheet.tokenFactory);
  for (std::size_t p = 0; p < result->elements().size(); ++p) {
    formula.clear();
    for (const TArgumentArray& array : arrays) {
      TTokenPtr operand = formula.newToken();
      operand->tokenClass = tokenOperand;
      operand->value = array->elements()[p];
      formula.push(std::move(operand));
    }
    formula.pushCopy(op);
    const std::uint8_t code =
        context.sheet.evaluateTokenList(formula, context.column, context.row, context.recordDependents);
    const TTokenObject* value = formula.count() == 1 ? formula.getItem(0) : nullptr;
    if (code == stateValid && value && value->tokenClass == tokenOperand && value->value.kind >= valueInteger &&
        value->value.kind <= valueIdentifier) {
      result->elements()[p] = value->value;
    }
  }
  context.setArrayResult(std::move(result));
}

}  // namespace

void registerTableFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("CROSSES")] = evalCROSSES;
  table[FunctionIdOf("EXTREMA")] = evalEXTREMA;
  table[FunctionIdOf("MOP")] = evalMOP;
  table[FunctionIdOf("MSORT")] = evalMSORT;
  table[FunctionIdOf("SYNC")] = evalSYNC;
}
