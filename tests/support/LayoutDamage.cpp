#include "tests/support/LayoutDamage.h"

#include <cctype>

namespace {

bool isInteger(const std::string& value) {
  std::size_t start = !value.empty() && value[0] == '-' ? 1 : 0;
  if (start == value.size()) return false;
  for (std::size_t i = start; i < value.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(value[i]))) return false;
  return true;
}

bool keyHolds(const std::string& key, const char* word) {
  std::string upper = key, wanted = word;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (char& c : wanted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper.find(wanted) != std::string::npos;
}

bool isPlaceKey(const std::string& key) {
  std::string upper = key;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return keyHolds(key, "Left") || keyHolds(key, "Top") || upper == "X" || upper == "Y" ||
         (upper.size() > 1 && (upper.back() == 'X' || upper.back() == 'Y') && !std::isalpha(upper[upper.size() - 2]));
}

// The new value of one key, or the old one when the damage leaves it.
std::string damagedValue(const std::string& key, const std::string& value, TLayoutDamage damage, int& placeCount) {
  const bool integer = isInteger(value);
  switch (damage) {
    case TLayoutDamage::huge:
      return integer ? "2147483647" : value;
    case TLayoutDamage::negative:
      return integer ? "-2147483648" : value;
    case TLayoutDamage::negsize:
      return integer && (keyHolds(key, "Width") || keyHolds(key, "Height")) ? "-1000" : value;
    case TLayoutDamage::offscreen:
      if (!integer || !isPlaceKey(key)) return value;
      return ++placeCount % 2 == 0 ? "30000" : "-30000";
    case TLayoutDamage::wrongtype:
      return integer ? "abc" : value;
    case TLayoutDamage::countMax:
      return integer && (keyHolds(key, "Count") || keyHolds(key, "High")) ? "2147483647" : value;
    case TLayoutDamage::nesting:
      return integer ? value : std::string(100000, '(') + value + std::string(100000, ')');
    default:
      return value;
  }
}

}  // namespace

const std::vector<TLayoutDamage>& allLayoutDamages() {
  static const std::vector<TLayoutDamage> damages = {
      TLayoutDamage::huge,     TLayoutDamage::negative, TLayoutDamage::negsize,
      TLayoutDamage::offscreen, TLayoutDamage::wrongtype, TLayoutDamage::countMax,
      TLayoutDamage::nesting,  TLayoutDamage::junk,     TLayoutDamage::longLine};
  return damages;
}

const char* layoutDamageName(TLayoutDamage damage) {
  switch (damage) {
    case TLayoutDamage::huge: return "huge";
    case TLayoutDamage::negative: return "negative";
    case TLayoutDamage::negsize: return "negsize";
    case TLayoutDamage::offscreen: return "offscreen";
    case TLayoutDamage::wrongtype: return "wrongtype";
    case TLayoutDamage::countMax: return "count_max";
    case TLayoutDamage::nesting: return "nesting";
    case TLayoutDamage::junk: return "junk";
    case TLayoutDamage::longLine: return "longline";
  }
  return "";
}

std::string damageLayoutText(const std::string& text, TLayoutDamage damage) {
  if (damage == TLayoutDamage::junk) {
    std::string damaged = text;
    // Bytes a text editor never writes, among them the end-of-file mark and
    // NUL, at a few places through the file.
    const std::string junk("\x00\x1A\xFF\xFE\x01\r\r\n[\n=\x7F", 12);
    for (std::size_t at = damaged.size() / 3; at < damaged.size(); at += damaged.size() / 3 + 1)
      damaged.insert(at, junk);
    return damaged + junk;
  }
  if (damage == TLayoutDamage::longLine) return text + "Line=" + std::string(8 * 1024 * 1024, 'W') + "\r\n";
  std::string damaged;
  damaged.reserve(text.size());
  int placeCount = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    const bool carriageReturn = !line.empty() && line.back() == '\r';
    if (carriageReturn) line.pop_back();
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos && !line.empty() && line[0] != '[' && line[0] != ';') {
      const std::string key = line.substr(0, equals);
      line = key + "=" + damagedValue(key, line.substr(equals + 1), damage, placeCount);
    }
    damaged += line;
    if (carriageReturn) damaged += '\r';
    if (end < text.size()) damaged += '\n';
    start = end + 1;
  }
  return damaged;
}
