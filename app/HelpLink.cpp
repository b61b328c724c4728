#include "app/HelpLink.h"

#include <cstdio>

#include "platform/Dialogs.h"

namespace {

constexpr UINT hhHelpContext = 15;
constexpr UINT hhCloseAll = 18;

std::string cleaned(const std::string& raw) {
  std::string text;
  for (std::size_t at = 0; at < raw.size(); ++at) {
    if (raw.compare(at, 3, "%20") == 0) {
      text += ' ';
      at += 2;
    } else {
      text += raw[at];
    }
  }
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string helpTarget(const std::string& helpFile, const std::string& windowName, THelpMode mode) {
  std::string target = cleaned(helpFile);
  const std::string window = cleaned(windowName);
  if (!window.empty()) target += ">" + window;
  if (mode == THelpMode::hh) target = "mk:@MSITStore:" + target;
  return target;
}

std::string helpCommandName(UINT command) {
  const char* name = "??";
  switch (command) {
    case 1: name = "HELP_CONTEXT"; break;
    case 2: name = "HELP_QUIT"; break;
    case 3: name = "HELP_INDEX or HELP_CONTENTS"; break;
    case 4: name = "HELP_HELPONHELP"; break;
    case 5: name = "HELP_SETINDEX or HELP_SETCONTENTS"; break;
    case 8: name = "HELP_CONTEXTPOPUP"; break;
    case 9: name = "HELP_FORCEFILE"; break;
    case 10: name = "HELP_CONTEXTMENU"; break;
    case 11: name = "HELP_FINDER"; break;
    case 12: name = "HELP_WM_HELP"; break;
    case 13: name = "HELP_SETPOPUP_POS"; break;
    case 257: name = "HELP_KEY"; break;
    case 258: name = "HELP_COMMAND"; break;
    case 261: name = "HELP_PARTIALKEY"; break;
    case 513: name = "HELP_MULTIKEY"; break;
    case 515: name = "HELP_SETWINPOS"; break;
  }
  return std::string(name) + " (" + std::to_string(command) + ")";
}

std::string viewerErrorText(DWORD error) {
  switch (error) {
    case 2: return "File Not Found";
    case 3: return "Path Not Found";
    case 5: return "Access Denied";
    case 8: return "Insufficient Memory";
    case 19: return "Media Is Write Protected";
    case 21: return "Device Not Ready";
    case 32:
    case 33: return "File In Use";
    case 39:
    case 112: return "Disk Full";
    case 1150: return "Windows Version Incorrect";
    case 1151: return "Not A Windows Or MSDos Program";
    case 276:
    case 1005:
    case 1392:
    case 1393: return "Corrupt File Or Disk";
    case 1009:
    case 1358: return "Corrupt Registry";
  }
  return "General Failure";
}

std::string helpErrorText(int code) {
  switch (code) {
    case helpNotInstalled: return "MS Html Help is not installed on this PC.";
    case helpKeyHHMissing: return "System file KeyHH.EXE was not found in the Windows folder.";
    case helpHHMissing: return "System file HH.EXE was not found in the Windows folder.";
  }
  return "Unknown error returned by HHHelpContext";
}

THookHelpSystem::THookHelpSystem(const std::string& helpFile, const std::string& windowName, THelpMode mode,
                                 THelpServices& services, TMessageBox& messageBox, HWND mainWindow)
    : helpFile_(helpFile),
      windowName_(windowName),
      mode_(mode),
      services_(services),
      messageBox_(messageBox),
      mainWindow_(mainWindow) {
  services_.trace("THookHelpSystem.Create(" + quoted(helpFile) + ", " + quoted(windowName) + ", " +
                  std::to_string(static_cast<int>(mode)) + ")");
  previous_ = application().setHelpHook(
      [this](UINT command, ULONG_PTR data, bool& passOn) { return hook(command, data, passOn); });
}

THookHelpSystem::~THookHelpSystem() {
  services_.trace("THookHelpSystem.Destroy");
  if (mode_ == THelpMode::htmlHelp && services_.htmlHelpAvailable()) services_.htmlHelp(nullptr, "", hhCloseAll, 0);
  application().setHelpHook(std::move(previous_));
}

bool THookHelpSystem::hook(UINT command, ULONG_PTR data, bool& passOn) {
  services_.trace("THookHelpSystem.HelpHook(" + helpCommandName(command) + ", " + std::to_string(data) + ")");
  passOn = false;
  const int context = static_cast<int>(data);
  switch (command) {
    case HELP_CONTEXT:
      if (onContext)
        onContext(context);
      else
        showContext(context);
      break;
    case HELP_CONTEXTPOPUP:
      if (onContextPopup)
        onContextPopup(context, popupPosition_);
      else
        showContext(context);
      break;
    case HELP_SETPOPUP_POS:
      popupPosition_ = POINT{static_cast<LONG>(data & 0xFFFF), static_cast<LONG>((data >> 16) & 0xFFFF)};
      break;
    default:
      passOn = true;
  }
  return true;
}

int THookHelpSystem::showContext(int context) {
  services_.trace("HHHelpContext(" + quoted(helpFile_) + ", " + std::to_string(context) + ", " +
                  quoted(windowName_) + ", " + std::to_string(static_cast<int>(mode_)) + ")");
  const int code = display(context);
  services_.trace("  returned - " + std::to_string(code));
  if (code != helpShown) showError(code);
  return code;
}

int THookHelpSystem::display(int context) {
  const std::string target = helpTarget(helpFile_, windowName_, mode_);
  services_.trace("HHDisplay(" + quoted(target) + ", " + std::to_string(static_cast<int>(mode_)) + ")");
  if (mode_ == THelpMode::htmlHelp) {
    if (!services_.htmlHelpInstalled() || !services_.htmlHelpAvailable()) return helpNotInstalled;
    if (!services_.fileExists(cleaned(helpFile_))) return helpFileMissing;
    if (HWND window = services_.htmlHelp(GetDesktopWindow(), target, hhHelpContext, static_cast<DWORD_PTR>(context)))
      services_.bringToFront(window);
    return helpShown;
  }
  const bool keyHH = mode_ == THelpMode::keyHH;
  std::string program = services_.windowsDirectory();
  if (!program.empty() && program.back() != '\\') program += '\\';
  program += keyHH ? "KeyHH.EXE" : "HH.EXE";
  if (!services_.fileExists(program)) return keyHH ? helpKeyHHMissing : helpHHMissing;
  if (!services_.fileExists(cleaned(helpFile_))) return helpFileMissing;
  const std::string parameters =
      std::string(keyHH ? "-win -#mapid " : "-mapid ") + std::to_string(context) + " " + target;
  DWORD error = 0;
  if (services_.shellOpen(mainWindow_, program, parameters, error) <= 32) {
    warn("Function ShellExecute(" + program + ", " + parameters + ")\rReturned: [Error:" + std::to_string(error) +
         "] " + viewerErrorText(error));
  }
  return helpShown;
}

void THookHelpSystem::showError(int code) {
  const std::string text =
      code == helpFileMissing ? "The help file " + cleaned(helpFile_) + " was not found." : helpErrorText(code);
  services_.trace("HHShowError(" + std::to_string(code) + ", " + quoted(text) + ")");
  warn(text);
}

void THookHelpSystem::warn(const std::string& text) {
  services_.trace("MessageBox: " + text);
  messageBox_.show(mainWindow_, text, "Warning", MB_OK | MB_ICONWARNING);
}
