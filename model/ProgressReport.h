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
// Opening and closing portfolios; the text is the object's label, Name + " ("
// + Symbol + ")" or the Symbol alone.
constexpr int progressOpeningAll = 10;      // no text
constexpr int progressRootMissing = 11;     // the root folder
constexpr int progressPortfolioRead = 12;
constexpr int progressAssetRead = 13;
constexpr int progressTransactionsRead = 14;
constexpr int progressPricesAcquired = 15;  // sent twice: 15, then 16
constexpr int progressPricesReady = 16;
constexpr int progressPortfolioOpened = 17;
constexpr int progressPortfolioClosing = 20;
// An asset that keeps its portfolio closed: the asset's file, its label and
// why, as shortLabel gives them.
constexpr int progressAssetFailed = 21;

inline void reportProgress(const TProgressProcedure& progress, void* cookie, int code, const std::string& text) {
  if (progress) progress(cookie, code, text);
}
