#include <gtest/gtest.h>

#include <windows.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <random>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/TestFolders.h"

using namespace std::string_literals;
using TStrings = std::vector<std::string>;

namespace {

class PortableIniFile : public testing::Test {
 protected:
  std::string fileWith(const std::string& bytes) {
    writeWholeFile(file, bytes);
    return file;
  }

  TTemporaryFolder folder;
  std::string file = folder.path() + "test.ini";
};

}  // namespace

TEST_F(PortableIniFile, ReadsTheTextFormatLineByLine) {
  TPortableIniFile ini(fileWith(
      "orphan=before any section\r\n[Main]\r\n  Key= spaced value  \r\nQuoted=\" kept inside \"\r\n"
      "Half=\"open\n;Semi=colon\r\n=no key\r\nno equals sign\r\n[main]\rLower=case\r\nKey =a\r\n"
      "[ Spaced ]\r\nx=1\r\n[]\r\ny=2\r\n[Main]\r\nkey=later spelling\r\nAdded=at end\r\n"
      "ignored=after\x1a[Gone]\r\nz=3\r\n"));

  TStrings entries;
  ini.readSectionValues("Main", entries);
  // A repeated key keeps its place with the later value and spelling; a LF
  // alone ends a line too.
  EXPECT_EQ(entries, (TStrings{"key=later spelling", "Quoted= kept inside ", "Half=\"open", ";Semi=colon",
                               "Added=at end", "ignored=after"}));
  EXPECT_EQ(ini.readString("Main", "KEY", "?"), "later spelling");
  EXPECT_EQ(ini.readString("main", "Lower", "?"), "case");
  EXPECT_EQ(ini.readString("main", "key", "?"), "?");
  EXPECT_EQ(ini.readString("main", "KEY ", "?"), "a");
  EXPECT_EQ(ini.readString(" Spaced ", "y", "?"), "2");  // "[]" is no header
  EXPECT_FALSE(ini.sectionExists("Gone"));
  EXPECT_FALSE(ini.Modified());
}

TEST_F(PortableIniFile, WritesSectionsEntriesAndBlankLinesWithCrLf) {
  {
    TPortableIniFile ini(file);
    ini.writeString("B", "one", "1");
    ini.writeString("A", "two", "2");
    ini.writeString("B", "Three", "  3 ");
    ini.writeString("Empty", "gone", "");  // an empty value still creates the section
    ini.writeString("B", "ONE", "uno");
    ini.writeBool("A", "flag", true);
    ini.writeString("C", "c", "3");
    ini.eraseSection("A");
    ini.writeString("A", "new", "x");
    EXPECT_TRUE(ini.updateFile());
    EXPECT_FALSE(ini.Modified());
  }
  EXPECT_EQ(readWholeFile(file), "[B]\r\nONE=uno\r\nThree=  3 \r\n\r\n[Empty]\r\n\r\n[C]\r\nc=3\r\n\r\n[A]\r\nnew=x\r\n\r\n");

  TPortableIniFile reread(file);
  EXPECT_EQ(reread.readString("B", "three", ""), "3");
  TStrings list{"existing"};
  reread.readSection("B", list);
  reread.readSectionValues("C", list);
  reread.readSection("Missing", list);
  EXPECT_EQ(list, (TStrings{"existing", "ONE", "Three", "c=3"}));
}

TEST_F(PortableIniFile, ManyRemovalsKeepTheRestFoundAndInOrder) {
  TPortableIniFile ini(file);
  auto key = [](const char* prefix, int i) { return std::string(prefix).append(std::to_string(i)); };
  for (int i = 0; i < 1000; ++i) ini.writeInteger("S", key("k", i), i);
  for (int i = 0; i < 1000; i += 3) ini.writeString("S", key("K", i), "");
  ini.writeInteger("S", "k0", 7);  // a removed key comes back at the end

  TStrings keys;
  ini.readSection("S", keys);
  ASSERT_EQ(keys.size(), 667u);
  EXPECT_EQ(keys.front(), "k1");
  EXPECT_EQ(keys.back(), "k0");
  EXPECT_EQ(ini.readInteger("S", "k998", 0), 998);
  EXPECT_EQ(ini.readInteger("S", "k999", -5), -5);
}

TEST_F(PortableIniFile, LineBreakersInDataCannotInjectLinesOrEndTheFile) {
  {
    TPortableIniFile ini(file);
    for (const char* refusedKey : {"", "   ", "a=b"}) ini.writeString("Notes", refusedKey, "x");
    ini.writeString("", "k", "no section name");
    EXPECT_FALSE(ini.Modified());
    ini.writeString("Notes", "Comment", "bought\r\n[Evil]\r\nx=1\x1a rest");
    ini.writeString("Notes", "Multi\rKey", "v");
    ini.writeString("After", "kept", "yes");
  }
  TPortableIniFile ini(file);
  EXPECT_FALSE(ini.sectionExists("Evil"));
  EXPECT_EQ(ini.readString("Notes", "Comment", ""), "bought  [Evil]  x=1  rest");
  TStrings keys;
  ini.readSection("Notes", keys);
  EXPECT_EQ(keys, (TStrings{"Comment", "Multi Key"}));
  EXPECT_EQ(ini.readString("After", "kept", ""), "yes");
}

