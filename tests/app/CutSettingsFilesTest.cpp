#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "app/DownloadLists.h"
#include "chart/ChartSourceForm.h"
#include "chart/SliderForm.h"
#include "controls/DownloadItem.h"
#include "controls/FieldEditForm.h"
#include "controls/GalleryIndex.h"
#include "macros/MacroIndex.h"
#include "macros/ScriptEngineDeclarations.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/TestFolders.h"
#include "windows/DelTransForm.h"
#include "windows/SumTransForm.h"

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
    // Where the writer moved the file before another program changed it
    // (a package renamed).
    std::string movedTo;
  };
  const std::string jscript = "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";
  // A macro package's descriptor, and the packages as the Macros list reads
  // them.
  const std::string package = "[Configuration]\r\nEngine=" + jscript + "\r\nActive=0\r\nVersion=1\r\n";
  const auto packages = [&jscript](const std::string& folder) {
    auto index = std::make_shared<TMacroIndex>();
    EXPECT_EQ(index->load(folder + "MACROS\\", jscript), 0);
    return index;
  };
  const std::string engines[] = {"{00000000-0000-0000-0000-00000000000A}", "{00000000-0000-0000-0000-00000000000B}"};
  const std::string engineFile = "[Defaults]\r\nMacroEngine=" + engines[0] + "\r\n[Engines]\r\n0000=" + engines[0] +
                                 "\r\n0001=" + engines[1] + "\r\n[" + engines[0] + "]\r\nDescription=Alpha\r\n[" +
                                 engines[1] + "]\r\nDescription=Beta\r\n";
  // The engines file saved with the engine chosen (the one read: nothing
  // of the user's changed).
  const auto engineRow = [&engineFile, &engines](const char* what, int chosen) {
    return TRow{what, "Kestrova.AXE", engineFile,
                [chosen](const std::string& folder) -> std::function<bool()> {
                  auto declarations = std::make_shared<TScriptEngineDeclarations>();
                  declarations->setPath(folder + "Kestrova.AXE");
                  EXPECT_TRUE(declarations->load(false));
                  return [declarations, chosen] { return declarations->save(chosen); };
                },
                {"Engines", "0001", engines[1]}, {engines[0], "Description", "Alpha2"}, {"Defaults", "Shown", "1"},
                {"Defaults", "MacroEngine", engines[chosen]}, "", ""};
  };
  // A dialog's own part of the layout file, which holds the other
  // windows' too: the dialog read with the file, then moved or sized.
  const auto dialogRow = []<class TDialog>(const char* what, const char* section, const char* key, const char* value,
                                           void (*change)(TDialog&)) {
    return TRow{what, "GUIoptions.INI",
                std::string("[MainWindow]\r\nMaximized=0\r\nLeft=10\r\n[Macros]\r\nListWidth=180\r\n[") + section +
                    "]\r\n" + key + "=7\r\n",
                [change](const std::string& folder) -> std::function<bool()> {
                  std::shared_ptr<TDialog> dialog;
                  if constexpr (std::is_constructible_v<TDialog, std::string>)
                    dialog = std::make_shared<TDialog>(folder);
                  else
                    dialog = std::make_shared<TDialog>();
                  dialog->loadGUIoptions(folder + "GUIoptions.INI");
                  return [dialog, change, folder] {
                    change(*dialog);
                    dialog->saveGUIoptions(folder + "GUIoptions.INI");
                    return true;
                  };
                },
                {"MainWindow", "Left", "10"}, {"Macros", "ListWidth", "260"}, {"Gallery", "Width", "300"},
                {section, key, value}, "", ""};
  };
  const TRow rows[] = {
      {"a macro package ticked", "MACROS\\Trend.INI", package,
       [&packages](const std::string& folder) -> std::function<bool()> {
         auto index = packages(folder);
         return [index] {
           index->item(0)->setActive(true);
           return index->item(0)->save() == macroOk;
         };
       },
       {"Configuration", "Engine", jscript}, {"Configuration", "Version", "2"}, {"Configuration", "Author", "me"},
       {"Configuration", "Active", "1"}, "", ""},
      {"a macro package saved unchanged at the close", "MACROS\\Trend.INI", package,
       [&packages](const std::string& folder) -> std::function<bool()> {
         auto index = packages(folder);
         return [index] { return index->saveAll() == macroOk; };
       },
       {"Configuration", "Engine", jscript}, {"Configuration", "Version", "2"}, {"Configuration", "Author", "me"},
       {"Configuration", "Active", "0"}, "", ""},
      {"a download list ticked", "DLISTS\\1\\0.INI", "[List]\r\nName=Shares\r\nChecked=0\r\nSchedule=daily\r\n",
       [](const std::string& folder) -> std::function<bool()> {
         auto list = std::make_shared<TListDescriptor>(folder + "DLISTS\\1\\");
         return [list] { return list->setChecked(true); };
       },
       {"List", "Name", "Shares"}, {"List", "Schedule", "weekly"}, {"Downloader", "Run", "3"}, {"List", "Checked", "1"},
       "", ""},
      {"a gallery entry renamed", "GALLERY\\Charts\\0.INI", "[Names]\r\n1=Alpha\r\n2=Beta\r\n3=Gamma\r\n",
       [](const std::string& folder) -> std::function<bool()> {
         auto gallery = std::make_shared<TGalleryIndex>();
         gallery->loadGallery(folder + "GALLERY\\");
         return [gallery] {
           gallery->entries(1)[1].caption = "Bravo";
           return gallery->saveIndex(1) == 0;
         };
       },
       {"Names", "3", "Gamma"}, {"Names", "1", "Alpha2"}, {"Names", "7", "Delta"}, {"Names", "2", "Bravo"}, "", ""},
      {"a download item renamed", "DLISTS\\1\\1.INI",
       "[DownloadItem]\r\nName=Acme\r\nSymbol=ACM\r\nCurrency=USD\r\n[Remarks]\r\n1=first\r\n2=second\r\n",
       [](const std::string& folder) -> std::function<bool()> {
         auto item = std::make_shared<TDownloadItem>();
         EXPECT_EQ(item->loadFromFile(folder + "DLISTS\\1\\1.INI"), 0);
         return [item] { return renameDownloadItem(*item, "Acme Corp"); };
       },
       {"Remarks", "2", "second"}, {"DownloadItem", "Symbol", "ACME"}, {"Downloader", "Run", "3"},
       {"DownloadItem", "Name", "Acme Corp"}, "the download item Acme Corp", ""},
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
       {"Portfolio", "LoadAlways", "0"}, "the portfolio Growth Portfolio", ""},
      {"a renamed macro package ticked", "MACROS\\Trend.INI", package,
       [&packages](const std::string& folder) -> std::function<bool()> {
         auto index = packages(folder);
         EXPECT_EQ(index->rename(0, "Trend2"), macroOk);
         return [index] {
           index->item(0)->setActive(true);
           return index->item(0)->save() == macroOk;
         };
       },
       {"Configuration", "Engine", jscript}, {"Configuration", "Version", "2"}, {"Configuration", "Author", "me"},
       {"Configuration", "Active", "1"}, "", "MACROS\\Trend2.INI"},
      engineRow("the script engine chosen", 1),
      engineRow("the script engines saved unchanged", 0),
      dialogRow("the sliders' width", "SliderForm", "Width", "360",
                +[](TSliderForm& form) { form.setSize(360, form.height()); }),
      dialogRow("the field editor moved", "FieldEditor", "Left", "25",
                +[](TfieldEditForm& form) { form.setBounds(25, 30, form.width(), form.height()); }),
      dialogRow("the merge dialog moved", "SumTransactions", "Left", "40",
                +[](TsumTransForm& form) { form.setBounds(40, 50, form.width(), form.height()); }),
      dialogRow("the deletion dialog moved", "DelTransactions", "Left", "30",
                +[](TdelTransForm& form) { form.setBounds(30, 40, form.width(), form.height()); }),
      dialogRow("the chart source editor moved", "ChartSourceEditor", "Left", "20",
                +[](TchartSourceForm& form) { form.setBounds(20, 30, form.width(), form.height()); }),
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.what);
    TSampleWorkFolder sample;
    const std::string folder = sample.temporary.path();
    const std::string file = folder + (row.movedTo.empty() ? row.file : row.movedTo);
    if (!row.text.empty()) {
      const std::string written = folder + row.file;
      forceFolders(written.substr(0, written.find_last_of('\\') + 1));
      writeWholeFile(written, row.text);
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
