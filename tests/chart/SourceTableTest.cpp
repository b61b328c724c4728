#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ThreadTime.h"

namespace {

TSource* addSource(TSourceTable& table, const std::string& caption) {
  table.insertSource(table.count());
  TSource* source = table.getSource(table.count() - 1);
  source->Caption = caption;
  return source;
}

std::string captions(const TSourceTable& table) {
  std::string text;
  for (int i = 0; i < table.count(); ++i) text += (table.getSource(i)->Caption.empty() ? "-" : table.getSource(i)->Caption) + " ";
  return text;
}

}  // namespace

TEST(SourceTable, InsertAndMoveGrowWithDefaultSourcesAndLeaveNoGap) {
  TSourceTable table(TSource::create);
  addSource(table, "a");
  addSource(table, "b");
  EXPECT_EQ(table.insertSource(4), 0);
  EXPECT_EQ(captions(table), "a b - - - ");
  EXPECT_EQ(table.insertSource(-1), -7);

  TSourceTable three(TSource::create);
  for (const char* caption : {"a", "b", "c"}) addSource(three, caption);
  EXPECT_EQ(three.moveSource(0, 5), 0);
  EXPECT_EQ(captions(three), "b c - - - a ");
  EXPECT_EQ(three.moveSource(5, 1), 0);
  EXPECT_EQ(captions(three), "b a c - - - ");
  EXPECT_EQ(three.duplicateSource(1), 0);
  EXPECT_EQ(captions(three), "b a a c - - - ");
  EXPECT_EQ(three.getSource(three.count()), nullptr);
  EXPECT_EQ(three.deleteSource(three.count()), -7);
  three.getSource(0)->Undeletable = true;
  EXPECT_EQ(three.deleteSource(0), -7);
  EXPECT_EQ(three.deleteSource(1), 0);
  EXPECT_EQ(captions(three), "b a c - - - ");
}

TEST(SourceTable, AssignBetweenClassesCopiesOnlyTheSharedPart) {
  TSourceTable charts(TChartSource::create);
  auto* chart = static_cast<TChartSource*>(addSource(charts, "c"));
  chart->Open = "X+1";
  chart->ohlcHigh = true;
  chart->insertSymbol(0, "k", "2*X", "");

  TSourceTable graphs(TSource::create);
  graphs.assign(&charts);
  ASSERT_EQ(graphs.count(), 1);
  EXPECT_EQ(dynamic_cast<TChartSource*>(graphs.getSource(0)), nullptr);
  EXPECT_EQ(graphs.getSource(0)->symbol(0)->Definition, "2*X");

  TChartSource fromGraph;
  fromGraph.Open = "stale";
  EXPECT_EQ(fromGraph.assign(graphs.getSource(0)), 0);
  EXPECT_TRUE(fromGraph.Open.empty());
  EXPECT_FALSE(fromGraph.ohlcHigh);
  EXPECT_EQ(fromGraph.Caption, "c");

  TSourceSymbol symbol;
  TSourceParameter parameter;
  parameter.Symbol = "p";
  EXPECT_EQ(symbol.assign(&parameter), -6);
  EXPECT_TRUE(symbol.Symbol.empty());
}

TEST(SourceTable, AdjustableParametersNeedATitleAndARange) {
  TSource source;
  source.Caption = "line";
  source.insertParameter(0, "p", "", "", 1, 0, 10, 1, false);
  EXPECT_FALSE(source.hasAdjustableParameters());
  source.setParameter(0, "p", "", "", 1, 5, 5, 11, false);
  EXPECT_FALSE(source.hasAdjustableParameters());
  source.setParameter(0, "p", "", "", 1, 0, 10, 11, true);
  EXPECT_FALSE(source.hasAdjustableParameters());
  source.setParameter(0, "p", "", "", 1, 0, 10, 11, false);
  EXPECT_TRUE(source.hasAdjustableParameters());
  source.Caption.clear();
  EXPECT_FALSE(source.hasAdjustableParameters());
}

