#include "sheet/VariantConversion.h"

#include <cmath>
#include <new>
#include <vector>

#include "sheet/OleVariant.h"
#include "sheet/ValueArray.h"

namespace {

// Variant arrays keep their elements with the first index running fastest
// (column-major); value arrays keep theirs row-major. These are the element
// steps of each dimension, first dimension first, in the variant layout.
std::vector<std::int64_t> columnMajorSteps(const std::vector<std::int32_t>& sizes) {
  std::vector<std::int64_t> steps(sizes.size());
  std::int64_t step = 1;
  for (std::size_t d = 0; d < sizes.size(); ++d) {
    steps[d] = step;
    step *= sizes[d];
  }
  return steps;
}

// Calls visit(rowMajorIndex, columnMajorIndex) for every element of an array
// of these sizes.
template <typename Visit>
void forEachElement(const std::vector<std::int32_t>& sizes, Visit visit) {
  std::int64_t count = 1;
  for (std::int32_t size : sizes) count *= size;
  if (count <= 0) return;
  std::vector<std::int64_t> steps = columnMajorSteps(sizes);
  std::vector<std::int32_t> index(sizes.size(), 0);
  std::int64_t columnMajor = 0;
  for (std::int64_t rowMajor = 0; rowMajor < count; ++rowMajor) {
    visit(rowMajor, columnMajor);
    // Advance the last index first, as row-major order does.
    for (std::size_t d = sizes.size(); d-- > 0;) {
      if (++index[d] < sizes[d]) {
        columnMajor += steps[d];
        break;
      }
      columnMajor -= steps[d] * (sizes[d] - 1);
      index[d] = 0;
    }
  }
}

BSTR allocateBstr(const std::string& text) {
  std::wstring wide = ansiToWide(text);
  BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

void setNumber(double number, TValueRecord& value) {
  if (!std::isfinite(number)) return;  // no value
  value.kind = valueNumber;
  value.number = number;
}

void setInteger(std::int32_t integer, TValueRecord& value) {
  value.kind = valueInteger;
  value.integer = integer;
}

// The scalar variant types a script result may have.
void scalarVariantToValue(const VARIANT& variant, TValueRecord& value) {
  value.clear();
  switch (variant.vt) {
    case VT_I2: setInteger(variant.iVal, value); break;
    case VT_I4: setInteger(variant.lVal, value); break;
    case VT_BOOL: setInteger(variant.boolVal != VARIANT_FALSE ? -1 : 0, value); break;
    case VT_UI1: setInteger(variant.bVal, value); break;
    case VT_R4: setNumber(variant.fltVal, value); break;
    case VT_R8: setNumber(variant.dblVal, value); break;
    case VT_CY: setNumber(static_cast<double>(variant.cyVal.int64) / 10000.0, value); break;
    case VT_DATE: setNumber(variant.date, value); break;
    case VT_BSTR:
      value.kind = valueString;
      value.string = wideToAnsi(variant.bstrVal, SysStringLen(variant.bstrVal));
      break;
    default: break;  // no value
  }
}

// Element `offset` of array data of element type `type`, read as a value.
// Element types that carry no scalar give an empty value.
void arrayElementToValue(const void* data, VARTYPE type, std::int64_t offset, TValueRecord& value) {
  if (type == VT_VARIANT) {
    scalarVariantToValue(static_cast<const VARIANT*>(data)[offset], value);
    return;
  }
  // A borrowed view of the element; nothing of it is freed here.
  VARIANT view;
  VariantInit(&view);
  view.vt = type;
  switch (type) {
    case VT_I2: case VT_BOOL: view.iVal = static_cast<const SHORT*>(data)[offset]; break;
    case VT_I4: view.lVal = static_cast<const LONG*>(data)[offset]; break;
    case VT_UI1: view.bVal = static_cast<const BYTE*>(data)[offset]; break;
    case VT_R4: view.fltVal = static_cast<const FLOAT*>(data)[offset]; break;
    case VT_R8: case VT_DATE: view.dblVal = static_cast<const DOUBLE*>(data)[offset]; break;
    case VT_CY: view.cyVal = static_cast<const CY*>(data)[offset]; break;
    case VT_BSTR: view.bstrVal = static_cast<const BSTR*>(data)[offset]; break;
    default: view.vt = VT_EMPTY; break;
  }
  scalarVariantToValue(view, value);
}

bool safeArrayToValue(SAFEARRAY* safeArray, TScriptValue& result) {
  if (safeArray == nullptr) return true;  // no value
  UINT dimensionCount = SafeArrayGetDim(safeArray);
  if (dimensionCount == 0) return true;
  std::vector<std::int32_t> sizes(dimensionCount);
  std::int64_t count = 1;
  for (UINT d = 0; d < dimensionCount; ++d) {
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(safeArray, d + 1, &lower)) || FAILED(SafeArrayGetUBound(safeArray, d + 1, &upper)))
      return true;
    std::int64_t size = static_cast<std::int64_t>(upper) - lower + 1;
    if (size < 0) size = 0;
    count *= size;
    if (count > maxScriptArrayElements) return false;
    sizes[d] = static_cast<std::int32_t>(size);
  }
  VARTYPE elementType = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(safeArray, &elementType))) elementType = VT_EMPTY;

  auto array = std::make_unique<TArray>();
  if (dimensionCount == 1)
    array->setSize2D(sizes[0], 1);
  else
    array->setDimensions(sizes);
  if (count > 0) {
    TSafeArrayData data(safeArray);
    if (data.data() == nullptr) return true;
    std::vector<TValueRecord>& elements = array->elements();
    forEachElement(sizes, [&](std::int64_t rowMajor, std::int64_t columnMajor) {
      arrayElementToValue(data.data(), elementType, columnMajor, elements[rowMajor]);
    });
  }
  result.array = std::move(array);
  result.value.kind = valueOwnedArray;
  return true;
}

}  // namespace

