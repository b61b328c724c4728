#pragma once
#include <cstdint>
#include <string>

class TSheet;

// Cell type codes the grid's editors tell apart (the sheet's classes).
enum : std::uint8_t {
  cellNumber = 1,
  cellString = 2,
  cellDate = 3,
  cellTime = 4,
  cellInteger = 5,
  cellBoolean = 6,
  cellCurrency = 7,
  cellColor = 8,
  cellImage = 9,
  cellPortfolioName = 10,
  cellPortfolioSymbol = 11,
  cellPortfolioCurrency = 12,
  cellAssetName = 13,
  cellAssetSymbol = 14,
  cellAssetCurrency = 15,
  cellPercentStocks = 16,
  cellTransactionNumber = 20,
  cellTransactionDate = 21,
  cellTransactionTime = 22,
  cellTransactionUnits = 23,
  cellTransactionFees = 25,
  cellTransactionFlag = 26,
  cellTransactionSoft = 27,
};

// What editing the current cell means for its type code.
enum class TCellEditorKind {
  none,
  date,      // date-time picker, date mode with a calendar
  time,      // date-time picker, time mode with spin buttons
  text,      // word-wrapping memo
  number,    // edit with a spin button
  currency,  // edit with the currency picker's button
  image,     // image index edit with preview and spin button
  toggle,    // no editor: the Boolean is negated at once
  color,     // no editor: the colour dialog
};

struct TCellEditorChoice {
  TCellEditorKind kind = TCellEditorKind::none;
  bool bound = false;          // edits the property bound to the cell, not the cell's own value
  bool cellAppearance = false; // the editor takes the cell's font and fill
};

// The type code counts by its low 7 bits.
TCellEditorChoice chooseCellEditor(std::uint8_t typeCode);

// The text an edit, memo or currency editor opens with; initialText is what
// the user typed to start (Enter and space give none).
std::string openingEditorText(const TSheet& sheet, std::uint8_t typeCode, const std::string& initialText);

// The edit text (formula or value) of the current cell, or the text of its bound property.
std::string currentEditableText(const TSheet& sheet, const TCellEditorChoice& choice);
