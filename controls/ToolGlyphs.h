#pragma once
#include <map>
#include <string>

#include "platform/ImageList.h"

class TButton;
class TCanvas;
class TControl;
class TToolButton;
class TToolTips;

// The pictures of the tool buttons and of the small status images, drawn by
// the program at 16 x 16 under the names the windows know them by ("BACKBMP",
// "GOBMP", ...). Each picture comes with a disabled look: its shape in grey
// with a light edge, without any of its colours.
class TToolGlyphs {
 public:
  static constexpr int size = 16;

  // Shows the named picture on the button, and its disabled look while the
  // button is disabled. The caption stays: it names the button to screen
  // readers, the picture shows instead of it.
  void apply(TToolButton& button, const std::string& name);
  // The same on a push button, which the keyboard reaches as well.
  void apply(TButton& button, const std::string& name);
  // A push button of a tool bar showing the named picture, 28 x 24 at left,
  // top of the parent, with its hint; left moves past it and the gap after
  // it. The caption names the button to screen readers.
  TButton& pictureButton(TControl& parent, TToolTips& hints, const std::string& caption, const std::string& hint,
                         const std::string& name, int& left, int top);
  // The image of the named picture in images() (its disabled look follows
  // it), drawn on first use; -1 for a name the program has no picture of.
  int indexOf(const std::string& name);
  const TImageList& images() const { return images_; }
  // Draws the named picture (or its disabled look) at x, y; nothing for an
  // unknown name.
  void draw(TCanvas& canvas, int x, int y, const std::string& name, bool disabled = false);

 private:
  TImageList images_{size, size};
  std::map<std::string, int> indices_;
};

// Draws the named picture on a canvas at x, y over what is there; false (and
// nothing drawn) for a name the program has no picture of.
bool drawToolGlyph(TCanvas& canvas, int x, int y, const std::string& name);

// Shows the named picture on a push button, over the button's face colour;
// a size below 16 shows the middle of the picture only. The caption stays
// the button's name for screen readers.
void setButtonGlyph(TButton& button, const std::string& name, int size = TToolGlyphs::size);
