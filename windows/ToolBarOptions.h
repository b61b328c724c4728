#pragma once
#include <vector>

#include "controls/StoredToolPlaces.h"

class TControlBar;
class TPanel;
class TPortableIniFile;

// The groups of a window's control bar as its options file keeps them: one
// section per group with the group's "Left", "Top" and "Visible".
struct TToolGroupSection {
  const char* section;
  TPanel* panel;
};

// A bar's groups read from and written to the options file. A group the
// user has not moved since it was read is written back where the file had
// it: a bar too narrow for the stored layout moves the groups shown, not
// the ones stored.
class TToolGroupPlaces {
 public:
  // Puts the bar's groups where the file says (rows by top, then by left),
  // each shown or hidden; a key that is missing keeps the group as it is.
  void read(const TPortableIniFile& ini, TControlBar& bar, const std::vector<TToolGroupSection>& groups);
  void write(TPortableIniFile& ini, const std::vector<TToolGroupSection>& groups) const;

 private:
  TStoredToolPlaces stored_;
};
