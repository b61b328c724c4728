#include <gtest/gtest.h>

#include "platform/Dialogs.h"
#include "platform/GuidText.h"
#include "platform/MaskEdit.h"
#include "platform/StdControls.h"
#include "macros/AddEngineForm.h"
#include "tests/support/WindowTestSupport.h"

TEST(AddEngineForm, OkWaitsForAllFourFieldsAndEnterAcceptsOnlyThen) {
  TaddEngineForm dialog;
  TEngineRecordFields fields;
  fields.menuName = "&XScript";
  fields.description = "XScript";
  fields.fileFilter = "*.xs";
  dialog.setFields(fields);
  EXPECT_TRUE(dialog.okBtn().enabled());  // the null class id is a class id
  dialog.catIdMaskEdit().setText("{F414C260-6AC0-11CF-B6D1-00AA00BBBBZ8}");
  EXPECT_FALSE(dialog.okBtn().enabled());
  dialog.catIdMaskEdit().setText("{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}");
  dialog.descriptionEdit().setText("   ");
  EXPECT_FALSE(dialog.okBtn().enabled());

  // Enter with OK disabled closes without accepting.
  TModalDriver refused(dialog, {[&] { postKey(dialog.descriptionEdit().handle(), VK_RETURN); }});
  dialog.showModal();
  EXPECT_FALSE(dialog.accepted());

  dialog.descriptionEdit().setText("  JScript ");
  ASSERT_TRUE(dialog.okBtn().enabled());
  TModalDriver accepted(dialog, {[&] { postKey(dialog.descriptionEdit().handle(), VK_RETURN); }});
  dialog.showModal();
  EXPECT_TRUE(dialog.accepted());
  EXPECT_EQ("JScript", dialog.fields().description);
  EXPECT_EQ("{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}", guidToText(dialog.fields().classId));
}

// The class id box is always full: typing overwrites the digits from the
// caret and steps over the braces and dashes, deleting leaves blanks.
TEST(AddEngineForm, TypingOverwritesTheClassIdFromTheCaret) {
  TaddEngineForm dialog;
  TEngineRecordFields fields;
  fields.menuName = "&XScript";
  fields.description = "XScript";
  fields.fileFilter = "*.xs";
  dialog.setFields(fields);
  dialog.showModeless();
  HWND box = dialog.catIdMaskEdit().handle();
  SetFocus(box);
  postKey(box, VK_HOME);
  postKey(box, VK_RIGHT);
  for (char digit : std::string("b54f37415b0711cfa4b000aa004a55e8")) postChar(box, digit);
  EXPECT_EQ("{b54f3741-5b07-11cf-a4b0-00aa004a55e8}", dialog.catIdMaskEdit().text());
  ASSERT_TRUE(dialog.okBtn().enabled());
  EXPECT_EQ("{B54F3741-5B07-11CF-A4B0-00AA004A55E8}", guidToText(dialog.fields().classId));
  // Past the last place nothing more goes in.
  postChar(box, '7');
  EXPECT_EQ("{b54f3741-5b07-11cf-a4b0-00aa004a55e8}", dialog.catIdMaskEdit().text());

  postChar(box, '\b');  // over the brace to the last digit
  postChar(box, '\b');
  EXPECT_EQ("{b54f3741-5b07-11cf-a4b0-00aa004a55##}", dialog.catIdMaskEdit().text());
  EXPECT_FALSE(dialog.okBtn().enabled());
  postChar(box, '1');
  postChar(box, '2');
  EXPECT_EQ("{b54f3741-5b07-11cf-a4b0-00aa004a5512}", dialog.catIdMaskEdit().text());
  EXPECT_TRUE(dialog.okBtn().enabled());

  // A typed dash at a dash steps over it; Delete blanks the digit after it.
  dialog.catIdMaskEdit().setSelection(9, 9);
  sendKey(box, VK_DELETE);
  EXPECT_EQ("{b54f3741-#b07-11cf-a4b0-00aa004a5512}", dialog.catIdMaskEdit().text());
  postChar(box, '-');
  postChar(box, 'c');
  EXPECT_EQ("{b54f3741-cb07-11cf-a4b0-00aa004a5512}", dialog.catIdMaskEdit().text());

  // A selection typed over is blanked first; a pasted class id fills it all.
  dialog.catIdMaskEdit().setSelection(0, 38);
  postChar(box, 'f');
  EXPECT_EQ("{f#######-####-####-####-############}", dialog.catIdMaskEdit().text());
  ASSERT_TRUE(setClipboardText("{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}"));
  dialog.catIdMaskEdit().setSelection(0, 0);
  PostMessageA(box, WM_CHAR, 0x16, 1);  // Ctrl+V
  pumpFor(30);
  EXPECT_EQ("{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}", dialog.catIdMaskEdit().text());
  EXPECT_TRUE(dialog.okBtn().enabled());
}
