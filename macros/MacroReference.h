#pragma once
#include <string>
#include <vector>

#include "model/SettingsBaseline.h"

// Result codes of the package operations.
enum : int {
  macroOk = 0,
  macroNameUsed = -1,
  macroNoDescriptor = -2,
  macroReadFailed = -3,
  macroFileFailed = -4,
  macroListFailed = -5,
  macroInvalidName = -6,
  macroNoPackage = -7,
};

// One macro package: the files of the macros directory whose name before
// the last dot is the package name. "<name>.INI" describes it; the others
// hold its sources. Copy, rename and delete act on the disk at once.
class TMacroReference {
 public:
  std::string engine;  // class id text of the descriptor's engine
  bool modified = false;

  const std::string& name() const { return name_; }
  const std::string& directory() const { return directory_; }
  bool Active() const { return active_; }
  void setActive(bool value);
  void clear();

  int load(const std::string& directory, const std::string& descriptorFileName, const std::string& engineClassId);
  // Gives a new package its place without reading anything.
  void create(const std::string& directory, const std::string& name, const std::string& engineClassId);
  int save();
  // The mark into that descriptor, the package's own under another name
  // after a rename.
  int saveInto(const std::string& descriptor);
  int copyFiles(const std::string& newName);
  int rename(const std::string& newName);
  // Every file of the package, or none: when one would refuse, refusal
  // (when given) names it and why.
  int deleteFiles(std::string* refusal = nullptr);

  // The extensions (".INI", ".js", ...) of the package's files; only files
  // whose name before the last dot is exactly the package's, so that Trend
  // does not claim Trend.v2's files.
  static std::vector<std::string> fileExtensions(const std::string& directory, const std::string& name);

 private:
  // The descriptor as the package gives it: its engine and its mark.
  TSettingsBaseline::TWriter writer() const;

  std::string name_;
  std::string directory_;
  bool active_ = false;
  // What the descriptor held when read or last written.
  TSettingsBaseline saved_;
};

std::string trimmed(const std::string& text);
