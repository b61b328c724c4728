#pragma once
#include <cstdint>
#include <string>

// The value every formula token, array element and named value carries. Which
// field holds the value depends on the kind; the sub-object of kinds 5 to 7
// lives on the token (TTokenObject), never in the record itself.
enum : std::uint8_t {
  valueEmpty = 0,           // empty cell, cell in error, empty element
  valueInteger = 1,         // also the Boolean: 0 false, anything else true
  valueNumber = 2,
  valueString = 3,
  valueIdentifier = 4,      // a name or a cell/range reference, text in `string`
  valueArrayConstant = 5,   // the token's sub-object is the compiled {..} list
  valueOwnedArray = 6,      // the token's sub-object is a TArray it owns
  valueBorrowedArray = 7,   // the token's sub-object is a TArray owned elsewhere
};

struct TValueRecord {
  std::uint8_t kind = valueEmpty;
  // Kind 1; in a function-call token, the number of arguments.
  std::int32_t integer = 0;
  // Kind 2.
  double number = 0.0;
  // Kinds 3 and 4; in a function-call token, the function's name.
  std::string string;

  // Back to kind 0 with every field zero or empty.
  void clear() {
    kind = valueEmpty;
    integer = 0;
    number = 0.0;
    string.clear();
  }
};

// Copies all four fields.
inline void copyTokenValue(const TValueRecord& source, TValueRecord& destination) { destination = source; }
