#pragma once
#include <memory>
#include <string>
#include <vector>

#include "macros/MacroReference.h"

// The packages of one engine in the macros directory. The Macros window's
// list keeps each package's index as item data, so indexes stay dense.
class TMacroIndex {
 public:
  void clear() { packages_.clear(); }
  int load(const std::string& directory, const std::string& engineClassId);
  int saveAll();

  int count() const { return static_cast<int>(packages_.size()); }
  TMacroReference* item(int index) const;
  int indexOf(const std::string& name) const;
  const std::string& directory() const { return directory_; }
  const std::string& engine() const { return engine_; }

  TMacroReference* add(const std::string& name);
  TMacroReference* copy(int index, const std::string& suffix);
  int rename(int index, const std::string& newName);
  // The package and its files; refusal as TMacroReference::deleteFiles.
  int remove(int index, std::string* refusal = nullptr) { return remove(std::vector<int>{index}, refusal); }
  // The packages of the (distinct) indexes as one deletion: when a file of
  // any would refuse, none goes, and refusal (when given) names it and why.
  int remove(std::vector<int> indexes, std::string* refusal = nullptr);

 private:
  std::string directory_;
  std::string engine_;
  std::vector<std::unique_ptr<TMacroReference>> packages_;
};