std::wstring ansiToWide(const std::string& text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string wideToAnsi(const wchar_t* text, std::size_t length) {
  if (text == nullptr || length == 0) return {};
  int size = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), ansi.data(), size, nullptr, nullptr);
  return ansi;
}

void valueToVariant(const TValueRecord& value, VARIANT& variant) {
  switch (value.kind) {
    case valueInteger:
      variant.vt = VT_I4;
      variant.lVal = value.integer;
      break;
    case valueNumber:
      variant.vt = VT_R8;
      variant.dblVal = value.number;
      break;
    case valueString:
      variant.bstrVal = allocateBstr(value.string);
      variant.vt = VT_BSTR;
      break;
    default:
      variant.vt = VT_EMPTY;
      break;
  }
}

bool arrayToVariant(const TArray* array, VARIANT& variant) {
  variant.vt = VT_EMPTY;
  if (array == nullptr || array->dimensionCount() == 0) return true;
  if (array->elementCount() > maxScriptArrayElements) return false;

  std::vector<std::int32_t> sizes = array->dimensions();
  if (sizes.size() == 2 && sizes[0] == 1) sizes.erase(sizes.begin());
  std::vector<SAFEARRAYBOUND> bounds(sizes.size());
  for (std::size_t d = 0; d < sizes.size(); ++d) {
    bounds[d].cElements = static_cast<ULONG>(sizes[d]);
    bounds[d].lLbound = 0;
  }
  TSafeArrayOwner safeArray(SafeArrayCreate(VT_VARIANT, static_cast<UINT>(bounds.size()), bounds.data()));
  if (safeArray.get() == nullptr) return false;
  if (array->elementCount() > 0) {
    TSafeArrayData data(safeArray.get());
    if (data.data() == nullptr) return false;
    VARIANT* target = static_cast<VARIANT*>(data.data());
    const std::vector<TValueRecord>& elements = array->elements();
    forEachElement(sizes, [&](std::int64_t rowMajor, std::int64_t columnMajor) {
      valueToVariant(elements[rowMajor], target[columnMajor]);
    });
  }
  variant.parray = safeArray.release();
  variant.vt = VT_ARRAY | VT_VARIANT;
  return true;
}

bool variantToValue(const VARIANT& variant, TScriptValue& result) {
  result.value.clear();
  result.array.reset();
  if ((variant.vt & VT_ARRAY) != 0 && (variant.vt & VT_BYREF) == 0) return safeArrayToValue(variant.parray, result);
  scalarVariantToValue(variant, result.value);
  return true;
}
