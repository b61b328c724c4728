#pragma once
#include <cstdint>
#include <string>

#include "model/PlainText.h"
#include "sheet/Cell.h"

// The value cells, type codes 1 to 9, and their abstract bases.

// Cells that show a number: a trail after the value and a conditional
// format chosen by the value.
class TCellNumber : public TCell {
 public:
  TNumberFormatting* numberFormatting() override { return &ownNumberFormatting(); }
  const TNumberFormatting* numberFormatting() const override { return &numberFormattingView(); }
  void assignFormat(const TCell* source) override;
  void assign(const TCell* source) override;
  void prepareCanvas(TSheetCanvas& canvas) const override;
  // The value as a number for the conditional format.
  virtual double numericValue() const = 0;

 protected:
  using TCell::TCell;
  // Takes an accepted entry: false when the cell already held it as a plain
  // valid value, else the formula and its links go and the value is stored.
  template <class Value>
  bool enterValue(Value& field, const Value& entered, int col, int row);
  // A text that is no value of the cell's kind becomes the formula.
  bool enterFormula(const std::string& text, int col, int row);
};

class TCellInteger : public TCellNumber {
 public:
  // Clears the formula; false when the cell was valid with that value.
  bool setValue(std::int32_t newValue);
  bool setText(const std::string& text, int col, int row) override;
  void assign(const TCell* source) override;
  double numericValue() const override { return value; }
  bool readValue(TValueRecord& result) const override;

  std::int32_t value = 0;

 protected:
  using TCellNumber::TCellNumber;
  bool takeResult(TValueRecord& result, bool& changed) override;
  // Integer text with the sheet's thousands separator (plain without one).
  std::string groupedText() const;
};

class TCellDouble : public TCellNumber {
 public:
  bool setValue(double newValue);
  void assign(const TCell* source) override;
  double numericValue() const override { return value; }
  // Inline: readCellValue reads a plain number cell through it directly.
  bool readValue(TValueRecord& result) const override {
    result.kind = valueNumber;
    result.number = value;
    return true;
  }

  double value = 0.0;

 protected:
  using TCellNumber::TCellNumber;
  bool takeResult(TValueRecord& result, bool& changed) override;
  // Reads a number with the sheet's separators (the system's without one).
  bool readNumber(const std::string& text, double& number) const;
  // The value's text for editing: up to 15 decimals, no grouping.
  std::string plainText() const;
  // A text that is a number becomes the value, anything else the formula.
  bool enterNumberOrFormula(const std::string& text, bool accepted, double number, int col, int row);
};

class TCellString : public TCell {
 public:
  bool setValue(const std::string& newValue);
  // A text beginning with "=" is a formula; any other text the value.
  bool setText(const std::string& text, int col, int row) override;
  void assign(const TCell* source) override;
  bool readValue(TValueRecord& result) const override;

  std::string value;

 protected:
  using TCell::TCell;
  bool takeResult(TValueRecord& result, bool& changed) override;
};

// 1: a number shown with at most maxDecimals decimals.
class TCellDoubleAsDouble final : public TCellDouble {
 public:
  explicit TCellDoubleAsDouble(const TCellOrigin& origin);
  std::uint8_t cellType() const override { return 1; }
  std::string getText(bool forDisplay) const override;
  bool setText(const std::string& text, int col, int row) override;
  // setText for a text already read as this number.
  bool enterNumber(double number, int col, int row);
  TDecimalsFormatting* decimalsFormatting() override { return &decimals_; }
  void assignFormat(const TCell* source) override;
  void assign(const TCell* source) override;

 private:
  TDecimalsFormatting decimals_;
};

// A cell's value as its readValue gives it; a plain number cell's is read
// where it lies. Evaluations read cells by the thousand (references,
// ranges, lookup tables), and the call through each cell's class cost them
// a good part of their time.
inline bool readCellValue(const TCell& cell, TValueRecord& value) {
  if (cell.holdsPlainNumber()) {
    return static_cast<const TCellDoubleAsDouble&>(cell).TCellDouble::readValue(value);
  }
  return cell.readValue(value);
}

