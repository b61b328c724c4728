#pragma once
#include <string>
#include <unordered_map>

// The names a system's formulas may use and what replaces them in the run
// sheet. The first name added wins over later ones spelled alike (letter
// case aside), so assets come before parameters and symbols. "RULE" has a
// replacement only while a rule's formulas are compiled.
class TSystemNameTable {
 public:
  void add(const std::string& name, const std::string& replacement);
  void setRule(const std::string& replacement) { rule_ = replacement; }
  // nullptr when the identifier names nothing.
  const std::string* find(const std::string& identifier) const;

 private:
  std::unordered_map<std::string, std::string> names_;  // upper-case names
  std::string rule_;
};
