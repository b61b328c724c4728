#include "macros/StoppedMacroCalls.h"

#include <algorithm>
#include <cctype>

#include "macros/ScriptHost.h"

namespace {

bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool isNameCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

// "function name" (JScript) or "Function name" / "Sub name" (VBScript),
// each word standing on its own.
bool defines(const std::string& text, const std::string& name) {
  std::string lower(text.size(), ' ');
  std::transform(text.begin(), text.end(), lower.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  std::string wanted(name.size(), ' ');
  std::transform(name.begin(), name.end(), wanted.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  for (const std::string keyword : {"function", "sub"}) {
    for (std::size_t at = lower.find(keyword); at != std::string::npos; at = lower.find(keyword, at + 1)) {
      if (at > 0 && isNameCharacter(lower[at - 1])) continue;
      std::size_t next = at + keyword.size();
      if (next >= lower.size() || (lower[next] != ' ' && lower[next] != '\t')) continue;
      while (next < lower.size() && (lower[next] == ' ' || lower[next] == '\t')) ++next;
      if (lower.compare(next, wanted.size(), wanted) != 0) continue;
      const std::size_t after = next + wanted.size();
      if (after == lower.size() || !isNameCharacter(lower[after])) return true;
    }
  }
  return false;
}

}  // namespace

bool TStoppedMacroCalls::contains(const std::string& name) const {
  return std::any_of(stopped_.begin(), stopped_.end(), [&](const TStopped& each) { return sameName(each.name, name); });
}

void TStoppedMacroCalls::add(const std::string& name, const TMacroSource* package) {
  forget(name);
  stopped_.push_back({name, package != nullptr ? package->fileName : std::string(),
                      package != nullptr ? package->text : std::string()});
}

void TStoppedMacroCalls::forget(const std::string& name) {
  std::erase_if(stopped_, [&](const TStopped& each) { return sameName(each.name, name); });
}

void TStoppedMacroCalls::forgetChanged(const std::vector<TMacroSource>& sources) {
  std::erase_if(stopped_, [&](const TStopped& each) {
    auto source = std::find_if(sources.begin(), sources.end(),
                               [&](const TMacroSource& one) { return one.fileName == each.packageFile; });
    return source != sources.end() && source->text != each.packageText;
  });
}

const TMacroSource* definingSource(const std::vector<TMacroSource>& sources, const std::string& name) {
  for (auto source = sources.rbegin(); source != sources.rend(); ++source)
    if (defines(source->text, name)) return &*source;
  return nullptr;
}
