#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/SettingsBaseline.h"
#include "sheet/CellProps.h"

// How one column (or row) of a list window is built: the cell properties
// plus the header, the symbol by which other fields' formulas name it, and
// its layout sizes.
class TField : public TCellProps {
 public:
  TField() { setFieldDefaults(); }

  void setFieldDefaults();
  void setDefaults();
  // The field values except Position, then the cell properties; nullptr
  // gives the defaults.
  int assign(const TField* source);
  // Field defaults, then the cell part and the field keys; -7 (with every
  // default) when the section is missing.
  int loadFromIni(const TPortableIniFile& ini, const std::string& section, char listSeparator,
                  char decimalSeparator);
  int saveToIni(TPortableIniFile& ini, const std::string& section, char listSeparator,
                char decimalSeparator) const;

  // The text without leading and trailing blanks.
  void setSymbol(const std::string& text);
  void setHeader(const std::string& text);
  void setTestContent(const std::string& text);
  // An edit of the field's cell is kept as the object's custom property of
  // the field's symbol: a value cell (not bound to an object's property), a
  // symbol the objects' files can hold as a name ("=" ends one) and no
  // locked formula. A property that cannot be stored would refuse every
  // later save of its object.
  bool holdsCustomProperty() const;

  std::string Symbol;
  std::string Header;
  std::string TestContent;  // sample content for the field editor
  bool EditableDefinition;
  bool Hidden;
  bool Disabled;
  std::int32_t EditorRowHeight;
  std::int32_t RowWiseWidth;   // column width when records are rows
  std::int32_t ColWiseHeight;  // row height when records are columns
  // The 1-based column or row that the showing window gave the field; never
  // saved and never copied.
  std::int32_t Position;
};

// The cell type a field kind's sample is shown with (0: none).
std::uint8_t testCellType(int kind);

// A list of field definitions, loaded from and saved to a field file (a
// settings file: section "Fields" and one section per field, "0", "1", ...).
class TFieldTable {
 public:
  TFieldTable() { clear(); }

  // No fields, Fixed 0, the four sizes -1.
  void clear();
  // 0; -3 when the file cannot be read, -5 when reading fails, -6 when the
  // file claims more than maxFieldCount fields. A missing file loads as an
  // empty table. The table keeps the file's name either way: one that
  // failed to load, or is missing, stands in for the file with no fields.
  // A file missing, not loaded or not read whole (lines passed over, no
  // count, fewer field sections than its count) is told of: else the user
  // sees the window's fields go without knowing why. What the file refused
  // from a table loaded before (see save) shows in its place.
  int loadFromFile(const std::string& fileName, char decimalSeparator, char listSeparator);
  // Writes into FileName what changed since it was read or saved (what else
  // the file holds stays), replacing the file only once the new text is
  // complete; -4 when that fails. The fields given to a stand-in are
  // written after those the file holds when it is first saved with any,
  // which stay as they are; -4 while the file still cannot be loaded.
  // What the file refuses otherwise waits for the close (see
  // holdSettingsChange); once written, what was held for it goes.
  int save(char decimalSeparator, char listSeparator);
  // A deep copy of source (nullptr: cleared). Returns 0.
  int assign(const TFieldTable* source);
  // The table's four sizes below 1 (a file written before they were kept,
  // or a layout never shown) take the grid's default row height and
  // column width.
  void defaultMissingSizes(int rowHeight, int colWidth);
  // The same at loading, together with the fields' sizes: what the grid
  // gives where the file gives no size is what reading the file gives
  // again, so it is no change to save (a look at a read-only portfolio
  // would else raise a question at every close).
  void takeGridSizes(int rowHeight, int colWidth);

  int count() const { return static_cast<int>(Fields.size()); }
  // nullptr outside the list.
  TField* items(int index) const;
  // 0, or -7 for an index below 0 or one that would make the list longer
  // than maxFieldCount.
  int insertField(int index);
  int deleteField(int index);
  int moveField(int from, int to);

  // The Position of the first field whose symbol equals the trimmed symbol
  // ignoring case; -1 when none.
  int positionOfSymbol(const std::string& symbol) const;
  TField* fieldAtPosition(int position) const;
  // Fields among the first Fixed that are neither hidden nor disabled.
  int shownFixedCount() const;

  // A field formula as the formula of one record: field symbols become
  // references to the record's cell of that field (row-wise: the field's
  // column and row index; column-wise: column index and the field's row),
  // names found in names (ignoring case) become the replacement of the same
  // index, everything else stays as written.
  void translateFormula(const std::string& formula, int index, std::string& result,
                        const std::vector<std::string>& replacements, const std::vector<std::string>& names,
                        char listSeparator, char decimalSeparator, bool rowWise) const;

  std::vector<std::unique_ptr<TField>> Fields;
  std::string FileName;
  std::int32_t Fixed;
  std::int32_t RowWiseFixedHeight;
  std::int32_t ColWiseFixedWidth;
  std::int32_t DefaultRowWiseWidth;
  std::int32_t DefaultColWiseHeight;

  // No list window has more fields; a file that claims more is corrupt.
  static constexpr int maxFieldCount = 65536;

 private:
  // whole: false when reading passed over part of the file or the file
  // contradicts itself (see loadFromFile).
  int readFrom(const TPortableIniFile& ini, char decimalSeparator, char listSeparator, bool& whole);
  // The file as read; null when reading could not even begin.
  std::unique_ptr<TPortableIniFile> openFile() const;
  void writeTo(TPortableIniFile& ini, char decimalSeparator, char listSeparator) const;
  TSettingsBaseline::TWriter writer(char decimalSeparator, char listSeparator) const;

  TSettingsBaseline saved_;
  // The table shows what its file refused from a table loaded before.
  bool showsHeldChange_ = false;
  bool standIn_ = false;
  // A stand-in's place in its file: the number of the file's own fields
  // before its first, -1 until it was first saved with fields.
  int fieldsBefore_ = -1;
};
