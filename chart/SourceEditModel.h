#pragma once
#include <string>

#include "chart/SourceTable.h"

class TSheet;

// Which source tools the current source allows. Copy, make default, the
// type box, the disabled button, the formula fields, the symbol and
// parameter pages and adding to the favourites all need a current source.
struct TSourceToolState {
  bool current = false;
  bool deletable = false;  // not Undeletable
  bool up = false;         // not the first
  bool down = false;       // not the last
};

// The symbol or parameter tools at the current row of their sheet.
struct TEntryToolState {
  bool add = false;  // a current source to add to
  bool copy = false;
  bool remove = false;
  bool up = false;
  bool down = false;
};

// The favourites tools for the selected favourite.
struct TFavouriteToolState {
  bool use = false;
  bool remove = false;
  bool up = false;
  bool down = false;
  bool add = false;  // the current source goes in
};

// The source editors without their window: a working copy of the edited
// table with its current source, the three sheets filled from it and their
// edits stored back, the source, symbol and parameter operations, the
// template file and the favourites. Nothing reaches the caller's table
// before apply; favourites change in place.
class TSourceEditModel {
 public:
  // The template is section templateName of file templateName + ".INI" in
  // the data folder.
  TSourceEditModel(TSourceClass sourceClass, std::string dataFolder, std::string templateName);

  void begin(const TSourceTable& table, TSourceTable* favourites);
  TSourceTable& working() { return working_; }
  TSourceTable* favourites() const { return favourites_; }
  TSource* currentSource() const { return working_.getSource(current); }
  // Stores the working copy into the caller's table.
  void apply(TSourceTable& table) const { table.assign(&working_); }

  int current = -1;
  bool favouritesChanged = false;
  char decimalSeparator = '.';
  char listSeparator = ',';

  // Sheets: row 1 holds the titles, row r entry r - 2.
  void fillSources(TSheet& sheet) const;
  void fillSymbols(TSheet& sheet) const;
  void fillParameters(TSheet& sheet) const;
  // An edited cell's text stored into its entry; the text to show back.
  std::string storeSourceCell(int column, int row, const std::string& text);
  std::string storeSymbolCell(int column, int row, const std::string& text);
  static constexpr int symbolDefinitionColumn = 2;
  std::string storeParameterCell(int column, int row, const std::string& text);
  // Cells that keep a number (a parameter's value, low, high and steps, a
  // source's line width): text that is no number is refused there.
  static bool parameterNumberAt(int column, int row) { return row >= 2 && column >= 3 && column <= 6; }
  static bool sourceNumberAt(int column, int row) { return row >= 2 && column == 9; }
  // Blanks, then "=" characters, then trailing blanks removed, so that no
  // text of a sheet cell becomes a formula.
  static std::string cleanText(const std::string& text);

  TSourceToolState sourceToolState() const;
  TEntryToolState entryToolState(bool parameters, int index) const;
  TFavouriteToolState favouriteToolState(int favourite) const;

  // Source operations; each returns the row index to make current, or -1
  // when nothing changed.
  int newSource();
  int copySource();
  int deleteSource();
  int moveSource(int delta);
  // The current source made the template; false when there is none, or
  // when the template file took no write: why then names it and why.
  bool makeTemplate(std::string& why) const;
  // The template goes, or stays whole: false, why naming the file and why
  // (see deleteWhole).
  bool clearTemplate(std::string& why) const;
  void toggleEnabled();
  void setKind(int kind);
  std::string templateFileName() const;

  // Symbol (parameters false) and parameter operations at a row index.
  int newEntry(bool parameters, int index);
  int copyEntry(bool parameters, int index);
  int deleteEntry(bool parameters, int index);
  int moveEntry(bool parameters, int index, int delta);

  // The symbols one a line: Symbol, Tab, Definition, Tab, Comment, LF.
  std::string symbolsAsText() const;
  void symbolsFromText(const std::string& text);

  // Favourites; each returns the favourite index to select, or -1.
  int useFavourite(int favourite);
  int addFavourite(int after);
  int deleteFavourite(int favourite);
  int moveFavourite(int favourite, int delta);
  void renameFavourite(int favourite, const std::string& caption);
  void sortFavourites(bool ascending);

 private:
  TSourceTable working_;
  TSourceTable* favourites_ = nullptr;
  std::string dataFolder_;
  std::string templateName_;
};
