#pragma once
#include <array>
#include <string>
#include <vector>

#include <windows.h>

#include "controls/FontAttributeSets.h"

// The font classes of a declared engine's colouring, in stored order.
enum TFontClass { fcDefault, fcKeyword, fcOperator, fcNumber, fcString, fcFunction, fcComment, fcNotSource };
constexpr int fontClassCount = 8;
// The key prefixes of the font classes in the declarations file.
extern const std::array<const char*, fontClassCount> fontClassNames;

// One declared Active Scripting engine.
struct TScriptEngineAttributes {
  GUID classId{};
  std::string menuName = "Undefined";
  std::string description = "Undefined";
  std::string fileFilter;  // patterns separated by ";", of which only the extensions count
  std::array<TFontAttributes, fontClassCount> fonts;
};

// What a new or read engine starts as: no class id, "Undefined", the
// program's colouring fonts.
const TScriptEngineAttributes& defaultEngineAttributes();

// The extension (from the last "." on) of each pattern of a file filter, in
// order; a pattern without a "." gives an empty extension.
std::vector<std::string> fileFilterExtensions(const std::string& fileFilter);
