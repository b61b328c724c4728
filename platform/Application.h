#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

class TControl;
class TTimer;

// The GUI thread's application: OLE and the common controls, the message
// loop, modal loops, deferred calls, timers, the hourglass and the tracking
// of the focused control per top-level window. One exists per program; the
// first call of application() on the GUI thread makes it.
class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Runs the message loop until WM_QUIT; returns the quit code.
  int run();
  // Called each time the loop has handled every waiting message. The loop
  // then sleeps until a message arrives or one of idleWaitHandles() is
  // signalled (a handle that stays signalled would keep it awake).
  std::function<void()> onIdle;
  std::function<std::vector<HANDLE>()> idleWaitHandles;
  void terminate(int exitCode = 0) { PostQuitMessage(exitCode); }
  // Handles every message waiting now, without blocking. A WM_QUIT met here
  // is posted again for the loop that owns it.
  void processMessages();
  // True once a WM_QUIT has been seen by processMessages or a modal loop.
  bool terminated() const { return terminated_; }

  // One message through the program's path: the pre-translate hooks, the
  // modeless dialogs, the forms' key handling, then translate and dispatch.
  // Ordinary forms get no dialog-message treatment, so the grid and the
  // editors receive Enter, Esc and Tab when they ask for them.
  void handleMessage(MSG& message);
  // True while a key message is being handled: what it opens, it opens
  // from the keyboard.
  bool handlingKey() const { return handlingKey_; }

  // A hook returns true when it has handled the message.
  int addMessageHook(std::function<bool(MSG&)> hook);
  void removeMessageHook(int id);
  void addModelessDialog(HWND dialog);
  void removeModelessDialog(HWND dialog);

  // Runs a modal loop for a window until done() holds or the window goes:
  // the thread's other top-level windows are disabled meanwhile, the loop
  // waits for messages (it never spins), and a WM_QUIT ends it and is posted
  // again afterwards so the outer loop ends too.
  // Keys that reach a window the loop disabled go to the modal window;
  // Alt+F4 there asks that window to close, as the task bar would.
  void runModalLoop(HWND window, const std::function<bool()>& done);

  // Runs a call later, from the message loop: never inside the handler that
  // asks for it. A control that must go from inside its own event is handed
  // to deferDelete.
  void postDeferred(std::function<void()> call);
  template <class Object>
  void deferDelete(std::unique_ptr<Object> object) {
    auto holder = std::make_shared<std::unique_ptr<Object>>(std::move(object));
    postDeferred([holder] { holder->reset(); });
  }

  // The hourglass: shown while at least one busy() is not matched by its
  // available().
  void busy();
  void available();
  bool isBusy() const { return busyCount_ > 0; }

  // Timers of the framework (see TTimer).
  UINT_PTR startTimer(TTimer& timer, UINT milliseconds);
  void stopTimer(UINT_PTR id);

  // Focus tracking: enter and exit fire only when the focus moves between
  // controls of the same top-level window. Focus that goes to another window
  // (a picker, another program) and comes back fires nothing.
  void focusMovedTo(TControl* control);
  TControl* focusedControl(HWND topLevel) const;
  // The window no longer remembers which of its controls had the focus.
  void forgetFocus(HWND topLevel) { focusByTopLevel_.erase(topLevel); }
  // The control that takes the focus when its hidden window next shows.
  void focusWhenShown(HWND topLevel, TControl* control) { focusWhenShown_[topLevel] = control; }
  TControl* takeFocusWhenShown(HWND topLevel);
  // The focus given while one lives is the program's handing back of the
  // keys, not the user's move: a container that brings a focused child into
  // view leaves the order of its children as the user left it.
  class TFocusInPlace {
   public:
    TFocusInPlace();
    ~TFocusInPlace();
    TFocusInPlace(const TFocusInPlace&) = delete;
    TFocusInPlace& operator=(const TFocusInPlace&) = delete;

   private:
    bool saved_;
  };
  bool focusingInPlace() const { return focusingInPlace_; }
  void controlDestroyed(TControl* control);

  // Which control of ours a window is, asked on every message: kept here,
  // not as a window property, which under Wine is a round trip to its
  // server each time. Any thread may ask.
  void attachControl(HWND window, TControl* control);
  void detachControl(HWND window);
  TControl* controlOf(HWND window) const;

  // A dialog key used by a form leaves no character behind for the control.
  void suppressDialogChar() { suppressDialogChar_ = true; }

  HWND utilityWindow() const { return utilityWindow_; }

  // The program going to the task bar and coming back from it, as its main
  // window reports through mainWindowMinimized.
  std::function<void()> onMinimize;
  std::function<void()> onRestore;
  void mainWindowMinimized(bool minimized);

  // Help requests, as WinHelp-style commands (HELP_CONTEXT with a context
  // number, ...). The hook installed answers them and sets passOn for the
  // commands the application's own handling should still get; that handling
  // knows no help file and ignores them. Answers whether the request was
  // handled.
  using THelpHook = std::function<bool(UINT command, ULONG_PTR data, bool& passOn)>;
  // Installs a hook and answers the one it replaces.
  THelpHook setHelpHook(THelpHook hook);
  bool helpCommand(UINT command, ULONG_PTR data);
  bool helpContext(int context) { return helpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(context)); }

  // The program's name in the task bar; the window that stands for the
  // program there before its main window shows follows it.
  const std::string& title() const { return title_; }
  void setTitle(const std::string& title);
  std::function<void()> onTitleChange;

 private:
  static LRESULT CALLBACK utilityProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void runDeferredCalls();
  bool handleFormKeys(MSG& message);
  bool modalLoopRunning() const { return !modalWindows_.empty(); }
  // True when the message was used up.
  bool redirectFromDisabledWindow(MSG& message, HWND modal);
  // Alt+F4 in a child window: its top window is asked to close; true then.
  bool closeFromChild(const MSG& message);
  bool mnemonicKey(const MSG& message);

  bool oleInitialized_ = false;
  std::string title_;
  HWND utilityWindow_ = nullptr;
  bool terminated_ = false;
  int nextHookId_ = 1;
  std::vector<std::pair<int, std::function<bool(MSG&)>>> hooks_;
  std::vector<HWND> modelessDialogs_;
  std::vector<HWND> modalWindows_;  // innermost last
  std::deque<std::function<void()>> deferredCalls_;
  bool deferredPosted_ = false;
  bool suppressDialogChar_ = false;
  bool handlingKey_ = false;
  int busyCount_ = 0;
  UINT_PTR nextTimerId_ = 1;
  std::map<UINT_PTR, TTimer*> timers_;
  std::map<HWND, TControl*> focusByTopLevel_;
  std::map<HWND, TControl*> focusWhenShown_;
  bool focusingInPlace_ = false;
  mutable std::mutex controlsLock_;
  std::unordered_map<HWND, TControl*> controls_;
  THelpHook helpHook_;
  bool minimized_ = false;
};

TApplication& application();

// Shows the hourglass for the life of the object.
class THourglass {
 public:
  THourglass() { application().busy(); }
  ~THourglass() { application().available(); }
  THourglass(const THourglass&) = delete;
  THourglass& operator=(const THourglass&) = delete;
};
