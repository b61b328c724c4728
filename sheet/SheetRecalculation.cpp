// Keeping formula cells current: the full recalculation, and the depth-first
// propagation from a changed place through the dependency lists.
#include <algorithm>
#include <array>
#include <set>

#include "platform/FlagRestorer.h"
#include "sheet/BoundCells.h"
#include "sheet/BuiltinDispatch.h"
#include "sheet/FunctionNames.h"
#include "sheet/Sheet.h"

namespace {


// True for a built-in that reads every argument as a number whenever it
// gives a result (SQRT, ROUND): most others may leave an argument unread
// or pick what they read (OFFSET, INDIRECT).
bool readsEveryArgument(std::int32_t functionId) {
  return functionId >= 1 && functionId <= builtInFunctionCount &&
         numberKernels()[static_cast<std::size_t>(functionId)].shape != TNumberKernel::none;
}

// IF, which reads one of its branches.
int conditionalFunctionId() {
  static const int id = FunctionIdOf("IF");
  return id;
}

// True when every evaluation of the formula that gives a result reads the
// same places: cells named outright, joined by operators that take all
// their operands and by the built-ins that read all their arguments. IF
// reads one branch, so a place named in a branch must be read elsewhere as
// well (IF(B1>100,SQRT(B1),B1^2)). A name or a range is read as it stands
// then. Looked at without a heap block: a formula is looked at again after
// every dropped link, and a longer one records as before.
bool readsSamePlaces(const TCompiledFormula& formula) {
  const int conditionalId = conditionalFunctionId();
  constexpr std::size_t maxTokens = 64;
  const auto tokens = formula.packedTokens();
  if (tokens.size() > maxTokens) return false;
  // The first token of each value on the stack, and the tokens in a branch
  // as bits of a word.
  std::array<std::size_t, maxTokens> starts;
  std::size_t depth = 0;
  std::uint64_t inBranch = 0;
  auto below = [](std::size_t i) { return i == maxTokens ? ~std::uint64_t{0} : (std::uint64_t{1} << i) - 1; };
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const TCompiledFormula::TPackedToken& token = tokens[i];
    if (!token.ok() || token.whole()) return false;
    if (token.tokenClass == tokenOperand) {
      if (token.kind == valueIdentifier) {
        if (token.refCol() == 0 || token.refRow() == 0) return false;
      } else if (token.kind != valueInteger && token.kind != valueNumber && token.kind != valueString) {
        return false;
      }
      starts[depth++] = i;
      continue;
    }
    if (token.tokenClass != tokenOperator) return false;
    std::size_t operands = 2;
    switch (token.operatorCode) {
      case opEqual: case opNotEqual: case opGreater: case opLess: case opGreaterEqual: case opLessEqual:
      case opAdd: case opSubtract: case opConcatenate: case opMultiply: case opDivide: case opDiv: case opMod:
      case opPower:
        break;
      case opPercent: case opUnaryPlus: case opUnaryMinus:
        operands = 1;
        break;
      case opFormulaStart:
        continue;
      case opFunctionCall:
        if (token.integer() < 0 || static_cast<std::size_t>(token.integer()) > depth) return false;
        operands = static_cast<std::size_t>(token.integer());
        if (token.functionId() == conditionalId) {
          inBranch |= below(i) & ~below(operands > 1 ? starts[depth - operands + 1] : i);
        } else if (!readsEveryArgument(token.functionId())) {
          return false;
        }
        break;
      default:
        return false;
    }
    if (operands > depth) return false;
    const std::size_t first = operands > 0 ? starts[depth - operands] : i;
    depth -= operands;
    starts[depth++] = first;
  }
  auto isReference = [&](std::size_t i) {
    return tokens[i].tokenClass == tokenOperand && tokens[i].kind == valueIdentifier;
  };
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if ((inBranch >> i & 1) == 0 || !isReference(i)) continue;
    bool readElsewhere = false;
    for (std::size_t j = 0; j < tokens.size() && !readElsewhere; ++j) {
      readElsewhere = (inBranch >> j & 1) == 0 && isReference(j) && tokens[j].refCol() == tokens[i].refCol() &&
                      tokens[j].refRow() == tokens[i].refRow();
    }
    if (!readElsewhere) return false;
  }
  return true;
}

