#pragma once

// Factorials, permutations and combinations in extended precision. Invalid
// arguments raise ERangeError; a result beyond extended range is +infinity,
// which overflows when the caller stores it as a double.

// n! / (n - k)!, multiplied from n - k + 1 up to n. n < 1, k < 0 or k > n
// raise; k = 0 gives 1.
long double permutations(int n, int k);

// permutations(n, k) / permutations(k, k); k = 0 gives 1 for n >= 0.
long double combinations(int n, int k);

// n!; 0! is 1, n < 0 raises.
long double factorial(int n);

// The product of every second integer from n down (7!! = 7 * 5 * 3 * 1);
// 0 and 1 give 1, n < 0 raises.
long double doubleFactorial(int n);
