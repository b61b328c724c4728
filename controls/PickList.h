#pragma once
#include <string>
#include <vector>

// The rows of the pick dialogs' report lists and the rules the three dialogs
// share for them: sorting by a header click and finding a row by its caption.
// Kept apart from the windows so that the rules can be checked without one.

struct TPickRow {
  std::vector<std::string> texts;  // the caption, then one text per further column
  int number = 0;                  // download list number, item number or asset index
  std::string foundName;           // the folder or file name as found on disk ("07", "012.INI")
  int stateImage = -1;             // -1: none
};

// How captions compare: the currency list in the user's locale, the others
// by character code; both without regard to case.
enum class TPickTextOrder { locale, characterCode };

// The list's sort key after a click on a column (0 = the caption column):
// column + 1, or the key negated when it already sorted by that column.
int nextSortKey(int sortKey, int column);

// Negative, zero or positive, by the text of column |sortKey| - 1, reversed
// for a negative key; 0 for a key of 0. A missing text counts as empty.
int comparePickRows(const TPickRow& a, const TPickRow& b, int sortKey, TPickTextOrder order);

// Sorts the rows by the key; rows that compare equal keep their order.
void sortPickRows(std::vector<TPickRow>& rows, int sortKey, TPickTextOrder order);

// The row whose caption contains the text, searching from the row after the
// selected one (down) or before it (up), or from row 0 when none is
// selected, to the end in that direction; without matchCase the texts
// compare in capitals. -1 when none matches, also for an empty list.
int findPickRow(const std::vector<std::string>& captions, int selectedRow, const std::string& text, bool down,
                bool matchCase);
