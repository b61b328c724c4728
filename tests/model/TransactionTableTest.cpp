#include <gtest/gtest.h>

#include <windows.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <map>
#include <random>

#include "model/Directories.h"
#include "model/Forex.h"
#include "model/PlainText.h"
#include "model/PortableIniFile.h"
#include "model/TransactionTable.h"
#include "platform/CalendarDates.h"
#include "platform/FileReadAhead.h"
#include "platform/FileSystem.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/AllocationCount.h"
#include "tests/support/DamagedRecords.h"
#include "tests/support/TestFolders.h"

namespace {

double day(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return date;
}

std::string transactionFile(int number, int soft, const std::string& dateTime, const std::string& units,
                            const std::string& flag = "") {
  return "[Transaction]\r\nNumber=" + std::to_string(number) + "\r\nSoft=" + std::to_string(soft) +
         "\r\nDateTime=" + dateTime + "\r\nUnits=" + units + "\r\nValue=" + units + "0\r\nFees=1.5\r\n" +
         (flag.empty() ? "" : "Flag=" + flag + "\r\n");
}

// A transaction folder with a mix of names: only N.INI files count.
class TransactionFolder : public testing::Test {
 protected:
  void SetUp() override {
    forceFolders(path);
    writeWholeFile(path + "0.INI", transactionFile(7, 0, "45300.5", "10", "buy"));
    writeWholeFile(path + "2.INI", transactionFile(8, 1, "45290", "-4", "sell"));
    writeWholeFile(path + "3.INI", transactionFile(9, 0, "45310", "4"));
    writeWholeFile(path + "notes.INI", transactionFile(99, 0, "45000", "1000"));
    writeWholeFile(path + "4.TXT", transactionFile(98, 0, "45000", "1000"));
    forceFolders(path + "5.TRN");
  }

  TTemporaryFolder folder;
  std::string path = folder.path() + "1.TRN\\";
  TTransactionTable table;
};

}  // namespace

TEST(Transaction, SavesItsKeysInOrderAndOnlyWhenChanged) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "1.INI";
  TTransaction transaction;
  transaction.setCustomProperty(transactionCommentProperty, "first lot");
  ASSERT_EQ(transaction.setAll(4, 0, 45300.25, 10, 1234.5, 9.95L, "  " + file + " ", ""), 0);
  EXPECT_EQ(transaction.FileName(), file);
  EXPECT_EQ(readWholeFile(file),
            "[Transaction]\r\nEntries=8\r\nNumber=4\r\nSoft=0\r\nDateTime= 4.53002500000000E+0004\r\n"
            "Units= 1.00000000000000E+0001\r\nValue= 1.23450000000000E+0003\r\nFees= 9.95000000000000E+0000\r\n\r\n"
            "[CustomProperties]\r\n_COMMENT=first lot\r\n\r\n");

  // Unchanged since its last save: the file is left alone.
  TPortableIniFile(file).writeString("Transaction", "Flag", "edited elsewhere");
  const std::string edited = readWholeFile(file);
  ASSERT_EQ(transaction.save(), 0);
  EXPECT_EQ(readWholeFile(file), edited);

  // A change right after a save is a later change, however fast it comes;
  // what was edited elsewhere and not here stays.
  for (int units = 1; units <= 30; ++units) {
    transaction.setUnits(units);
    ASSERT_EQ(transaction.save(), 0);
    TTransaction reread;
    ASSERT_EQ(reread.load(file), 0);
    ASSERT_EQ(reread.Units(), units);
    ASSERT_EQ(reread.Flag(), "edited elsewhere");
  }
}

TEST(Transaction, SettersMarkOnlyRealChanges) {
  TTransaction transaction;
  transaction.setAll(1, 0, 45000, 5, 50, 1, "", "Hold");
  ASSERT_EQ(transaction.save(), 0);  // held in memory only: nothing to write, no failure
  TTransaction loaded;
  TTemporaryFolder folder;
  writeWholeFile(folder.path() + "1.INI", transactionFile(1, 0, "45000", "5", "Hold"));
  ASSERT_EQ(loaded.load(folder.path() + "1.INI"), 0);
  EXPECT_FALSE(loaded.NeedsSave());
  EXPECT_FALSE(loaded.lastChange() > loaded.LastSaved());
  const double stamp = loaded.LastChange();
  loaded.setUnits(5);
  loaded.setFlag("Hold");
  EXPECT_FALSE(loaded.NeedsSave());
  EXPECT_EQ(loaded.LastChange(), stamp);
  loaded.setFlag("hold");
  EXPECT_TRUE(loaded.NeedsSave());
  EXPECT_GT(loaded.LastChange(), stamp);
}

TEST(Transaction, LoadFailuresLeaveItCleared) {
  TTemporaryFolder folder;
  const std::string file = folder.path() + "1.INI";
  TTransaction transaction;
  EXPECT_EQ(transaction.load(file), -2);
  EXPECT_EQ(transaction.Number(), -1);
  EXPECT_TRUE(transaction.FileName().empty());

  writeWholeFile(file, transactionFile(3, 0, "45000", "5"));
  HANDLE locked = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_EQ(transaction.load(file), -3);
  EXPECT_EQ(transaction.Number(), -1);
  CloseHandle(locked);
  EXPECT_EQ(transaction.load(file), 0);
  EXPECT_EQ(transaction.Number(), 3);
}

