#include <gtest/gtest.h>

#include <string>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "systems/System.h"
#include "systems/SystemFileFault.h"
#include "tests/support/TestFolders.h"

namespace {

// The text a save gives of a system of two rules, three symbols and two
// parameters, as the sample's retirement system.
std::string wholeSystemText() {
  TSystem system;
  for (int i = 0; i < 2; ++i) {
    system.Rules().addRule(-1, -1, "GIX", i);
    TSystemRule& rule = *system.Rules().rule(i);
    rule.setEnabled(true);
    rule.setCondition("MOMENTUM<DIP");
    rule.setUnits("LOT");
    rule.setPrincipal("LOT*CLOSE");
    rule.setFees("1");
  }
  for (int i = 0; i < 3; ++i) {
    system.Symbols().addSymbol(-1, -1, i);
    system.Symbols().symbol(i)->setSymbol("S" + std::to_string(i));
    system.Symbols().symbol(i)->setDefinition("ASSET_CLOSE(GIX;X-" + std::to_string(i) + ")");
  }
  for (int i = 0; i < 2; ++i) {
    system.Params().addParameter(-1, -1, i);
    system.Params().parameter(i)->setSymbol("P" + std::to_string(i));
    system.Params().parameter(i)->setHigh(10);
  }
  TTemporaryFolder folder;
  const std::string name = folder.path() + "System.INI";
  {
    TPortableIniFile ini(name);
    system.saveToIni(ini, {'.', ';'});
  }
  return readWholeFile(name);
}

std::string faultOf(const std::string& text) {
  TTemporaryFolder folder;
  const std::string name = folder.path() + "System.INI";
  writeWholeFile(name, text);
  const std::string fault = systemFileFault(TPortableIniFile(name));
  takePartlyReadFiles();
  return fault;
}

std::string cutBefore(const std::string& text, const std::string& line) {
  const size_t at = text.find(line);
  return at == std::string::npos ? "no " + line : text.substr(0, at);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  return at == std::string::npos ? "no " + from : text.replace(at, from.size(), to);
}

// As saved before files had an entry count.
std::string withoutEntryCount(const std::string& text) {
  const size_t count = text.find("Entries=");
  if (count == std::string::npos) return "no count";
  return replaced(text, text.substr(count, text.find("\r\n", count) + 2 - count), "");
}

}  // namespace

TEST(SystemFile, AWholeSystemHasNoFaultAndOneCutOffOrContradictingItselfIsToldWhy) {
  const std::string whole = wholeSystemText();
  EXPECT_EQ(faultOf(whole), "");
  // No system at all is an empty one, not a damaged one; a file emptied is
  // no system a save writes.
  {
    TTemporaryFolder folder;
    EXPECT_EQ(systemFileFault(TPortableIniFile(folder.path() + "System.INI")), "");
  }
  EXPECT_EQ(faultOf(""), "is empty");
  EXPECT_EQ(faultOf("\r\n  \r\n"), "is empty");
  // Cut off before its first table, or inside the last line of the last:
  // what stands before the cut reads as a system of its own.
  EXPECT_EQ(faultOf(cutBefore(whole, "[Rule]")), "lacks its section Rule");
  // Cut off at its top, with the count or without it: the defaults would
  // stand in for the save mark and the range.
  for (const std::string& text : {whole, withoutEntryCount(whole)}) {
    EXPECT_EQ(faultOf(text.substr(text.find("[Range]"))), "lacks its section SoftTransactions");
    EXPECT_EQ(faultOf(text.substr(text.find("[Rule]"))), "lacks its section SoftTransactions");
    EXPECT_EQ(faultOf(text.substr(text.find("Save="))), "could not be read whole");
  }
  EXPECT_EQ(faultOf(whole.substr(0, whole.rfind("Locked=0") + 7)), "is cut off inside its last line");
  EXPECT_EQ(faultOf(whole + "  \x1A"), "");

  // Cut in the middle of the first symbol, inside a line and at a line's end.
  const std::string half = cutBefore(whole, "Definition=\"ASSET_CLOSE(GIX;X-0)");
  EXPECT_EQ(faultOf(half + "Defin"), "could not be read whole");
  EXPECT_EQ(faultOf(half), "holds 1 of the 3 symbols its count names");
  // Cut where the parameters begin, and inside the last parameter.
  EXPECT_EQ(faultOf(cutBefore(whole, "[Param]")), "lacks its section Param");
  const size_t lastParameter = whole.find("[Param2]");
  ASSERT_NE(lastParameter, std::string::npos);
  EXPECT_EQ(faultOf(whole.substr(0, whole.find("High=", lastParameter))), "has its section Param2 cut off");
  // Values the reader cannot take stand for numbers the system runs with.
  EXPECT_EQ(faultOf(replaced(whole, "[Symbol]\r\nCount=3", "[Symbol]\r\nCount=3x")),
            "holds no number for Count in section Symbol");
  EXPECT_EQ(faultOf(replaced(whole, "Value= 0.00000000000000E+0000", "Value=1O")),
            "holds no number for Value in section Param1");
  EXPECT_EQ(faultOf(replaced(whole, "FromDate=", "FromDate=soon")), "holds no number for FromDate in section Range");
  // A count no file could hold is told as quickly as any other.
  EXPECT_EQ(faultOf(replaced(whole, "[Rule]\r\nCount=2", "[Rule]\r\nCount=2147483647")),
            "holds 2 of the 2147483647 rules its count names");
  // A section written by hand without the sizes a save writes, not the last
  // in the file, is no section cut off.
  EXPECT_EQ(
      faultOf(replaced(withoutEntryCount(whole), "[Symbol1]\r\nRowHeight=-1\r\nColWidth=-1\r\n", "[Symbol1]\r\n")),
      "");

  EXPECT_EQ(systemNotRunNotice("Retirement Account", "C:\\F\\2\\System.INI", "lacks its section Param", false),
            "Trading system of \"Retirement Account\" not run: its file C:\\F\\2\\System.INI lacks its section Param. "
            "Mend the file, or put back what it lost, and it runs again; the System window shows only what the "
            "file still holds.");
}

