#include <gtest/gtest.h>

#include "controls/GetStringForm.h"
#include "controls/GetThresholdForm.h"
#include "controls/SpeedButton.h"
#include "controls/SpinButton.h"
#include "platform/Application.h"
#include "platform/DateTimePicker.h"
#include "platform/StdControls.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TEST(ThresholdPrompt, RefusesTextThatIsNoNumber) {
  TgetThresholdForm form;
  double threshold = 1E25;
  bool above = false;
  bool stillOpen = false;
  std::string shown;
  TModalDriver driver(form, {[&] {
                         shown = form.thresholdEdit().text();
                         EXPECT_TRUE(form.belowSpeedBtn().down());
                         // The spin button steps at once while held, and rests when released.
                         form.thresholdEdit().setText("2.5");
                         HWND spin = form.thresholdUpDown().handle();
                         sendMouse(spin, WM_LBUTTONDOWN, 4, 2, MK_LBUTTON);
                         EXPECT_EQ(form.thresholdEdit().text(), "3.5");
                         EXPECT_EQ(form.thresholdUpDown().position(), 1);
                         sendMouse(spin, WM_LBUTTONUP, 4, 2);
                         EXPECT_EQ(form.thresholdUpDown().position(), 0);
                         form.thresholdEdit().setText("abc");
                         form.okBtn().performClick();
                       },
                       [&] {
                         stillOpen = form.visible();
                         form.aboveSpeedBtn().setDown(true);
                         form.thresholdEdit().setText("12.5");
                         form.okBtn().performClick();
                       }});
  ASSERT_TRUE(form.execute(threshold, above, 1));
  EXPECT_EQ(shown, "1E25");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(threshold, 12.5);
  EXPECT_TRUE(above);
}

TEST(ThresholdPrompt, DatesAreWholeDays) {
  TgetThresholdForm form;
  double threshold = 45123.75;
  bool above = true;
  double shown = 0;
  TModalDriver driver(form, {[&] {
    EXPECT_FALSE(form.thresholdEdit().visible());
    shown = form.dateTimePicker().dateTime();
    form.okBtn().performClick();
  }});
  ASSERT_TRUE(form.execute(threshold, above, 3));
  EXPECT_EQ(static_cast<int>(shown), 45123);
  EXPECT_EQ(threshold, 45123);
}

TEST(StringPrompt, EnterAcceptsAndEscCloses) {
  TgetStringForm form;
  std::string text = "old";
  {
    TModalDriver accept(form, {[&] {
      form.edit().setText("new");
      postKey(form.edit().handle(), VK_RETURN);
    }});
    EXPECT_TRUE(form.execute({50, 60}, "Name", text));
  }
  EXPECT_EQ(text, "new");
  EXPECT_EQ(form.left(), 50);
  {
    TModalDriver cancel(form, {[&] {
      form.edit().setText("other");
      postKey(form.edit().handle(), VK_ESCAPE);
    }});
    EXPECT_FALSE(form.execute({50, 60}, "Name", text));
  }
  EXPECT_EQ(text, "new");
}

// Each opening, whatever field the last one ended in, the keys are in the
// field to fill: the number, the date or the text.
TEST(Prompts, EachOpensWithTheKeysInItsField) {
  TgetThresholdForm threshold;
  for (int kind : {1, 3, 1}) {
    HWND focused = nullptr;
    TModalDriver driver(threshold, {[&] {
                          focused = focusInside(threshold.handle());
                          threshold.okBtn().setFocus();
                          threshold.okBtn().performClick();
                        }});
    double value = 2;
    bool above = true;
    threshold.execute(value, above, kind);
    EXPECT_EQ(focused, kind == 3 ? threshold.dateTimePicker().picker().handle() : threshold.thresholdEdit().handle())
        << "kind " << kind;
  }
  TgetStringForm prompt;
  for (int opening = 0; opening < 2; ++opening) {
    HWND focused = nullptr;
    TModalDriver driver(prompt, {[&] {
                          focused = focusInside(prompt.handle());
                          postKey(prompt.edit().handle(), VK_ESCAPE);
                        }});
    std::string text = "old";
    prompt.execute({50, 60}, "Name", text);
    EXPECT_EQ(focused, prompt.edit().handle());
  }
}

}  // namespace