// A file emptied, of junk or in UTF-16 once loaded as a transaction
// numbered -1 and dated at the load, which the next save wrote over it.
TEST(Transaction, AFileWithoutANumberAndADateHoldsNoTransaction) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "1.TRN\\";
  forceFolders(path);
  const std::string file = path + "2.INI";
  writeWholeFile(path + "1.INI", transactionFile(3, 0, "45000", "5"));
  std::vector<TDamagedRecord> damages = damagedRecords(transactionFile(4, 0, "45010", "6"));
  damages.push_back({"unreadable date", "[Transaction]\r\nNumber=4\r\nDateTime=yesterday\r\nUnits=6\r\n"});
  damages.push_back({"no number", "[Transaction]\r\nDateTime=45010\r\nUnits=6\r\n"});
  for (const auto& [name, text] : damages) {
    writeWholeFile(file, text);
    TTransaction transaction;
    EXPECT_EQ(transaction.load(file), -7) << name;
    EXPECT_EQ(transaction.load(file, text), -7) << name;
    EXPECT_EQ(transaction.Number(), -1);
    EXPECT_TRUE(transaction.FileName().empty());
    TTransactionTable table;
    EXPECT_EQ(table.loadDirectory(path), -7) << name;
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.FailedFile(), file);
  }
  writeWholeFile(file, transactionFile(4, 0, "45010", "6"));
  TTransactionTable table;
  EXPECT_EQ(table.loadDirectory(path), 0);
  EXPECT_EQ(table.count(), 2);
  EXPECT_EQ(table.FailedFile(), "");
}

// "62,5" typed under German settings, a letter O for a zero, a number too
// large for its kind once loaded as 0: the sums used it and the next save
// wrote 0 over what the file held.
TEST(Transaction, ANumberThatDoesNotReadFailsTheLoadNamingKeyAndValue) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "1.TRN\\";
  forceFolders(path);
  const std::string file = path + "2.INI";
  writeWholeFile(path + "1.INI", transactionFile(3, 0, "45000", "5"));
  const std::string clean = transactionFile(4, 0, "45010", "6");
  const auto withValue = [&clean](const std::string& key, const std::string& value) {
    const size_t start = clean.find(key + "=") + key.size() + 1;
    return clean.substr(0, start) + value + clean.substr(clean.find('\r', start));
  };
  const std::vector<std::pair<std::string, std::string>> damages = {
      {"Fees", "4,9"},          {"Units", " 1.0000000000000OE+0002"}, {"Value", "1E400"},
      {"Value", "12 500"},      {"DateTime", "45010,5"},             {"Number", "1E300"},
      {"Number", "4.0"},        {"Soft", "0x1G"},                    {"Fees", "\"4.9"}};
  for (const auto& [key, value] : damages) {
    const std::string text = withValue(key, value);
    writeWholeFile(file, text);
    const std::string told = "holds \"" + trimmedText(value) + "\" for " + key + ", which is no number";
    TTransaction transaction;
    EXPECT_EQ(transaction.load(file), -7) << key << value;
    EXPECT_EQ(transaction.loadFailure(), told);
    EXPECT_EQ(transaction.Number(), -1);
    EXPECT_EQ(transaction.load(file, text), -7) << key << value;
    TTransactionTable table;
    EXPECT_EQ(table.loadDirectory(path), -7) << key << value;
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.FailedFile(), file);
    EXPECT_EQ(table.Failure(), told);
    table.saveAll();
    EXPECT_EQ(readWholeFile(file), text);
  }
  // A long text is cut to fit the notice's line.
  writeWholeFile(file, withValue("Units", std::string(100, '7') + "x"));
  TTransaction transaction;
  EXPECT_EQ(transaction.load(file), -7);
  EXPECT_EQ(transaction.loadFailure(), "holds \"" + std::string(37, '7') + "...\" for Units, which is no number");
}

