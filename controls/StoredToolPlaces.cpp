#include "controls/StoredToolPlaces.h"

#include "platform/Control.h"

void TStoredToolPlaces::keep(const TControl& group, int left, int top) {
  kept_[&group] = {left, top, group.left(), group.top()};
}

POINT TStoredToolPlaces::placeToWrite(const TControl& group) const {
  const auto kept = kept_.find(&group);
  if (kept != kept_.end() && group.left() == kept->second.placedLeft && group.top() == kept->second.placedTop)
    return {kept->second.left, kept->second.top};
  return {group.left(), group.top()};
}
