#include "sheet/FormulaTokenReader.h"

#include "sheet/FormulaTokenizer.h"

TFormulaTokenReader::TFormulaTokenReader(std::string_view text, char decimalSeparator, char listSeparator)
    : text_(text), decimalSeparator_(decimalSeparator), listSeparator_(listSeparator) {}

bool TFormulaTokenReader::next() {
  if (token_) {
    previous_ = token_;
    token_ = token_ == &tokens_[0] ? &tokens_[1] : &tokens_[0];
  } else {
    token_ = &tokens_[0];
  }
  previousEnd_ = endPosition_;
  position_ = endPosition_;
  getFormulaToken(*token_, text_, position_, endPosition_, decimalSeparator_, listSeparator_, previous_);
  return endPosition_ > position_;
}