// A file cut short inside its Value line once loaded with that value's
// first digits and no fees; one cut at a line end, or with a key left
// empty, with defaults for what it lost. Line ends of CR or LF alone, blank
// lines and the end-of-file mark after the last line are no damage.
TEST(Transaction, AFileCutShortFailsTheLoadNamingWhy) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "1.TRN\\";
  forceFolders(path);
  const std::string file = path + "1.INI";
  const std::string whole = transactionFile(4, 0, "45010", "6", "BUY") + "\r\n[CustomProperties]\r\n_COMMENT=first\r\n";
  const std::string noLineEnd = "is cut off inside its last line";
  const auto upTo = [&whole](const std::string& part) { return whole.substr(0, whole.find(part) + part.size()); };
  const std::vector<std::pair<std::string, std::string>> cuts = {
      {upTo("Value=6"), noLineEnd},
      {upTo("_COMMENT=fir"), noLineEnd},
      {upTo("Flag=BUY") + "  \x1A", noLineEnd},
      {upTo("Value=60\r\n"), "lacks Fees in section Transaction"},
      {upTo("Number=4\r\n") + "Soft=\r\n" + whole.substr(whole.find("DateTime")), "lacks Soft in section Transaction"}};
  for (const auto& [text, told] : cuts) {
    writeWholeFile(file, text);
    TTransaction transaction;
    EXPECT_EQ(transaction.load(file), -7) << text;
    EXPECT_EQ(transaction.loadFailure(), told) << text;
    EXPECT_EQ(transaction.Number(), -1);
    EXPECT_EQ(transaction.load(file, text), -7) << text;
    TTransactionTable table;
    EXPECT_EQ(table.loadDirectory(path), -7) << text;
    EXPECT_EQ(table.Failure(), told);
    table.saveAll();
    EXPECT_EQ(readWholeFile(file), text);
  }
  std::string carriageReturns = whole;
  for (size_t at; (at = carriageReturns.find('\n')) != std::string::npos;) carriageReturns.erase(at, 1);
  std::string lineFeeds = whole;
  for (size_t at; (at = lineFeeds.find('\r')) != std::string::npos;) lineFeeds.erase(at, 1);
  // Another program appended its line in LF alone.
  const std::string appended = whole + "Reviewed=yes\n";
  for (const std::string& text : {whole, whole + "\r\n \t\r\n", whole + "\x1A", carriageReturns, lineFeeds, appended}) {
    writeWholeFile(file, text);
    TTransaction transaction;
    EXPECT_EQ(transaction.load(file), 0) << text;
    EXPECT_EQ(transaction.loadFailure(), "");
    EXPECT_EQ(transaction.Fees(), 1.5);
  }
  writeWholeFile(file, lineFeeds.substr(0, lineFeeds.size() - 1));
  TTransaction transaction;
  EXPECT_EQ(transaction.load(file), -7);
  EXPECT_EQ(transaction.loadFailure(), noLineEnd);
}

TEST_F(TransactionFolder, LoadsNumberedFilesOnly) {
  EXPECT_EQ(table.loadDirectory(folder.path() + "9.TRN"), -2);
  ASSERT_EQ(table.loadDirectory(path), 0);
  ASSERT_EQ(table.count(), 3);
  std::vector<int32_t> numbers;
  table.appendNumbers(numbers);
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<int32_t>{7, 8, 9}));
  int32_t lowest = 0, highest = 0;
  bool ok = false;
  table.minNumber(lowest, ok);
  table.maxNumber(highest, ok);
  EXPECT_EQ(lowest, 7);
  EXPECT_EQ(highest, 9);
  ASSERT_NE(table.findNumber(8), nullptr);
  EXPECT_EQ(table.findNumber(8)->Flag(), "sell");
  EXPECT_EQ(table.findNumber(10), nullptr);
}

// A transaction file replaced by a folder was passed over: its asset
// opened without the transaction, and every sum was wrong without a word.
TEST_F(TransactionFolder, AFolderUnderATransactionFilesNameFailsTheLoadNamingIt) {
  forceFolders(path + "5.INI");
  TTransaction transaction;
  EXPECT_EQ(transaction.load(path + "5.INI"), -3);
  EXPECT_EQ(transaction.loadFailure(), "is a folder, not a file");
  EXPECT_EQ(table.loadDirectory(path), -3);
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(table.FailedFile(), path + "5.INI");
  EXPECT_EQ(table.Failure(), "is a folder, not a file");
  // Listed and read ahead alike.
  TFileReadAhead readAhead;
  readAhead.queueFolder(path, "*.INI");
  EXPECT_EQ(table.loadDirectory(path, &readAhead), -3);
  EXPECT_EQ(table.FailedFile(), path + "5.INI");
  deleteTree(path + "5.INI");
  EXPECT_EQ(table.loadDirectory(path), 0);
  EXPECT_EQ(table.count(), 3);
}

TEST_F(TransactionFolder, SumsAndFlagsFollowDateOrderIncludingEditedDates) {
  ASSERT_EQ(table.loadDirectory(path), 0);
  EXPECT_EQ(table.unitsAt(45289.999), 0);
  EXPECT_EQ(table.unitsAt(45290), -4);
  EXPECT_EQ(table.unitsAt(45300.5), 6);
  EXPECT_EQ(table.unitsAt(45310), 10);
  long double value = 0;
  bool ok = false;
  table.investmentAt(nullptr, value, ok, 45300.5);
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 100 + 1.5L + (-40 + 1.5L));
  table.feesAt(nullptr, value, ok, 45400);
  EXPECT_EQ(value, 4.5L);
  std::string flag;
  bool found = false;
  table.flagAt(flag, found, 45300);
  EXPECT_TRUE(found);
  EXPECT_EQ(flag, "sell");
  table.flagAt(flag, found, 45200);
  EXPECT_FALSE(found);

  // The sale moves after the last purchase: every answer by date must follow.
  table.findNumber(8)->setDateTime(45320);
  EXPECT_FALSE(table.Sorted());
  EXPECT_EQ(table.unitsAt(45300.5), 10);
  EXPECT_EQ(table.unitsAt(45320), 10);
  table.flagAt(flag, found, 45315);
  EXPECT_EQ(flag, "");
  double first = 0, last = 0;
  table.firstDate(first, ok);
  table.lastDate(last, ok);
  EXPECT_EQ(first, 45300.5);
  EXPECT_EQ(last, 45320);
  EXPECT_EQ(table.items(0)->Number(), 7);
  table.findNumber(7)->setUnits(20);
  EXPECT_EQ(table.unitsAt(45310), 24);
}

