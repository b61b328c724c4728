#include "controls/PickList.h"

#include <algorithm>
#include <cstdlib>

#include "platform/LocaleSettings.h"

int nextSortKey(int sortKey, int column) { return sortKey == column + 1 ? -sortKey : column + 1; }

namespace {

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// By character code with only a to z folded, so that the order does not
// depend on the user's locale.
int compareByCharacterCode(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const auto left = static_cast<unsigned char>(asciiUpper(a[i]));
    const auto right = static_cast<unsigned char>(asciiUpper(b[i]));
    if (left != right) return left < right ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

const std::string& columnText(const TPickRow& row, size_t column) {
  static const std::string empty;
  return column < row.texts.size() ? row.texts[column] : empty;
}

}  // namespace

int comparePickRows(const TPickRow& a, const TPickRow& b, int sortKey, TPickTextOrder order) {
  if (sortKey == 0) return 0;
  const size_t column = static_cast<size_t>(std::abs(sortKey)) - 1;
  const std::string& left = columnText(a, column);
  const std::string& right = columnText(b, column);
  const int result = order == TPickTextOrder::locale ? compareText(left, right) : compareByCharacterCode(left, right);
  return sortKey > 0 ? result : -result;
}

void sortPickRows(std::vector<TPickRow>& rows, int sortKey, TPickTextOrder order) {
  std::stable_sort(rows.begin(), rows.end(), [sortKey, order](const TPickRow& a, const TPickRow& b) {
    return comparePickRows(a, b, sortKey, order) < 0;
  });
}

int findPickRow(const std::vector<std::string>& captions, int selectedRow, const std::string& text, bool down,
                bool matchCase) {
  const int count = static_cast<int>(captions.size());
  if (count == 0) return -1;
  int row = 0;
  if (selectedRow >= 0 && selectedRow < count) row = down ? std::min(selectedRow + 1, count - 1) : std::max(selectedRow - 1, 0);
  const std::string wanted = matchCase ? text : upperCase(text);
  for (; row >= 0 && row < count; row += down ? 1 : -1) {
    const std::string& caption = captions[static_cast<size_t>(row)];
    if ((matchCase ? caption : upperCase(caption)).find(wanted) != std::string::npos) return row;
  }
  return -1;
}