TEST(SourceTableFile, KeysInOrderFormulasInFileFormAndTextsKeptExactly) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Sources.ini";
  TSourceTable table(TChartSource::create);
  auto* source = static_cast<TChartSource*>(addSource(table, "  padded  "));
  source->Close = "ROUND(1,5 * X; 2)";
  source->Open = "\"MSFT\"";
  source->Identifier = "\"quoted\"";
  source->insertSymbol(0, "k", "IF(X > 0,5; \"a\"; \"b\")", "two\r\nlines");
  source->insertParameter(0, "p", "P", "", 0.25L, -1, 1, 9, true);
  ASSERT_EQ(table.saveToFile(fileName, ',', ';'), 0);

  const std::string text = readWholeFile(fileName);
  EXPECT_NE(text.find("Close=ROUND(1.5 * X; 2)"), std::string::npos) << text;
  const char* order[] = {"Kind=", "PointKind=", "Enabled=1", "Index=0", "Fillable=1", "AutoColor=0", "InLegend=1",
                         "DefaultOnInLegend=1", "Undeletable=0", "StepLineClose=1", "Color=0", "Caption=",
                         "Identifier=", "Close=", "LineWidth=1", "EditorRowHeight=16", "Open=", "StepLineOpen=0",
                         "ohlcClose=0", "[0_symbols]", "[0_parameters]"};
  std::size_t at = 0;
  for (const char* key : order) {
    const std::size_t found = text.find(key, at);
    ASSERT_NE(found, std::string::npos) << key << " after " << at << "\n" << text;
    at = found;
  }
  EXPECT_NE(text.find("1_Value= 2.50000000000000E-0001"), std::string::npos) << text;

  TSourceTable loaded(TChartSource::create);
  ASSERT_EQ(loaded.loadFromFile(fileName, ',', ';'), 0);
  ASSERT_EQ(loaded.count(), 1);
  auto* back = static_cast<TChartSource*>(loaded.getSource(0));
  EXPECT_EQ(back->Caption, "  padded  ");
  EXPECT_EQ(back->Close, "ROUND(1,5 * X; 2)");
  EXPECT_EQ(back->Open, "\"MSFT\"");
  EXPECT_EQ(back->Identifier, "\"quoted\"");
  EXPECT_EQ(back->symbol(0)->Definition, "IF(X > 0,5; \"a\"; \"b\")");
  EXPECT_EQ(back->symbol(0)->Comment, "two  lines");
  EXPECT_EQ(back->parameter(0)->Value, 0.25L);
  EXPECT_EQ(back->parameter(0)->Steps, 9);
  EXPECT_TRUE(back->parameter(0)->Locked);
}

TEST(SourceTableFile, StaleSectionsGoAndDamagedCountsAreNotTrusted) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Sources.ini";
  TSourceTable table(TSource::create);
  for (int i = 0; i < 5; ++i) addSource(table, std::to_string(i))->insertSymbol(0, "k", "1", "");
  ASSERT_EQ(table.saveToFile(fileName, '.', ','), 0);
  while (table.count() > 2) table.deleteSource(2);
  ASSERT_EQ(table.saveToFile(fileName, '.', ','), 0);
  {
    TPortableIniFile ini(fileName);
    EXPECT_TRUE(ini.sectionExists("1_symbols"));
    for (const char* gone : {"2", "2_symbols", "2_parameters", "4", "4_symbols"}) {
      EXPECT_FALSE(ini.sectionExists(gone)) << gone;
    }
    ini.writeInteger("Sources", "Count", 2000000000);
    ini.writeString("1_symbols", "Count", "2000000000");
    ini.writeString("7", "Caption", "late");
  }
  // The table ends at the highest section present; the gap reads as defaults.
  TSourceTable loaded(TSource::create);
  ASSERT_EQ(loaded.loadFromFile(fileName, '.', ','), 0);
  ASSERT_EQ(loaded.count(), 8);
  EXPECT_EQ(loaded.getSource(7)->Caption, "late");
  EXPECT_TRUE(loaded.getSource(4)->StepLineClose);
  EXPECT_EQ(loaded.getSource(1)->symbolCount(), 1);

  // An empty section gives the defaults; no Sources section, an empty table.
  writeWholeFile(folder.path() + "Empty.ini", "[0]\r\n");
  TPortableIniFile empty(folder.path() + "Empty.ini");
  TSource source;
  source.Enabled = false;
  EXPECT_EQ(source.loadFromIni(empty, "missing", '.', ','), -7);
  EXPECT_TRUE(source.Enabled);
  source.LineWidth = 5;
  EXPECT_EQ(source.loadFromIni(empty, "0", '.', ','), 0);
  EXPECT_TRUE(source.Fillable && source.InLegend && source.DefaultOnInLegend && source.StepLineClose);
  EXPECT_EQ(source.LineWidth, 1);
  EXPECT_EQ(source.EditorRowHeight, 16);
  EXPECT_EQ(loaded.loadFromIni(empty, '.', ','), 0);
  EXPECT_EQ(loaded.count(), 0);
}