TEST_F(TransactionFolder, FlowsMergeEqualDatesAndSkipZeroAmounts) {
  ASSERT_EQ(table.loadDirectory(path), 0);
  table.add(10, 0, 45290, 0, 0, 2.5, "", "fee only", "", false);
  table.add(11, 0, 45310, 4, 40, 0, "", "", "", false);
  TFlowList flows{45000, 1};
  bool ok = false;
  table.principalFlows(nullptr, flows, ok, 45290, 45310);
  EXPECT_TRUE(ok);
  EXPECT_EQ(flows, (TFlowList{45000, 1, 45290, -40, 45300.5, 100, 45310, 80}));
  flows.clear();
  table.feeFlows(nullptr, flows, ok, 45290.001, 45310);
  EXPECT_EQ(flows, (TFlowList{45300.5, 1.5, 45310, 1.5}));
  flows.clear();
  // Two equal purchases on one day are both changes of the holding.
  table.unitsFlows(flows, ok, 0, 1e6);
  EXPECT_EQ(flows, (TFlowList{45290, -4, 45300.5, 10, 45310, 8}));
}

TEST(CashFlows, AddingInOrderEqualsAddingOneByOne) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    TFlowList oneByOne;
    std::vector<TDatedAmount> start;
    for (int i = 0; i < 10; ++i) start.push_back({double(random() % 30), (random() % 5) * 0.1L - 0.2L});
    std::sort(start.begin(), start.end(), [](auto& a, auto& b) { return a.date < b.date; });
    for (auto& flow : start) cashFlowAdd(oneByOne, flow.amount, flow.date);
    TFlowList merged = oneByOne;
    std::vector<TDatedAmount> more;
    for (int i = 0; i < 15; ++i) more.push_back({double(random() % 40), (random() % 7) * 0.3L - 0.9L});
    std::sort(more.begin(), more.end(), [](auto& a, auto& b) { return a.date < b.date; });
    for (auto& flow : more) cashFlowAdd(oneByOne, flow.amount, flow.date);
    cashFlowAddInOrder(merged, more);
    ASSERT_EQ(merged, oneByOne);
  }
}

TEST(TransactionTable, ConvertsEachAmountAtItsOwnDate) {
  TTemporaryFolder folder;
  writeWholeFile(folder.path() + "EURtoUSD.CSV", "20240102,1.10\r\n20240105,1.20\r\n");
  TForex rates;
  ASSERT_EQ(rates.load(folder.path() + "EURtoUSD.CSV", compileQuoteFormat("yyyymmdd,c", false)), 0);
  TTransactionTable table;
  table.add(1, 0, day(2024, 1, 1), 1, 100, 0, "", "", "", false);   // before the first rate
  table.add(2, 0, day(2024, 1, 4.5), 1, 100, 0, "", "", "", false);  // between rates
  table.add(3, 0, day(2024, 1, 9), 1, 100, 0, "", "", "", false);
  long double value = 0;
  bool ok = false;
  table.principalAt(&rates, value, ok, day(2024, 1, 6));
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 100 * 1.10L + 100 * 1.10L);
  TFlowList flows;
  table.principalFlows(&rates, flows, ok, 0, day(2024, 2, 1));
  EXPECT_EQ(flows.size(), 6u);
  EXPECT_EQ(flows[5], 100 * 1.2L);

  TForex empty;
  table.principalAt(&empty, value, ok, day(2024, 2, 1));
  EXPECT_FALSE(ok);
  EXPECT_EQ(value, 0);
}

