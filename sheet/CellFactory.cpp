#include "sheet/CellFactory.h"

#include <algorithm>
#include <new>

#include "sheet/BoundCells.h"
#include "sheet/ValueCells.h"

namespace {

// Calls action.template operator()<Class>() for the class of the type code;
// false for an unknown code.
template <class Action>
bool withCellClass(std::uint8_t typeCode, Action&& action) {
  switch (typeCode) {
    case 1: action.template operator()<TCellDoubleAsDouble>(); return true;
    case 2: action.template operator()<TCellStringAsString>(); return true;
    case 3: action.template operator()<TCellDoubleAsDate>(); return true;
    case 4: action.template operator()<TCellDoubleAsTime>(); return true;
    case 5: action.template operator()<TCellIntegerAsInteger>(); return true;
    case 6: action.template operator()<TCellIntegerAsBool>(); return true;
    case 7: action.template operator()<TCellStringAsCurrencySymbol>(); return true;
    case 8: action.template operator()<TCellIntegerAsColor>(); return true;
    case 9: action.template operator()<TCellIntegerAsImage>(); return true;
    case 10: action.template operator()<TCellPortfolio_name>(); return true;
    case 11: action.template operator()<TCellPortfolio_symbol>(); return true;
    case 12: action.template operator()<TCellPortfolio_currency>(); return true;
    case 13: action.template operator()<TCellAsset_name>(); return true;
    case 14: action.template operator()<TCellAsset_symbol>(); return true;
    case 15: action.template operator()<TCellAsset_currency>(); return true;
    case 16: action.template operator()<TCellAsset_stocksPercent>(); return true;
    case 17: action.template operator()<TCellAsset_bondsPercent>(); return true;
    case 18: action.template operator()<TCellAsset_cashPercent>(); return true;
    case 19: action.template operator()<TCellAsset_otherPercent>(); return true;
    case 20: action.template operator()<TCellTransaction_number>(); return true;
    case 21: action.template operator()<TCellTransaction_date>(); return true;
    case 22: action.template operator()<TCellTransaction_time>(); return true;
    case 23: action.template operator()<TCellTransaction_units>(); return true;
    case 24: action.template operator()<TCellTransaction_value>(); return true;
    case 25: action.template operator()<TCellTransaction_fees>(); return true;
    case 26: action.template operator()<TCellTransaction_flag>(); return true;
    case 27: action.template operator()<TCellTransaction_soft>(); return true;
    default: return false;
  }
}

std::size_t largestCellSize() {
  std::size_t largest = 0;
  for (int code = firstCellType; code <= lastCellType; ++code) {
    largest = std::max(largest, cellInstanceSize(static_cast<std::uint8_t>(code)));
  }
  return largest;
}

}  // namespace

std::size_t cellInstanceSize(std::uint8_t typeCode) {
  std::size_t size = 0;
  withCellClass(typeCode, [&]<class Cell>() { size = sizeof(Cell); });
  return size;
}

TCell* constructCell(std::uint8_t typeCode, void* memory, const TCellOrigin& origin) {
  TCell* cell = nullptr;
  withCellClass(typeCode, [&]<class Cell>() { cell = new (memory) Cell(origin); });
  return cell;
}

TCellPtr newHeapCell(std::uint8_t typeCode, TSheet* owner) {
  std::size_t size = cellInstanceSize(typeCode);
  if (size == 0) return nullptr;
  void* memory = ::operator new(size);
  return TCellPtr(constructCell(typeCode, memory, TCellOrigin{owner, allocatedOnHeap}));
}

TCellFactory::TCellFactory()
    : TObjectFactory(TObjectBlock::TAligned{}, static_cast<int>(sizeof(TCellDoubleAsDouble))),
      wide_(TObjectBlock::TAligned{}, static_cast<int>(largestCellSize())) {}

TCellPtr TCellFactory::newCell(std::uint8_t typeCode, TSheet* owner) {
  if (!isCellType(typeCode)) return nullptr;
  TObjectBlock* block = nullptr;
  const bool fits = cellInstanceSize(typeCode) <= static_cast<std::size_t>(objectSize());
  void* slot = fits ? takeSlot(block) : wide_.takeSlot(block);
  if (!slot) {
    TCellPtr cell = newHeapCell(typeCode, owner);
    return cell;
  }
  return TCellPtr(constructCell(typeCode, slot, TCellOrigin{owner, allocatedInPool}));
}