TEST_F(PortableIniFile, IntegersAcceptDecimalAndHexadecimalAndRejectTheRest) {
  TPortableIniFile ini(fileWith(
      "[N]\r\na= 42\r\nb=-2147483648\r\nc=2147483648\r\nd=$FF\r\ne=0x1f\r\nf=X10\r\ng=-$10\r\n"
      "h=$FFFFFFFF\r\ni=$100000000\r\nj=12abc\r\nk=+\r\nl=0x\r\nm=99999999999999999999\r\nn=2\r\no=true\r\n"));
  const std::pair<const char*, int> good[] = {{"a", 42}, {"b", -2147483647 - 1}, {"d", 255}, {"e", 31},
                                              {"f", 16}, {"g", -16},             {"h", -1}};
  for (auto [key, value] : good) EXPECT_EQ(ini.readInteger("N", key, 5), value) << key;
  for (const char* bad : {"c", "i", "j", "k", "l", "m", "missing"}) EXPECT_EQ(ini.readInteger("N", bad, 5), 5) << bad;
  EXPECT_TRUE(ini.readBool("N", "n", false));
  EXPECT_FALSE(ini.readBool("N", "o", false));
}

// Loaders once could not tell a number that does not read from a missing
// one: both gave the default, which the next save wrote over the text.
TEST_F(PortableIniFile, ANumbersTextIsToldAbsentANumberOrNone) {
  TPortableIniFile ini(fileWith("[N]\r\na= 62.5\r\nb=62,5\r\nc=\r\nd=7\r\ne=1E300\r\nf=\"\"\r\n"));
  using TNumberText = TPortableIniFile::TNumberText;
  double value = -1;
  EXPECT_EQ(ini.readNumber("N", "a", value), TNumberText::number);
  EXPECT_EQ(value, 62.5);
  for (const char* key : {"c", "f", "missing"}) EXPECT_EQ(ini.readNumber("N", key, value), TNumberText::absent) << key;
  EXPECT_EQ(ini.readNumber("other", "a", value), TNumberText::absent);
  EXPECT_EQ(ini.readNumber("N", "b", value), TNumberText::noNumber);
  EXPECT_EQ(value, 62.5);
  int integer = -1;
  EXPECT_EQ(ini.readNumber("N", "d", integer), TNumberText::number);
  EXPECT_EQ(ini.readNumber("N", "e", integer), TNumberText::noNumber);
  EXPECT_EQ(ini.readNumber("N", "a", integer), TNumberText::noNumber);
  EXPECT_EQ(integer, 7);

  // The reader gives the defaults as readFloat and readInteger do, and keeps
  // every value that was no number, in reading order.
  TNumberReader numbers(ini);
  EXPECT_EQ(numbers.readFloat("N", "a", 3), 62.5);
  EXPECT_EQ(numbers.readFloat("N", "c", 3), 3);
  EXPECT_EQ(numbers.firstUnread(), "");
  EXPECT_EQ(numbers.readFloat("N", "b", 3), 3);
  EXPECT_EQ(numbers.readInteger("N", "e", 4), 4);
  EXPECT_TRUE(numbers.readBool("N", "missing", true));
  ASSERT_EQ(numbers.unread().size(), 2u);
  EXPECT_EQ(numbers.unread()[1].key, "e");
  EXPECT_EQ(numbers.unread()[1].text, "1E300");
  EXPECT_EQ(numbers.firstUnread(), "holds \"62,5\" for b, which is no number");
}

TEST_F(PortableIniFile, FloatsHaveOneLocaleIndependentTextForm) {
  EXPECT_EQ(floatToIniText(123.45), " 1.23450000000000E+0002");
  EXPECT_EQ(floatToIniText(0), " 0.00000000000000E+0000");
  EXPECT_EQ(floatToIniText(-1.0 / 3), "-3.33333333333333E-0001");
  EXPECT_EQ(floatToIniText(0.1 + 0.2), " 3.00000000000000E-0001");

  TPortableIniFile ini(file);
  for (double v : {123.45, -0.000123, 1e308, 5e-324, 1234567.125}) {
    ini.writeFloat("F", "v", v);
    EXPECT_NEAR(ini.readFloat("F", "v", 0), v, std::fabs(v) * 1e-14) << v;
  }
  // Both ends of the range, the smallest normal and subnormal values and
  // negative zero keep the 23-character form and read back.
  for (double v : {DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN, -0.0}) {
    ini.writeFloat("F", "v", v);
    EXPECT_EQ(floatToIniText(v).size(), 23u) << v;
    const double back = ini.readFloat("F", "v", 7);
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << v;
    EXPECT_EQ(std::signbit(back), std::signbit(v)) << v;
  }
  EXPECT_EQ(floatToIniText(-0.0), "-0.00000000000000E+0000");
  EXPECT_EQ(floatToIniText(DBL_MAX), " 1.79769313486231E+0308");
  ini.writeFloat("F", "nan", std::nan(""));
  EXPECT_EQ(ini.readFloat("F", "nan", 7), 7);

  double value = 0;
  for (const char* good : {"5.", "-2e3", "+1E-2", ".5"}) EXPECT_TRUE(iniTextToFloat(good, value)) << good;
  EXPECT_EQ(value, 0.5);
  for (const char* bad : {"", " ", "1,5", "-", ".", "1e", "1e+", "1.5 ", "0x10", "inf", "1e400"})
    EXPECT_FALSE(iniTextToFloat(bad, value)) << bad;
}