TEST(SystemFile, AnEntryLackingAKeyTheRunReadsIsDamageAndAFieldLeftEmptyIsNot) {
  const std::string whole = wholeSystemText();
  // Taken out of the first rule, not the last section of the file: run as
  // it reads, the rule would be inactive and its transactions gone.
  EXPECT_EQ(faultOf(replaced(whole, "Fees=\"1\"\r\n", "")), "lacks Fees in section Rule1");
  EXPECT_EQ(faultOf(replaced(whole, "Units=\"LOT\"\r\n", "")), "lacks Units in section Rule1");
  EXPECT_EQ(faultOf(replaced(whole, "Enabled=1\r\n", "")), "lacks Enabled in section Rule1");
  EXPECT_EQ(faultOf(replaced(whole, "Definition=\"ASSET_CLOSE(GIX;X-1)\"\r\n", "")),
            "lacks Definition in section Symbol2");
  EXPECT_EQ(faultOf(replaced(whole, "Locked=0\r\n", "")), "lacks Locked in section Param1");

  // A rule whose fees the user left empty is saved with them, empty, and
  // reads whole; it stays inactive.
  TSystem system;
  system.Rules().addRule(-1, -1, "GIX", 0);
  TSystemRule& rule = *system.Rules().rule(0);
  rule.setEnabled(true);
  rule.setCondition("1");
  rule.setUnits("1");
  rule.setPrincipal("1");
  system.Symbols().addSymbol(-1, -1, 0);
  system.Params().addParameter(-1, -1, 0);
  TTemporaryFolder folder;
  const std::string name = folder.path() + "System.INI";
  {
    TPortableIniFile ini(name);
    system.saveToIni(ini, {'.', ';'});
  }
  EXPECT_NE(readWholeFile(name).find("Fees=\"\"\r\n"), std::string::npos);
  EXPECT_EQ(faultOf(readWholeFile(name)), "");
  TSystem loaded;
  loaded.loadFromIni(TPortableIniFile(name), {'.', ';'});
  ASSERT_EQ(loaded.Rules().count(), 1);
  EXPECT_TRUE(loaded.Rules().rule(0)->isInactive());
  EXPECT_EQ(loaded.Rules().rule(0)->Fees(), "");
}

// Saved without the entry count, as before it and as the format has it, a
// system leaves out the texts left empty: a rule without its fees is
// inactive, not damaged. Numbers and marks are written always, so one
// missing is lost in either form; with the count, any line lost is told.
TEST(SystemFile, ATextLeftOutIsALostLineOnlyInAFileWithItsEntryCount) {
  const std::string whole = wholeSystemText();
  ASSERT_EQ(whole.find("[SoftTransactions]\r\nEntries="), 0u);
  const std::string uncounted = withoutEntryCount(whole);
  const struct {
    std::string text;
    std::string fault;
  } rows[] = {
      {replaced(uncounted, "Fees=\"1\"\r\n", ""), ""},
      {replaced(uncounted, "Definition=\"ASSET_CLOSE(GIX;X-1)\"\r\n", ""), ""},
      {replaced(uncounted, "Symbol=\"P1\"\r\n", ""), ""},
      {replaced(uncounted, "Flag=\"\"\r\n", ""), ""},
      {replaced(uncounted, "TransactionComment=\"\"\r\n", ""), ""},
      {replaced(whole, "Flag=\"\"\r\n", ""), "lacks Flag in section Rule1"},
      {replaced(uncounted, "Enabled=1\r\n", ""), "lacks Enabled in section Rule1"},
      {replaced(whole, "[Range]\r\nFromDate= 7.30515000000000E+0004\r\n", "[Range]\r\n"),
       "lacks FromDate in section Range"},
      {replaced(uncounted, "[Range]\r\nFromDate= 7.30515000000000E+0004\r\n", "[Range]\r\n"),
       "lacks FromDate in section Range"},
  };
  for (const auto& row : rows) EXPECT_EQ(faultOf(row.text), row.fault) << row.text;
}
