#pragma once
#include <cstdint>
#include <vector>

class TAsset;
class TPrices;

// The quote editor's grid without its window: one row per quote record with
// a date cell and one cell per value field of the asset's format. A cell is
// valid, unavailable (shown "#N/A"), empty (the user deleted its value) or
// invalid (the user typed what is no number). Only valid cells are read by
// the arithmetic and by a commit; an empty or invalid cell blocks a commit,
// since either guess, dropping it or taking it as 0, would write a wrong
// history. So does a row without a date into which the user gave a value:
// the commit would drop it, and with it what was typed. Rows and columns
// count from 0 here (the grid's header row and its 1-based coordinates
// belong to the window).
class TQuoteEditorRows {
 public:
  enum TCellState : uint8_t { cellValid, cellUnavailable, cellEmpty, cellInvalid };
  struct TCell {
    long double value = 0;
    TCellState state = cellEmpty;
    bool changed = false;  // shown filled red until the next rebuild
  };
  enum TOperation { addOperation, subtractOperation, multiplyOperation, divideOperation };
  // Commit results.
  static constexpr int commitDone = 0;
  static constexpr int commitNoValidRow = -6;
  static constexpr int commitBlocked = -7;
  struct TCellPlace {
    int column;
    int row;
  };

  // Rebuilds from the series in date order with the columns of fieldMask
  // (the asset's price-format fields); uncommitted edits are dropped.
  void load(TPrices& prices, uint16_t fieldMask);
  // The same with the rows in the order of the last sort of all of them
  // (see sortRows): the user's sort outlasts a commit.
  void loadKeepingSort(TPrices& prices, uint16_t fieldMask);
  void clear();

  int rowCount() const { return static_cast<int>(cells_.size() / columnCount()); }
  int columnCount() const { return 1 + static_cast<int>(fields_.size()); }
  // The quote value index (0 Open ... 9 Ask Size) shown in a value column.
  int fieldOfColumn(int column) const { return fields_[column - 1]; }
  const TCell& cell(int column, int row) const { return cells_[index(column, row)]; }
  bool modified() const { return modified_; }
  // The first row whose valid date lies within half a day of date, as a
  // commit tells dates apart; -1 when none.
  int rowOfDate(long double date) const;

  // A typed value: the cell becomes valid and changed.
  void setValue(int column, int row, long double value);
  // The user's Delete: the cells of the rectangle become empty and changed;
  // false when none changed.
  bool emptyCells(int left, int top, int right, int bottom);
  // A typed text that gave no number: the cell becomes invalid and changed.
  void setInvalid(int column, int row);
  // An empty or invalid cell, or the unavailable date of a row given a value.
  bool blocksCommit(int column, int row) const;
  // The cells that block a commit, row by row.
  std::vector<TCellPlace> blockingCells() const;
  // Inserts an unavailable row before row (rowCount() appends).
  void insertUnavailableRow(int row);
  // Removes rows first to last; false when nothing was removed.
  bool deleteRows(int first, int last);
  // Marks the cells of the rectangle unavailable; false when none changed.
  bool markUnavailable(int left, int top, int right, int bottom);
  // Stable sort of rows first to last by one column; valid cells come before
  // the others, which keep their order. Leaves modified() alone. A sort of
  // all rows is kept for loadKeepingSort until the next load.
  bool sortRows(int first, int last, int keyColumn, bool ascending);
  // Applies the operation with argument a to the valid cells of the
  // rectangle. Adding or subtracting 0, multiplying or dividing by 1 and
  // dividing by 0 do nothing; a result that is not finite leaves its cell.
  bool applyArithmetic(TOperation operation, long double a, int left, int top, int right, int bottom);

  // Replaces the series by the rows with a valid date, top to bottom; of rows
  // whose dates lie within half a day the topmost wins. Refused (series left
  // untouched) while a cell is empty or invalid, and when no row has a valid
  // date: an empty price file makes the asset, and with it its portfolio,
  // fail to load.
  int commitTo(TPrices& prices) const;
  // What commitTo would answer, without touching a series.
  int commitCheck() const;
  // Commits into the asset's series and writes the days it changed into its
  // price file at once, so that a reload or a later download cannot lose or
  // overwrite the edit; the lines another program wrote into the file since
  // it was read stay, and the series takes them in. A save that fails puts
  // the series back as it was read, the rows staying here to be committed
  // again. The commit's result, else the save's (TPricesTable::save).
  int commitAndSave(TAsset& asset) const;

 private:
  size_t index(int column, int row) const {
    return static_cast<size_t>(row) * static_cast<size_t>(columnCount()) + static_cast<size_t>(column);
  }
  bool validRange(int& left, int& top, int& right, int& bottom) const;

  std::vector<int> fields_;
  std::vector<TCell> cells_;  // row-major
  bool modified_ = false;
  int sortColumn_ = -1;  // none: date order
  bool sortAscending_ = true;
};