TEST(TransactionTable, AddFindsTheFirstFreeFileAsAProbeFromOneWould) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "2.TRN\\";
  forceFolders(path);
  writeWholeFile(path + "2.INI", transactionFile(1, 0, "45000", "1"));
  writeWholeFile(path + "04.INI", transactionFile(2, 0, "45000", "1"));
  TTransactionTable table;
  ASSERT_EQ(table.loadDirectory(path), 0);
  // A folder under a file's name fails a load (see
  // AFolderUnderATransactionFilesNameFailsTheLoadNamingIt); made since,
  // it is no free name either.
  forceFolders(path + "3.INI");
  std::mt19937 random(3);
  int number = 100;
  std::string stranger;
  for (int step = 0; step < 60; ++step) {
    if (step % 4 == 3 && table.count() > 0) {
      const int victim = table.items(static_cast<int>(random() % table.count()))->Number();
      ASSERT_EQ(table.deleteNumber(victim), 0);
      continue;
    }
    std::string expected = uniqueFileName(path, "", ".INI", 1, INT32_MAX);
    if (step == 20) {
      stranger = expected;
      writeWholeFile(stranger, "taken behind the table's back");
      expected = uniqueFileName(path, "", ".INI", 1, INT32_MAX);
    }
    ASSERT_EQ(table.add(number++, 0, 45000 + step, 1, 10, 0, "", "c", path, true), 0);
    ASSERT_EQ(table.findNumber(number - 1)->FileName(), expected);
  }
  // The stranger holds no transaction, and no transaction of defaults
  // stands in for it.
  ASSERT_TRUE(deleteTree(path + "3.INI"));
  TTransactionTable reread;
  EXPECT_EQ(reread.loadDirectory(path), -7);
  EXPECT_EQ(reread.FailedFile(), stranger);
  ASSERT_TRUE(deleteFile(stranger));
  ASSERT_EQ(reread.loadDirectory(path), 0);
  EXPECT_EQ(reread.count(), table.count());
}

TEST(TransactionTable, AnAddedTransactionHoldsWhatItsFileGivesBack) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "3.TRN\\";
  forceFolders(path);
  TTransactionTable table;
  ASSERT_EQ(table.add(5, 1, 45000.5, 1.0L / 3, 10.123456789012345678L, 0.1L, " \"B\" ", "\"said\"", path, true), 0);
  TTransactionTable reread;
  ASSERT_EQ(reread.loadDirectory(path), 0);
  ASSERT_EQ(reread.count(), 1);
  const TTransaction& added = *table.items(0);
  const TTransaction& stored = *reread.items(0);
  EXPECT_EQ(added.FileName(), path + "1.INI");
  EXPECT_EQ(added.Units(), stored.Units());
  EXPECT_EQ(added.Value(), stored.Value());
  EXPECT_EQ(added.Flag(), stored.Flag());
  EXPECT_EQ(added.getCustomProperty(transactionCommentProperty), stored.getCustomProperty(transactionCommentProperty));
  EXPECT_FALSE(added.LastChange() > added.LastSaved()) << "just written, nothing to save";
}

// Soft transactions deleted with their files kept for reuse are gone from
// the folder at once, as a load after a crash would see it; the additions
// that follow get the names and bytes they would get after a real deletion,
// and nothing of the spares stays once the rest are discarded.
TEST(TransactionTable, FilesKeptForReuseStoreWhatDeletingThemWould) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "4.TRN\\";
  forceFolders(path);
  writeWholeFile(path + "1.INI", transactionFile(1, 0, "45000", "5"));
  const std::string hard = readWholeFile(path + "1.INI");
  TTransactionTable table;
  ASSERT_EQ(table.loadDirectory(path), 0);
  auto addSoft = [&](int count, int firstUnits = 1) {
    for (int i = 0; i < count; ++i)
      ASSERT_EQ(table.add(2 + i, 1, 45001 + i, firstUnits + i, 10 * i, 1, "B", "run", path, true), 0);
  };
  addSoft(5);
  const std::map<std::string, std::string> once = folderContents(path);
  ASSERT_EQ(once.size(), 6u);

  ASSERT_EQ(table.deleteBetweenDates(-1, true, 45000, 45010, true), 0);
  EXPECT_EQ(table.count(), 1);
  // The new ones take the numbers, and the files, of the old ones.
  addSoft(5);
  table.discardSpareFiles();
  EXPECT_EQ(folderContents(path), once);

  // Fewer than before: the first names again, and no spare left.
  ASSERT_EQ(table.deleteBetweenDates(-1, true, 45000, 45010, true), 0);
  addSoft(3);
  table.discardSpareFiles();
  std::map<std::string, std::string> expected = once;
  expected.erase("5.INI");
  expected.erase("6.INI");
  EXPECT_EQ(folderContents(path), expected);
  EXPECT_EQ(readWholeFile(path + "1.INI"), hard);

  // A spare a crash left behind is no transaction, and goes with the others.
  writeWholeFile(path + "~9.INI", transactionFile(9, 1, "45002", "1"));
  ASSERT_EQ(table.loadDirectory(path), 0);
  EXPECT_EQ(table.count(), 4);
  EXPECT_EQ(table.findNumber(9), nullptr);
  EXPECT_TRUE(table.discardSpareFiles());
  EXPECT_EQ(folderContents(path), expected);

  // A file another program holds open can be neither written over nor
  // deleted: its transaction stays in the folder, and the end tells.
  ASSERT_EQ(table.deleteBetweenDates(-1, true, 45000, 45010, true), 0);
  HANDLE held = CreateFileA((path + "2.INI").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  addSoft(3, 7);
  EXPECT_FALSE(table.discardSpareFiles());
  CloseHandle(held);
  EXPECT_EQ(readWholeFile(path + "2.INI"), once.at("2.INI"));
  EXPECT_EQ(folderContents(path).size(), 5u);
}

