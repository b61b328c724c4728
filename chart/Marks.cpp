#include "chart/Marks.h"

#include <algorithm>
#include <new>

void TMark::clear() {
  x = 0;
  y = 0;
  offset = 0;
  screenRect = TMarkRect();
  text.clear();
}

void TTextMark::clear() {
  TMark::clear();
  frameStyle = 0;
  textColor = markDefaultColor;
  backgroundColor = markDefaultColor;
}

void TImageMark::clear() {
  TMark::clear();
  imageIndex = -1;
}

void TMarks::clear() {
  while (!marks_.empty()) marks_.pop_back();
}

TMark* TMarks::item(int i) const { return i < 0 || i >= count() ? nullptr : marks_[i].get(); }

TMark* TMarks::markAt(int x, int y) const {
  for (auto mark = marks_.rbegin(); mark != marks_.rend(); ++mark) {
    if ((*mark)->screenRect.contains(x, y)) return mark->get();
  }
  return nullptr;
}

int TMarks::mergeXValues(std::vector<double>& values) const {
  try {
    for (const auto& mark : marks_) {
      auto place = std::lower_bound(values.begin(), values.end(), mark->x);
      if (place == values.end() || *place != mark->x) values.insert(place, mark->x);
    }
  } catch (const std::bad_alloc&) {
    return -5;
  }
  return 0;
}

int TTextMarks::add(const std::string& text, int offset, uint32_t backgroundColor, uint32_t textColor,
                    uint8_t frameStyle, double x, long double y) {
  if (text.empty()) return -7;
  auto mark = std::make_unique<TTextMark>();
  mark->text = text;
  mark->offset = offset;
  mark->backgroundColor = backgroundColor;
  mark->textColor = textColor;
  mark->frameStyle = frameStyle;
  mark->x = x;
  mark->y = y;
  marks_.push_back(std::move(mark));
  return 0;
}

bool TTextMarks::minY(long double& value) const {
  if (marks_.empty()) return false;
  value = marks_.front()->y;
  for (const auto& mark : marks_) value = std::min(value, mark->y);
  return true;
}

bool TTextMarks::maxY(long double& value) const {
  if (marks_.empty()) return false;
  value = marks_.front()->y;
  for (const auto& mark : marks_) value = std::max(value, mark->y);
  return true;
}

int TImageMarks::add(int imageIndex, int offset, const std::string& hintText, double x, long double y) {
  auto mark = std::make_unique<TImageMark>();
  mark->imageIndex = imageIndex;
  mark->offset = offset;
  mark->text = hintText;
  mark->x = x;
  mark->y = y;
  marks_.push_back(std::move(mark));
  return 0;
}

namespace {

template <class Better>
bool foldImageMarkY(const std::vector<std::unique_ptr<TMark>>& marks, long double& value, Better better) {
  bool found = false;
  for (const auto& mark : marks) {
    if (static_cast<const TImageMark&>(*mark).imageIndex < 0) continue;
    if (!found || better(mark->y, value)) value = mark->y;
    found = true;
  }
  return found;
}

}  // namespace

bool TImageMarks::minY(long double& value) const {
  return foldImageMarkY(marks_, value, [](long double a, long double b) { return a < b; });
}

bool TImageMarks::maxY(long double& value) const {
  return foldImageMarkY(marks_, value, [](long double a, long double b) { return a > b; });
}