TEST_F(PortableIniFile, AFloatThatWouldNotReadBackIsRefusedAndTheStoredOneKept) {
  {
    TPortableIniFile ini(file);
    ASSERT_TRUE(ini.writeFloat("F", "v", 2.5));
    const long double beyondDouble = static_cast<long double>(DBL_MAX) * 2;
    for (const long double v : {static_cast<long double>(HUGE_VAL), -static_cast<long double>(HUGE_VAL),
                                static_cast<long double>(std::nan("")), beyondDouble, -beyondDouble}) {
      EXPECT_FALSE(ini.writeFloat("F", "v", v));
      EXPECT_FALSE(ini.writeFloat("F", "w", v));
      EXPECT_EQ(ini.readFloat("F", "v", 7), 2.5);
    }
    EXPECT_FALSE(ini.writeFloat("F", "v", static_cast<long double>(DBL_MAX) * 1.0000001L));
    EXPECT_TRUE(ini.writeFloat("F", "v", -static_cast<long double>(DBL_MAX)));
    EXPECT_EQ(ini.readFloat("F", "v", 7), -1.79769313486231e308);
  }
  const std::string text = readWholeFile(file);
  EXPECT_EQ(text.find("INF"), std::string::npos);
  EXPECT_EQ(text.find("NAN"), std::string::npos);
  EXPECT_EQ(text.find("w="), std::string::npos);
}

TEST_F(PortableIniFile, FontsRoundTripThroughSixKeys) {
  TFontProperties font{"Arial", fsBold | fsStrikeOut, 238, TFontPitch::fpFixed, 255, 11};
  {
    TPortableIniFile ini(file);
    ini.writeFont("Grid", "Title", font);
    ini.writeFont("Plain", "F", TFontProperties());
  }
  EXPECT_EQ(readWholeFile(file),
            "[Grid]\r\nTitleName=Arial\r\nTitleStyle=BS\r\nTitleCharSet=238\r\nTitlePitch=2\r\nTitleColor=255\r\n"
            "TitleSize=11\r\n\r\n[Plain]\r\nFName=MS Sans Serif\r\nFCharSet=1\r\nFPitch=0\r\nFColor=-2147483640\r\n"
            "FSize=8\r\n\r\n");

  TPortableIniFile ini(file);
  TFontProperties read;
  ini.readFont("Grid", "Title", read);
  EXPECT_EQ(read, font);
  read.style = fsItalic;
  ini.readFont("Plain", "F", read);  // no Style key: no style
  EXPECT_EQ(read, TFontProperties());
  ini.readFont("Missing", "Title", font);
  EXPECT_EQ(font.name, "Arial");
  EXPECT_EQ(TPortableIniFile::strToFontStyle("xSbIu"), fsStrikeOut | fsItalic);
  EXPECT_EQ(ini.readFontStyle("Grid", "Missing", fsUnderline | fsBold), fsUnderline | fsBold);
}

// A size of 12345 points took the notes editor to 850 MB; a colour that is
// no colour is damage too. Either keeps the font's own.
TEST_F(PortableIniFile, DamagedFontSizesAndColoursKeepTheFontsOwn) {
  writeWholeFile(file, "[Notes]\r\nFSize=12345\r\nFColor=2147483647\r\n[Small]\r\nFSize=-2147483648\r\n"
                       "FColor=-2130706432\r\n[Good]\r\nFSize=144\r\nFColor=-2147483635\r\n");
  TPortableIniFile ini(file);
  for (const char* section : {"Notes", "Small"}) {
    TFontProperties font;
    ini.readFont(section, "F", font);
    EXPECT_EQ(font, TFontProperties()) << section;
  }
  TFontProperties font;
  ini.readFont("Good", "F", font);
  EXPECT_EQ(font.size, 144);
  EXPECT_EQ(font.color, clHighlight);
}

TEST_F(PortableIniFile, OnlyWritesTouchTheFileAndAFailedSaveKeepsTheOldOne) {
  std::string odd = "\xff[S]\nodd=1\r\r\r[S]\r\nk=\"\"\r\n\x1a tail";
  fileWith(odd);
  int64_t age = fileAge(file);
  { TPortableIniFile(file).readString("S", "k", ""); }
  EXPECT_EQ(readWholeFile(file), odd);
  EXPECT_EQ(fileAge(file), age);

  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    TPortableIniFile ini(file);
    ini.writeString("S", "k", "new");
    EXPECT_FALSE(ini.updateFile());
    EXPECT_TRUE(ini.Modified());
  }
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readWholeFile(file), odd);

  TPortableIniFile nowhere(folder.path() + "missing\\folder\\x.ini");
  nowhere.writeString("S", "k", "v");
  EXPECT_FALSE(nowhere.updateFile());
}

