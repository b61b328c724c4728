#pragma once
#include <string>
#include <vector>

#include "systems/System.h"

class TSheet;

// The System window's pages.
enum class TSystemPage { rules = 0, symbols = 1, params = 2 };

// What the System window does with a system, without the window: the
// edited and the committed copy, the layout of a page's grid, the storing
// of an edited cell, the entry actions, the date range with its days box
// and the symbols as text.
class TSystemEditor {
 public:
  TSystemEditor();

  TSystem& Edited() { return edited_; }
  TSystem& Committed() { return committed_; }
  // After loading: the committed copy := the edited one, times included,
  // and the pickers from the range.
  void loadedFromFile();

  // ---- Grids ----
  static const std::vector<std::string>& fieldHeaders(TSystemPage page);
  bool rowWise(TSystemPage page) const { return rowWise_[static_cast<int>(page)]; }
  void setRowWise(TSystemPage page, bool rowWise) { rowWise_[static_cast<int>(page)] = rowWise; }
  int entryCount(TSystemPage page) const;
  // Header and one row (row-wise) or column (column-wise) per entry, from 2.
  void layOut(TSystemPage page, TSheet& sheet) const;
  // The entry and the field (0-based) of a cell; -1 when it is none.
  int entryAt(TSystemPage page, int col, int row) const;
  int fieldAt(TSystemPage page, int col, int row) const;
  // Whether the cell's field holds a formula (a rule's condition to comment,
  // a symbol's definition).
  bool formulaAt(TSystemPage page, int col, int row) const;
  // Whether the cell's field keeps a number (a parameter's value, low, high
  // and steps): text that is no number is refused there, not stored as 0.
  bool numberAt(TSystemPage page, int col, int row) const;
  // Stores what the user typed into the cell and writes the cell again
  // with what was stored.
  void cellEdited(TSystemPage page, TSheet& sheet, int col, int row);
  // Leading blanks and "=" signs and trailing blanks go: formulas are kept
  // without their "=".
  static std::string cleanedFormula(const std::string& text);

  // ---- Entry actions; each answers the index of the entry to select, or -1 ----
  // Rules: one per asset symbol, after the selected entry (or appended).
  int addRules(int selected, const std::vector<std::string>& assetSymbols, int rowHeight, int colWidth);
  // Rules: one copy per asset symbol, in the given order, after the selected.
  int copyRule(int selected, const std::vector<std::string>& assetSymbols);
  int addEntry(TSystemPage page, int selected, int rowHeight, int colWidth);
  int copyEntry(TSystemPage page, int selected);
  int deleteEntry(TSystemPage page, int selected);
  int moveEntry(TSystemPage page, int selected, int by);

  // ---- Changes ----
  bool pageModified(TSystemPage page) const;
  void commit(TSystemPage page);
  void discard(TSystemPage page);

  // ---- Date range: the pickers hold whole days, the system the midday ----
  double FromPicker() const { return fromPicker_; }
  double ToPicker() const { return toPicker_; }
  int Days() const { return days_; }
  void fromDateChanged(double from);
  void toDateChanged(double to);
  void daysChanged(int days);
  void shiftRange(int days);

  // ---- Symbols as text: Symbol, tab, Definition, tab, Comment a line ----
  std::string symbolsText() const;
  void setSymbolsText(const std::string& text, int rowHeight, int colWidth);

 private:
  TSystemEntryTable& table(TSystem& system, TSystemPage page);
  const TSystemEntryTable& table(const TSystem& system, TSystemPage page) const;
  void storeField(TSystemPage page, int entry, int field, const TSheet& sheet, int col, int row);
  std::string fieldText(TSystemPage page, int entry, int field) const;
  void pickersFromSystem();

  TSystem edited_;
  TSystem committed_;
  bool rowWise_[3] = {false, false, false};
  double fromPicker_ = 73051;
  double toPicker_ = 73051;
  int days_ = 2;
};
