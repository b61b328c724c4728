#pragma once
#include <cstdint>
#include <vector>

class TFieldTable;
class TPortfolio;
class TSheet;

// The sizes of the Transactions window's lines: the header line and each
// field's width (row-wise) or height (column-wise) in the field table, each
// transaction's row height and column width among its own view properties
// ("RowHeight", "ColWidth"), which reach its file at the next save without
// counting as a change of the transaction.

// The lines show the transactions numbered lineNumbers, line 2 first.
void captureTransactionSizes(const TSheet& sheet, TFieldTable& fields, const TPortfolio& portfolio,
                             const std::vector<int32_t>& lineNumbers, bool rowWise);
// Drops the sheet's own sizes, then sizes the header line, the shown fields
// and each transaction line as stored.
void applyTransactionSizes(TSheet& sheet, const TFieldTable& fields, const TPortfolio* portfolio,
                           const std::vector<int32_t>& lineNumbers, bool rowWise);
