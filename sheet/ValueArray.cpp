#include "sheet/ValueArray.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "sheet/RPNstack.h"

namespace {

bool isScalarOperand(const TTokenObject* token) {
  return token && token->tokenClass == tokenOperand && token->value.kind <= valueIdentifier;
}

}  // namespace

void TArray::clear() {
  dimensions_.clear();
  strides_.clear();
  elements_.clear();
}

void TArray::setDimensions(const std::vector<std::int32_t>& sizes) {
  clear();
  if (sizes.empty()) return;
  std::vector<std::int32_t> dimensions(sizes.size());
  std::vector<std::int32_t> strides(sizes.size());
  std::int64_t count = 1;
  for (std::size_t index = sizes.size(); index-- > 0;) {
    dimensions[index] = std::max<std::int32_t>(0, sizes[index]);
    strides[index] = static_cast<std::int32_t>(count);
    count *= dimensions[index];
    // Crafted constants ({1,{1,{1,...}}}) can describe astronomically many
    // elements in a few characters.
    if (count > maxArrayElements) throw std::length_error("array too large");
  }
  elements_.resize(static_cast<std::size_t>(count));
  dimensions_ = std::move(dimensions);
  strides_ = std::move(strides);
}

void TArray::setSize2D(std::int32_t rows, std::int32_t columns) { setDimensions({rows, columns}); }

std::vector<std::int32_t> TArray::getBounds() const {
  std::vector<std::int32_t> bounds;
  bounds.reserve(dimensions_.size() * 2);
  for (std::int32_t size : dimensions_) {
    bounds.push_back(0);
    bounds.push_back(size - 1);
  }
  return bounds;
}

void TArray::assign(const TArray* source) {
  if (source == this) return;
  if (!source) {
    clear();
    return;
  }
  dimensions_ = source->dimensions_;
  strides_ = source->strides_;
  elements_ = source->elements_;
}

bool TArray::transpose() {
  if (dimensionCount() != 2) return false;
  std::int32_t rows = dimensions_[0];
  std::int32_t columns = dimensions_[1];
  if (rows == columns) {
    for (std::int32_t row = 0; row < rows; ++row) {
      for (std::int32_t column = row + 1; column < columns; ++column) std::swap(at(row, column), at(column, row));
    }
    return true;
  }
  std::vector<TValueRecord> transposed(elements_.size());
  for (std::int32_t row = 0; row < rows; ++row) {
    for (std::int32_t column = 0; column < columns; ++column) {
      transposed[static_cast<std::size_t>(column) * rows + row] = std::move(at(row, column));
    }
  }
  elements_ = std::move(transposed);
  dimensions_ = {columns, rows};
  strides_ = {rows, 1};
  return true;
}

bool TArray::flipRows() {
  if (dimensionCount() != 2) return false;
  std::int32_t rows = dimensions_[0];
  std::int32_t columns = dimensions_[1];
  for (std::int32_t row = 0; row < rows / 2; ++row) {
    auto first = elements_.begin() + static_cast<std::ptrdiff_t>(row) * columns;
    auto mirror = elements_.begin() + static_cast<std::ptrdiff_t>(rows - 1 - row) * columns;
    std::swap_ranges(first, first + columns, mirror);
  }
  return true;
}

bool TArray::flipCols() {
  if (dimensionCount() != 2) return false;
  std::int32_t columns = dimensions_[1];
  for (std::int32_t row = 0; row < dimensions_[0]; ++row) {
    auto first = elements_.begin() + static_cast<std::ptrdiff_t>(row) * columns;
    std::reverse(first, first + columns);
  }
  return true;
}

void TArray::loadFromConstant(const TRPNstackObject* list) {
  clear();
  if (!list) return;
  setDimensions(arrayConstantDimensions(list));
  loadLevel(list, 0, dimensions_[0], 0);
  if (dimensionCount() == 1) {
    std::int32_t count = dimensions_[0];
    dimensions_ = {1, count};
    strides_ = {count, 1};
  }
}

void TArray::loadLevel(const TRPNstackObject* list, std::size_t level, std::int32_t itemCount, std::int32_t blockStart) {
  bool lastLevel = level + 1 == dimensions_.size();
  std::int32_t blockSize = strides_[level];
  std::int32_t cursor = blockStart;
  for (std::int32_t item = 0; item < itemCount; ++item, cursor += blockSize) {
    // Items past the end of a shorter nested list stay empty.
    const TTokenObject* token = list ? list->getItem(item) : nullptr;
    if (!lastLevel && token && token->tokenClass == tokenOperand && token->subList()) {
      loadLevel(token->subList(), level + 1, dimensions_[level + 1], cursor);
    } else if (isScalarOperand(token) && blockSize > 0) {
      // At the last level the element itself; above it, a scalar where a
      // row is due fills the first element of its block.
      elements_[cursor] = token->value;
    }
  }
}

std::vector<std::int32_t> arrayConstantDimensions(const TRPNstackObject* list) {
  if (!list) return {0};
  std::vector<std::int32_t> sizes{list->count()};
  for (int index = 0; index < list->count(); ++index) {
    const TTokenObject* token = list->getItem(index);
    if (token->tokenClass != tokenOperand || token->value.kind != valueArrayConstant) continue;
    std::vector<std::int32_t> nested = arrayConstantDimensions(token->subList());
    if (sizes.size() < nested.size() + 1) sizes.resize(nested.size() + 1, 0);
    for (std::size_t level = 0; level < nested.size(); ++level) sizes[level + 1] = std::max(sizes[level + 1], nested[level]);
  }
  return sizes;
}
