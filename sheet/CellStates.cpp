#include "sheet/CellStates.h"

namespace {
constexpr const char* stateTexts[] = {"#ERR",   "#BUSY!",  "#N/A",   "#NAME?", "#(?",   "#?)",   "#{?",   "#?}",
                                      "#OP?",   "#DIV/0!", "#NULL!", "#NUM!",  "#REF!", "#CIRC!", "#VALUE!",
                                      "#SCRIPT!"};
}  // namespace

const char* cellStateText(std::uint8_t state) {
  return state < sizeof(stateTexts) / sizeof(stateTexts[0]) ? stateTexts[state] : stateTexts[0];
}
