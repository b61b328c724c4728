#pragma once
#include <string>

#include "sheet/ValueRecord.h"

// A named value of a sheet: formulas that name it read its value.
struct TCustomIdObject {
  std::string name;
  TValueRecord value;
};
