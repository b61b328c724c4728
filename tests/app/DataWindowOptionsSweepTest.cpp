#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
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
void sweepOwnOptions(const std::string& optionsFile, const char* name, int group) {
  setExtendedPrecision();
  TTemporaryFolder folder;
  TDataWindowHost<Window> host(optionsFile);
  sweep(host.kind(name), folder, layoutDamageGroup(group));
  EXPECT_EQ(host.changedUserFiles(), std::vector<std::string>{});
}

const TWindowSweep ownOptionsSweeps[] = {
    {"Portfolios",
     [](int group) { sweepOwnOptions<TportfolioForm>("FOLIOS\\FolioControls.INI", "Portfolios window options", group); }},
    {"Assets", [](int group) { sweepOwnOptions<TassetForm>("AssetControls.INI", "Assets window options", group); }},
    {"Quotes", [](int group) { sweepOwnOptions<TquoteForm>("QuoteControls.INI", "Quotes window options", group); }},
    {"Transactions",
     [](int group) {
       sweepOwnOptions<TtransactionForm>("TransactionControls.INI", "Transactions window options", group);
     }},
};

// Each data window's own options with each group of damages.
class DataWindowOwnOptions : public testing::TestWithParam<std::tuple<int, int>> {};

}  // namespace

TEST_P(DataWindowOwnOptions, ReadAndSaveQuicklyAndTheSameTwice) {
  ownOptionsSweeps[std::get<0>(GetParam())].run(std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(DamagedFilesSweep, DataWindowOwnOptions,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(ownOptionsSweeps))),
                                          testing::Range(0, layoutDamageGroups)),
                         [](const testing::TestParamInfo<std::tuple<int, int>>& sweep) {
                           return windowSweepName(ownOptionsSweeps[std::get<0>(sweep.param)], std::get<1>(sweep.param));
                         });
