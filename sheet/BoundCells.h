#pragma once
#include <cstdint>
#include <string>

#include "sheet/Cell.h"

// Cells bound to a property of a portfolio, an asset or a transaction (type
// codes 10 to 27). The cell holds the object's id (portfolio index, asset
// index or transaction number); the property lives in the model and is read
// afresh, through the sheet, whenever the cell is shown.
class TCellObject : public TCell {
 public:
  virtual std::uint8_t objectKind() const = 0;  // objectPortfolio, objectAsset, objectTransaction
  // A whole number (or a number truncated toward zero, within 32 bits) is
  // the id; anything else becomes the formula.
  bool setText(const std::string& text, int col, int row) override;
  // Display: the property's text ("#N/A" when the object is missing);
  // editing: the id.
  std::string getText(bool forDisplay) const override;
  void assign(const TCell* source) override;
  // The value of a bound cell in a formula is its id.
  bool readValue(TValueRecord& value) const override;
  // Stores the id, clearing the formula; false when the cell was valid with
  // that id.
  bool setValue(std::int32_t newId);
  // Writes the property through the sheet; false in error, without a sheet
  // or when the property did not change.
  virtual bool setPropertyValue(const TValueRecord& value);
  // Reads the property through the sheet; false when the cell is in error,
  // has no sheet or the object is missing.
  virtual bool getPropertyValue(TValueRecord& value) const;

  std::int32_t id = 0;

 protected:
  using TCell::TCell;
  bool takeResult(TValueRecord& result, bool& changed) override;
  // The display text of a property value that was found.
  virtual std::string propertyText(TValueRecord& value) const = 0;
};

class TCellObject_stringProperty : public TCellObject {
 protected:
  using TCellObject::TCellObject;
  std::string propertyText(TValueRecord& value) const override;
};

class TCellObject_numberProperty : public TCellObject {
 public:
  TNumberFormatting* numberFormatting() override { return &ownNumberFormatting(); }
  const TNumberFormatting* numberFormatting() const override { return &numberFormattingView(); }
  void assignFormat(const TCell* source) override;
  void assign(const TCell* source) override;
  // In state 0 the conditional format applies to the property's value.
  void prepareCanvas(TSheetCanvas& canvas) const override;

 protected:
  using TCellObject::TCellObject;
};

class TCellObject_integerProperty : public TCellObject_numberProperty {
 protected:
  using TCellObject_numberProperty::TCellObject_numberProperty;
  std::string propertyText(TValueRecord& value) const override;
};

class TCellObject_boolProperty : public TCellObject_integerProperty {
 public:
  explicit TCellObject_boolProperty(const TCellOrigin& origin);
  TBoolImages* boolImages() override { return &images_; }
  void assignFormat(const TCell* source) override;
  void assign(const TCell* source) override;

 protected:
  std::string propertyText(TValueRecord& value) const override;
  void drawValue(TSheetCanvas& canvas, const RECT& rect, int leftLimit, int rightLimit) override;

 private:
  TBoolImages images_;
};

class TCellObject_doubleProperty : public TCellObject_numberProperty {
 public:
  explicit TCellObject_doubleProperty(const TCellOrigin& origin);
  TDecimalsFormatting* decimalsFormatting() override { return &decimals_; }
  void assignFormat(const TCell* source) override;
  void assign(const TCell* source) override;

 protected:
  std::string propertyText(TValueRecord& value) const override;

 private:
  TDecimalsFormatting decimals_;
};

class TCellObject_dateTimeProperty : public TCellObject_numberProperty {
 public:
  void assign(const TCell* source) override;
  std::string format;  // empty: the sheet's format, else the system's

 protected:
  using TCellObject_numberProperty::TCellObject_numberProperty;
  std::string propertyText(TValueRecord& value) const override;
  virtual const std::string& defaultFormat() const = 0;
};

class TCellObject_dateProperty : public TCellObject_dateTimeProperty {
 protected:
  using TCellObject_dateTimeProperty::TCellObject_dateTimeProperty;
  const std::string& defaultFormat() const override;
  double conditionKey(double value) const override;
};

class TCellObject_timeProperty : public TCellObject_dateTimeProperty {
 protected:
  using TCellObject_dateTimeProperty::TCellObject_dateTimeProperty;
  const std::string& defaultFormat() const override;
  double conditionKey(double value) const override;
};

// A concrete bound cell: a property family with its type code and object
// kind.
template <class Family, std::uint8_t TypeCode, std::uint8_t ObjectKind>
class TBoundCell final : public Family {
 public:
  explicit TBoundCell(const TCellOrigin& origin) : Family(origin) {}
  std::uint8_t cellType() const override { return TypeCode; }
  std::uint8_t objectKind() const override { return ObjectKind; }
};

// 20: the transaction number itself, read only.
class TCellTransaction_number final : public TCellObject_integerProperty {
 public:
  explicit TCellTransaction_number(const TCellOrigin& origin) : TCellObject_integerProperty(origin) {}
  std::uint8_t cellType() const override { return 20; }
  std::uint8_t objectKind() const override { return 2; }
  bool setPropertyValue(const TValueRecord& value) override;
  bool getPropertyValue(TValueRecord& value) const override;
};

using TCellPortfolio_name = TBoundCell<TCellObject_stringProperty, 10, 0>;
using TCellPortfolio_symbol = TBoundCell<TCellObject_stringProperty, 11, 0>;
using TCellPortfolio_currency = TBoundCell<TCellObject_stringProperty, 12, 0>;
using TCellAsset_name = TBoundCell<TCellObject_stringProperty, 13, 1>;
using TCellAsset_symbol = TBoundCell<TCellObject_stringProperty, 14, 1>;
using TCellAsset_currency = TBoundCell<TCellObject_stringProperty, 15, 1>;
using TCellAsset_stocksPercent = TBoundCell<TCellObject_doubleProperty, 16, 1>;
using TCellAsset_bondsPercent = TBoundCell<TCellObject_doubleProperty, 17, 1>;
using TCellAsset_cashPercent = TBoundCell<TCellObject_doubleProperty, 18, 1>;
using TCellAsset_otherPercent = TBoundCell<TCellObject_doubleProperty, 19, 1>;
using TCellTransaction_date = TBoundCell<TCellObject_dateProperty, 21, 2>;
using TCellTransaction_time = TBoundCell<TCellObject_timeProperty, 22, 2>;
using TCellTransaction_units = TBoundCell<TCellObject_doubleProperty, 23, 2>;
using TCellTransaction_value = TBoundCell<TCellObject_doubleProperty, 24, 2>;
using TCellTransaction_fees = TBoundCell<TCellObject_doubleProperty, 25, 2>;
using TCellTransaction_flag = TBoundCell<TCellObject_stringProperty, 26, 2>;
using TCellTransaction_soft = TBoundCell<TCellObject_boolProperty, 27, 2>;
