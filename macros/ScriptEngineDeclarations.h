#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "macros/ScriptEngineAttributes.h"
#include "model/SettingsBaseline.h"

// The declarations file of the script engines (the executable's name with
// ".AXE"): which engines macros may use, their colouring fonts and which one
// is selected. The Macros window holds one and mirrors `engines` in its
// engine combo box.
class TScriptEngineDeclarations {
 public:
  std::vector<TScriptEngineAttributes> engines;
  // Set by adding, editing or deleting an engine or changing a font; never
  // reset, so once set every save rewrites all engines.
  bool enginesModified = false;

  void setPath(const std::string& path) { path_ = path; }
  const std::string& path() const { return path_; }

  // Reads the file; false when nothing was read (missing file, or unchanged
  // since the last read with onlyIfChanged). selectedIndex then tells the
  // engine "Defaults"/"MacroEngine" names, -1 when none.
  bool load(bool onlyIfChanged);
  int selectedIndex() const { return selectedIndex_; }
  // Writes every engine when enginesModified, else only a selection other
  // than the file's; a file that does not exist is created only when
  // something is written, and with nothing to write the file is not read.
  // False, writing nothing, while the file cannot be read; after a load
  // that could not read it, the engines it holds are kept beside the
  // user's. Either save goes against what the load read (see
  // TSettingsBaseline): what another program cut out of the file since is
  // put back, and told, and what it changed stays.
  bool save(int selected);
  bool saveSelectedEngineGUID(int selected);

  void add(const TScriptEngineAttributes& engine);
  void remove(int index);

 private:
  // The file as the declarations give it: the selection, when selected
  // names an engine, and the engines themselves with withEngines.
  TSettingsBaseline::TWriter writer(int selected, bool withEngines) const;

  // The age of a path that names no file but exists (a folder).
  static constexpr int64_t unreadableAge = -2;

  std::string path_;
  int64_t age_ = -1;
  int selectedIndex_ = -1;
  bool unread_ = false;  // the last load could not read the whole file
  // What the file held when last read or written.
  TSettingsBaseline saved_;
};

// "0000", "0001", ...: the key of the engine at a position.
std::string engineKey(int index);
