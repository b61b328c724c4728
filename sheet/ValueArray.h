#pragma once
#include <cstdint>
#include <vector>

#include "sheet/ValueRecord.h"

class TRPNstackObject;

// Every array (a range read as values, an array constant, a function's
// result and so the cells it spills over) takes at most this much memory; a
// larger one fails ("#VALUE!") before anything is allocated instead of
// exhausting memory. The limit is counted in bytes because each element is a
// whole value record, not a number.
constexpr std::int64_t maxArrayBytes = 256LL * 1024 * 1024;
constexpr std::int64_t maxArrayElements = maxArrayBytes / static_cast<std::int64_t>(sizeof(TValueRecord));
// A range that functions read place by place, without making an array of
// it, costs no memory and may be larger.
constexpr std::int64_t maxRangePlaces = 16'777'216;

// The formula engine's array value: an n-dimensional block of value records
// stored row-major. Arrays of cell ranges, array constants and array results
// of functions are two-dimensional [rows, columns]; element (r, c) is at
// r * columns + c. Elements never carry sub-objects.
class TArray {
 public:
  // No dimensions, no elements.
  void clear();
  // The shape from a list of sizes (a negative size counts as 0), strides
  // row-major, every element empty. No sizes leave the array empty. Raises
  // std::length_error when the element count exceeds maxArrayElements.
  void setDimensions(const std::vector<std::int32_t>& sizes);
  // setDimensions({rows, columns}).
  void setSize2D(std::int32_t rows, std::int32_t columns);
  // The pair (0, size - 1) for each dimension.
  std::vector<std::int32_t> getBounds() const;
  // A deep copy of source (nullptr: clear).
  void assign(const TArray* source);

  // Two dimensions only (false and no change otherwise): element (i, j)
  // moves to (j, i); reverse the order of the rows; reverse the order of the
  // elements within every row.
  bool transpose();
  bool flipRows();
  bool flipCols();

  // The shape and elements of a compiled array constant (the sub-list of a
  // kind-5 operand). A one-dimensional constant becomes one row; ragged rows
  // are padded with empty elements; a scalar where a row is due fills the
  // row's first element; an expression's operators leave empty elements.
  // Raises std::length_error like setDimensions.
  void loadFromConstant(const TRPNstackObject* list);

  const std::vector<std::int32_t>& dimensions() const { return dimensions_; }
  const std::vector<std::int32_t>& strides() const { return strides_; }
  std::int32_t dimensionCount() const { return static_cast<std::int32_t>(dimensions_.size()); }
  std::int32_t elementCount() const { return static_cast<std::int32_t>(elements_.size()); }
  std::vector<TValueRecord>& elements() { return elements_; }
  const std::vector<TValueRecord>& elements() const { return elements_; }
  // Element (row, column) of a two-dimensional array; no bounds check.
  TValueRecord& at(std::int32_t row, std::int32_t column) { return elements_[row * strides_[0] + column]; }
  const TValueRecord& at(std::int32_t row, std::int32_t column) const { return elements_[row * strides_[0] + column]; }

 private:
  void loadLevel(const TRPNstackObject* list, std::size_t level, std::int32_t itemCount, std::int32_t blockStart);

  std::vector<std::int32_t> dimensions_;
  std::vector<std::int32_t> strides_;
  std::vector<TValueRecord> elements_;
};

// The shape of a compiled array constant: the token count of the list, and
// for nested constants the largest size found at each deeper level.
std::vector<std::int32_t> arrayConstantDimensions(const TRPNstackObject* list);
