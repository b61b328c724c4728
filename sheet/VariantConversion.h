#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include <windows.h>
#include <oleauto.h>

#include "sheet/ValueArray.h"
#include "sheet/ValueRecord.h"

// Values of formulas to and from the OLE variants of script calls.
// Texts cross in the system's ANSI code page.

// The most elements an array may have to go to a script or come back from
// one; a larger one fails the call with "#VALUE!" instead of tying up
// memory the sheet cannot hold.
constexpr std::int32_t maxScriptArrayElements = 1 << 20;

std::wstring ansiToWide(const std::string& text);
std::string wideToAnsi(const wchar_t* text, std::size_t length);

// An integer as VT_I4, a number as VT_R8, a string as VT_BSTR, any other
// kind as VT_EMPTY. The variant must be empty on entry.
void valueToVariant(const TValueRecord& value, VARIANT& variant);

// A variant array of VT_VARIANT with lower bounds 0 and the array's shape;
// a two-dimensional array of one row goes as a one-dimensional array of its
// columns. Elements as valueToVariant. No array (or one without dimensions)
// gives VT_EMPTY. False, with the variant left empty, when the array is
// larger than maxScriptArrayElements.
bool arrayToVariant(const TArray* array, VARIANT& variant);

// What a script function returned: value.kind is valueEmpty (no value),
// valueInteger, valueNumber, valueString, or valueOwnedArray with `array`
// set.
struct TScriptValue {
  TValueRecord value;
  std::unique_ptr<TArray> array;
};

// VT_I2, VT_I4, VT_BOOL (true is -1), VT_UI1 as integers; VT_R4, VT_R8,
// VT_CY, VT_DATE as numbers (not finite: no value); VT_BSTR as a string;
// a variant array as an owned array of the same shape (one dimension of n
// becomes n rows of one column), its elements converted by the same rules
// and anything else in them empty; any other variant gives no value.
// False when an array result is larger than maxScriptArrayElements.
bool variantToValue(const VARIANT& variant, TScriptValue& result);
