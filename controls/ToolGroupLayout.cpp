#include "controls/ToolGroupLayout.h"

#include <algorithm>

std::vector<TBandLayout> bandLayoutFor(std::vector<TToolGroupPlace> places, const std::map<std::string, int>& ownWidths,
                                       int rowHeight, int gripperWidth, int bandBorder) {
  // Tops within half a row of each other count as one row: a bar laid out
  // by hand or by another version need not keep the exact pixel.
  const auto rowOf = [rowHeight](int top) { return rowHeight > 0 ? (top + rowHeight / 2) / rowHeight : 0; };
  std::stable_sort(places.begin(), places.end(), [&](const TToolGroupPlace& a, const TToolGroupPlace& b) {
    return rowOf(a.top) != rowOf(b.top) ? rowOf(a.top) < rowOf(b.top) : a.left < b.left;
  });
  const auto ownWidth = [&](const std::string& name) {
    const auto found = ownWidths.find(name);
    return (found == ownWidths.end() ? 0 : found->second) + gripperWidth;
  };
  std::vector<TBandLayout> layout;
  for (size_t index = 0; index < places.size(); ++index) {
    const TToolGroupPlace& place = places[index];
    const bool newRow = index > 0 && rowOf(places[index - 1].top) != rowOf(place.top);
    int width = ownWidth(place.name);
    if (index + 1 < places.size() && rowOf(places[index + 1].top) == rowOf(place.top))
      width = std::max(width, places[index + 1].left - place.left - bandBorder);
    layout.push_back({place.name, width, newRow});
  }
  return layout;
}

std::vector<TToolGroupPlace> toolGroupPlaces(const std::vector<TBandLayout>& layout, int firstTop, int rowHeight,
                                             int gripperWidth) {
  std::vector<TToolGroupPlace> places;
  int left = gripperWidth;
  int top = firstTop;
  for (size_t index = 0; index < layout.size(); ++index) {
    if (index > 0 && layout[index].newRow) {
      left = gripperWidth;
      top += rowHeight;
    }
    places.push_back({layout[index].name, left, top});
    left += layout[index].width;
  }
  return places;
}
