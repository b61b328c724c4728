#pragma once
#include <string>
#include <string_view>

// The model's plain text helpers for names, codes, paths and property
// values.

// The text with every byte up to the space (blanks and control characters)
// removed at both ends.
std::string trimmedText(const std::string& text);
// The text with the given characters removed at both ends.
std::string trimmedOf(const std::string& text, std::string_view characters);

// Every occurrence of oldText replaced by newText, case-sensitively, left to
// right; the text unchanged when oldText is empty.
std::string replacedText(const std::string& text, const std::string& oldText, const std::string& newText);
