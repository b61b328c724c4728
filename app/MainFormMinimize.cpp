#include "app/MainForm.h"
#include "platform/Application.h"

// The run-progress window stays on top of everything: it must not remain
// on the screen while the program sits in the task bar.

void TmainForm::AppMinimize() {
  if (systemRuns.hideProgressWindow) systemRuns.hideProgressWindow();
}

void TmainForm::AppRestore() {
  if (systemRuns.restoreProgressWindow) systemRuns.restoreProgressWindow(true);
}

LRESULT TmainForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED))
    application().mainWindowMinimized(wParam == SIZE_MINIMIZED);
  return TForm::handleMessage(message, wParam, lParam);
}
