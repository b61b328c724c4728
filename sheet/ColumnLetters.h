#pragma once
#include <string>

// The letters of column n (1-based) in bijective base 26, as in A1
// references and column headers: 1 "A", 26 "Z", 27 "AA", 703 "AAA". Empty
// for n below 1.
std::string columnLetters(int n);
