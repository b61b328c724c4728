#include <windows.h>

#include <string>

#include "app/HelpServices.h"
#include "app/MainForm.h"
#include "app/RegistrationSwitches.h"
#include "app/SplashForm.h"
#include "platform/Application.h"
#include "platform/LocaleSettings.h"

namespace {

// The single-instance guard: held for the whole run, never closed.
HANDLE runningMutex = nullptr;

std::string executablePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string currentDirectory() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, path);
  return path;
}

void runProgram() {
  // Every window and sheet takes its separators and formats from the record
  // when it is made, so it is filled before the first of them.
  loadLocaleSettingsFromSystem();
  TApplication& app = application();
  // The help library is loaded before the main window and freed after it.
  TWindowsHelpServices helpServices(executablePath());
  splashForm = std::make_unique<TsplashForm>();
  app.setTitle("Loading...");
  splashForm->showModeless();
  splashForm->update();
  TMainFormContext context;
  context.executablePath = executablePath();
  context.currentDirectory = currentDirectory();
  context.helpServices = &helpServices;
  TmainForm mainForm(context);
  mainForm.showModeless();
  app.run();
  splashForm.reset();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Asked to register or unregister as a COM server, the program has
  // nothing to write: its one class factory, the script site's, is internal
  // to it and never registered with the system. It ends as it came, without
  // a window.
  const bool registering = registrationSwitchGiven(GetCommandLineA());
  SetLastError(0);
  runningMutex = CreateMutexA(nullptr, FALSE, "Kestrova is running");
  // Another instance, or a mutex that could not be made: end at once, quietly.
  if (runningMutex != nullptr && GetLastError() == 0 && !registering) {
    try {
      runProgram();
    } catch (...) {
    }
  }
  if (runningMutex != nullptr) ReleaseMutex(runningMutex);
  return 0;
}
