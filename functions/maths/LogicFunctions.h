#pragma once
#include "sheet/BuiltinDispatch.h"

// IF and ADDRESS, computed on the argument tokens themselves: IF hands on
// the chosen argument as it is (a range stays a reference).
void registerLogicFunctions(TBuiltinTable& table);