TEST(SourceTableFile, EmptySymbolsAtTheEndComeBack) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Sources.ini";
  TSourceTable table(TSource::create);
  TSource* source = addSource(table, "a");
  source->insertSymbol(0, "k", "1", "");
  source->insertSymbol(1, "", "", "");
  source->insertSymbol(2, "", "", "");
  ASSERT_EQ(table.saveToFile(fileName, '.', ','), 0);
  TSourceTable loaded(TSource::create);
  ASSERT_EQ(loaded.loadFromFile(fileName, '.', ','), 0);
  ASSERT_EQ(loaded.count(), 1);
  EXPECT_EQ(loaded.getSource(0)->symbolCount(), 3);
  EXPECT_EQ(loaded.getSource(0)->symbol(0)->Symbol, "k");
}

TEST(SourceTableFile, ACountInTheOldFileNeverMakesTheSaveSlow) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Sources.ini";
  writeWholeFile(fileName,
                 "[Sources]\r\nCount=2147483647\r\n[0]\r\nCaption=a\r\n[1]\r\nCaption=b\r\n"
                 "[1_symbols]\r\nCount=0\r\n[6_parameters]\r\nCount=0\r\n[01]\r\nCaption=kept\r\n");
  TSourceTable table(TSource::create);
  addSource(table, "only");
  // Counting up to the old count takes minutes.
  const auto start = threadProcessorTime();
  ASSERT_EQ(table.saveToFile(fileName, '.', ','), 0);
  EXPECT_LT(threadProcessorTime() - start, std::chrono::seconds(5));
  TPortableIniFile ini(fileName);
  EXPECT_EQ(ini.readString("0", "Caption", ""), "only");
  for (const char* gone : {"1", "1_symbols", "6_parameters"}) EXPECT_FALSE(ini.sectionExists(gone)) << gone;
  EXPECT_TRUE(ini.sectionExists("01"));
}

TEST(SourceTableFile, AFailedSaveReportsMinusFourAndKeepsTheFile) {
  TTemporaryFolder folder;
  TSourceTable table(TSource::create);
  addSource(table, "x");
  EXPECT_EQ(table.saveToFile(folder.path() + "no such folder\\Sources.ini", '.', ','), -4);
}

// Favourites read from their file: one another program added meanwhile
// under the number the user's new one takes was overwritten, key by key,
// and the save said it went through. It is refused and why is told; a
// favourite deleted takes its sections with it, and one the other program
// added beyond what the table writes stays.
TEST(SourceTableFile, AFavouriteAnotherProgramAddedUnderTheSameNumberIsNotOverwritten) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "ChartFavs.INI";
  {
    TSourceTable written(TSource::create);
    for (const char* caption : {"a", "b"}) addSource(written, caption)->insertSymbol(0, "k", "1", "");
    ASSERT_EQ(written.saveToFile(fileName, '.', ','), 0);
  }
  TSourceTable favourites(TSource::create);
  ASSERT_EQ(favourites.loadFromFile(fileName, '.', ','), 0);
  {
    TPortableIniFile other(fileName);
    other.writeInteger("Sources", "Count", 3);
    other.writeString("2", "Caption", "theirs");
  }
  const std::string theirs = readWholeFile(fileName);
  addSource(favourites, "mine");
  EXPECT_EQ(favourites.saveToFile(fileName, '.', ','), -4);
  EXPECT_EQ(readWholeFile(fileName), theirs);
  EXPECT_EQ(refusedSaveText(fileName),
            fileName + " was changed by another program meanwhile, which added a section [2] as this program did");

  // Read again, the user's change goes in beside what the file holds.
  ASSERT_EQ(favourites.loadFromFile(fileName, '.', ','), 0);
  ASSERT_EQ(favourites.count(), 3);
  favourites.deleteSource(0);
  ASSERT_EQ(favourites.saveToFile(fileName, '.', ','), 0);
  TSourceTable loaded(TSource::create);
  ASSERT_EQ(loaded.loadFromFile(fileName, '.', ','), 0);
  ASSERT_EQ(loaded.count(), 2);
  EXPECT_EQ(loaded.getSource(0)->Caption, "b");
  EXPECT_EQ(loaded.getSource(0)->symbolCount(), 1);
  EXPECT_EQ(loaded.getSource(1)->Caption, "theirs");
  const TPortableIniFile saved(fileName);
  EXPECT_FALSE(saved.sectionExists("2"));
  EXPECT_EQ(saved.readString("1_symbols", "1_Symbol", ""), "") << "the symbol of the favourite moved up";
}
