#pragma once
#include <cstddef>
#include <string_view>

#include "sheet/TokenObject.h"

// Reads the tokens of a formula text one after another for the passes that
// re-spell a formula: each read sees the token before it, which decides
// whether + and - take two operands (getFormulaToken).
//
//   TFormulaTokenReader reader(text, decimalSeparator, listSeparator);
//   while (reader.next()) {
//     result.append(reader.blanksBefore(), ' ');
//     result += reader.spelling();
//   }
//   result.append(reader.blanksBefore(), ' ');  // the trailing blanks
class TFormulaTokenReader {
 public:
  TFormulaTokenReader(std::string_view text, char decimalSeparator, char listSeparator);
  TFormulaTokenReader(const TFormulaTokenReader&) = delete;
  TFormulaTokenReader& operator=(const TFormulaTokenReader&) = delete;

  // Reads the next token; false at the end of the text.
  bool next();

  const TTokenObject& token() const { return *token_; }
  // The token read before this one; nullptr for the first.
  const TTokenObject* previous() const { return previous_; }
  // The token's first character and the character after it.
  std::size_t position() const { return position_; }
  std::size_t endPosition() const { return endPosition_; }
  // Where the token before ended: the blanks between start there.
  std::size_t previousEnd() const { return previousEnd_; }
  std::size_t blanksBefore() const { return position_ - previousEnd_; }
  std::string_view spelling() const { return text_.substr(position_, endPosition_ - position_); }

 private:
  std::string_view text_;
  char decimalSeparator_;
  char listSeparator_;
  // The token and the one before it take turns in the two slots.
  TTokenObject tokens_[2];
  TTokenObject* token_ = nullptr;
  const TTokenObject* previous_ = nullptr;
  std::size_t position_ = 0;
  std::size_t endPosition_ = 0;
  std::size_t previousEnd_ = 0;
};
