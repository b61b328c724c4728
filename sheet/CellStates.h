#pragma once
#include <cstdint>

// A cell's state, one byte: 0 is a valid value, anything else an error whose
// text the grid shows. The evaluator's error codes and the compiler's parse
// statuses are the same numbers, so a code passes unchanged from a failed
// compile or evaluation into the cell.
enum : std::uint8_t {
  stateValid = 0,
  stateBusy = 1,             // "#BUSY!": the formula is being evaluated
  errNA = 2,                 // "#N/A": not computed yet, or no value of the cell's kind
  errName = 3,               // "#NAME?"
  errUnclosedBracket = 4,    // "#(?"
  errUnmatchedBracket = 5,   // "#?)"
  errUnclosedBrace = 6,      // "#{?"
  errUnmatchedBrace = 7,     // "#?}"
  errMissingOperator = 8,    // "#OP?"
  errDivZero = 9,            // "#DIV/0!"
  errNull = 10,              // "#NULL!"
  errNum = 11,               // "#NUM!"
  errRef = 12,               // "#REF!"
  errCirc = 13,              // "#CIRC!"
  errValue = 14,             // "#VALUE!"
  errScript = 15,            // "#SCRIPT!": a macro function raised an error or was stopped
};

// Parse status of a formula that has not been compiled (yet).
constexpr std::uint8_t parseNotCompiled = 2;

// The text of a state: "#ERR" for 0 and for numbers beyond the table.
const char* cellStateText(std::uint8_t state);
