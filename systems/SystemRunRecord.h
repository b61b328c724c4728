#pragma once
#include <cstdint>
#include <string>

class TPortfolioTable;

// What the trading system of the table's current portfolio was last run
// on, kept as one number in "SystemRun.INI" beside its system file: the
// system (without the grids' sizes), the macros the engine was given, every
// currency table the program holds (a rule may convert between any two),
// the clock when a formula reads it (TODAY, NOW), everything in the
// portfolio right after the run, the posted soft transactions included, and
// every other open portfolio a formula names by a number written in it
// (PORTFOLIO_NAV(0;X;1); all of them for TRANSACTION_PORTFOLIO). When all of
// it is the same at the next request, say at the next start, the soft
// transactions of that run are still right and need not be deleted and
// written again; an edit, new prices or rates, other macros, a new day, a
// soft transaction deleted by hand or a change in a portfolio named change
// the number. Not in it: what a portfolio index worked out by a formula, a
// cell or a macro names, and whatever a macro reads beyond its arguments.
std::uint64_t systemRunState(const std::string& systemFileName, const std::string& macros,
                             const TPortfolioTable& table);
// Whether the system's formulas name portfolios by their index, as the
// state above takes them: a change in any portfolio may change its run.
bool systemNamesPortfolios(const std::string& systemFileName);
// 0 when the file keeps none.
std::uint64_t lastSystemRunState(const std::string& systemFileName);
void keepSystemRunState(const std::string& systemFileName, std::uint64_t state);
