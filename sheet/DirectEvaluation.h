#pragma once
// A cell's compiled formula evaluated where it stands, for
// TSheet::evaluateDirectly: the stack of values and the operators are in
// DirectEvaluation.cpp, the built-in calls in DirectBuiltins.cpp.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "sheet/CompiledFormula.h"
#include "sheet/ValueRecord.h"

class TSheet;
struct TNumberKernel;

// A value on the stack: a number, integer or text (the fields a token would
// hold), or a name or reference not read yet (a range: first and last). A
// text stands in the formula or in the text kept for its place on the
// stack, never in another place's.
struct TDirectValue {
  std::uint8_t kind;
  std::int32_t integer;
  double number;
  const TCompiledFormula::TPackedToken* name;
  const TCompiledFormula::TPackedToken* rangeEnd;
  std::string_view text;
};

// One evaluation: the formula's tokens walked once over a stack of values
// that the caller provides, as deep as the formula needs.
class TDirectEvaluation {
 public:
  TDirectEvaluation(TSheet& sheet, const TCompiledFormula& formula, TDirectValue* stack, int col, int row,
                    bool record)
      : sheet_(sheet), formula_(formula), stack_(stack), col_(col), row_(row), record_(record),
        recording_(record && col >= 1 && row >= 1) {}

  // The formula's one value, a number or integer, where it lies on the
  // stack; nullptr when the working copy must evaluate it. Giving up is
  // common while a full recalculation meets cells not computed yet, so it
  // is a plain return, not an exception.
  const TDirectValue* run();

 private:
  using TPackedToken = TCompiledFormula::TPackedToken;

  // A built-in computed here: done, given up (the working copy evaluates
  // the formula), or left to its routine in a working list for a case read
  // here only as far as the stack is unchanged (what was read recorded the
  // same links the routine records again).
  enum class TInPlace { done, gaveUp, leftToRoutine };

  struct TPlaces {
    int firstCol, firstRow, lastCol, lastRow;
  };

  // A range's places in reading order, row by row.
  struct TRangeCursor {
    TPlaces places;
    int row;
    int col;
  };

  // Numbers of a range read at a time, and key cells loaded ahead.
  static constexpr int numberBlockSize = 64;
  static constexpr int keyPrefetchDistance = 4;

  // A number key as the sheet compares two: integers as integers, else
  // both as doubles.
  struct TNumberKey {
    bool whole;
    std::int32_t integer;
    double number;

    static TNumberKey of(std::uint8_t kind, std::int32_t integer, double number) {
      return TNumberKey{kind == valueInteger, integer, kind == valueInteger ? integer : number};
    }
    int orderAgainst(const TNumberKey& other) const {
      if (whole && other.whole) return (integer > other.integer) - (integer < other.integer);
      return (number > other.number) - (number < other.number);
    }
  };

  // Values, texts and results on the stack.
  bool read(TDirectValue& value);
  bool readCell(TDirectValue& value);
  bool readText(TDirectValue& value);
  std::string& textAt(const TDirectValue& value);
  template <class Text>
  std::string_view keepText(const TDirectValue& value, Text&& text) {
    std::string& kept = textAt(value);
    kept = std::forward<Text>(text);
    return kept;
  }
  static long double number(const TDirectValue& value) {
    return value.kind == valueInteger ? value.integer : value.number;
  }
  static bool integer(const TDirectValue& value, std::int32_t& whole);
  bool setNumber(const TPackedToken& token, int operands, long double value);
  bool setInteger(const TPackedToken& token, int operands, std::int32_t value);

  // Operators.
  bool apply(const TPackedToken& token);
  bool concatenate(const TPackedToken& token);

  // Built-in calls.
  bool call(const TPackedToken& token);
  bool choose(const TPackedToken& token);
  template <class Compute>
  bool computeChecked(const TPackedToken& token, int count, Compute compute);
  bool computeOneNumber(const TPackedToken& token, const TNumberKernel& kernel);
  bool round(const TPackedToken& token, const TNumberKernel& kernel);
  bool callRoutine(const TPackedToken& token);
  bool rangePlaces(const TDirectValue& value, TPlaces& places) const;
  void recordRange(const TPlaces& places);
  bool readPlace(int col, int row);
  TInPlace sum(const TPackedToken& token);
  [[gnu::noinline]] int readNumbers(TRangeCursor& cursor, double* block);
  void addRangeNumbers(const TPlaces& places, long double& total);
  TInPlace length(const TPackedToken& token);
  bool wholeArgument(TDirectValue argument, std::int32_t& whole);
  TInPlace lookUpVertically(const TPackedToken& token);

  TSheet& sheet_;
  const TCompiledFormula& formula_;
  TDirectValue* stack_;
  int depth_ = 0;
  int col_;
  int row_;
  bool record_;     // handed to the built-in routines, as the working copy hands it
  bool recording_;  // references read here are recorded
  TValueRecord scratch_;
  // The texts kept, made by the first text that needs keeping: in place for
  // a formula of a few levels, which most formulas with texts are, so that
  // their evaluation takes no heap block.
  static constexpr int inlineTextCount = 4;
  std::optional<std::array<std::string, inlineTextCount>> inlineTexts_;
  std::unique_ptr<std::string[]> texts_;
};