// A system's re-run made its transactions again over the files of the old
// ones, rewriting each with the same bytes, and the line order the
// Transactions window had stored in them went. Only a file whose transaction
// changes is written now, with the changes alone, and the windows' settings
// stay with the line.
TEST(TransactionTable, ARerunWritesOnlyChangedFilesAndKeepsTheirLineSettings) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "4.TRN\\";
  forceFolders(path);
  TTransactionTable table;
  ASSERT_EQ(table.loadDirectory(path), 0);
  auto run = [&](int changedUnits) {
    ASSERT_EQ(table.deleteBetweenDates(-1, true, 45000, 45010, true), 0);
    for (int i = 0; i < 3; ++i)
      ASSERT_EQ(table.add(1 + i, 1, 45001 + i, i == 1 ? changedUnits : i + 1, 10 * i, 1, "B", "run", path, true), 0);
    ASSERT_TRUE(table.discardSpareFiles());
  };
  run(2);
  for (int i = 0; i < 3; ++i) table.items(i)->setViewProperty("DisplayOrder", std::to_string(3 - i));
  ASSERT_EQ(table.saveAll(), 0);
  const std::map<std::string, std::string> stored = folderContents(path);
  ASSERT_EQ(stored.size(), 3u);
  ASSERT_NE(stored.at("1.INI").find("DisplayOrder=3"), std::string::npos);
  std::map<std::string, int64_t> ages;
  for (const auto& [name, text] : stored) ages[name] = fileAge(path + name);
  Sleep(50);

  run(2);
  EXPECT_EQ(folderContents(path), stored);
  for (const auto& [name, age] : ages) EXPECT_EQ(fileAge(path + name), age) << name;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(table.items(i)->getExternalProperty("DisplayOrder"), std::to_string(3 - i));
    EXPECT_EQ(table.items(i)->save(), 0);
  }
  EXPECT_EQ(folderContents(path), stored);

  // One transaction changes: its file alone is written, and another
  // program's key in it stays.
  TPortableIniFile(path + "2.INI").writeString("Transaction", "Checked", "yes");
  std::map<std::string, std::string> expected = folderContents(path);
  run(20);
  EXPECT_EQ(fileAge(path + "1.INI"), ages["1.INI"]);
  EXPECT_EQ(fileAge(path + "3.INI"), ages["3.INI"]);
  TTransaction reread;
  ASSERT_EQ(reread.load(path + "2.INI"), 0);
  EXPECT_EQ(reread.Units(), 20);
  EXPECT_EQ(reread.getExternalProperty("DisplayOrder"), "2");
  EXPECT_EQ(TPortableIniFile(path + "2.INI").readString("Transaction", "Checked", ""), "yes");
  expected.erase("2.INI");
  std::map<std::string, std::string> now = folderContents(path);
  now.erase("2.INI");
  EXPECT_EQ(now, expected);

  // Read again, as at the next start: a property another program gave a
  // transaction stays while a run makes that transaction again as it was,
  // and goes with it once a run makes another in its place.
  for (const char* file : {"1.INI", "2.INI"})
    TPortableIniFile(path + file).writeString("CustomProperties", "Reviewed", "yes");
  const std::string reviewed = readWholeFile(path + "1.INI");
  ASSERT_EQ(table.loadDirectory(path), 0);
  run(21);
  EXPECT_EQ(readWholeFile(path + "1.INI"), reviewed);
  ASSERT_EQ(reread.load(path + "2.INI"), 0);
  EXPECT_EQ(reread.Units(), 21);
  EXPECT_EQ(reread.getCustomProperty("Reviewed"), "");
  EXPECT_EQ(reread.getCustomProperty(transactionCommentProperty), "run");
}

// A run made again leaves alone only a file that holds its transaction as
// the run makes it: not one whose transaction was changed in memory and not
// saved, nor one another program deleted meanwhile.
TEST(TransactionTable, ARerunWritesWhatTheFileDoesNotHoldYet) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "4.TRN\\";
  forceFolders(path);
  TTransactionTable table;
  ASSERT_EQ(table.loadDirectory(path), 0);
  auto run = [&](long double firstUnits) {
    ASSERT_EQ(table.deleteBetweenDates(-1, true, 45000, 45010, true), 0);
    for (int i = 0; i < 3; ++i)
      ASSERT_EQ(table.add(1 + i, 1, 45001 + i, i == 0 ? firstUnits : i + 1, 10 * i, 1, "B", "run", path, true), 0);
    ASSERT_TRUE(table.discardSpareFiles());
  };
  run(1);
  ASSERT_TRUE(table.findNumber(1)->setUnits(5));
  run(5);
  TTransaction reread;
  ASSERT_EQ(reread.load(path + "1.INI"), 0);
  EXPECT_EQ(reread.Units(), 5);

  ASSERT_TRUE(deleteFile(path + "2.INI"));
  run(5);
  ASSERT_EQ(reread.load(path + "2.INI"), 0);
  EXPECT_EQ(reread.Units(), 2);
  EXPECT_EQ(reread.getCustomProperty(transactionCommentProperty), "run");
}

