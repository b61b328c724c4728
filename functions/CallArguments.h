#pragma once
#include <cstdint>
#include <string>

#include "sheet/EvalContext.h"

// Reads the scalar arguments of one built-in call in formula order. The
// first argument that does not convert marks the whole call as failed and
// later reads are skipped without touching their operands, so that the call
// ends with "#VALUE!" and nothing behind the bad argument is resolved.
//
//   TCallArguments args(c);
//   if (!args.countIn(3, 5)) return;
//   long double rate = args.number(0);
//   int type = args.integer(4, 0);  // 0 when left off
//   if (!args) return;
class TCallArguments {
 public:
  explicit TCallArguments(TEvalContext& context) : context_(context) {}

  int count() const { return context_.argumentCount(); }
  bool countIn(int least, int most) const { return count() >= least && count() <= most; }
  explicit operator bool() const { return ok_; }

  // Argument i converted to a number or to an integer (numbers truncated
  // toward zero).
  long double number(int i) {
    double value = 0;
    if (ok_ && !context_.numberArgument(i, value)) ok_ = false;
    return value;
  }
  std::int32_t integer(int i) {
    std::int32_t value = 0;
    if (ok_ && !context_.integerArgument(i, value)) ok_ = false;
    return value;
  }
  std::string text(int i) {
    std::string value;
    if (ok_ && !context_.stringArgument(i, value)) ok_ = false;
    return value;
  }

  // The same for an optional argument: the default when the call has fewer
  // arguments.
  long double number(int i, long double absent) { return i < count() ? number(i) : absent; }
  std::int32_t integer(int i, std::int32_t absent) { return i < count() ? integer(i) : absent; }

 private:
  TEvalContext& context_;
  bool ok_ = true;
};
