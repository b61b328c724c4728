#pragma once
#include <string>

// The model's two plain text helpers for names, codes, paths and property
// values.

// The text with every byte up to the space (blanks and control characters)
// removed at both ends.
std::string trimmedText(const std::string& text);

// Every occurrence of oldText replaced by newText, case-sensitively, left to
// right; the text unchanged when oldText is empty.
std::string replacedText(const std::string& text, const std::string& oldText, const std::string& newText);
