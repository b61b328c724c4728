#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/EditAsTextForm.h"
#include "controls/EditPanel.h"
#include "controls/ScrollBarEx.h"
#include "model/PortableIniFile.h"
#include "platform/StdControls.h"
#include "platform/Timer.h"
#include "platform/ToolTips.h"
#include "tests/support/TestFolders.h"

namespace {

// Acts on the dialog once it shows: editAsText makes its own.
std::unique_ptr<TTimer> whenShown(std::function<void(TeditAsTextForm&)> action) {
  auto timer = std::make_unique<TTimer>(30);
  TTimer* self = timer.get();
  timer->onTimer = [self, action] {
    auto* dialog = dynamic_cast<TeditAsTextForm*>(TControl::fromHandle(GetActiveWindow()));
    if (!dialog || !dialog->modal()) return;
    self->setEnabled(false);
    action(*dialog);
  };
  timer->setEnabled(true);
  return timer;
}

TEST(EditAsText, OkJoinsTheLinesAndCancelKeepsTheText) {
  TTemporaryFolder folder;
  const std::string layout = folder.path() + "GUIoptions.INI";
  {
    TPortableIniFile file(layout);
    file.writeInteger("EditAsText", "Width", 450);
    file.writeInteger("EditAsText", "FontSize", 12);
  }
  std::string text = "one\r\ntwo";
  int width = 0, fontSize = 0;
  std::string okHint;
  auto accept = whenShown([&](TeditAsTextForm& dialog) {
    okHint = dialog.hints().hint(dialog.okBtn());
    width = dialog.width();
    fontSize = dialog.fontAttributeSets().find(0)->size;
    dialog.editPanel().insertText("\nthree");
    dialog.okBtn().performClick();
  });
  ASSERT_TRUE(editAsText(layout, "", nullptr, text));
  EXPECT_EQ(text, "one\r\ntwo\r\nthree");
  EXPECT_EQ(width, 450);
  EXPECT_EQ(fontSize, 12);
  EXPECT_EQ(okHint, "Close and keep changes");
  TPortableIniFile saved(layout);
  EXPECT_EQ(saved.readInteger("EditAsText", "Width", 0), 450);
  EXPECT_EQ(saved.readString("EditAsText", "FontName", ""), "MS Sans Serif");

  auto cancel = whenShown([](TeditAsTextForm& dialog) {
    dialog.editPanel().insertText("lost");
    dialog.discardBtn().performClick();
  });
  EXPECT_FALSE(editAsText(layout, "", nullptr, text));
  EXPECT_EQ(text, "one\r\ntwo\r\nthree");
}

TEST(EditAsText, TheTextArrivesWithThePanelEnteredAndItsBarsSet) {
  TTemporaryFolder folder;
  std::string text;
  for (int line = 0; line < 60; ++line) text += "line " + std::to_string(line) + "\r\n";
  bool focused = false;
  bool entered = false;
  int barMaximum = 0;
  auto look = whenShown([&](TeditAsTextForm& dialog) {
    focused = dialog.editPanel().focused();
    entered = dialog.editPanel().editorStatus()->selectionBackgroundColour == clHighlight;
    barMaximum = dialog.editPanel().verticalBar().max();
    dialog.discardBtn().performClick();
  });
  EXPECT_FALSE(editAsText(folder.path() + "GUIoptions.INI", "", nullptr, text));
  EXPECT_TRUE(focused);
  EXPECT_TRUE(entered);
  EXPECT_GE(barMaximum, 60);
}

}  // namespace
