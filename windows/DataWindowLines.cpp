#include "windows/DataWindowLines.h"

#include <algorithm>

#include "model/QuickSort.h"
#include "sheet/ColumnLetters.h"
#include "sheet/FieldTable.h"

std::string selectedReference(int objectCount, bool rowWise) {
  const int line = objectCount + 2;
  std::string reference = rowWise ? columnLetters(1) : columnLetters(line);
  reference += rowWise ? std::to_string(line) : std::string("1");
  return reference;
}

std::vector<int> objectsInDisplayOrder(const std::vector<int>& displayOrder, int objectCount) {
  std::vector<TSortPair> pairs;
  pairs.reserve(static_cast<size_t>(std::max(objectCount, 0)));
  int largest = 0;
  for (int order : displayOrder) largest = std::max(largest, order);
  for (int i = 0; i < objectCount; ++i) {
    int order = i < static_cast<int>(displayOrder.size()) ? displayOrder[i] : -1;
    if (order < 0) order = ++largest;
    pairs.push_back({i, order});
  }
  quickSortPairs(pairs);
  std::vector<int> objects;
  objects.reserve(pairs.size());
  for (const TSortPair& pair : pairs) objects.push_back(pair.tag);
  return objects;
}

bool shownInStoredOrder(const std::vector<int>& shownOrder, const std::vector<int>& storedOrder, int objectCount) {
  const auto shown = [&](int index) { return index < static_cast<int>(shownOrder.size()) && shownOrder[index] >= 0; };
  std::vector<int> lines, stored;
  for (int index : objectsInDisplayOrder(shownOrder, objectCount))
    if (shown(index)) lines.push_back(index);
  for (int index : objectsInDisplayOrder(storedOrder, objectCount))
    if (shown(index)) stored.push_back(index);
  return lines == stored;
}

int assignFieldPositions(TFieldTable& fields) {
  int position = 0;
  for (auto& field : fields.Fields) {
    field->Position = 0;
    if (!field->Disabled && !field->Hidden) field->Position = ++position;
  }
  const int shown = position;
  for (auto& field : fields.Fields)
    if (!field->Disabled && field->Hidden) field->Position = ++position;
  return shown;
}

void removeObjectEntry(std::vector<int>& values, int index, int objectCount) {
  if (index < 0 || static_cast<int>(values.size()) < objectCount || index >= static_cast<int>(values.size())) return;
  values.erase(values.begin() + index);
}

int placeNewObject(std::vector<int>& displayOrder, int currentLine, int lastLine) {
  if (displayOrder.empty()) return -1;
  int line;
  if (currentLine > 1) {
    for (size_t i = 0; i + 1 < displayOrder.size(); ++i)
      if (displayOrder[i] > currentLine) ++displayOrder[i];
    line = currentLine + 1;
  } else {
    line = lastLine + 1;
  }
  displayOrder.back() = line;
  return line;
}

std::string neuterString(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  while (first < text.size() && text[first] == '=') ++first;
  size_t last = text.find_last_not_of(' ');
  if (last == std::string::npos || last < first) return "";
  return text.substr(first, last - first + 1);
}
