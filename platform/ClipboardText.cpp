#include "platform/ClipboardText.h"

#include <windows.h>

#include <cstring>
#include <memory>

namespace {

// Another program may hold the clipboard for a moment.
bool openClipboard() {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(5);
  }
  return false;
}

struct TClipboardCloser {
  ~TClipboardCloser() { CloseClipboard(); }
};

struct TGlobalFree {
  void operator()(void* memory) const { GlobalFree(memory); }
};

}  // namespace

bool getClipboardText(std::string& text) {
  text.clear();
  if (!IsClipboardFormatAvailable(CF_TEXT) || !openClipboard()) return false;
  TClipboardCloser closer;
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return false;
  const char* bytes = static_cast<const char*>(GlobalLock(data));
  if (!bytes) return false;
  text.assign(bytes, strnlen(bytes, GlobalSize(data)));
  GlobalUnlock(data);
  return true;
}

bool setClipboardText(const std::string& text) {
  std::unique_ptr<void, TGlobalFree> memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  if (!memory) return false;
  char* bytes = static_cast<char*>(GlobalLock(memory.get()));
  if (!bytes) return false;
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(memory.get());
  if (!openClipboard()) return false;
  TClipboardCloser closer;
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, memory.get())) return false;
  memory.release();  // the clipboard owns it now
  return true;
}
