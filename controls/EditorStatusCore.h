#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A position in a text: x is the 1-based column, y the line (0-based inside
// the document, 1-based where callers hand positions in or get them back).
struct TTextPoint {
  int x = 1;
  int y = 0;
  bool operator==(const TTextPoint&) const = default;
};

// Two positions: (left, top) the start, (right, bottom) the end.
struct TTextRect {
  int left = 1;
  int top = 0;
  int right = 1;
  int bottom = 0;
  bool operator==(const TTextRect&) const = default;
};

enum class TEditKind : uint8_t { none = 0, typing = 1, deleting = 2 };

// The part of an editor document that an undo snapshot keeps.
class TEditorStatusCore {
 public:
  TEditorStatusCore() { clear(); }
  virtual ~TEditorStatusCore() = default;
  TEditorStatusCore(const TEditorStatusCore&) = default;
  TEditorStatusCore& operator=(const TEditorStatusCore&) = default;

  void clear();
  void assign(const TEditorStatusCore& source) { TEditorStatusCore::operator=(source); }

  bool modified = false;
  TTextPoint caret;  // may stand beyond the end of its line and below the last line
  TTextPoint selectionAnchor;
  TTextPoint selectionEnd;
  int topLineIndex = 0;
  TEditKind lastEditKind = TEditKind::none;
  std::vector<std::string> lines;  // without line ends
  // Which text this is: every change to the lines gets a new number, so the
  // document can tell whether a state restored by undo is the saved one.
  uint64_t textGeneration = 0;
};
