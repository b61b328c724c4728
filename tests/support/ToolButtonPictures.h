#pragma once
#include <string>
#include <vector>

class TControl;
class TToolButton;

// Checks of the tool buttons a user sees: each shows a picture (pixels of a
// colour, which no caption text has) in place of its caption, a grey one
// while disabled, and keeps its hint and its caption, which names it to
// screen readers.

// The tool buttons inside the control, however deep, in child order.
std::vector<TToolButton*> toolButtonsIn(const TControl& root);
TToolButton* toolButtonNamed(const TControl& root, const std::string& caption);
// The pixels of the button on the screen far from grey (a picture's colours).
int colouredPixels(const TToolButton& button);
// The gold pixels of the key or lock at the end of a status bar, which a
// secure page turns gold.
int goldKeyPixels(const TControl& statusBar);

// Expects each named button inside the control to show its picture, grey
// when disabled, with the name as caption and hint; the button's enabled
// state is put back. The hint is the name without its Alt key's mark. Saves a grab of the control as the named PNG.
void expectPictureButtons(const TControl& root, const std::vector<std::string>& names, const std::string& pngName);
