#pragma once
#include <string>
#include <vector>

class TFieldTable;

// The bookkeeping a data window keeps between the objects of its list and
// the lines of its sheet: which line shows which object, where the hidden
// "SELECTED" cell lies, and how the per-object size and order arrays follow
// additions and deletions. Lines are rows row-wise and columns column-wise;
// line 1 is the header line, objects start at line 2.

// The A1 reference of the selected-index cell for a list of objectCount
// objects: column A of row count + 2 row-wise, row 1 of column count + 2
// column-wise.
std::string selectedReference(int objectCount, bool rowWise);

// The object indexes in the order their lines are shown. Each object takes
// its entry of displayOrder (missing entries count as unknown); unknown
// orders (negative) are dealt out in index order after the largest known
// one, then all are sorted ascending by order.
std::vector<int> objectsInDisplayOrder(const std::vector<int>& displayOrder, int objectCount);
// Whether the objects shown (those with a line in shownOrder) follow one
// another as the stored orders would place them: storing the lines then
// changes nothing that reading shows.
bool shownInStoredOrder(const std::vector<int>& shownOrder, const std::vector<int>& storedOrder, int objectCount);

// Gives every field its line position: shown fields 1 to s in table order,
// hidden (and not disabled) fields s + 1 onwards, disabled fields 0.
// Answers s, the number of shown fields.
int assignFieldPositions(TFieldTable& fields);

// Drops the entry of a deleted object so that the later ones move down one;
// an array shorter than objectCount (the count before the delete) is left
// alone, as its entries were never complete.
void removeObjectEntry(std::vector<int>& values, int index, int objectCount);

// The display order after an object was appended to the list: the new
// object (the last entry) goes just after currentLine, every order beyond
// that line moving on one; with no current object line (below 2) it goes
// after lastLine. Answers the new object's line.
int placeNewObject(std::vector<int>& displayOrder, int currentLine, int lastLine);

// The text of a symbol-bound text cell as the object keeps it: leading
// blanks, then every leading "=", then trailing blanks removed, so that a
// typed formula is stored as plain text.
std::string neuterString(const std::string& text);
