#include "model/WholeRecord.h"

#include <algorithm>

#include "model/PortableIniFile.h"
#include "platform/FileSystem.h"

namespace {

// Where reading stops, as the settings reader stops there.
constexpr char endOfFileMark = '\x1A';

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// CR and LF alike end a line: a file may have either.
bool lastLineEnded(std::string_view text) {
  text = text.substr(0, text.find(endOfFileMark));
  const auto lastText = std::find_if_not(text.rbegin(), text.rend(), isBlank);
  // A file of blanks alone has no line to end; its loader finds no record.
  if (lastText == text.rend()) return true;
  return std::any_of(text.rbegin(), lastText, [](char c) { return c == '\r' || c == '\n'; });
}

}  // namespace

std::optional<std::string> recordText(const std::string& fileName, const std::optional<std::string>& readAhead) {
  if (readAhead) return readAhead;
  std::string text;
  if (!readFileBytes(fileName, text)) return std::nullopt;
  return text;
}

std::string recordCutShort(std::string_view text, const TPortableIniFile& ini, const std::string& section,
                           std::initializer_list<const char*> keys) {
  if (!lastLineEnded(text)) return "is cut off inside its last line";
  // A key left empty is as good as gone: no save writes one.
  for (const char* key : keys)
    if (ini.readString(section, key, "").empty()) return std::string("lacks ") + key + " in section " + section;
  return {};
}
