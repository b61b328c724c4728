#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "platform/Colors.h"
#include "platform/FontStyle.h"

// A font description with its GDI handle made on first use. Copies share the
// handle until one of them is changed; the handle goes with the last copy.
class TFont {
 public:
  TFont();  // the system's message font (what dialogs show)
  TFont(const std::string& name, int size, unsigned style = 0);

  const std::string& name() const { return name_; }
  // Size in points; the height in pixels follows the screen's resolution.
  int size() const;
  int height() const { return height_; }  // negative: character height in pixels
  unsigned style() const { return style_; }
  TColor color() const { return color_; }

  void setName(const std::string& name);
  void setSize(int points);
  void setHeight(int pixels);
  void setStyle(unsigned style);
  void setColor(TColor color) { color_ = color; }

  HFONT handle() const;
  LOGFONTA logFont() const;
  static TFont fromLogFont(const LOGFONTA& font);

  bool operator==(const TFont& other) const;

 private:
  void changed() { handle_.reset(); }

  std::string name_;
  int height_ = -11;
  unsigned style_ = 0;
  TColor color_ = clWindowText;
  mutable std::shared_ptr<std::remove_pointer_t<HFONT>> handle_;
};

// Pixels a point measures on the screen (logical pixels per inch / 72).
int screenPixelsPerInch();