// Savers erase a section and write it anew. The same entries written back
// once rewrote the file at every save: what another program had changed
// meanwhile went back, and a read-only file failed every save.
TEST_F(PortableIniFile, ASectionWrittenBackAsItStoodLeavesTheFileAsItIs) {
  const std::string text = "[Main]\r\nName=Savings\r\n\r\n[Props]\r\nGoal=\" high \"\r\nRisk=low\r\n\r\n";
  fileWith(text);
  const int64_t age = fileAge(file);
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    TPortableIniFile ini(file);
    ini.eraseSection("Props");
    ini.writeString("Props", "Goal", quotedWhereNeeded(" high "));
    ini.writeString("Props", "Risk", "low");
    EXPECT_FALSE(ini.Modified());
    EXPECT_TRUE(ini.updateFile());
    // Written back in another order, the section is a change.
    ini.eraseSection("Props");
    ini.writeString("Props", "Risk", "low");
    ini.writeString("Props", "Goal", quotedWhereNeeded(" high "));
    EXPECT_TRUE(ini.Modified());
    EXPECT_FALSE(ini.updateFile());
  }
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(readWholeFile(file), text);
  EXPECT_EQ(fileAge(file), age);

  // An entry fewer or a section gone are changes; a section written again
  // keeps its place in the file.
  const std::vector<std::pair<std::function<void(TPortableIniFile&)>, std::string>> rewrites = {
      {[](TPortableIniFile& ini) {
         ini.eraseSection("Props");
         ini.writeString("Props", "Goal", quotedWhereNeeded(" high "));
       },
       "[Main]\r\nName=Savings\r\n\r\n[Props]\r\nGoal=\" high \"\r\n\r\n"},
      {[](TPortableIniFile& ini) { ini.eraseSection("Props"); }, "[Main]\r\nName=Savings\r\n\r\n"},
      {[](TPortableIniFile& ini) {
         ini.eraseSection("Main");
         ini.writeString("Main", "Name", "Savings");
       },
       text}};
  for (const auto& [rewrite, changed] : rewrites) {
    fileWith(text);
    {
      TPortableIniFile ini(file);
      rewrite(ini);
      EXPECT_TRUE(ini.Modified());
    }
    EXPECT_EQ(readWholeFile(file), changed);
  }
}

