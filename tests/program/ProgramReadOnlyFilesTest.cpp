#include <regex>

#include "tests/program/ProgramDriver.h"
#include "tests/program/WindowFiles.h"

// A read-only window file nobody changed once raised "Failed to save" at
// every close; nothing is written into it now, and the close asks nothing.
// Its numbers are spelled as a hand would write them, so that writing the
// same values again would change the file and show.
TEST(Program, ReadOnlyWindowFilesNobodyChangedRaiseNoQuestionAtTheClose) {
  TTemporaryFolder temporary;
  const std::string work = workingFolderWithEveryWindowFile(temporary);
  const std::vector<std::string> files = windowFiles(work);
  const std::regex floatForm(R"(= ?(-?\d\.\d*?)0*E)");
  size_t respelled = 0;
  for (const std::string& file : files) {
    const std::string text = readWholeFile(file);
    const std::string shorter = std::regex_replace(text, floatForm, "=$1E");
    respelled += shorter != text;
    writeWholeFile(file, shorter);
  }
  ASSERT_GE(respelled, 5u);
  std::map<std::string, std::string> before;
  readTree(work, "", before);
  for (const std::string& file : files) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    TProgram program(work);
    HWND main = mainWindowAfterThePick(program);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(visitEveryTabAndClose(program, main, [] {}));
  }
  for (const std::string& file : files) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  expectFilesAsTheyWere(work, before);
}

// An emptied transaction file once showed as a line numbered -1, dated at
// the start, that the close wrote over the file: the purchase it held was
// gone without a word. Its portfolio now stays closed, the line at the
// foot of the main window names the file, and the close leaves it and
// every other file of the user's as they were.
TEST(Program, AnEmptiedTransactionFileIsNamedAtTheStartAndLeftAsItIs) {
  TTemporaryFolder temporary;
  const std::string work = prepareWorkingFolder(temporary);
  // A first run takes what any start writes, its systems' runs among them.
  ASSERT_TRUE(startAndClose(work));
  writeWholeFile(work + "DATA\\FOLIOS\\1\\1.TRN\\1.INI", "");
  const std::map<std::string, std::string> before = userFiles(work);
  TProgram program(work);
  HWND main = mainWindowAfterThePick(program);
  ASSERT_NE(main, nullptr);
  HWND bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  ASSERT_NE(bar, nullptr);
  char text[1024] = {};
  EXPECT_TRUE(pumpUntil(
      [&] {
        return IsWindowVisible(bar) && SendMessageA(bar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)) > 0;
      },
      busyMachine()));
  std::string told = text;
  for (char& c : told) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_NE(told.find("\\FOLIOS\\1\\1.INI (NORDWIND ENERGIE AG (NWE)): ITS TRANSACTION FILE 1.TRN\\1.INI HOLDS NO "
                      "TRANSACTION"),
            std::string::npos)
      << text;
  EXPECT_TRUE(visitEveryTabAndClose(program, main, [] {}));
  // The other portfolio's system runs again with one portfolio less open,
  // and writes what the run gives.
  const auto outsideTheOpenPortfolio = [](std::map<std::string, std::string> files) {
    std::erase_if(files, [](const auto& file) { return file.first.starts_with("FOLIOS\\2\\"); });
    return files;
  };
  const std::map<std::string, std::string> after = outsideTheOpenPortfolio(userFiles(work));
  std::string changed;
  for (const auto& [name, bytes] : outsideTheOpenPortfolio(before))
    if (!after.contains(name) || after.at(name) != bytes) changed += name + " ";
  EXPECT_EQ(changed, "");
  EXPECT_EQ(after.size(), outsideTheOpenPortfolio(before).size());
}
