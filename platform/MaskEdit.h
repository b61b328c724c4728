#pragma once
#include <string>

#include "platform/StdControls.h"

// An edit whose text keeps the shape of a mask: each 'C' of the mask is a
// place for any character, every other character stands as it is. Typing
// overwrites the place at or after the caret and moves on, so a text of the
// mask's full length can still be changed; deleting leaves the blank
// character in the place.
class TMaskEdit : public TEdit {
 public:
  TMaskEdit(TControl* parent, const std::string& mask, char blank);

 protected:
  void keyDown(WORD& key, TShiftState shift) override;
  void keyPress(char& key) override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool isPlace(std::size_t at) const { return at < mask_.size() && mask_[at] == 'C'; }
  // The text laid over the mask: missing places blank, literals as masked.
  std::string conformed() const;
  void blankRange(std::string& text, std::size_t from, std::size_t to) const;
  void apply(const std::string& text, std::size_t caret);
  // Puts the characters into the places from the caret on; a character
  // equal to the literal at the caret steps over it.
  void typeText(const std::string& typed);
  void clearSelection();

  std::string mask_;
  char blank_;
};
