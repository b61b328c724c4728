#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controls/EditorStatusCore.h"
#include "controls/EditorStatusHistory.h"
#include "controls/FontAttributeSets.h"
#include "platform/Colors.h"
#include "platform/ShiftState.h"

struct TSearchOptions {
  bool down = true;
  bool matchCase = false;
  bool wholeWord = false;
  bool replaceAll = false;
};

// The document behind every plain-text editor: single-byte lines, a caret
// that may stand in virtual space, a mouse-made selection, snapshot undo and
// redo, find and replace, files, and the drawing of the text into a canvas.
// Positions handed in and out are 1-based in both column and line.
class TEditorStatus : public TEditorStatusCore {
 public:
  TEditorStatus();

  void clear();
  void reset();
  bool loadFromFile(const std::string& fileName);
  bool saveToFile(const std::string& fileName, bool lfOnly);
  void getText(bool lfOnly, std::string& text) const;
  void getLine(int lineNo, std::string& text) const;
  // The hash (std::hash of the bytes) of what the file held when this
  // document last read or wrote it, none when the document did neither: a
  // copy of the text would double what a large one costs.
  std::optional<size_t> fileDigest() const { return fileDigest_; }
  int lineCount() const { return static_cast<int>(lines.size()); }

  TTextPoint getCaret() const { return {caret.x, caret.y + 1}; }
  void setCaret(TTextPoint point);
  char charAtCaret() const;
  void getSelectionOrdered(TTextRect& rect) const;
  void setSelection(const TTextRect& rect);
  void selectAll();
  void getSelectedText(std::string& text) const;
  void caretFromPoint(int x, int y);
  void extendSelectionToPoint(int x, int y);

  bool keyDown(WORD key, TShiftState shiftState);
  bool keyPress(char character);
  bool insertText(const std::string& text);
  bool deleteSelection();
  void deleteLine();
  bool cut();
  void copy();
  bool paste();
  bool canPaste() const;

  void saveUndo();
  bool undo();
  bool redo();
  int canUndo() const { return readOnly ? 0 : undoHistory_.count(); }
  int canRedo() const { return readOnly ? 0 : redoHistory_.count(); }

  bool find(const std::string& text, const TSearchOptions& options);
  bool replace(const std::string& findText, const std::string& replaceText, const TSearchOptions& options);

  int topLine() const { return topLineIndex + 1; }
  void setTopLine(int line, bool moveCaret);
  void setLeftPixel(int x);
  int visibleLineCount() const { return std::max(0, lastVisibleLine - topLineIndex + 1); }
  int documentWidth() const { return widestLine + 1; }
  int viewWidth() const { return rightPixel - leftPixel + 1; }

  // Draws the visible lines into the canvas and records the geometry the
  // panel needs (rows, character boundaries, caret). Attribute ids run over
  // the text joined with CR LF; the highlight range has 0-based lines and an
  // exclusive end column, (-1, -1, -1, -1) for none.
  void render(HDC canvas, const RECT& rect, const std::vector<uint16_t>* attributeIds,
              TFontAttributeSets* fontAttributeSets, bool keepCaretVisible, const TTextRect& highlightRange);

  static constexpr TTextRect noHighlight{-1, -1, -1, -1};

  int leftPixel = 0;
  int rightPixel = 0;
  int widestLine = 0;
  // Per visible row: element 0 the row height, then the x of each character
  // boundary of its line relative to the text origin, from the boundary left
  // of the row's entry in widthTableColumns on: column 1 but for a long line,
  // of which only the part in view is laid out.
  std::vector<std::vector<int>> widthTables;
  std::vector<int> widthTableColumns;
  int lastVisibleLine = 0;
  int caretHeight = 0;
  int caretX = 0;
  int caretY = 0;
  uint16_t tabWidth = 20;
  bool readOnly = false;
  bool insertMode = true;
  bool suppressNextCharacter = false;
  std::string fileName;
  TColor backgroundColour = clWindow;
  TColor selectionBackgroundColour = clHighlight;
  TColor selectionTextColour = clHighlightText;

 private:
  struct TOccurrence {
    int line = -1;
    int column = 0;  // 1-based
  };

  bool hasSelection() const { return selectionAnchor != selectionEnd; }
  void collapseSelection() { selectionEnd = selectionAnchor = caret; }
  void moveCaret(TTextPoint point);
  int lineLength(int line) const;
  bool blankAt(int line, int column) const;
  void textChanged();
  void refreshModified() { modified = textGeneration != savedGeneration_; }
  void beginEdit(TEditKind kind);
  void pad();
  bool deleteSelectionRaw();
  void typeCharacter(char character);
  void newLine();
  void deleteForward();
  void backspace();
  void deleteWordLeft();
  void wordLeft();
  void wordRight();
  void moveToFirstNonBlankOfNextLine();
  bool handleCtrlKey(WORD key);
  bool handlePlainKey(WORD key);
  void insertRaw(const std::string& text);
  bool restoreFrom(TEditorStatusHistory& from, TEditorStatusHistory& to);
  TOccurrence findIn(const std::string& text, TTextPoint from, TTextPoint to, const TSearchOptions& options) const;
  void searchRegion(bool down, TTextPoint& from, TTextPoint& to) const;
  TTextPoint positionFromPixel(int x, int y) const;

  TEditorStatusHistory undoHistory_{10};
  TEditorStatusHistory redoHistory_{10};
  uint64_t nextGeneration_ = 0;
  uint64_t savedGeneration_ = 0;
  std::optional<size_t> fileDigest_;
  TFontAttributes defaultFont_;
  friend class TEditorRenderer;
};
