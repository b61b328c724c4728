#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/WebBrowser.h"
#include "platform/FloatingPoint.h"
#include "tests/app/FileSweep.h"
#include "tests/support/TestFolders.h"
#include "windows/AssetForm.h"
#include "windows/PortfolioForm.h"
#include "windows/QuoteForm.h"
#include "windows/TransactionForm.h"

namespace {

// The user's own files stay as they were, whatever the options held.
template <class Window>
void sweepOwnOptions(const std::string& optionsFile, const char* name) {
  setExtendedPrecision();
  TTemporaryFolder folder;
  TDataWindowHost<Window> host(optionsFile);
  sweep(host.kind(name), folder);
  EXPECT_EQ(host.changedUserFiles(), std::vector<std::string>{});
}

}  // namespace

TEST(DamagedFilesSweep, ThePortfoliosWindowsOwnOptionsReadAndSaveQuicklyAndTheSameTwice) {
  sweepOwnOptions<TportfolioForm>("FOLIOS\\FolioControls.INI", "Portfolios window options");
}

TEST(DamagedFilesSweep, TheAssetsWindowsOwnOptionsReadAndSaveQuicklyAndTheSameTwice) {
  sweepOwnOptions<TassetForm>("AssetControls.INI", "Assets window options");
}

TEST(DamagedFilesSweep, TheQuotesWindowsOwnOptionsReadAndSaveQuicklyAndTheSameTwice) {
  sweepOwnOptions<TquoteForm>("QuoteControls.INI", "Quotes window options");
}

TEST(DamagedFilesSweep, TheTransactionsWindowsOwnOptionsReadAndSaveQuicklyAndTheSameTwice) {
  sweepOwnOptions<TtransactionForm>("TransactionControls.INI", "Transactions window options");
}