// Whether readsSamePlaces may answer otherwise for a copy of the formula
// whose references name other cells: the branches of IF are compared by
// their places, and a name that is not a cell's is refused.
bool answerFollowsPlaces(const TCompiledFormula& formula) {
  const int conditionalId = conditionalFunctionId();
  for (const TCompiledFormula::TPackedToken& token : formula.packedTokens()) {
    if (token.tokenClass == tokenOperand && token.kind == valueIdentifier &&
        (token.refCol() == 0 || token.refRow() == 0)) {
      return true;
    }
    if (token.tokenClass == tokenOperator && token.operatorCode == opFunctionCall &&
        token.functionId() == conditionalId) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::uint32_t TSheet::linksMarkAfter(const TCompiledFormula& formula, std::uint32_t previous, int col, int row) {
  if (previous == linksMarkNever) return linksMarkNever;
  if (!recordDependents || col < 1 || row < 1) return 0;
  bool same = formula.sameReads() == TCompiledFormula::sameReadsAlways;
  if (formula.sameReads() == TCompiledFormula::sameReadsUnknown) {
    same = readsSamePlaces(formula);
    if (!answerFollowsPlaces(formula)) formula.keepSameReads(same);
  }
  if (!same) return linksMarkNever;
  // Taken now: whatever was dropped before the formula recorded its links
  // is there again.
  return currentLinksMark();
}

// A mark no cell holds yet: after the mark wraps, the old ones go.
void TSheet::moveLinksMark() {
  linksMarkRemovals_ = dependents.removalCount();
  if (++linksMark_ != linksMarkNever) return;
  for (auto& column : cells) {
    for (auto& cell : column) {
      if (cell) cell->forgetLinksMark();
    }
  }
  linksMark_ = 1;
}

// A stamp no cell holds yet: after the counter wraps, the old stamps go.
std::uint32_t TSheet::beginPass() {
  if (++passCount_ == 0) {
    for (auto& column : cells) {
      for (auto& cell : column) {
        if (cell) cell->passMark = 0;
      }
    }
    passCount_ = 1;
  }
  return passCount_;
}

// The grid is walked column by column; a propagation started by a changed
// cell computes again the dependents that the walk has passed, and leaves
// those further on to the walk, which computes each of them once: whatever
// they read that changes later propagates to them again. Computed early,
// a dependent would be computed with what the walk has not reached yet,
// and then again with every change that reaches it.
void TSheet::recalculateAll(bool resetDependents) {
  if (resetDependents) dependents.clearForRebuild();
  TFlagRestorer automatic(autoRecalculate, true);
  struct TPassRestorer {
    std::uint32_t& active;
    std::uint32_t saved;
    TCellCoord& cursor;
    TCellCoord savedCursor;
    ~TPassRestorer() {
      active = saved;
      cursor = savedCursor;
    }
  } passRestorer{activePass_, activePass_, walkCursor_, walkCursor_};
  std::uint32_t pass = beginPass();
  activePass_ = pass;
  // By index: spilled array results may add cells and columns meanwhile.
  for (std::size_t col = 0; col < cells.size(); ++col) {
    for (std::size_t row = 0; row < cells[col].size(); ++row) {
      // The cells further down are loaded while this one computes: six
      // places ahead the cell (cells computed by a propagation are passed
      // quickly), three places ahead its links (which its formula may
      // record again, and which the walk reads after it), two places ahead
      // its compiled formula.
      if (row + 6 < cells[col].size()) {
        if (const TCell* later = cells[col][row + 6].get()) later->prefetchCell();
      }
      if (row + 3 < cells[col].size() && cells[col][row + 3]) {
        dependents.prefetchLinks({static_cast<std::int32_t>(col), static_cast<std::int32_t>(row + 3)});
      }
      if (row + 2 < cells[col].size()) {
        if (const TCell* next = cells[col][row + 2].get()) next->prefetchFormula();
      }
      TCell* cell = cells[col][row].get();
      if (!cell || cell->passMark == pass || !cell->hasFormula()) continue;
      const TCellCoord place{static_cast<std::int32_t>(col), static_cast<std::int32_t>(row)};
      walkCursor_ = place;
      if (cell->evaluate(place.col + 1, place.row + 1, true) && !walkTakesAllDependents(place)) {
        recalculateDependents(place.col, place.row);
      }
    }
  }
}

// With every formula dirty, every cell the walk computes has changed, and
// its dependents mostly lie further on: a propagation from it would find
// each of them left to the walk and end without a look at the cells in
// "#CIRC!". Told so beforehand, the walk goes on without one.
bool TSheet::walkTakesAllDependents(TCellCoord place) {
  if (circularScanDue()) return false;
  return dependents.allDependents(
      place,
      [](void* sheet, TCellCoord dependent) {
        const TSheet& self = *static_cast<const TSheet*>(sheet);
        const TCell* cell = self.getCellByIndex(dependent.col, dependent.row);
        // A link left by a place without a formula is the propagation's to drop.
        return cell && cell->hasFormula() && self.leftToWalk(dependent, *cell);
      },
      this);
}

// A change mostly runs down a column (a running sum, a column of formulas
// reading the one beside): the cells below a place visited by a propagation
// are loaded while it computes, two places ahead the cell and one place
// ahead its compiled formula.
void TSheet::prefetchBelow(TCellCoord place) const {
  const auto& column = cells[static_cast<std::size_t>(place.col)];
  const auto row = static_cast<std::size_t>(place.row);
  if (row + 2 < column.size()) {
    if (const TCell* later = column[row + 2].get()) later->prefetchCell();
  }
  if (row + 1 < column.size()) {
    if (const TCell* next = column[row + 1].get()) next->prefetchFormula();
  }
}

void TSheet::markAllDirty() {
  for (auto& column : cells) {
    for (std::size_t row = 0; row < column.size(); ++row) {
      // Cells lie apart in memory: the next ones are loaded meanwhile.
      if (row + 8 < column.size()) {
        if (const TCell* later = column[row + 8].get()) later->prefetchCell();
      }
      TCell* cell = column[row].get();
      if (cell && cell->hasFormula()) cell->state = errNA;
    }
  }
}

void TSheet::noteCircularCell(int col, int row) {
  if (col >= 1 && row >= 1) circularCells_.insert({col - 1, row - 1});
}

// Depth first, as a recursion over the dependents would go, on an explicit
// stack: a frame walks the dependents of one place; once they are done it
// looks again at the cells left in "#CIRC!", whose cycle the change may have
// broken. Only a dropped link can break a cycle (a formula that changes what
// it reads is evaluated and propagated by itself), so the second look is
// skipped while no link has gone since the last one.
void TSheet::recalculateDependents(int colIndex, int rowIndex) {
  std::vector<TPropagationFrame>& frames = frames_;
  std::size_t frameBase = frames.size();
  std::size_t pendingBase = pending_.size();
  // A place that no formula reads, the common case of entering a formula,
  // has nothing to bring up to date.
  if (!circularScanDue() && dependents.readByNone({colIndex, rowIndex})) return;
  auto pushFrame = [&](TCellCoord place) {
    std::size_t begin = pending_.size();
    dependents.appendDependents(place, pending_);
    frames.push_back(TPropagationFrame{begin, begin, pending_.size(), false, false, {}, 0});
  };
  // Without automatic recalculation a place reached again is marked again,
  // but its dependents are not walked again: they are all marked already,
  // and walking them once for every path through a web of formulas that
  // read each other two ways takes exponential time.
  std::set<TCellCoord> marked;
  // Brings one place up to date; true when its own dependents must follow.
  auto visit = [&](TCellCoord place, TCell* cell) {
    prefetchBelow(place);
    if (!autoRecalculate) {
      cell->state = errNA;
      return marked.insert(place).second;
    }
    bool changed = cell->evaluate(place.col + 1, place.row + 1, true);
    cell->passMark = activePass_;
    return changed;
  };
  pushFrame({colIndex, rowIndex});
  while (frames.size() > frameBase) {
    TPropagationFrame& frame = frames.back();
    if (!frame.scanningCircular) {
      if (frame.next < frame.end) {
        TCellCoord place = pending_[frame.next++];
        TCell* cell = getCellByIndex(place.col, place.row);
        if (!cell || !cell->hasFormula()) {
          // A link left by a place that no longer has a formula.
          dependents.removeFromAll(place);
          continue;
        }
        if (leftToWalk(place, *cell)) continue;
        if (visit(place, cell)) pushFrame(place);
        continue;
      }
      pending_.resize(frame.begin);
      if (!circularScanDue()) {
        frames.pop_back();
        continue;
      }
      frame.scanningCircular = true;
      frame.scanRemovals = dependents.removalCount();
    }
    auto candidate = frame.cursorSet ? circularCells_.upper_bound(frame.cursor) : circularCells_.begin();
    if (candidate == circularCells_.end()) {
      circularScanRemovals_ = frame.scanRemovals;
      frames.pop_back();
      continue;
    }
    TCellCoord place = *candidate;
    frame.cursor = place;
    frame.cursorSet = true;
    TCell* cell = getCellByIndex(place.col, place.row);
    if (!cell || !cell->hasFormula() || cell->state != errCirc) {
      circularCells_.erase(candidate);
      continue;
    }
    if (visit(place, cell)) pushFrame(place);
  }
  pending_.resize(pendingBase);
}

void TSheet::objectChanged(std::uint8_t objectKind, std::int32_t index) {
  for (std::size_t col = 0; col < cells.size(); ++col) {
    for (std::size_t row = 0; row < cells[col].size(); ++row) {
      const auto* cell = dynamic_cast<const TCellObject*>(cells[col][row].get());
      if (cell && cell->objectKind() == objectKind && cell->id == index) {
        recalculateDependents(static_cast<int>(col), static_cast<int>(row));
      }
    }
  }
}
