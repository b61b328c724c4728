#include "controls/EditorStatusCore.h"

void TEditorStatusCore::clear() {
  modified = false;
  caret = {1, 0};
  selectionAnchor = caret;
  selectionEnd = caret;
  topLineIndex = 0;
  lastEditKind = TEditKind::none;
  lines.clear();
}
