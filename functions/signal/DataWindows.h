#pragma once
#include <cstdint>
#include <vector>

// Data windows, with x = i / (n - 1) for the weight i of a window of length n:
//   rectangle 1; triangle 2 i / (n - 1) below n div 2, else 2 - 2 i / (n - 1);
//   Hamming 0.54 - 0.46 cos(2 pi x); Hanning 0.5 - 0.5 cos(2 pi x);
//   Blackman 0.42 - 0.5 cos(2 pi x) + 0.08 cos(4 pi x).

// The n weights of a window. A length below 1 (rectangle) or 2 (the others),
// or beyond maxSignalLength, raises ERangeError.
std::vector<long double> rectangleWindow(std::int64_t n);
std::vector<long double> triangleWindow(std::int64_t n);
std::vector<long double> hammingWindow(std::int64_t n);
std::vector<long double> hanningWindow(std::int64_t n);
std::vector<long double> blackmanWindow(std::int64_t n);

// Weight i (from 0) of the window of length n; 0 for any i outside 0 .. n - 1.
// The length is not checked: with n = 1 all but the rectangle divide by zero
// and raise EZeroDivide.
long double rectangleWeight(std::int64_t n, std::int64_t i);
long double triangleWeight(std::int64_t n, std::int64_t i);
long double hammingWeight(std::int64_t n, std::int64_t i);
long double hanningWeight(std::int64_t n, std::int64_t i);
long double blackmanWeight(std::int64_t n, std::int64_t i);