// 2: a text; a long text runs on over empty neighbours.
class TCellStringAsString : public TCellString {
 public:
  explicit TCellStringAsString(const TCellOrigin& origin) : TCellString(origin) {}
  std::uint8_t cellType() const override { return 2; }
  std::string getText(bool forDisplay) const override;

 protected:
  void drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) override;
};

// 3 and 4: a day number shown as a date or as a time of day.
class TCellDoubleAsDateTime : public TCellDouble {
 public:
  std::string getText(bool forDisplay) const override;
  void assign(const TCell* source) override;

  std::string format;  // empty: the sheet's format, else the system's

 protected:
  using TCellDouble::TCellDouble;
  virtual const std::string& defaultFormat() const = 0;
};

class TCellDoubleAsDate : public TCellDoubleAsDateTime {
 public:
  explicit TCellDoubleAsDate(const TCellOrigin& origin) : TCellDoubleAsDateTime(origin) {}
  std::uint8_t cellType() const override { return 3; }
  // A date in the cell's (or the sheet's) date order, else a serial number.
  bool setText(const std::string& text, int col, int row) override;

 protected:
  const std::string& defaultFormat() const override;
  double conditionKey(double value) const override;
};

class TCellDoubleAsTime : public TCellDoubleAsDateTime {
 public:
  explicit TCellDoubleAsTime(const TCellOrigin& origin) : TCellDoubleAsDateTime(origin) {}
  std::uint8_t cellType() const override { return 4; }
  // A time of day in the system's form, else a serial number.
  bool setText(const std::string& text, int col, int row) override;

 protected:
  const std::string& defaultFormat() const override;
  double conditionKey(double value) const override;
};

// 5: a whole number.
class TCellIntegerAsInteger : public TCellInteger {
 public:
  explicit TCellIntegerAsInteger(const TCellOrigin& origin) : TCellInteger(origin) {}
  std::uint8_t cellType() const override { return 5; }
  std::string getText(bool forDisplay) const override;
};

// 6: a Boolean shown as "1"/"0" or as one of two images.
class TCellIntegerAsBool : public TCellInteger {
 public:
  explicit TCellIntegerAsBool(const TCellOrigin& origin);
  std::uint8_t cellType() const override { return 6; }
  std::string getText(bool forDisplay) const override;
  TBoolImages* boolImages() override { return &images_; }
  void assignFormat(const TCell* source) override;
  void assign(const TCell* source) override;

 protected:
  void drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) override;

 private:
  TBoolImages images_;
};

// 7: a currency code: the first three characters, upper case.
class TCellStringAsCurrencySymbol : public TCellString {
 public:
  explicit TCellStringAsCurrencySymbol(const TCellOrigin& origin) : TCellString(origin) {}
  std::uint8_t cellType() const override { return 7; }
  std::string getText(bool forDisplay) const override;
};

// 8: a colour value, drawn as a filled cell.
class TCellIntegerAsColor : public TCellInteger {
 public:
  explicit TCellIntegerAsColor(const TCellOrigin& origin) : TCellInteger(origin) {}
  std::uint8_t cellType() const override { return 8; }
  std::string getText(bool forDisplay) const override;

 protected:
  void drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) override;
};

// 9: an index into the sheet's image list, drawn as that image.
class TCellIntegerAsImage : public TCellInteger {
 public:
  explicit TCellIntegerAsImage(const TCellOrigin& origin) : TCellInteger(origin) {}
  std::uint8_t cellType() const override { return 9; }
  std::string getText(bool forDisplay) const override;

 protected:
  void drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) override;
};

// Cell entries: the text without leading and trailing blanks and control
// characters (trimmedText, shared with the model); a number with the sheet's
// separators (the system's without a sheet); an integer, or a number within
// 32 bits truncated toward zero.
bool readCellNumber(const TSheet* sheet, const std::string& text, double& value);
bool readCellInteger(const TSheet* sheet, const std::string& text, std::int32_t& value);
