#include "controls/EditorStatus.h"

#include <functional>
#include <string_view>

#include "platform/FileSystem.h"

bool TEditorStatus::loadFromFile(const std::string& name) {
  std::string bytes;
  // Read whole before touching the document: a failed load keeps the text
  // and the file name it had, so a later save cannot overwrite the wrong file.
  if (!readFileBytes(name, bytes)) return false;
  std::vector<std::string> loaded;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line;
    line.reserve(end - start);
    for (size_t i = start; i < end; ++i)
      if (bytes[i] != '\r') line += bytes[i];
    loaded.push_back(std::move(line));
    start = end + 1;
  }
  reset();
  undoHistory_.clear();
  lines = std::move(loaded);
  fileName = name;
  fileDigest_ = std::hash<std::string_view>{}(bytes);
  return true;
}

bool TEditorStatus::saveToFile(const std::string& name, bool lfOnly) {
  std::string text;
  getText(lfOnly, text);
  if (!writeFileAtomically(name, text)) return false;
  savedGeneration_ = textGeneration;
  refreshModified();
  fileName = name;
  fileDigest_ = std::hash<std::string_view>{}(text);
  return true;
}

void TEditorStatus::getText(bool lfOnly, std::string& text) const {
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  text.clear();
  text.reserve(size);
  for (const std::string& line : lines) {
    text += line;
    text += lfOnly ? "\n" : "\r\n";
  }
}

void TEditorStatus::getLine(int lineNo, std::string& text) const {
  text = lineNo >= 1 && lineNo <= lineCount() ? lines[lineNo - 1] : std::string();
}
