#include "model/PlainText.h"

std::string trimmedText(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

std::string trimmedOf(const std::string& text, std::string_view characters) {
  const auto first = text.find_first_not_of(characters);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

std::string replacedText(const std::string& text, const std::string& oldText, const std::string& newText) {
  if (oldText.empty()) return text;
  std::string result;
  size_t from = 0;
  for (size_t at = text.find(oldText); at != std::string::npos; at = text.find(oldText, from)) {
    result.append(text, from, at - from);
    result += newText;
    from = at + oldText.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}
