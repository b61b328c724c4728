#include "macros/ScriptEngineDeclarations.h"

#include <algorithm>
#include <cstdio>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "platform/GuidText.h"

namespace {

const char* const defaultsSection = "Defaults";
const char* const selectedKey = "MacroEngine";
const char* const enginesSection = "Engines";

void readEngine(const TPortableIniFile& file, const std::string& section, TScriptEngineAttributes& engine) {
  engine.menuName = file.readString(section, "MenuName", engine.menuName);
  engine.description = file.readString(section, "Description", engine.description);
  engine.fileFilter = file.readString(section, "FileFilter", engine.fileFilter);
  for (int i = 0; i < fontClassCount; ++i) {
    TFontAttributes& font = engine.fonts[i];
    std::string prefix = fontClassNames[i];
    font.colour = file.readInteger(section, prefix + "Color", font.colour);
    font.fontName = file.readString(section, prefix + "Font", font.fontName);
    font.pitch = file.readInteger(section, prefix + "Pitch", font.pitch);
    font.size = file.readInteger(section, prefix + "Size", font.size);
    font.style = file.readFontStyle(section, prefix + "Style", font.style);
  }
}

void writeEngine(TPortableIniFile& file, const std::string& section, const TScriptEngineAttributes& engine) {
  file.writeString(section, "MenuName", engine.menuName);
  file.writeString(section, "Description", engine.description);
  file.writeString(section, "FileFilter", engine.fileFilter);
  for (int i = 0; i < fontClassCount; ++i) {
    const TFontAttributes& font = engine.fonts[i];
    std::string prefix = fontClassNames[i];
    file.writeInteger(section, prefix + "Color", font.colour);
    file.writeString(section, prefix + "Font", font.fontName);
    file.writeInteger(section, prefix + "Pitch", font.pitch);
    file.writeInteger(section, prefix + "Size", font.size);
    file.writeFontStyle(section, prefix + "Style", font.style);
  }
}

// The engines the file declares, in its order, appended; the result holds
// the class id of each as the file spells it. A mistyped entry costs only
// its own engine, so that the next save does not drop the engines after it.
std::vector<std::string> readEngines(const TPortableIniFile& file, std::vector<TScriptEngineAttributes>& engines) {
  std::vector<std::string> keys;
  std::vector<std::string> texts;
  file.readSection(enginesSection, keys);
  for (const std::string& key : keys) {
    std::string text = file.readString(enginesSection, key, "");
    TScriptEngineAttributes engine = defaultEngineAttributes();
    if (!tryTextToGuid(text, engine.classId)) continue;
    readEngine(file, text, engine);
    engines.push_back(engine);
    texts.push_back(text);
  }
  return texts;
}

}  // namespace

std::string engineKey(int index) {
  char key[16];
  std::snprintf(key, sizeof key, "%04X", static_cast<unsigned>(index));
  return key;
}

bool TScriptEngineDeclarations::load(bool onlyIfChanged) {
  int64_t age = fileAge(path_);
  if (age < 0) {
    // A folder under the name is a file that cannot be read: told once,
    // not at every visit of the Macros tab.
    if (pathExists(path_)) {
      if (age_ != unreadableAge) reportUnreadableFile(path_);
      age_ = unreadableAge;
    }
    return false;
  }
  if (onlyIfChanged && age == age_) return false;
  engines.clear();
  selectedIndex_ = -1;
  try {
    TPortableIniFile file(path_);
    unread_ = file.readFailed();
    std::string selected = file.readString(defaultsSection, selectedKey, "");
    const std::vector<std::string> texts = readEngines(file, engines);
    for (size_t i = 0; i < texts.size(); ++i)
      if (texts[i] == selected) selectedIndex_ = static_cast<int>(i);
    saved_.take(path_, writer(selectedIndex_, true), file);
  } catch (...) {
    return true;  // what was read stays; the age is kept so the next entry reads again
  }
  age_ = age;
  return true;
}

bool TScriptEngineDeclarations::save(int selected) {
  // With nothing of the user's to write only what another program cut out
  // of the file is put back: a file as this program left it is not even
  // read, and stays as it is, readable or not.
  const bool selectable = selected >= 0 && selected < static_cast<int>(engines.size());
  if (!enginesModified && (!selectable || selected == selectedIndex_))
    return saved_.saveUnchanged(path_, writer(selectedIndex_, false));
  bool merged = false;
  if (enginesModified && unread_) {
    // Rewritten from a read that failed, the file would lose what it holds.
    const TPortableIniFile file(path_);
    if (file.readFailed()) return false;
    // The engines the failed read missed go after the user's, whose
    // places the engine list still shows.
    std::vector<TScriptEngineAttributes> held;
    readEngines(file, held);
    for (const TScriptEngineAttributes& engine : held) {
      const bool known = std::any_of(engines.begin(), engines.end(), [&](const TScriptEngineAttributes& ours) {
        return ours.classId == engine.classId;
      });
      if (!known) engines.push_back(engine);
    }
    merged = true;
  }
  const bool written = saved_.save(path_, writer(selectable ? selected : -1, enginesModified));
  if (written && selectable) selectedIndex_ = selected;
  if (written && merged) unread_ = false;
  // After a merge the next visit reads the file again, so that the engine
  // list shows the engines added to it.
  age_ = merged ? -1 : fileAge(path_);
  return written;
}

bool TScriptEngineDeclarations::saveSelectedEngineGUID(int selected) {
  if (selected < 0 || selected >= static_cast<int>(engines.size())) return true;
  const bool written = saved_.save(path_, writer(selected, false));
  if (written) selectedIndex_ = selected;
  age_ = fileAge(path_);
  return written;
}

TSettingsBaseline::TWriter TScriptEngineDeclarations::writer(int selected, bool withEngines) const {
  // The selection alone leaves the engines as the file holds them; the
  // engines are written anew, numbered afresh, only once the user changed
  // them.
  std::vector<TScriptEngineAttributes> written = withEngines ? engines : std::vector<TScriptEngineAttributes>{};
  std::string chosen = selected >= 0 ? guidToText(engines[selected].classId) : std::string();
  return [written = std::move(written), chosen = std::move(chosen), withEngines](TPortableIniFile& file) {
    if (!chosen.empty()) file.writeString(defaultsSection, selectedKey, chosen);
    if (!withEngines) return;
    file.eraseSection(enginesSection);
    for (size_t i = 0; i < written.size(); ++i) {
      const std::string text = guidToText(written[i].classId);
      file.writeString(enginesSection, engineKey(static_cast<int>(i)), text);
      writeEngine(file, text, written[i]);
    }
  };
}

void TScriptEngineDeclarations::add(const TScriptEngineAttributes& engine) {
  engines.push_back(engine);
  enginesModified = true;
}

void TScriptEngineDeclarations::remove(int index) {
  if (index < 0 || index >= static_cast<int>(engines.size())) return;
  engines.erase(engines.begin() + index);
  enginesModified = true;
}
