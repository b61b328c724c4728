#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "platform/Application.h"

class TMessageBox;

// What the help link needs of Windows: the HTML Help library, the viewer
// programs in the Windows folder, and the trace. The program hands in the
// real ones; tests a fake, since Wine may have no help viewer at all.
class THelpServices {
 public:
  virtual ~THelpServices() = default;
  // True when the library's path was found in the registry.
  virtual bool htmlHelpInstalled() const = 0;
  // True when the library is loaded and its entry point found.
  virtual bool htmlHelpAvailable() const = 0;
  // HtmlHelpA; an empty target passes no file.
  virtual HWND htmlHelp(HWND owner, const std::string& target, UINT command, DWORD_PTR data) = 0;
  virtual void bringToFront(HWND window) = 0;
  virtual std::string windowsDirectory() const = 0;
  virtual bool fileExists(const std::string& path) const = 0;
  // The shell's "open" verb with SW_SHOWDEFAULT: ShellExecute's answer, and
  // the last Windows error when it is 32 or below.
  virtual INT_PTR shellOpen(HWND owner, const std::string& program, const std::string& parameters,
                            DWORD& error) = 0;
  // One line of the trace; nothing unless tracing was asked for.
  virtual void trace(const std::string& line) = 0;
};

// How a topic is shown.
enum class THelpMode { htmlHelp = 0, keyHH = 1, hh = 2 };

// Codes of a help display.
// A missing help file would otherwise show nothing at all under some viewers.
enum : int { helpShown = 0, helpNotInstalled = 1, helpKeyHHMissing = 2, helpHHMissing = 3, helpFileMissing = 4 };

// The target handed to the library or a viewer: "%20" become blanks, the
// ends are trimmed, a window name follows after ">", and the HH.EXE viewer
// gets the storage prefix.
std::string helpTarget(const std::string& helpFile, const std::string& windowName, THelpMode mode);
// The trace's name of a WinHelp command, with its number.
std::string helpCommandName(UINT command);
// The text shown for a Windows error of a viewer start.
std::string viewerErrorText(DWORD error);
// The warning of a non-zero display code.
std::string helpErrorText(int code);

// Replaces the application's help handling while it lives: context
// requests show the topic of that number from the help file; every other
// command goes on to the application's own handling.
class THookHelpSystem {
 public:
  THookHelpSystem(const std::string& helpFile, const std::string& windowName, THelpMode mode,
                  THelpServices& services, TMessageBox& messageBox, HWND mainWindow);
  ~THookHelpSystem();
  THookHelpSystem(const THookHelpSystem&) = delete;
  THookHelpSystem& operator=(const THookHelpSystem&) = delete;

  // The application's help request; always true.
  bool hook(UINT command, ULONG_PTR data, bool& passOn);
  // Shows the topic and answers the display's code; a non-zero code has
  // been reported to the user.
  int showContext(int context);

  POINT popupPosition() const { return popupPosition_; }
  const std::string& helpFile() const { return helpFile_; }
  // Optional replacements of the context and pop-up displays.
  std::function<void(int context)> onContext;
  std::function<void(int context, POINT position)> onContextPopup;

 private:
  int display(int context);
  void showError(int code);
  void warn(const std::string& text);

  TApplication::THelpHook previous_;
  std::string helpFile_;
  std::string windowName_;
  THelpMode mode_;
  POINT popupPosition_{0, 0};
  THelpServices& services_;
  TMessageBox& messageBox_;
  HWND mainWindow_;
};