// The transactions a run deletes serve again for those it makes next: one
// made so holds nothing of the one before, its marks and unsaved line
// settings included, beyond the line settings a file left for it gives.
TEST(TransactionTable, ATransactionMadeAfterARunsDeletionsHoldsNothingOfTheOnesBefore) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "4.TRN\\";
  forceFolders(path);
  TTransactionTable table;
  ASSERT_EQ(table.loadDirectory(path), 0);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(table.add(1 + i, 1, 45001 + i, 1, 10, 1, "B", "run", path, true), 0);
    table.items(i)->setCustomProperty("Reviewed", "yes");
    table.items(i)->setViewProperty("DisplayOrder", "9");
  }
  ASSERT_EQ(table.deleteBetweenDates(-1, true, 45000, 45010, true), 0);
  ASSERT_EQ(table.add(7, 1, 45005, 2, 20, 0, "", "", path, false), 0);
  ASSERT_EQ(table.add(1, 1, 45001, 3, 30, 0, "S", "again", path, true), 0);
  ASSERT_TRUE(table.discardSpareFiles());
  ASSERT_EQ(table.count(), 2);
  const TTransaction& inMemory = *table.items(0);
  EXPECT_EQ(inMemory.getCustomProperty("Reviewed"), "");
  EXPECT_EQ(inMemory.getCustomProperty(transactionCommentProperty), "");
  EXPECT_EQ(inMemory.getExternalProperty("DisplayOrder"), "");
  EXPECT_FALSE(inMemory.viewPropertiesUnsaved());
  EXPECT_EQ(inMemory.FileName(), "");
  EXPECT_EQ(inMemory.Flag(), "");
  const TTransaction& saved = *table.items(1);
  EXPECT_EQ(saved.getCustomProperty("Reviewed"), "");
  EXPECT_EQ(saved.getCustomProperty(transactionCommentProperty), "again");
  EXPECT_EQ(saved.getExternalProperty("DisplayOrder"), "9");
  EXPECT_FALSE(saved.viewPropertiesUnsaved());
  const std::map<std::string, std::string> files = folderContents(path);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files.begin()->second.find("Reviewed"), std::string::npos);
}

// A run made again as it was wrote nothing, yet took twice as long as the
// run before its files kept their text: each transaction was set down as a
// settings file to be compared with its file's, whose baseline was taken
// apart again, and each transaction leaving its file set down what a run
// posts of it. Wine's heap serves such blocks slowly, and large ones, of a
// transaction's size, the slower the more of them were given back: it is
// the blocks that are counted.
TEST(TransactionTable, ARunMadeAgainAsItWasTakesFewHeapBlocksATransaction) {
  TTemporaryFolder folder;
  const std::string path = folder.path() + "4.TRN\\";
  forceFolders(path);
  constexpr int count = 200;
  // Without a comment, and with one (a property that comes along).
  for (const char* comment : {"", "run"}) {
    TTransactionTable table;
    ASSERT_EQ(table.loadDirectory(path), 0);
    auto run = [&] {
      ASSERT_EQ(table.deleteBetweenDates(-1, true, 45000, 46000, true), 0);
      for (int i = 0; i < count; ++i)
        ASSERT_EQ(table.add(1 + i, 1, 45001 + i, i + 1, 10.5 * i, 1, "B", comment, path, true), 0);
      ASSERT_TRUE(table.discardSpareFiles());
    };
    run();
    const long long before = threadAllocations();
    const long long largeBefore = threadLargeAllocations();
    run();
    // About 25 blocks a transaction; it was 110, and 130 with a comment.
    EXPECT_LT((threadAllocations() - before) / count, 45) << comment;
    // None of them large; it was five.
    EXPECT_LT(threadLargeAllocations() - largeBefore, count / 10) << comment;
  }
}

