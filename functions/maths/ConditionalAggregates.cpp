#include "functions/maths/ConditionalAggregates.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "functions/SeriesGathering.h"
#include "platform/LocaleSettings.h"
#include "sheet/EvalContext.h"
#include "sheet/FormulaTokenizer.h"
#include "sheet/Sheet.h"

namespace {

// A criterion text may itself call SUMIF or COUNTIF, whose criteria may do
// so again. Chains deeper than this fail, and they fail at every level:
// a count made up at the deepest level would pass upward as a value. Below
// the sheet's own limit on nested evaluations, so the elements of the
// deepest allowed level can still be tested.
constexpr int maxCriterionDepth = TSheet::maxParseDepth - 1;
thread_local int criterionDepth = 0;
thread_local bool criterionTooDeep = false;

// Counts one level of criteria in evaluation on this thread.
class TCriterionLevel {
 public:
  TCriterionLevel() { ++criterionDepth; }
  ~TCriterionLevel() { --criterionDepth; }
  TCriterionLevel(const TCriterionLevel&) = delete;
  TCriterionLevel& operator=(const TCriterionLevel&) = delete;
};

// The criterion as the test formulas end: an operator and a value.
struct TCriterion {
  std::string text;
  // Its value is a text holding a double quote: quoted as it is, it would
  // not read back as that text (or would read as a formula of its own), so
  // no element can pass.
  bool matchesNothing = false;
};

std::string quoted(const std::string& text) { return '"' + text + '"'; }

char separatorOf(const std::string& sheetSeparator, char systemSeparator) {
  return sheetSeparator.size() == 1 ? sheetSeparator[0] : systemSeparator;
}

// The operator followed by the value: a text (or a name that reads nothing)
// in double quotes, anything else as the sheet writes it. False for a value
// without a text.
bool setCriterion(const TSheet& sheet, const std::string& operatorText, TValueRecord value, TCriterion& criterion) {
  if (value.kind == valueString || value.kind == valueIdentifier) {
    criterion.matchesNothing = value.string.find('"') != std::string::npos;
    criterion.text = operatorText + quoted(value.string);
    return true;
  }
  if (!sheet.convertValue(value, valueString)) return false;
  criterion.text = operatorText + value.string;
  return true;
}

std::uint8_t evaluateCriterionText(TEvalContext& context, const std::string& text) {
  TCriterionLevel level;
  return context.sheet.parseAndEvaluate(text, context.column, context.row, context.recordDependents);
}

// A criterion that starts with an operator keeps it and gives the rest's
// value (a rest that fails fails the call); any other is "=" and the value
// of the whole text, or the text itself when it does not evaluate.
bool normaliseCriterion(TEvalContext& context, const std::string& text, TCriterion& criterion) {
  TSheet& sheet = context.sheet;
  const TLocaleSettings& locale = localeSettings();
  TTokenObject first;
  std::size_t position = 0, end = 0;
  getFormulaToken(first, text, position, end, separatorOf(sheet.decimalSeparator, locale.decimalSeparator),
                  separatorOf(sheet.listSeparator, locale.listSeparator), nullptr);
  if (first.tokenClass != tokenOperator) {
    if (evaluateCriterionText(context, text) == stateValid && setCriterion(sheet, "=", sheet.resultValue, criterion)) {
      return true;
    }
    TValueRecord itself;
    itself.kind = valueString;
    itself.string = text;
    return setCriterion(sheet, "=", itself, criterion);
  }
  if (evaluateCriterionText(context, text.substr(end)) != stateValid) return false;
  return setCriterion(sheet, text.substr(position, end - position), sheet.resultValue, criterion);
}

// The element's formula followed by the criterion, evaluated: true when it
// gives a non-zero integer. Empty elements and texts holding a double
// quote (which would not read back as themselves) never pass.
bool elementPasses(TEvalContext& context, const TValueRecord& element, const TCriterion& criterion,
                   std::string& test) {
  TSheet& sheet = context.sheet;
  if (element.kind == valueString) {
    if (element.string.find('"') != std::string::npos) return false;
    test = quoted(element.string);
  } else {
    TValueRecord text = element;
    if (text.kind == valueIdentifier || !sheet.convertValue(text, valueString)) return false;
    test = text.string;
  }
  test += criterion.text;
  // Only values stand in a test formula: nothing to record.
  if (sheet.parseAndEvaluate(test, context.column, context.row, false) != stateValid) return false;
  TValueRecord result = sheet.resultValue;
  return sheet.convertValue(result, valueInteger) && result.integer != 0;
}

}  // namespace

void evalSUMIF_COUNTIF(TEvalContext& context, int mode) {
  int count = context.argumentCount();
  if (count < 2 || count > 3) return;
  // A chain of criteria starts clean; one that ran too deep fails all the
  // way up.
  if (criterionDepth == 0) criterionTooDeep = false;
  if (criterionDepth >= maxCriterionDepth) {
    criterionTooDeep = true;
    return;
  }
  TArgumentArray range, sumRange;
  std::string criterionText;
  // A single value as the sum range is no sum range.
  if (count == 3 && !context.arrayArgument(2, sumRange, valueString)) return;
  if (!context.stringArgument(1, criterionText) || !context.arrayArgument(0, range)) return;
  TCriterion criterion;
  bool normalised = normaliseCriterion(context, criterionText, criterion);
  if (criterionTooDeep || !normalised) return;

  const auto& elements = range->elements();
  std::size_t examined = elements.size();
  if (sumRange) examined = std::min(examined, sumRange->elements().size());
  const auto& addends = sumRange ? sumRange->elements() : elements;
  std::int32_t matches = 0;
  long double sum = 0.0L;
  std::string test;
  for (std::size_t i = 0; i < examined && !criterion.matchesNothing; ++i) {
    if (!elementPasses(context, elements[i], criterion, test)) continue;
    ++matches;
    double addend = 0;
    if (mode == sumIfMode && elementNumber(context.sheet, addends[i], addend)) sum += addend;
  }
  if (mode == countIfMode) {
    context.setIntegerResult(matches);
  } else {
    context.setNumberResult(sum);
  }
}
