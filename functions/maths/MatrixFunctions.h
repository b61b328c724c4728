#pragma once
#include "sheet/BuiltinDispatch.h"

// The built-ins over whole arrays: element-wise and matrix arithmetic (the
// evaluator also sends + and - between two arrays to MSUM and MSUB, and *
// to MMULT), sums of products, determinants, inverses and linear systems,
// identity matrices and generated vectors, and reshaping.
void registerMatrixFunctions(TBuiltinTable& table);