TEST_F(TransactionFolder, BulkDeletesKeepWhatCannotGoAndTheRest) {
  ASSERT_EQ(table.loadDirectory(path), 0);
  EXPECT_EQ(table.deleteNumber(42), -7);
  // Only the soft one of the range goes.
  ASSERT_EQ(table.deleteBetweenDates(-1, true, 45290, 45310), 0);
  EXPECT_EQ(table.count(), 2);
  EXPECT_FALSE(fileExists(path + "2.INI"));
  EXPECT_EQ(table.countBetweenDates(45290, 45310), 2);

  HANDLE held = CreateFileA((path + "3.INI").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(table.deleteByNumbers(0, 100, -1, false), -4);
  CloseHandle(held);
  ASSERT_EQ(table.count(), 1);
  EXPECT_EQ(table.items(0)->Number(), 9);
  EXPECT_FALSE(fileExists(path + "0.INI"));
  EXPECT_EQ(table.deleteByNumbers(9, 9, 9, false), 0);
  EXPECT_EQ(table.count(), 1);
  EXPECT_EQ(table.deleteByNumbers(9, 9, -1, false), 0);
  EXPECT_EQ(table.count(), 0);
}

TEST_F(TransactionFolder, SoftFlagsFeesAndNumberCountsFollowEveryEdit) {
  ASSERT_EQ(table.loadDirectory(path), 0);
  EXPECT_EQ(table.countBetweenNumbers(7, 9), 3);
  EXPECT_EQ(table.countBetweenNumbers(8, 8), 1);
  EXPECT_EQ(table.countBetweenNumbers(9, 7), 0);
  EXPECT_EQ(table.countBetweenNumbers(INT_MIN, INT_MAX), 3);
  table.findNumber(9)->setNumber(20);
  EXPECT_EQ(table.countBetweenNumbers(7, 9), 2);
  EXPECT_EQ(table.countBetweenNumbers(10, 20), 1);

  TTransaction& sale = *table.findNumber(8);
  const double stamp = sale.LastChange();
  sale.setSoft(1);
  sale.setFees(1.5);
  EXPECT_EQ(sale.LastChange(), stamp) << "the same values change nothing";
  long double value = 0;
  bool ok = false;
  table.feesAt(nullptr, value, ok, 45295);
  EXPECT_EQ(value, 1.5L);
  sale.setFees(2.25);
  sale.setSoft(0);
  EXPECT_GT(sale.LastChange(), stamp);
  table.feesAt(nullptr, value, ok, 45295);
  EXPECT_EQ(value, 2.25L) << "sums by date see the new fees";
  ASSERT_EQ(table.saveAll(), 0);
  TTransactionTable reloaded;
  ASSERT_EQ(reloaded.loadDirectory(path), 0);
  EXPECT_EQ(reloaded.findNumber(8)->Fees(), 2.25L);
  EXPECT_EQ(reloaded.findNumber(8)->Soft(), 0);
  EXPECT_EQ(reloaded.countBetweenNumbers(20, 20), 1);
}

TEST_F(TransactionFolder, PropertiesThatCannotBeStoredFailTheSaveAndKeepTheFile) {
  ASSERT_EQ(table.loadDirectory(path), 0);
  const std::string before = readWholeFile(path + "0.INI");
  TTransaction& purchase = *table.findNumber(7);
  purchase.setCustomProperty("a=b", "lost");
  purchase.setFees(3);
  EXPECT_EQ(purchase.save(), -4);
  EXPECT_EQ(readWholeFile(path + "0.INI"), before);
  purchase.CustomProperties.deleteName("a=b", true);
  EXPECT_EQ(purchase.save(), 0);

  // A comment that would be cut at its line break leaves no file behind.
  EXPECT_EQ(table.add(30, 0, 45400, 1, 10, 0, "", "two\rlines", path, true), -4);
  EXPECT_EQ(table.count(), 3);
  TTransactionTable reloaded;
  ASSERT_EQ(reloaded.loadDirectory(path), 0);
  EXPECT_EQ(reloaded.count(), 3);
  EXPECT_EQ(reloaded.findNumber(7)->Fees(), 3);
}

TEST_F(TransactionFolder, AmountsBeyondWhatAFileHoldsAreRefusedAndNeverWritten) {
  ASSERT_EQ(table.loadDirectory(path), 0);
  const long double beyondDouble = static_cast<long double>(DBL_MAX) * 5;  // an extended product of units and a price
  TTransaction& purchase = *table.findNumber(7);
  const double stamp = purchase.LastChange();
  EXPECT_FALSE(purchase.setUnits(beyondDouble));
  EXPECT_FALSE(purchase.setValue(static_cast<long double>(HUGE_VAL)));
  EXPECT_FALSE(purchase.setFees(static_cast<long double>(std::nan(""))));
  EXPECT_EQ(purchase.Units(), 10);
  EXPECT_EQ(purchase.Value(), 100);
  EXPECT_EQ(purchase.Fees(), 1.5L);
  EXPECT_EQ(purchase.LastChange(), stamp);
  EXPECT_TRUE(purchase.setUnits(1e308));
  ASSERT_EQ(purchase.save(), 0);

  // A merge or a system's rule summing past the range adds nothing.
  EXPECT_EQ(table.add(30, 0, 45400, 1, beyondDouble, 0, "", "", path, true), -4);
  EXPECT_EQ(table.add(31, 1, 45400, beyondDouble, 1, 0, "", "", path, false), -4);
  EXPECT_EQ(table.count(), 3);
  TTransaction loose;
  EXPECT_EQ(loose.setAll(32, 0, 45400, 1, 1, -beyondDouble, folder.path() + "32.INI", ""), -4);
  EXPECT_FALSE(fileExists(folder.path() + "32.INI"));

  TTransactionTable reloaded;
  ASSERT_EQ(reloaded.loadDirectory(path), 0);
  EXPECT_EQ(reloaded.count(), 3);
  EXPECT_EQ(reloaded.findNumber(7)->Units(), 1e308);
  for (const char* name : {"0.INI", "2.INI", "3.INI"}) {
    EXPECT_EQ(readWholeFile(path + name).find("INF"), std::string::npos) << name;
    EXPECT_EQ(readWholeFile(path + name).find("NAN"), std::string::npos) << name;
  }
}
