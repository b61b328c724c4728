#pragma once
#include <string>
#include <vector>

struct TMacroSource;

// The macro functions the user stopped, kept while the program runs so that
// no reload and no recalculation runs them again on its own: each gives
// "#SCRIPT!" until its package's text changes or the user enters a cell
// calling it anew. Names compare without regard to letter case, as a
// VBScript engine's do.
class TStoppedMacroCalls {
 public:
  bool contains(const std::string& name) const;
  void add(const std::string& name, const TMacroSource* package);
  void forget(const std::string& name);
  // Forgets the functions whose package now reads otherwise.
  void forgetChanged(const std::vector<TMacroSource>& sources);

 private:
  struct TStopped {
    std::string name;
    std::string packageFile;  // empty when no package defines it
    std::string packageText;
  };
  std::vector<TStopped> stopped_;
};

// The source that defines the global function name (the last one, as the
// engine takes the last definition); nullptr when none does.
const TMacroSource* definingSource(const std::vector<TMacroSource>& sources, const std::string& name);
