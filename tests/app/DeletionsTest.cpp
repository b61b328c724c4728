#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/DownloadLists.h"
#include "app/WebMosaics.h"
#include "controls/DocumentSave.h"
#include "controls/DownloadItem.h"
#include "controls/EditorStatus.h"
#include "controls/GalleryIndex.h"
#include "macros/MacroIndex.h"
#include "model/Asset.h"
#include "model/DeletionRefusal.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/UnsavedChanges.h"
#include "platform/FileSystem.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/TestFolders.h"
#include "windows/TransactionRanges.h"

namespace {

const std::string jscript = "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";

void setReadOnly(const std::string& file, bool readOnly) {
  SetFileAttributesA(file.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

// A file or folder that refuses its deletion until the object goes: held
// by another program, a folder as a console holds its current one (for
// reading and writing, not for deletion), or else read-only.
class TRefusing {
 public:
  TRefusing(const std::string& path, bool held)
      : path_(path), holder_(held ? path : std::string(), folderExists(path) ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0) {
    if (!held) setReadOnly(path, true);
    EXPECT_EQ(holder_.held(), held);
  }
  ~TRefusing() { setReadOnly(path_, false); }
  std::string why() const { return path_ + (holder_.held() ? " is open in another program" : " is read-only"); }

 private:
  std::string path_;
  THeldFile holder_;
};

// Deleting the sample's second portfolio while its folder, or one file or
// folder of it, refuses.
void refusedPortfolio(TSampleWorkFolder& sample, const std::string& refusing, bool held) {
  TPortfolioTable table;
  ASSERT_EQ(table.openAll(sample.folios, false, {}, nullptr, true, false), 0);
  const int index = table.indexOfFolder(sample.folios + "2");
  ASSERT_GE(index, 0);
  const auto before = folderContents(sample.folios + "2");
  std::string refusal;
  {
    const TRefusing refused(sample.folios + "2" + (refusing.empty() ? "" : "\\" + refusing), held);
    EXPECT_EQ(table.deletePortfolio(index, &refusal), -4);
    EXPECT_EQ(refusal, refused.why());
  }
  EXPECT_EQ(folderContents(sample.folios + "2"), before);
  EXPECT_EQ(table.indexOfFolder(sample.folios + "2"), index);
}

// The first asset of the sample's first portfolio, with notes beside it.
struct TAssetWithNotes {
  explicit TAssetWithNotes(TSampleWorkFolder& sample) : notes(sample.folios + "1\\Asset_1.TXT") {
    writeWholeFile(notes, "the deleted asset's notes");
    EXPECT_EQ(table.openAll(sample.folios, false, {}, nullptr, true, false), 0);
    portfolio = table.items(table.indexOfFolder(sample.folios + "1"));
  }
  TPortfolioTable table;
  TPortfolio* portfolio = nullptr;
  std::string notes;
};

// Deleting the assets of the indexes of the sample's first portfolio, the
// first with its notes, as one deletion while one of their files or
// folders refuses.
void refusedAssets(TSampleWorkFolder& sample, const std::string& refusing, bool held,
                   const std::vector<int>& indexes = {0}) {
  TAssetWithNotes asset(sample);
  const int count = asset.portfolio->assetCount();
  const auto before = folderContents(asset.portfolio->Folder());
  std::vector<std::vector<std::string>> notes(indexes.size());
  notes.front() = {asset.notes};
  std::string refusal;
  {
    const TRefusing refused(refusing.empty() ? asset.notes : asset.portfolio->Folder() + refusing, held);
    EXPECT_EQ(asset.portfolio->deleteAssets(indexes, notes, &refusal), -4);
    EXPECT_EQ(refusal, refused.why());
  }
  EXPECT_EQ(asset.portfolio->assetCount(), count);
  EXPECT_EQ(folderContents(asset.portfolio->Folder()), before);
}

// Objects of one kind, made in a folder by make (given each one's name),
// deleted at once by deleteAll while the file or folder refusing (a path
// under the folder) refuses: none goes.
void refusedAmong(TSampleWorkFolder& sample, const std::vector<std::string>& names,
                  const std::function<void(const std::string&)>& make,
                  const std::function<std::vector<bool>(const std::vector<std::string>&, std::string&)>& deleteAll,
                  const std::string& refusing, bool held) {
  const std::string folder = sample.temporary.path() + "KIND\\";
  forceFolders(folder);
  std::vector<std::string> objects;
  for (const std::string& name : names) {
    objects.push_back(folder + name);
    make(objects.back());
  }
  const auto before = folderContents(folder);
  std::string refusal;
  {
    const TRefusing refused(folder + refusing, held);
    EXPECT_EQ(deleteAll(objects, refusal), std::vector<bool>(names.size(), false));
    EXPECT_EQ(refusal, refused.why());
  }
  EXPECT_EQ(folderContents(folder), before);
}

// Deleting two download lists of two items while a folder or an item of
// the second refuses.
void refusedLists(TSampleWorkFolder& sample, const std::string& refusing, bool held) {
  const auto list = [](const std::string& path) {
    forceFolders(path);
    for (const char* file : {"0.INI", "1.INI", "2.INI"}) writeWholeFile(path + "\\" + file, "[Item]\r\n");
  };
  refusedAmong(sample, {"1", "2"}, list, deleteDownloadLists, refusing, held);
}

// The sample's first portfolio open, and what its transactions were.
struct TTransactionsOfPortfolio {
  explicit TTransactionsOfPortfolio(TSampleWorkFolder& sample) : folder(sample.folios + "1\\") {
    EXPECT_EQ(table.open(folder, false, {}, nullptr, true, false), 0);
    portfolio = table.items(0);
    for (int i = 0; i < portfolio->assetCount(); ++i) {
      assets.push_back(portfolio->assets(i));
      units.push_back(portfolio->assets(i)->Transactions().unitsAt(farFuture));
    }
    numbers = portfolio->TransactionNumbers();
  }
  // Nothing went, in the files or in the program, and every asset holds
  // the units it held.
  void expectWhole() const {
    EXPECT_EQ(folderContents(folder), files);
    EXPECT_EQ(portfolio->TransactionNumbers(), numbers);
    for (size_t i = 0; i < assets.size(); ++i) EXPECT_EQ(assets[i]->Transactions().unitsAt(farFuture), units[i]);
  }
  static constexpr double farFuture = 1e6;
  std::string folder;
  std::map<std::string, std::string> files = folderContents(folder);
  TPortfolioTable table;
  TPortfolio* portfolio = nullptr;
  std::vector<TAsset*> assets;
  std::vector<long double> units;
  std::vector<int32_t> numbers;
};

// Merging every transaction, of the first asset or of the whole portfolio,
// while a source refuses, or deleting a range of numbers.
void refusedTransactions(TSampleWorkFolder& sample, const std::string& refusing, bool held, bool wholePortfolio,
                         bool merge) {
  TTransactionsOfPortfolio shown(sample);
  const std::vector<TAsset*> assets = wholePortfolio ? shown.assets : std::vector<TAsset*>{shown.assets[0]};
  double first = 0;
  double last = 0;
  bool found = false;
  shown.portfolio->firstTradeDate(first, found);
  shown.portfolio->lastTradeDate(last, found);
  {
    int merged = 0;
    std::string why;
    const TRefusing refused(shown.folder + refusing, held);
    if (merge) {
      EXPECT_EQ(mergeTransactions(*shown.portfolio, assets, true, merged, last, first, last, why), -4);
      EXPECT_EQ(merged, 0);
    } else {
      EXPECT_EQ(deleteTransactionRange(*shown.portfolio, assets, 1, INT32_MAX, why), -4);
    }
    EXPECT_EQ(why, refused.why());
  }
  shown.expectWhole();
}

// A gallery with one chart filed, and its notes file.
struct TFiledChart {
  explicit TFiledChart(TSampleWorkFolder& sample)
      : root(sample.temporary.path() + "GALLERY\\"), view(sample.temporary.path() + "VIEW.INI") {
    writeWholeFile(view, "[Chart]\r\nA=1\r\n");
    gallery.loadGallery(root);
    EXPECT_EQ(file(), 0);
  }
  int file() {
    return gallery.add(1, view, "", [](const std::string& picture) {
      writeWholeFile(picture, "BM");
      return true;
    });
  }
  std::string notes() const { return gallery.itemFile(1, 0, ".TXT"); }
  std::string root;
  std::string view;
  TGalleryIndex gallery;
};

// A package whose source refused what the user typed, held for the close,
// then renamed to each of the names in turn.
void renamedPackage(TSampleWorkFolder& sample, const std::vector<std::string>& names) {
  const std::string folder = sample.temporary.path() + "MACROS\\";
  forceFolders(folder);
  writeWholeFile(folder + "A.INI", "[Configuration]\r\nEngine=" + jscript + "\r\nActive=0\r\n");
  writeWholeFile(folder + "A.js", "one");
  TEditorStatus source;
  ASSERT_TRUE(source.loadFromFile(folder + "A.js"));
  ASSERT_TRUE(source.insertText("two"));
  setReadOnly(folder + "A.js", true);
  holdDocument(source, "source");
  TMacroIndex index;
  ASSERT_EQ(index.load(folder, jscript), 0);
  for (const std::string& name : names) ASSERT_EQ(index.rename(0, name), macroOk);
  const std::string renamed = folder + names.back() + ".js";
  EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{renamed});
  setReadOnly(renamed, false);
  EXPECT_TRUE(saveUnsavedChanges().empty());
  EXPECT_EQ(readWholeFile(renamed), "twoone\r\n");
}

}  // namespace

// A deletion whose files refuse leaves its object whole, and several
// objects deleted at once all whole, and says which file refused and why; one that goes lets go of what was held for its
// files, and a rename carries it along. A document that read no file finds
// another program's text at its save as a change of that program's.
TEST(Deletions, ARefusedDeletionKeepsItsObjectWholeAndWhatIsHeldFollowsTheFiles) {
  struct TRow {
    const char* what;
    std::function<void(TSampleWorkFolder&)> check;
  };
  const TRow rows[] = {
      {"a portfolio whose header is read-only", [](TSampleWorkFolder& sample) { refusedPortfolio(sample, "0.INI", false); }},
      {"a portfolio with a read-only transaction",
       [](TSampleWorkFolder& sample) { refusedPortfolio(sample, "3.TRN\\2.INI", false); }},
      {"a portfolio whose asset file another program holds",
       [](TSampleWorkFolder& sample) { refusedPortfolio(sample, "5.INI", true); }},
      {"a portfolio whose folder another program holds",
       [](TSampleWorkFolder& sample) { refusedPortfolio(sample, "", true); }},
      {"a portfolio whose asset's transaction folder another program holds",
       [](TSampleWorkFolder& sample) { refusedPortfolio(sample, "3.TRN", true); }},
      {"an asset whose notes are read-only", [](TSampleWorkFolder& sample) { refusedAssets(sample, "", false); }},
      {"an asset whose transaction folder another program holds",
       [](TSampleWorkFolder& sample) { refusedAssets(sample, "1.TRN", true); }},
      {"two assets picked, the first with a read-only transaction",
       [](TSampleWorkFolder& sample) { refusedAssets(sample, "1.TRN\\2.INI", false, {0, 4}); }},
      {"an asset whose transaction another program takes only after it was asked",
       [](TSampleWorkFolder& sample) {
         TAssetWithNotes asset(sample);
         const int count = asset.portfolio->assetCount();
         const std::string file = asset.portfolio->Folder() + "1";
         std::string refusal;
         {
           // Shared for deletion, it lets itself be asked and deleted, and
           // keeps its folder from going until it is let go.
           const THeldFile holder(file + ".TRN\\2.INI", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
           EXPECT_EQ(asset.portfolio->deleteAsset(0, {asset.notes}, &refusal), 0);
           EXPECT_TRUE(refusal.starts_with(file + ".TRN is left on disk: ")) << refusal;
         }
         // The asset went with its file, and the close writes nothing of it back.
         EXPECT_EQ(asset.portfolio->assetCount(), count - 1);
         EXPECT_EQ(asset.portfolio->save(), 0);
         EXPECT_FALSE(pathExists(file + ".INI"));
         EXPECT_FALSE(pathExists(asset.notes));
         EXPECT_TRUE(findFiles(file + ".TRN\\*").empty());
       }},
      {"a merge whose source another program holds",
       [](TSampleWorkFolder& sample) { refusedTransactions(sample, "1.TRN\\2.INI", true, false, true); }},
      {"a merge whose source cannot go after all",
       [](TSampleWorkFolder& sample) {
         TTransactionsOfPortfolio shown(sample);
         TAsset& asset = *shown.assets[0];
         const int32_t number = asset.Transactions().items(1)->Number();
         const std::string source = asset.Transactions().items(1)->FileName();
         // Another program put a folder in its place since it was asked.
         ASSERT_TRUE(deleteFile(source) && createFolder(source));
         double first = 0;
         double last = 0;
         bool found = false;
         asset.firstTransactionDate(first, found);
         asset.lastTransactionDate(last, found);
         int merged = 0;
         std::string why;
         EXPECT_EQ(mergeTransactions(*shown.portfolio, {&asset}, true, merged, last, first, last, why), -4);
         EXPECT_EQ(why, "transaction " + std::to_string(number) + " was not deleted: " + source +
                            " could not be deleted, and the merged transaction leaves it out");
         EXPECT_EQ(merged, 1);
         EXPECT_EQ(asset.transactionCount(), 2);
         // Counted once: by itself, not in the merged transaction too.
         EXPECT_EQ(asset.Transactions().unitsAt(shown.farFuture), shown.units[0]);
       }},
      {"a merge of the whole portfolio whose last asset has a read-only source",
       [](TSampleWorkFolder& sample) { refusedTransactions(sample, "5.TRN\\3.INI", false, true, true); }},
      {"a range of the whole portfolio with a read-only transaction",
       [](TSampleWorkFolder& sample) { refusedTransactions(sample, "3.TRN\\1.INI", false, true, false); }},
      {"an asset deleted while its notes wait for the close",
       [](TSampleWorkFolder& sample) {
         TAssetWithNotes asset(sample);
         const std::string notes = asset.notes;
         holdUnsavedChange(notes, "notes", [notes] { return writeFileAtomically(notes, "held"); });
         EXPECT_EQ(asset.portfolio->deleteAsset(0, {notes}), 0);
         writeWholeFile(notes, "the next asset's notes");
         EXPECT_TRUE(saveUnsavedChanges().empty());
         EXPECT_EQ(readWholeFile(notes), "the next asset's notes");
       }},
      {"two download items, the second read-only",
       [](TSampleWorkFolder& sample) {
         const auto item = [](const std::string& file) { writeWholeFile(file, "[Item]\r\n"); };
         refusedAmong(sample, {"1.INI", "2.INI"}, item, deleteDownloadItems, "2.INI", false);
       }},
      {"a download item cleared while a file in its data folder is read-only",
       [](TSampleWorkFolder& sample) {
         const std::string data = sample.temporary.path() + "QUOTES\\ACM\\";
         forceFolders(data + "OLD");
         for (const char* file : {"A.TXT", "OLD\\B.TXT", "Z.TXT"}) writeWholeFile(data + file, "quotes");
         TDownloadItem item;
         item.fileName = sample.temporary.path() + "1.INI";
         item.DataPath = data;
         item.LastUpdate = 45000;
         ASSERT_EQ(item.saveToFile(), 0);
         const auto before = folderContents(data);
         std::string why;
         {
           const TRefusing refused(data + "OLD\\B.TXT", false);
           EXPECT_EQ(clearDownloadItem(item, why), TClearResult::fileKept);
           EXPECT_EQ(why, "its data was not deleted: " + refused.why() + ".");
         }
         EXPECT_EQ(folderContents(data), before);
         EXPECT_EQ(item.LastUpdate, 45000);
       }},
      {"two download lists, the second with a read-only item",
       [](TSampleWorkFolder& sample) { refusedLists(sample, "2\\2.INI", false); }},
      {"two download lists, the second's folder held by another program",
       [](TSampleWorkFolder& sample) { refusedLists(sample, "2", true); }},
      {"two mosaics, the second's folder held by another program",
       [](TSampleWorkFolder& sample) {
         const auto mosaic = [](const std::string& path) {
           forceFolders(path);
           for (const char* file : {"0.INI", "1.INI", "Notes.TXT"}) writeWholeFile(path + "\\" + file, "");
         };
         refusedAmong(sample, {"1", "2"}, mosaic, deleteMosaics, "2", true);
       }},
      {"two macro packages, the second's source read-only",
       [](TSampleWorkFolder& sample) {
         const auto package = [](const std::string& path) {
           writeWholeFile(path + ".INI", "[Configuration]\r\nEngine=" + jscript + "\r\nActive=0\r\n");
           writeWholeFile(path + ".js", "");
         };
         const auto deleteAll = [&sample](const std::vector<std::string>&, std::string& why) {
           TMacroIndex index;
           EXPECT_EQ(index.load(sample.temporary.path() + "KIND\\", jscript), 0);
           index.remove(std::vector<int>{0, 1}, &why);
           return std::vector<bool>{index.indexOf("A") < 0, index.indexOf("B") < 0};
         };
         refusedAmong(sample, {"A", "B"}, package, deleteAll, "B.js", false);
       }},
      {"a gallery entry whose notes are read-only",
       [](TSampleWorkFolder& sample) {
         TFiledChart chart(sample);
         writeWholeFile(chart.notes(), "notes");
         setReadOnly(chart.notes(), true);
         std::string refusal;
         EXPECT_FALSE(chart.gallery.remove(1, 0, &refusal));
         setReadOnly(chart.notes(), false);
         EXPECT_EQ(refusal, chart.notes() + " is read-only");
         EXPECT_EQ(chart.gallery.entries(1).size(), 1u);
         EXPECT_TRUE(fileExists(chart.gallery.itemFile(1, 0, ".INI")));
       }},
      {"a gallery entry whose index is read-only",
       [](TSampleWorkFolder& sample) {
         TFiledChart chart(sample);
         std::string refusal;
         {
           const TRefusing refused(chart.root + "Charts\\0.INI", false);
           EXPECT_FALSE(chart.gallery.remove(1, 0, &refusal));
           EXPECT_EQ(refusal, refused.why());
         }
         EXPECT_EQ(chart.gallery.entries(1).size(), 1u);
         for (const char* extension : {".INI", ".BMP"}) EXPECT_TRUE(fileExists(chart.gallery.itemFile(1, 0, extension)));
       }},
      {"a gallery entry removed while its notes wait for the close",
       [](TSampleWorkFolder& sample) {
         TFiledChart chart(sample);
         const std::string notes = chart.notes();
         writeWholeFile(notes, "");
         holdUnsavedChange(notes, "notes", [notes] { return writeFileAtomically(notes, "held"); });
         EXPECT_TRUE(chart.gallery.remove(1, 0));
         ASSERT_EQ(chart.file(), 0);
         ASSERT_EQ(chart.notes(), notes);
         EXPECT_TRUE(chart.gallery.ensureNotes(1, 0));
         EXPECT_TRUE(saveUnsavedChanges().empty());
         EXPECT_EQ(readWholeFile(notes), "");
       }},
      {"a macro package renamed", [](TSampleWorkFolder& sample) { renamedPackage(sample, {"B"}); }},
      {"a macro package renamed and back", [](TSampleWorkFolder& sample) { renamedPackage(sample, {"B", "A"}); }},
      {"a document that read no file",
       [](TSampleWorkFolder& sample) {
         TEditorStatus notes;
         notes.fileName = sample.temporary.path() + "Notes.TXT";
         ASSERT_TRUE(notes.insertText("mine"));
         writeWholeFile(notes.fileName, "another program's");
         holdDocument(notes, "notes");
         EXPECT_EQ(saveUnsavedChanges(), std::vector<std::string>{notes.fileName});
         EXPECT_EQ(readWholeFile(notes.fileName), "another program's");
       }},
      {"many files asked side by side, two refusing far apart",
       [](TSampleWorkFolder& sample) {
         std::vector<std::string> files;
         for (int i = 0; i < 2000; ++i) {
           files.push_back(sample.temporary.path() + std::to_string(i) + ".INI");
           writeWholeFile(files.back(), "");
         }
         // Whichever thread meets its refusal first, the earliest in the
         // list is told.
         const TRefusing first(files[1999], false);
         EXPECT_EQ(firstDeletionRefusal(files), first.why());
         const TRefusing earlier(files[1001], true);
         EXPECT_EQ(firstDeletionRefusal(files), earlier.why());
       }},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.what);
    TSampleWorkFolder sample;
    row.check(sample);
    giveUpUnsavedChanges(saveUnsavedChanges());
  }
}
