#pragma once
#include <cstdint>
#include <optional>
#include <vector>

class TPrices;

// The Transactions window's computations that need no window: completing a
// transaction from the asset's close, renumbering lines and ordering them.

// Cell type codes of the transaction-bound fields.
constexpr int transactionNumberKind = 20;
constexpr int transactionDateKind = 21;
constexpr int transactionTimeKind = 22;
constexpr int transactionUnitsKind = 23;
constexpr int transactionValueKind = 24;

struct TTradeAmounts {
  long double units = 0;
  long double value = 0;
  long double fees = 0;
};

// The close of the latest record dated on or before the date that has no
// error and has a close; false when there is none.
bool latestCloseAtOrBefore(TPrices& prices, double date, long double& close);

// Completes the amounts after an edit of a field of the given kind: a date,
// time or units edit prices the units; a value edit buys whole units and
// moves the remainder into the fees, so that Value + Fees stay the amount
// entered. A price that is not positive and finite changes nothing (a close
// of 0 would turn the whole amount into fees). False when nothing changed.
bool autoCompleteAmounts(int fieldKind, long double price, TTradeAmounts& amounts);
// True when a transaction can hold all three amounts (a large number of
// units at a price may give a value beyond any number its file holds).
bool transactionCanHoldAmounts(const TTradeAmounts& amounts);

// The numbers a renumbering gives the lines, in line order: each the
// smallest positive number above the previous one that no other transaction
// of the portfolio holds. lineNumbers are the lines' current numbers,
// portfolioNumbers all numbers of the portfolio (those of the lines
// included). Worked out in 64 bits; nothing when a number would pass the
// largest 32-bit integer, so that a renumbering is done whole or not at all.
std::optional<std::vector<int32_t>> planRenumbering(const std::vector<int32_t>& lineNumbers,
                                                    const std::vector<int32_t>& portfolioNumbers);

// The order of display entries by their keys: a key below 0 (unknown) takes
// the next number above the largest key given, in entry order; equal keys
// keep entry order. Answers entry positions in display order.
std::vector<int> orderByDisplayKeys(std::vector<int> keys, int largestKey);
