#include <gtest/gtest.h>

#include "platform/GuidText.h"
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