TEST_F(PortableIniFile, GarbageFilesReadAsDefaultsWithoutHarm) {
  std::mt19937 random(7);
  std::string garbage(200000, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  std::string nulls = "[S]\r\nk=a\0b\r\n\0\0[T]\0\r\n"s + std::string(1 << 20, 'x') + "=" + std::string(1 << 20, 'y');
  for (const std::string& bytes : {garbage, nulls, "[S]\r\n" + std::string(1 << 20, '=')}) {
    {
      TPortableIniFile ini(fileWith(bytes));
      EXPECT_EQ(ini.readString("Section", "Key", "default"), "default");
      EXPECT_EQ(ini.readInteger("S", "k", 3), 3);
    }
    EXPECT_EQ(readWholeFile(file), bytes);
  }
}

TEST_F(PortableIniFile, EntriesNeverReadBackAsHeadersAndOverlongLinesAreSkipped) {
  {
    TPortableIniFile ini(file);
    ini.writeString("S", "[1", "x]");
    ini.writeString("S", " [a]", "\"b]\"");
    ini.writeString("S", "after", "kept");
    ASSERT_TRUE(ini.updateFile());
  }
  {
    TPortableIniFile ini(file);
    EXPECT_EQ(ini.readString("S", "[1", ""), "x]");
    EXPECT_EQ(ini.readString("S", "after", ""), "kept");
    EXPECT_FALSE(ini.sectionExists("1=x"));
  }
  // A line past 16 MB (a damaged file, or one without line ends) is
  // dropped; the lines after it are read.
  fileWith("[S]\r\nk=1\r\nlong=" + std::string((size_t{1} << 24) + 5, 'y') + "\r\nm=2\r\n");
  TPortableIniFile ini(file);
  EXPECT_EQ(ini.readInteger("S", "k", 0), 1);
  EXPECT_TRUE(ini.readString("S", "long", "none") == "none");
  EXPECT_EQ(ini.readInteger("S", "m", 0), 2);
  EXPECT_FALSE(ini.readFailed());
  // A device is no settings file: nothing is read, and nothing may be written.
  TPortableIniFile device(folder.path() + "aux.ini");
  EXPECT_TRUE(device.readFailed());
}

// A text read ahead of the loader reads as the file would: line ends, the
// end mark, a line too long to keep across the pieces a file is read in.
TEST_F(PortableIniFile, ATextReadAheadReadsAsItsFile) {
  auto everything = [](const TPortableIniFile& ini) {
    TStrings sections;
    ini.readSections(sections);
    TStrings all;
    for (const std::string& section : sections) {
      TStrings entries;
      ini.readSectionValues(section, entries);
      all.push_back("[" + section + "]");
      all.insert(all.end(), entries.begin(), entries.end());
    }
    return all;
  };
  const std::string texts[] = {
      "orphan=x\r\n[Main]\r\n  Key= spaced  \r\nQuoted=\" in \"\r\nHalf=\"open\n;Semi\r\n[main]\rLower=case\r\n"
      "ignored=after\x1a[Gone]\r\nz=3\r\n",
      "[S]\r\nk=1\r\nlong=" + std::string((size_t{1} << 24) + 5, 'y') + "\r\nm=2\r\n",
      "[S]\r\n" + std::string((size_t{1} << 20) - 3, 'k') + "=v\r\n[T]\r\nend=" + std::string(1 << 21, 'w') + "\x1a\r\n",
      "[S]\r\nno end=1",
      "",
  };
  for (const std::string& text : texts) {
    const TPortableIniFile read(fileWith(text));
    const TPortableIniFile readAhead(file, TPortableIniFile::TReadText{text});
    EXPECT_EQ(everything(readAhead), everything(read)) << text.substr(0, 40);
    EXPECT_FALSE(readAhead.Modified());
    EXPECT_FALSE(readAhead.readFailed());
  }
}

// A file held by another program, or a folder under the name, reads as a
// missing one and is named once for the notice; a missing or damaged file
// is no news.
TEST_F(PortableIniFile, FilesThatExistButCannotBeReadAreNamedForTheNotice) {
  takeUnreadableFiles();
  fileWith("[S]\r\nk=1\r\n");
  {
    const THeldFile held(file);
    ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
    TPortableIniFile ini(file);
    EXPECT_EQ(ini.readInteger("S", "k", 7), 7);
    EXPECT_TRUE(ini.readFailed());
    TPortableIniFile again(file);
  }
  const std::string folderName = folder.path() + "folder.ini";
  forceFolders(folderName);
  TPortableIniFile{folderName};
  TPortableIniFile{folder.path() + "missing.ini"};
  TPortableIniFile{fileWith("\xff\xfe junk \x1a")};
  const std::vector<std::string> named = takeUnreadableFiles();
  EXPECT_EQ(named, (std::vector<std::string>{file, folderName}));
  EXPECT_EQ(unreadableFilesNotice(named), "Could not read " + folderName + " and 1 more file; taken as missing.");
  EXPECT_EQ(unreadableFilesNotice({file}), "Could not read " + file + "; taken as missing.");
  EXPECT_TRUE(takeUnreadableFiles().empty());
  // A portfolio that failed to open does not hide the files taken as missing.
  EXPECT_EQ(fileNotice({"Portfolio A not opened.", "Portfolio B not opened."}, {file}),
            "Portfolio B not opened. (and 1 more) Could not read " + file + "; taken as missing.");
  EXPECT_EQ(fileNotice({"Portfolio A not opened."}, {}), "Portfolio A not opened.");
}

// What reading passed over is told apart from a file read whole: a header
// that lost a bracket, another encoding, random bytes, a line too long; a
// blank line or a comment is no damage. Each such file is named once for
// the notice.
TEST_F(PortableIniFile, AFileReadOnlyInPartIsToldApartAndNamed) {
  takePartlyReadFiles();
  takeDamagedFiles();
  const std::vector<std::string> whole = {"", "[S]\r\nk=1\r\n\r\n", "; note\r\n[S]\r\n  k = 1 \r\n\x1a \r\n"};
  for (const std::string& text : whole) {
    EXPECT_FALSE(TPortableIniFile(fileWith(text)).readInPart()) << text;
    EXPECT_FALSE(TPortableIniFile(file, TPortableIniFile::TReadText{text}).readInPart()) << text;
  }
  EXPECT_TRUE(takePartlyReadFiles().empty());
  const std::vector<std::string> damaged = {
      "[S]\r\nk=1\r\n10]\r\nm=2\r\n",            // a header without its bracket
      "k=1\r\n[S]\r\n",                          // an entry before any section
      "\xff\xfe[\0S\0]\0\r\0\n\0k\0=\0001\0"s,  // UTF-16
      "[S]\r\nk=a\0b\r\n"s,                      // a NUL byte
      "[S]\r\nlong=" + std::string((size_t{1} << 24) + 5, 'y') + "\r\nm=2\r\n",
  };
  for (const std::string& text : damaged) {
    {
      TPortableIniFile ini(fileWith(text));
      EXPECT_TRUE(ini.readInPart()) << text.substr(0, 20);
      EXPECT_FALSE(ini.readFailed());
    }
    EXPECT_TRUE(TPortableIniFile(file, TPortableIniFile::TReadText{text}).readInPart()) << text.substr(0, 20);
  }
  // Read twice, named once; those a rewrite could not keep whole apart,
  // each with why.
  EXPECT_EQ(takePartlyReadFiles(), TStrings{file});
  EXPECT_EQ(takeDamagedFiles().size(), 4u);
  EXPECT_EQ(readWholeFile(file), damaged.back());
  EXPECT_EQ(partlyReadFilesNotice({file}), "Could not read all of " + file + "; what could not be read stays as it stands.");
  EXPECT_EQ(fileNotice({"Portfolio A not opened."}, {}, {"a.ini", "b.ini"}),
            "Portfolio A not opened. Could not read all of b.ini and 1 more file; what could not be read stays as it "
            "stands.");
  EXPECT_EQ(fileNotice({}, {}, {"c.ini"}, {"c.ini|holds a line too long to be read"}),
            "Could not read all of c.ini: it holds a line too long to be read. Changes to it are not saved until it "
            "is repaired.");
  EXPECT_EQ(fileNotice({}, {"a.ini"}, {"b.ini"}, {"c.ini|holds a line too long to be read"}),
            "Could not read a.ini; taken as missing. Could not read all of c.ini: it holds a line too long to be "
            "read. Changes to it are not saved until it is repaired. Could not read all of b.ini; what could not be "
            "read stays as it stands.");
}

// What a rewrite would lose: the callers that must not lose another
// program's lines write only a file that read whole.
TEST_F(PortableIniFile, AFileReadsWholeOnlyWhenEveryLineWasKept) {
  const auto whole = [this](const std::string& bytes) { return TPortableIniFile(fileWith(bytes)).readWhole(); };
  EXPECT_TRUE(whole("[List]\r\nName=Shares\r\n\r\n  \r\n[Other]\r\nk= v \r\n\x1a"));
  EXPECT_TRUE(whole(""));
  EXPECT_TRUE(TPortableIniFile(folder.path() + "missing.ini").readWhole()) << "nothing there, nothing to lose";
  EXPECT_FALSE(whole("[List]\r\nName=Shares\r\nno setting\r\n"));
  EXPECT_FALSE(whole("Name=Shares\r\n[List]\r\n")) << "an entry before any section";
  EXPECT_TRUE(whole("[List]\nName=Shares\nChecked=1\n")) << "with no CR anywhere, a line feed ends a line";
  EXPECT_TRUE(whole("\xef\xbb\xbf[List]\r\nName=Shares\r\n")) << "an editor's mark of UTF-8";
  EXPECT_FALSE(whole("[\0L\0i\0s\0t\0]\0\r\0\n\0"s)) << "UTF-16";
  EXPECT_FALSE(whole("[List]\r\nName=Shares\r\n\x1a[Kept]\r\nk=v\r\n"));
  EXPECT_FALSE(whole("[S]\r\nlong=" + std::string((size_t{1} << 24) + 5, 'y') + "\r\n"));
  fileWith("[List]\r\nChecked=1\r\n");
  THeldFile held(file);
  ASSERT_TRUE(held.held());
  EXPECT_FALSE(TPortableIniFile(file).readWhole());
  takeUnreadableFiles();
}

// A rewrite keeps every line the writes did not touch as it stood: what
// another program or the user wrote by hand is never lost to a save. Each
// case: the file, the writes, the file after the rewrite.
TEST_F(PortableIniFile, ARewriteKeepsEveryLineTheWritesDidNotTouch) {
  struct TCase {
    const char* what;
    std::string text;
    std::function<void(TPortableIniFile&)> write;
    std::string rewritten;
  };
  const std::vector<TCase> cases = {
      {"comments, a line that is no entry, blanks and spacing",
       "; by hand\r\n[S]\r\n  a = 1 \r\nreviewed by hand\r\n\r\nb=2\r\n",
       [](TPortableIniFile& ini) { ini.writeString("S", "b", "3"); },
       "; by hand\r\n[S]\r\n  a = 1 \r\nreviewed by hand\r\n\r\nb=3\r\n"},
      {"LF alone, the line ends of another system",
       "[S]\nk=1\nx=2\n",
       [](TPortableIniFile& ini) {
         ini.writeString("S", "k", "5");
         ini.writeString("S", "n", "6");
         ini.writeString("T", "m", "7");
       },
       "[S]\nk=5\nx=2\nn=6\n\n[T]\nm=7\n\n"},
      {"CR alone", "[S]\rk=1\r", [](TPortableIniFile& ini) { ini.writeString("S", "n", "2"); },
       "[S]\rk=1\rn=2\r"},
      {"blanks after the last line end", "[S]\r\nk=1\r\n \t",
       [](TPortableIniFile& ini) { ini.writeString("S", "n", "2"); }, "[S]\r\nk=1\r\nn=2\r\n \t"},
      {"lines another program appended in LF to a file of CR LF keep their line ends",
       "[S]\r\na=1\r\nb=2\nc=3\n",
       [](TPortableIniFile& ini) {
         ini.writeString("S", "b", "7");
         ini.writeString("S", "d", "4");
       },
       "[S]\r\na=1\r\nb=7\nc=3\nd=4\r\n"},
      {"a key repeated: its first place takes the change, the later line goes",
       "[S]\r\nk=1\r\nx=0\r\nK=2\r\n", [](TPortableIniFile& ini) { ini.writeString("S", "k", "3"); },
       "[S]\r\nk=3\r\nx=0\r\n"},
      {"a key repeated stays while another key changes", "[S]\r\nk=1\r\nx=0\r\nK=2\r\n",
       [](TPortableIniFile& ini) { ini.writeString("S", "x", "9"); }, "[S]\r\nk=1\r\nx=9\r\nK=2\r\n"},
      {"a key the file removes again", "[S]\r\nk=1\r\nk=\r\nx=0\r\n",
       [](TPortableIniFile& ini) { ini.writeString("S", "x", "9"); }, "[S]\r\nk=1\r\nk=\r\nx=9\r\n"},
      {"an entry removed, a section erased for good with its blank lines, its comment kept",
       "[S]\r\nk=1\r\nx=0\r\n\r\n[Gone]\r\n; why\r\ng=1\r\n\r\n[T]\r\nt=1\r\n",
       [](TPortableIniFile& ini) {
         ini.writeString("S", "x", "");
         ini.eraseSection("Gone");
       },
       "[S]\r\nk=1\r\n\r\n; why\r\n[T]\r\nt=1\r\n"},
      {"a section erased for good takes the lines that removed one of its keys",
       "[A]\r\nk=5\r\n[S]\r\nk=1\r\nk=\r\n; kept\r\n", [](TPortableIniFile& ini) { ini.eraseSection("S"); },
       "[A]\r\nk=5\r\n; kept\r\n"},
      {"a section of two headers erased and written again: its entries stay under its header",
       "[S]\r\na=1\r\n[T]\r\nt=1\r\n[S]\r\nb=2\r\n",
       [](TPortableIniFile& ini) {
         ini.eraseSection("S");
         ini.writeString("S", "c", "3");
       },
       "[S]\r\n[T]\r\nt=1\r\n[S]\r\nc=3\r\n"},
      {"a section erased and written again keeps its place", "[A]\r\na=1\r\n\r\n[B]\r\nb=1\r\n; note\r\n",
       [](TPortableIniFile& ini) {
         ini.eraseSection("A");
         ini.writeString("A", "a", "2");
       },
       "[A]\r\na=2\r\n\r\n[B]\r\nb=1\r\n; note\r\n"},
      {"the same section twice", "[S]\r\na=1\r\n[T]\r\nt=1\r\n[S]\r\nb=2\r\n",
       [](TPortableIniFile& ini) {
         ini.writeString("S", "a", "3");
         ini.writeString("S", "c", "4");
       },
       "[S]\r\na=3\r\n[T]\r\nt=1\r\n[S]\r\nb=2\r\nc=4\r\n"},
      {"what follows the end mark", "[S]\r\nk=1\r\n\x1amore",
       [](TPortableIniFile& ini) { ini.writeString("T", "n", "2"); },
       "[S]\r\nk=1\r\n\r\n[T]\r\nn=2\r\n\r\n\x1amore"},
      {"an editor's mark of UTF-8", "\xef\xbb\xbf[S]\r\nk=1\r\n",
       [](TPortableIniFile& ini) { ini.writeString("S", "k", "2"); }, "\xef\xbb\xbf[S]\r\nk=2\r\n"},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.what);
    fileWith(test.text);
    {
      TPortableIniFile ini(file);
      test.write(ini);
      ASSERT_TRUE(ini.updateFile());
      // Written, the object holds what reading the file gives: a second
      // write keeps the lines of the first.
      EXPECT_EQ(readWholeFile(file), test.rewritten);
      EXPECT_EQ(ini.contentText(), TPortableIniFile(file).contentText());
    }
    EXPECT_EQ(readWholeFile(file), test.rewritten);
    fileWith(test.text);
    {
      TPortableIniFile ini(file);
      test.write(ini);
      ASSERT_TRUE(ini.updateFileInPlace(false));
    }
    EXPECT_EQ(readWholeFile(file), test.rewritten) << "in place";
  }
  takePartlyReadFiles();
  // Read with LF as its line end, the file's values read as they stand.
  const TPortableIniFile lineFeeds(fileWith("[Portfolio]\nName=Growth\nTargetReturn= 5.0E-0002\n"));
  EXPECT_EQ(lineFeeds.readString("Portfolio", "Name", ""), "Growth");
  EXPECT_EQ(lineFeeds.readFloat("Portfolio", "TargetReturn", 0), 0.05);
}

