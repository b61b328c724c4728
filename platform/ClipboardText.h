#pragma once
#include <string>

// Plain text on the system clipboard (CF_TEXT, the system code page).
// False when the clipboard is busy or, for reading, holds no text.
bool getClipboardText(std::string& text);
bool setClipboardText(const std::string& text);
