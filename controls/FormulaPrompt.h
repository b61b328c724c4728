#pragma once
#include <windows.h>

#include <string>

class TMessageBox;
class TSheet;

// A formula the user typed into an editor of formulas, with or without its
// "=": true when it compiles with the sheet's separators; otherwise the user
// is told which error it would give ("#OP?" for "1+") and asked whether to
// keep it anyway.
bool keepTypedFormula(TMessageBox& messages, HWND owner, const std::string& caption, TSheet& sheet,
                      const std::string& formula);
