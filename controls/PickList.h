#pragma once
#include <string>
#include <vector>

// The rows of the pick dialogs' report lists and the find rule the dialogs
// share for them, kept apart from the windows so that it can be checked
// without one. (The lists sort themselves on a header click.)

struct TPickRow {
  std::vector<std::string> texts;  // the caption, then one text per further column
  int number = 0;                  // download list number, item number or asset index
  std::string foundName;           // the folder or file name as found on disk ("07", "012.INI")
  int stateImage = -1;             // -1: none
};

// The row whose caption contains the text, searching from the row after the
// selected one (down) or before it (up), or from row 0 when none is
// selected, to the end in that direction; without matchCase the texts
// compare in capitals. -1 when none matches, also for an empty list.
int findPickRow(const std::vector<std::string>& captions, int selectedRow, const std::string& text, bool down,
                bool matchCase);
