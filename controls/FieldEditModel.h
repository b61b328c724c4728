#pragma once
#include <cstdint>
#include <string>

#include "sheet/FieldTable.h"

class TSheet;

// What the field editor's tools show for the current field.
struct TFieldToolState {
  bool fieldRow = false;  // the current row is a field's
  bool deleteEnabled = false;
  bool upEnabled = false;
  bool downEnabled = false;
  bool editEnabled = false;  // kind box, Disabled, alignment, fonts, colours, Read only
  bool hiddenEnabled = false;
  bool decimalsEnabled = false;
  bool trailEnabled = false;
  bool conditionalEnabled = false;
  int kind = 0;
  bool disabledDown = false;
  bool hiddenDown = false;
  bool leftDown = false;
  bool rightDown = false;
  bool topDown = false;
  bool bottomDown = false;
  bool fixedDown = false;
  bool lockedDown = false;
};

// The field editor without its window: a working copy of a field table,
// the commands on its fields, the grid's content made from it and the
// edit-as-text form. Field i shows in grid row i + 2 (row 1 holds the
// column titles). Commands on a field whose definition is not editable
// change nothing and answer false.
class TFieldEditModel {
 public:
  static constexpr int columnCount = 4;
  static constexpr int definitionColumn = 3;

  explicit TFieldEditModel(const TFieldTable& source);

  TFieldTable& fields() { return copy_; }
  const TFieldTable& fields() const { return copy_; }
  int count() const { return copy_.count(); }
  bool editable(int index) const;

  // A new field after the given one (at the start for -1), with a test value
  // whose many digits show the decimals setting at once; answers its index.
  int newField(int current, const std::string& decimalSeparator);
  bool deleteField(int index);
  bool moveUp(int index);
  bool moveDown(int index);
  bool setKind(int index, int kind);
  bool toggleDisabled(int index);
  bool toggleHidden(int index);
  bool toggleLocked(int index);
  bool toggleAlignment(int index, std::uint8_t bit);
  // The fields up to this one become fixed, or this one and those after it
  // stop being fixed.
  bool toggleFixed(int index);
  bool setMaxDecimals(int index, int decimals);
  bool toggleFixedDecimals(int index);
  bool setTrail(int index, const std::string& trail);
  // The default format (conditional false) or the conditional one; a font
  // or fill given enables the format.
  bool setFormatFont(int index, bool conditional, const TFontProperties& font);
  bool setFormatFill(int index, bool conditional, std::int32_t color);
  bool setThreshold(int index, bool ifAbove, double threshold);
  // Back to the format's defaults: Clear in the Default menu clears the
  // default format, every other Clear the conditional one.
  bool clearFormat(int index, bool conditional);

  // Takes what the user typed into a cell of a field's row: blanks and
  // leading "=" go, then the text is stored by column (1 symbol, 2 header,
  // 3 definition, 4 test content). False for a field that is not editable,
  // whose grid must then be refilled to undo the edit; stored is what the
  // cell should show.
  bool editCell(int index, int column, const std::string& text, std::string& stored);

  TFieldToolState toolState(int index) const;

  // One line a field: symbol, header, definition and test content between
  // tabs, each line ended by a line feed.
  std::string asText() const;
  // Takes the edited text back. Refused, with a message and nothing changed,
  // when it has fewer lines than there are fields and a field it would
  // remove is one whose definition is not editable (a window's own field).
  bool fromText(const std::string& text, std::string& message);

  // Fills the grid's sheet from the working copy: titles, one row per field
  // coloured by its state, and the format test cell. The current cell stays.
  void fillSheet(TSheet& sheet) const;

  // The working copy into the caller's table.
  void applyTo(TFieldTable& target) const { target.assign(&copy_); }

 private:
  TField* editableField(int index) const;

  TFieldTable copy_;
};
