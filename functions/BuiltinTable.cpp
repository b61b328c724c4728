#include "sheet/BuiltinDispatch.h"

// Each family of built-in functions fills its entries of the table through
// one registration function declared in its own header, called here.

namespace {

TBuiltinTable makeBuiltinTable() {
  TBuiltinTable table{};
  return table;
}

}  // namespace

const TBuiltinTable& builtinRoutines() {
  static const TBuiltinTable table = makeBuiltinTable();
  return table;
}
