#include "app/RegistrationSwitches.h"

#include <cctype>

#include "platform/LocaleSettings.h"

namespace {

// The command line's words: spaces part them except within double quotes,
// which a path with spaces comes in.
std::string nextWord(const std::string& line, size_t& at) {
  while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
  std::string word;
  bool quoted = false;
  for (; at < line.size(); ++at) {
    const char c = line[at];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && std::isspace(static_cast<unsigned char>(c))) {
      break;
    } else {
      word += c;
    }
  }
  return word;
}

}  // namespace

bool registrationSwitchGiven(const std::string& commandLine) {
  size_t at = 0;
  nextWord(commandLine, at);  // the program itself
  for (std::string word = nextWord(commandLine, at); !word.empty(); word = nextWord(commandLine, at)) {
    if (word[0] != '/' && word[0] != '-') continue;
    const std::string name = lowerCase(word.substr(1));
    if (name == "regserver" || name == "unregserver") return true;
  }
  return false;
}
