#pragma once
#include <cstdint>
#include <vector>

class TAsset;
class TFieldTable;
class TPortfolio;
class TSheet;
class TTransactionDisplayOrder;

// Builds the Transactions window's sheet without the window: a header line
// of the shown fields, then one line (a row, or a column when not rowWise)
// per transaction of the view in display order, each cell bound to its
// transaction, a formula of its line, or the transaction's own text for
// the field's symbol. Hidden fields get cells beyond the shown ones;
// disabled fields get none.
class TTransactionSheet {
 public:
  TTransactionSheet(TSheet& sheet, TFieldTable& fields) : sheet_(sheet), fields_(fields) {}

  // Fills the sheet for the view (asset nullptr in the whole-portfolio view)
  // and recalculates it. Answers the number of shown fields.
  int build(const TPortfolio* portfolio, const TAsset* asset, bool wholePortfolio, bool rowWise,
            const TTransactionDisplayOrder& order, bool fixedFieldsOn);

  // The number-list positions of the lines built, line 2 first.
  const std::vector<int>& linePositions() const { return linePositions_; }
  // The transaction number shown on a line, read from its first
  // transaction-bound field; -1 when the line shows none.
  int32_t transactionOnLine(int line) const;

 private:
  void fillLine(const TPortfolio& portfolio, int32_t number, int line);
  int cellCol(int position, int line) const { return rowWise_ ? position : line; }
  int cellRow(int position, int line) const { return rowWise_ ? line : position; }

  TSheet& sheet_;
  TFieldTable& fields_;
  bool rowWise_ = true;
  int numberPosition_ = -1;  // position of the first transaction-bound field
  std::vector<int> linePositions_;
};