// Another program cut the file short while the program ran ("Width=140" now
// "Width=14"): a save of a change would make the cut value the file's for
// good. A file whose last line has no line end is refused, byte for byte,
// and why is told, at a read as at a save; blanks after the last line end
// are no cut.
TEST_F(PortableIniFile, AFileCutOffInsideItsLastLineTakesNoWriteAndSaysWhy) {
  const std::string whole = "[Columns]\r\nName=120\r\nWidth=140\r\n";
  const std::string cut = "[Columns]\r\nName=120\r\nWidth=14";
  const std::string why = "is cut off inside its last line";
  fileWith(whole);
  TPortableIniFile atStart(file);
  EXPECT_EQ(atStart.writeRefusal(), "");
  takeDamagedFiles();
  fileWith(cut);
  {
    // A save reads the file as it stands now, and writes the change there.
    TPortableIniFile now(file);
    EXPECT_TRUE(now.endsInsideLine());
    EXPECT_EQ(now.writeRefusal(), why);
    const std::string before = atStart.contentText();
    TPortableIniFile changed(file, TPortableIniFile::TContent{before});
    changed.writeInteger("Columns", "Name", 90);
    EXPECT_TRUE(now.writeChanges(TPortableIniFile(file, TPortableIniFile::TContent{before}), changed));
    EXPECT_FALSE(now.updateFile());
  }
  EXPECT_EQ(readWholeFile(file), cut);
  EXPECT_EQ(refusedSaveText(file), file + " " + why);
  EXPECT_EQ(takeDamagedFiles(), TStrings{file + "|" + why});
  for (const std::string& text : {cut + "\x1a", "[Columns]\nWidth=14"s, "[Columns]\r\n; note"s}) {
    TPortableIniFile ini(fileWith(text));
    EXPECT_EQ(ini.writeRefusal(), why) << text;
  }
  takeDamagedFiles();
  // Mended, it takes the change, and the refusal is forgotten.
  TPortableIniFile mended(fileWith(cut + "0\r\n \t"));
  EXPECT_EQ(mended.writeRefusal(), "");
  mended.writeInteger("Columns", "Name", 90);
  EXPECT_TRUE(mended.updateFile());
  EXPECT_EQ(readWholeFile(file), "[Columns]\r\nName=90\r\nWidth=140\r\n \t");
  EXPECT_EQ(refusedSaveText(file), "");
}

