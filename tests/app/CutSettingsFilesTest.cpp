#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DownloadLists.h"
#include "controls/DownloadItem.h"
#include "controls/GalleryIndex.h"
#include "macros/MacroIndex.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/TestFolders.h"

namespace {

struct TEntry {
  std::string section;
  std::string key;
  std::string value;
};

}  // namespace

// A writer that saves one part of a settings file checks the whole file
// against what the program read: what another program cut out since is put
// back and told, naming the file, and what it changed or added stays.
TEST(CutSettingsFiles, ASaveOfOnePartPutsBackWhatAnotherProgramCutAndKeepsWhatItChanged) {
  struct TRow {
    const char* what;
    std::string file;
    std::string text;
    // Reads the file as the program does (as written, or as the sample
    // work folder holds it where no text is given); what it gives saves
    // the user's change of one part, true when saved.
    std::function<std::function<bool()>(const std::string& folder)> read;
    TEntry cut;
    TEntry changed;
    TEntry added;
    TEntry saved;
    // How the notice names what was put back, where not by the file.
    std::string named;
  };
  const std::string jscript = "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";
  const TRow rows[] = {
      {"a macro package ticked", "MACROS\\Trend.INI",
       "[Configuration]\r\nEngine=" + jscript + "\r\nActive=0\r\nVersion=1\r\n",
       [&jscript](const std::string& folder) -> std::function<bool()> {
         auto index = std::make_shared<TMacroIndex>();
         EXPECT_EQ(index->load(folder + "MACROS\\", jscript), 0);
         return [index] {
           index->item(0)->setActive(true);
           return index->item(0)->save() == macroOk;
         };
       },
       {"Configuration", "Engine", jscript}, {"Configuration", "Version", "2"}, {"Configuration", "Author", "me"},
       {"Configuration", "Active", "1"}, ""},
      {"a download list ticked", "DLISTS\\1\\0.INI", "[List]\r\nName=Shares\r\nChecked=0\r\nSchedule=daily\r\n",
       [](const std::string& folder) -> std::function<bool()> {
         auto list = std::make_shared<TListDescriptor>(folder + "DLISTS\\1\\");
         return [list] { return list->setChecked(true); };
       },
       {"List", "Name", "Shares"}, {"List", "Schedule", "weekly"}, {"Downloader", "Run", "3"}, {"List", "Checked", "1"}, ""},
      {"a gallery entry renamed", "GALLERY\\Charts\\0.INI", "[Names]\r\n1=Alpha\r\n2=Beta\r\n3=Gamma\r\n",
       [](const std::string& folder) -> std::function<bool()> {
         auto gallery = std::make_shared<TGalleryIndex>();
         gallery->loadGallery(folder + "GALLERY\\");
         return [gallery] {
           gallery->entries(1)[1].caption = "Bravo";
           return gallery->saveIndex(1) == 0;
         };
       },
       {"Names", "3", "Gamma"}, {"Names", "1", "Alpha2"}, {"Names", "7", "Delta"}, {"Names", "2", "Bravo"}, ""},
      {"a download item renamed", "DLISTS\\1\\1.INI",
       "[DownloadItem]\r\nName=Acme\r\nSymbol=ACM\r\nCurrency=USD\r\n[Remarks]\r\n1=first\r\n2=second\r\n",
       [](const std::string& folder) -> std::function<bool()> {
         auto item = std::make_shared<TDownloadItem>();
         EXPECT_EQ(item->loadFromFile(folder + "DLISTS\\1\\1.INI"), 0);
         return [item] { return renameDownloadItem(*item, "Acme Corp"); };
       },
       {"Remarks", "2", "second"}, {"DownloadItem", "Symbol", "ACME"}, {"Downloader", "Run", "3"},
       {"DownloadItem", "Name", "Acme Corp"}, "the download item Acme Corp"},
      {"a portfolio's load-always mark", "work\\DATA\\FOLIOS\\1\\0.INI", "",
       [](const std::string& folder) -> std::function<bool()> {
         auto table = std::make_shared<TPortfolioTable>();
         EXPECT_EQ(table->openAll(folder + "work\\DATA\\FOLIOS\\", false, {}, nullptr, true, false), 0);
         TPortfolio* portfolio = table->items(table->indexOfFolder(folder + "work\\DATA\\FOLIOS\\1"));
         return [table, portfolio] {
           portfolio->setLoadAlways(false);
           return portfolio->saveLoadAlways() == 0;
         };
       },
       {"Portfolio", "Currency", "EUR"}, {"Portfolio", "Symbol", "GRX"}, {"Advice", "Advisor", "in-house"},
       {"Portfolio", "LoadAlways", "0"}, "the portfolio Growth Portfolio"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.what);
    TSampleWorkFolder sample;
    const std::string folder = sample.temporary.path();
    const std::string file = folder + row.file;
    if (!row.text.empty()) {
      forceFolders(file.substr(0, file.find_last_of('\\') + 1));
      writeWholeFile(file, row.text);
    }
    const std::function<bool()> save = row.read(folder);
    {
      TPortableIniFile other(file);
      other.writeString(row.cut.section, row.cut.key, "");
      other.writeString(row.changed.section, row.changed.key, row.changed.value);
      other.writeString(row.added.section, row.added.key, row.added.value);
      ASSERT_TRUE(other.updateFile());
    }
    takeSavedWhole();
    ASSERT_TRUE(save());
    const TPortableIniFile saved(file);
    for (const TEntry& entry : {row.cut, row.changed, row.added, row.saved})
      EXPECT_EQ(saved.readString(entry.section, entry.key, ""), entry.value) << entry.key;
    const std::vector<std::string> told = takeSavedWhole();
    EXPECT_TRUE(std::any_of(told.begin(), told.end(), [&](const std::string& line) {
      return line.find(row.named.empty() ? file : row.named) != std::string::npos;
    })) << (told.empty() ? "nothing told" : told.front());
  }
}
