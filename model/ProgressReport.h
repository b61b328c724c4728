#pragma once
#include <functional>
#include <string>

// The caller's procedure through which long loading operations report what
// they are doing: (cookie, code, text). An empty procedure reports nothing.
using TProgressProcedure = std::function<void(void* cookie, int code, const std::string& text)>;

// Codes shared by the loaders; the text is named at each.
constexpr int progressReady = 0;            // no text
constexpr int progressDerivingTable = 18;   // FROM->TO
constexpr int progressReadingTable = 19;    // FROM->TO as in the file name

inline void reportProgress(const TProgressProcedure& progress, void* cookie, int code, const std::string& text) {
  if (progress) progress(cookie, code, text);
}
