#include "tests/support/ToolButtonPictures.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ExtControls.h"
#include "tests/support/WindowTestSupport.h"

namespace {

void collect(const TControl& control, std::vector<TToolButton*>& found) {
  for (TControl* child : control.children()) {
    if (auto* button = dynamic_cast<TToolButton*>(child)) found.push_back(button);
    collect(*child, found);
  }
}

}  // namespace

std::vector<TToolButton*> toolButtonsIn(const TControl& root) {
  std::vector<TToolButton*> found;
  collect(root, found);
  return found;
}

TToolButton* toolButtonNamed(const TControl& root, const std::string& caption) {
  for (TToolButton* button : toolButtonsIn(root))
    if (button->text() == caption) return button;
  return nullptr;
}

namespace {

int colouredPixelsOf(const TScreenImage& image) {
  int coloured = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const uint32_t pixel = image.pixel(x, y);
      const int red = static_cast<int>(pixel >> 16 & 0xFF), green = static_cast<int>(pixel >> 8 & 0xFF),
                blue = static_cast<int>(pixel & 0xFF);
      if (std::max({red, green, blue}) - std::min({red, green, blue}) > 60) ++coloured;
    }
  }
  return coloured;
}

}  // namespace

int colouredPixels(const TToolButton& button) { return colouredPixelsOf(captureClient(button.handle())); }

void expectPictureButtons(const TControl& root, const std::vector<std::string>& names, const std::string& pngName) {
  captureWindow(root.handle()).savePng(pngName);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    TToolButton* button = toolButtonNamed(root, name);
    ASSERT_NE(button, nullptr);
    std::string hint = name;
    hint.erase(std::remove(hint.begin(), hint.end(), '&'), hint.end());
    EXPECT_EQ(button->hint(), hint);
    EXPECT_TRUE(button->visible());
    const bool wasEnabled = button->enabled();
    button->setEnabled(true);
    const TScreenImage shown = captureClient(button->handle());
    EXPECT_GE(colouredPixelsOf(shown), 8);
    button->setEnabled(false);
    const TScreenImage grey = captureClient(button->handle());
    EXPECT_EQ(colouredPixelsOf(grey), 0);
    EXPECT_NE(grey, shown);
    button->setEnabled(wasEnabled);
  }
}

int goldKeyPixels(const TControl& statusBar) {
  const TScreenImage bar = captureClient(statusBar.handle());
  int gold = 0;
  for (int y = 0; y < bar.height(); ++y)
    for (int x = bar.width() - 20; x < bar.width(); ++x)
      if (bar.pixel(x, y) == 0xFFCD00) ++gold;
  return gold;
}
