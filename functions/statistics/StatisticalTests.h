#pragma once
#include <vector>

// Hypothesis tests over arrays of extended values; they answer the
// probability of the observed statistic. Invalid arguments raise ERangeError.

// Sum of (observed - expected)^2 / expected.
long double chiSquare(const std::vector<long double>& observed, const std::vector<long double>& expected);
// The upper tail of the chi-square distribution at chiSquare(observed, expected).
long double chiTest(const std::vector<long double>& observed, const std::vector<long double>& expected, int degrees,
                    int itmax);
// The degrees of freedom of a table of observations: (rows - 1)(columns - 1)
// when it has several rows and columns, else the number of cells less one.
int chiTestDegrees(int rows, int columns);
// Two-tailed probability that the variances of a and b do not differ.
long double fTest(const std::vector<long double>& a, const std::vector<long double>& b, long double eps);
// Student's t test with 1 or 2 tails; type 1 paired, 2 equal variances,
// 3 unequal variances.
long double tTest(const std::vector<long double>& a, const std::vector<long double>& b, int tails, int type,
                  long double eps);
// One-tailed probability of a mean above mu0.
long double zTestKnownSigma(const std::vector<long double>& a, long double mu0, long double sigma, int itmax);
long double zTestSampleSigma(const std::vector<long double>& a, long double mu0, int itmax);
