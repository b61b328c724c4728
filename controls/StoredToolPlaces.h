#pragma once
#include <windows.h>

#include <map>

class TControl;

// The places of a bar's groups as its options file had them, beside where
// the bar then put them: a group the user has not moved since is written
// back as the file had it, so that a bar too narrow for the stored layout
// moves the groups shown, not the ones stored.
class TStoredToolPlaces {
 public:
  void clear() { kept_.clear(); }
  // Once the bar has placed the group the file put at left and top.
  void keep(const TControl& group, int left, int top);
  // The place the file is to hold for the group.
  POINT placeToWrite(const TControl& group) const;

 private:
  struct TKept {
    int left, top, placedLeft, placedTop;
  };
  std::map<const TControl*, TKept> kept_;
};
