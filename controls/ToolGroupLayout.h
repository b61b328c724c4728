#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/ExtControls.h"

// Tool-bar groups remembered by the top-left corner each had in its bar, as
// the options file keeps them, and the bands of a control bar that put them
// there again.
struct TToolGroupPlace {
  std::string name;
  int left = 0;
  int top = 0;
};

// The band order, rows and widths for groups at these places: rows by top,
// groups of a row by left; a band reaches to the next group of its row but
// is never narrower than the group's own width plus the gripper. Places
// measured from the groups themselves hold the border the bar draws between
// two bands (bandBorder), which the band's width must not take in again.
std::vector<TBandLayout> bandLayoutFor(std::vector<TToolGroupPlace> places, const std::map<std::string, int>& ownWidths,
                                       int rowHeight, int gripperWidth, int bandBorder = 0);

// The places of the groups as the bands lie: each row starts at the gripper
// width and firstTop, and a row lies rowHeight below the one before.
std::vector<TToolGroupPlace> toolGroupPlaces(const std::vector<TBandLayout>& layout, int firstTop, int rowHeight,
                                             int gripperWidth);