// A change that only removes (a month name emptied) finds nothing to
// remove in a file that takes no writes, which may hold it where reading
// passed over: it was once taken as no change and reported saved. It is
// refused as any other change, the file byte for byte as it was.
TEST_F(PortableIniFile, ARemovalFromAFileThatTakesNoWritesIsRefused) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xff\xfe[\0M\0]\0\r\0\n\0"s, "is saved as Unicode (UTF-16), not as ANSI text"},
      {"[Look]\r\nColour=gr", "is cut off inside its last line"}};
  TPortableIniFile before(file, TPortableIniFile::TNewFile{});
  before.writeString("Months", "3", "March");
  before.writeString("Gone", "k", "1");
  TPortableIniFile after(file, TPortableIniFile::TNewFile{});
  after.writeString("Months", "Description", "");
  for (const auto& [damaged, why] : cases) {
    SCOPED_TRACE(why);
    TPortableIniFile ini(fileWith(damaged));
    EXPECT_TRUE(ini.writeChanges(before, after));
    EXPECT_TRUE(ini.Modified());
    EXPECT_FALSE(ini.updateFile());
    EXPECT_EQ(readWholeFile(file), damaged);
    EXPECT_EQ(refusedSaveText(file), file + " " + why);
  }
  takeDamagedFiles();
  takePartlyReadFiles();
}

