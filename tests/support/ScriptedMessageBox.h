#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

// Answers message boxes with a set answer and keeps what they said, so a
// test can check the question and steer the window's choice.
class TScriptedMessageBox : public TMessageBox {
 public:
  explicit TScriptedMessageBox(int answer = IDNO) : answer(answer) {}

  int show(HWND, const std::string& text, const std::string&, UINT flags) override {
    texts.push_back(text);
    defaultButtons.push_back(flags & MB_DEFMASK);
    return respond ? respond(text) : answer;
  }

  int answer;
  // When set, decides the answer instead, and may act as the user would
  // meanwhile.
  std::function<int(const std::string& text)> respond;
  std::vector<std::string> texts;
  // MB_DEFBUTTON1, 2, ... of each box, beside its text.
  std::vector<UINT> defaultButtons;
};
