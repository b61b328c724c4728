#pragma once
#include <cstddef>
#include <cstdint>

#include "sheet/Cell.h"
#include "sheet/ObjectPool.h"

class TSheet;

// The pool of a sheet's cells. Its own slots are the size of a number cell,
// the class of most cells, and hold every class that fits; the few larger
// classes (dates and times with their own format) take slots of a second
// pool, so that a sheet of numbers and formulas does not pay their size.
// Both take aligned blocks: a cell finds its block from its address.
class TCellFactory : public TObjectFactory {
 public:
  TCellFactory();
  // A pooled cell of the type code (1 to 27) with its class's defaults from
  // the owner sheet; nullptr for any other code. Falls back to the heap when
  // no memory is left for a new block.
  TCellPtr newCell(std::uint8_t typeCode, TSheet* owner);

 private:
  TObjectFactory wide_;
};

// Type codes of the value cells and the bound cells.
constexpr std::uint8_t firstCellType = 1;
constexpr std::uint8_t lastValueCellType = 9;
constexpr std::uint8_t lastCellType = 27;
inline bool isCellType(std::uint8_t typeCode) { return typeCode >= firstCellType && typeCode <= lastCellType; }

// The instance size of the type code's class, 0 for an unknown code.
std::size_t cellInstanceSize(std::uint8_t typeCode);
// Constructs a cell of the type code's class in memory of at least
// cellInstanceSize bytes; nullptr for an unknown code.
TCell* constructCell(std::uint8_t typeCode, void* memory, const TCellOrigin& origin);
// A cell of the type code on the heap; nullptr for an unknown code.
TCellPtr newHeapCell(std::uint8_t typeCode, TSheet* owner);