// A save does not read the file it wrote again: the object keeps its own
// records true. Whatever the writes, after a save it holds what reading the
// file gives, and its next save writes what an object that read the file
// afresh would.
TEST_F(PortableIniFile, AfterASaveTheObjectHoldsWhatReadingTheFileGives) {
  const std::string start =
      "\xef\xbb\xbf; head\r\n[S]\r\na=1\r\nk=1\nK=2\r\n\r\n[T]\r\nt=1\r\nb=\r\n[S]\r\nb=2\r\n; note\r\n"
      "[Gone]\r\nk=1\r\nk=\r\n\r\n[U]\ru=1\r\n";
  const char* sections[] = {"S", "T", "U", "New", "Gone"};
  const char* keys[] = {"a", "b", "K", "k", "[x", " lead", "long key of its own"};
  const char* values[] = {"", "1", "two", " spaced ", "y]", "\"q\""};
  const std::string fresh = folder.path() + "fresh.ini";
  std::mt19937 random(11);
  const auto pick = [&](const auto& from) { return from[random() % std::size(from)]; };
  fileWith(start);
  TPortableIniFile kept(file);
  for (int batch = 0; batch < 150; ++batch) {
    std::vector<std::function<void(TPortableIniFile&)>> writes;
    for (int count = 1 + random() % 4; count > 0; --count) {
      const std::string section = pick(sections), key = pick(keys), value = pick(values);
      switch (random() % 4) {
        case 0: writes.push_back([=](TPortableIniFile& ini) { ini.eraseSection(section); }); break;
        case 1:
          writes.push_back([=](TPortableIniFile& ini) {
            ini.eraseSection(section);
            ini.writeString(section, key, value.empty() ? "1" : value);
          });
          break;
        default: writes.push_back([=](TPortableIniFile& ini) { ini.writeString(section, key, value); }); break;
      }
    }
    writeWholeFile(fresh, readWholeFile(file));
    TPortableIniFile afresh(fresh);
    for (const auto& write : writes) {
      write(kept);
      write(afresh);
    }
    ASSERT_TRUE(kept.updateFile());
    ASSERT_TRUE(afresh.updateFile());
    ASSERT_EQ(readWholeFile(file), readWholeFile(fresh)) << "batch " << batch;
    ASSERT_EQ(kept.contentText(), TPortableIniFile(file).contentText()) << "batch " << batch;
    ASSERT_FALSE(kept.Modified());
  }
  takeDamagedFiles();
  takePartlyReadFiles();
}
