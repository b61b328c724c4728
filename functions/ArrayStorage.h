#pragma once
#include <vector>

#include "functions/maths/Matrix.h"
#include "sheet/ValueArray.h"

class TSheet;

// Extended-precision vectors and matrices into and out of the arrays that
// built-in functions return and take. Elements go row by row.

// A value into an element as a number: NaN is an invalid operation and a
// value beyond a double an overflow, as for scalar results.
void storeNumber(TValueRecord& element, long double value);

// Writes rows x cols values of vector into the array as numbers; with
// resize the array is first made rows x cols (every element empty).
// Raises ERangeError when the vector holds fewer values, and EOverflow for a
// value beyond the range of a double.
void storeVectorInArray(const std::vector<long double>& vector, int cols, int rows, TArray& array, bool resize);
// The same from a matrix of at least rows x cols.
void storeMatrixInArray(const TMatrix& matrix, int cols, int rows, TArray& array, bool resize);
// A rows x cols matrix of the array's first rows x cols elements; an element
// that is no number (converted with the sheet's rules) gives 0. Raises
// ERangeError when the array holds fewer elements.
void arrayToMatrix(const TSheet& sheet, const TArray& array, int cols, int rows, TMatrix& matrix);
