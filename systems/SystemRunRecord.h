#pragma once
#include <cstdint>
#include <string>

class TPortfolio;

// What a portfolio's trading system was last run on, kept as one number in
// "SystemRun.INI" beside its system file: the system (without the grids'
// sizes), the macros the engine was given, every currency table the program
// holds (a rule may convert between any two), the clock when a formula reads
// it (TODAY, NOW), and everything in the portfolio right after the run, the
// posted soft transactions included. When all of it is the same at the next
// request, say at the next start, the soft transactions of that run are
// still right and need not be deleted and written again; an edit, new prices
// or rates, other macros, a new day or a soft transaction deleted by hand
// change the number.
std::uint64_t systemRunState(const std::string& systemFileName, const std::string& macros,
                             const TPortfolio& portfolio);
// 0 when the file keeps none.
std::uint64_t lastSystemRunState(const std::string& systemFileName);
void keepSystemRunState(const std::string& systemFileName, std::uint64_t state);
