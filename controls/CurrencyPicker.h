#pragma once
#include <windows.h>

#include <string>

// The currency pick dialog as the grid's currency editor uses it.
class TCurrencyPicker {
 public:
  virtual ~TCurrencyPicker() = default;
  virtual int currencyCount() const = 0;
  // Asks for a symbol, the dialog placed at the anchor (screen pixels) with
  // the first row beginning with the given symbol chosen; false when the
  // user cancels.
  virtual bool pickCurrency(const RECT& anchor, std::string& symbol) = 0;
};
