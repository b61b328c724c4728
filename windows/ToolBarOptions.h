#pragma once
#include <vector>

class TControlBar;
class TPanel;
class TPortableIniFile;

// The groups of a window's control bar as its options file keeps them: one
// section per group with the group's "Left", "Top" and "Visible".
struct TToolGroupSection {
  const char* section;
  TPanel* panel;
};

// Puts the bar's groups where the file says (rows by top, then by left),
// each shown or hidden; a key that is missing keeps the group as it is.
void readToolGroups(const TPortableIniFile& ini, TControlBar& bar, const std::vector<TToolGroupSection>& groups);
void writeToolGroups(TPortableIniFile& ini, const std::vector<TToolGroupSection>& groups);
