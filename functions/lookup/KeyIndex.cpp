#include "functions/lookup/KeyIndex.h"

#include "platform/LocaleSettings.h"
#include "sheet/Sheet.h"

namespace {

template <typename Map, typename Key>
auto* findQueue(Map& map, const Key& key) {
  auto found = map.find(key);
  return found == map.end() ? nullptr : &found->second;
}

}  // namespace

std::string TKeyIndex::numberText(const TValueRecord& key) const {
  TValueRecord text = key;
  sheet_.convertValue(text, valueString);
  return upperCase(text.string);
}

double TKeyIndex::numberOf(const TValueRecord& key) {
  // 0.0 and -0.0 compare equal: file both as 0.0.
  const double value = key.kind == valueInteger ? key.integer : key.number;
  return value == 0.0 ? 0.0 : value;
}

void TKeyIndex::add(const TValueRecord& key, std::int32_t row) {
  if (taken_.size() <= static_cast<std::size_t>(row)) taken_.resize(static_cast<std::size_t>(row) + 1, false);
  switch (key.kind) {
    case valueInteger:
    case valueNumber:
      numbers_[numberOf(key)].rows.push_back(row);
      numberTexts_[numberText(key)].rows.push_back(row);
      break;
    case valueString:
      texts_[upperCase(key.string)].rows.push_back(row);
      break;
    default:
      break;
  }
}

std::int32_t TKeyIndex::firstFree(TRowQueue* queue) {
  if (!queue) return -1;
  while (queue->next < queue->rows.size() && taken_[static_cast<std::size_t>(queue->rows[queue->next])]) ++queue->next;
  return queue->next < queue->rows.size() ? queue->rows[queue->next] : -1;
}

std::int32_t TKeyIndex::takeFirstEqual(const TValueRecord& key) {
  std::int32_t first = -1;
  std::int32_t second = -1;
  switch (key.kind) {
    case valueInteger:
    case valueNumber: {
      first = firstFree(findQueue(numbers_, numberOf(key)));
      second = firstFree(findQueue(texts_, numberText(key)));
      break;
    }
    case valueString: {
      const std::string text = upperCase(key.string);
      first = firstFree(findQueue(texts_, text));
      second = firstFree(findQueue(numberTexts_, text));
      break;
    }
    default:
      return -1;
  }
  const std::int32_t row = first < 0 || (second >= 0 && second < first) ? second : first;
  if (row >= 0) taken_[static_cast<std::size_t>(row)] = true;
  return row;
}
