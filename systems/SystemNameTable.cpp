#include "systems/SystemNameTable.h"

#include <cctype>

namespace {

std::string upper(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

}  // namespace

void TSystemNameTable::add(const std::string& name, const std::string& replacement) {
  if (!name.empty()) names_.emplace(upper(name), replacement);
}

const std::string* TSystemNameTable::find(const std::string& identifier) const {
  const std::string key = upper(identifier);
  if (key == "RULE") return rule_.empty() ? nullptr : &rule_;
  auto found = names_.find(key);
  return found == names_.end() ? nullptr : &found->second;
}
