#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/PortableIniFile.h"
#include "platform/ExtControls.h"
#include "platform/Form.h"
#include "platform/Panel.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WindowTestSupport.h"
#include "windows/ToolBarOptions.h"

namespace {

// A window's control bar of three groups, as the data windows build theirs.
struct TToolBarFixture {
  TToolBarFixture() : form(mainWindowOptions("Tool groups", 800, 200)), bar(form.add<TControlBar>()) {
    bar.setBounds(0, 0, 800, 26);
    const char* names[] = {"First", "Second", "Third"};
    const int widths[] = {120, 80, 150};
    for (int i = 0; i < 3; ++i) {
      TPanel& panel = bar.add<TPanel>();
      panel.name = names[i];
      panel.setSize(widths[i], 22);
      panels.push_back(&panel);
      bar.addBand(panel, TControlBar::bandWidthFor(panel));
    }
    form.show();
  }
  std::vector<TToolGroupSection> groups() const {
    return {{"FirstControls", panels[0]}, {"SecondControls", panels[1]}, {"ThirdControls", panels[2]}};
  }

  TForm form;
  TControlBar& bar;
  std::vector<TPanel*> panels;
};

// The place each group's "Left" and "Top" hold after one start and close.
std::vector<int> startAndClose(const std::string& fileName) {
  TToolBarFixture fixture;
  TToolGroupPlaces places;
  places.read(TPortableIniFile(fileName), fixture.bar, fixture.groups());
  TPortableIniFile ini(fileName);
  places.write(ini, fixture.groups());
  std::vector<int> written;
  for (const char* section : {"FirstControls", "SecondControls", "ThirdControls"}) {
    written.push_back(ini.readInteger(section, "Left", -1));
    written.push_back(ini.readInteger(section, "Top", -1));
  }
  return written;
}

}  // namespace

// The groups once moved right by the bands' borders at every start and close,
// until they left the window.
TEST(ToolBarOptions, GroupsStayWhereTheyWereAcrossStartsAndCloses) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Controls.INI";
  writeWholeFile(fileName,
                 "[FirstControls]\r\nLeft=11\r\nTop=2\r\n[SecondControls]\r\nLeft=300\r\nTop=2\r\n"
                 "[ThirdControls]\r\nLeft=500\r\nTop=2\r\n");
  const std::vector<int> first = startAndClose(fileName);
  for (int run = 0; run < 4; ++run) EXPECT_EQ(startAndClose(fileName), first) << run;
  EXPECT_NEAR(first[2], 300, 4);
  EXPECT_NEAR(first[4], 500, 4);
}

TEST(ToolBarOptions, DamagedPlacesKeepEveryGroupInTheBar) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Controls.INI";
  for (const char* value : {"2147483647", "-2147483648", "30000"}) {
    std::string text;
    for (const char* section : {"FirstControls", "SecondControls", "ThirdControls"})
      text += std::string("[") + section + "]\r\nLeft=" + value + "\r\nTop=" + value + "\r\n";
    writeWholeFile(fileName, text);
    TToolBarFixture fixture;
    TToolGroupPlaces().read(TPortableIniFile(fileName), fixture.bar, fixture.groups());
    for (const TPanel* panel : fixture.panels) {
      EXPECT_GE(panel->left(), 0) << value;
      EXPECT_LE(panel->left() + panel->width(), 800) << value;
    }
    EXPECT_LE(fixture.bar.height(), 3 * 30) << value;
  }
}

// A group the user has not moved since it was read is written back as read;
// one the user moves is written where it is.
TEST(ToolBarOptions, OnlyGroupsTheUserMovedAreWrittenWhereTheyAre) {
  TTemporaryFolder folder;
  const std::string fileName = folder.path() + "Controls.INI";
  const std::string text =
      "[FirstControls]\r\nLeft=11\r\nTop=2\r\nVisible=1\r\n\r\n[SecondControls]\r\nLeft=300\r\nTop=2\r\n"
      "Visible=1\r\n\r\n[ThirdControls]\r\nLeft=593\r\nTop=2\r\nVisible=1\r\n\r\n";
  writeWholeFile(fileName, text);
  TToolBarFixture fixture;
  TToolGroupPlaces places;
  places.read(TPortableIniFile(fileName), fixture.bar, fixture.groups());
  {
    TPortableIniFile ini(fileName);
    places.write(ini, fixture.groups());
  }
  EXPECT_EQ(readWholeFile(fileName), text);

  fixture.panels[0]->setBounds(40, fixture.panels[0]->top(), fixture.panels[0]->width(), 22);
  TPortableIniFile ini(fileName);
  places.write(ini, fixture.groups());
  EXPECT_EQ(ini.readInteger("FirstControls", "Left", -1), 40);
  EXPECT_EQ(ini.readInteger("ThirdControls", "Left", -1), 593);
}
