#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/Menu.h"
#include "platform/Panel.h"
#include "platform/StdControls.h"
#include "platform/Timer.h"
#include "tests/support/WindowTestSupport.h"

namespace {

TFormOptions formOptions(int width = 300, int height = 200) {
  TFormOptions options;
  options.caption = "Test";
  options.clientWidth = width;
  options.clientHeight = height;
  return options;
}

// A focusable drawn control, as the program's own view controls are.
class TFocusPanel : public TPanel {
 public:
  explicit TFocusPanel(TControl* parent) : TPanel(parent) { setTabStop(true); }
};

// A clock the test moves by hand.
class TSteppedClock : public TClock {
 public:
  uint64_t milliseconds() const override { return now; }
  uint64_t now = 0;
};

}  // namespace

TEST(WindowFramework, AlignedChildrenShareTheClientAreaAndAnchorsFollowTheParent) {
  TForm form(formOptions(300, 200));
  auto& top = form.add<TPanel>();
  top.setBounds(0, 0, 10, 30);
  top.setAlign(TAlign::top);
  auto& bottom = form.add<TPanel>();
  bottom.setBounds(0, 0, 10, 20);
  bottom.setAlign(TAlign::bottom);
  auto& left = form.add<TPanel>();
  left.setBounds(0, 0, 50, 10);
  left.setAlign(TAlign::left);
  auto& client = form.add<TPanel>();
  client.setAlign(TAlign::client);
  EXPECT_EQ(top.bounds().bottom, 30);
  EXPECT_EQ(top.width(), 300);
  EXPECT_EQ(bottom.bounds().top, 180);
  EXPECT_EQ(left.bounds().top, 30);
  EXPECT_EQ(left.height(), 150);
  EXPECT_EQ(client.bounds().left, 50);
  EXPECT_EQ(client.width(), 250);
  EXPECT_EQ(client.height(), 150);

  // A hidden aligned child gives its space back.
  top.hide();
  EXPECT_EQ(left.bounds().top, 0);

  TForm other(formOptions(300, 200));
  auto& corner = other.add<TPanel>();
  corner.setBounds(250, 150, 40, 40);
  corner.setAnchors(akRight | akBottom);
  auto& stretched = other.add<TPanel>();
  stretched.setBounds(10, 10, 200, 20);
  stretched.setAnchors(akLeft | akTop | akRight);
  other.setClientSize(400, 260);
  EXPECT_EQ(corner.left(), 350);
  EXPECT_EQ(corner.top(), 210);
  EXPECT_EQ(corner.width(), 40);
  EXPECT_EQ(stretched.width(), 300);
}

// Every message asks which control a window is: the answer holds from the
// window's creation to its end, for our own windows and the system's
// controls alike, and none is given for a window that is gone.
TEST(WindowFramework, AControlIsFoundByItsWindowUntilThatWindowGoes) {
  TForm form(formOptions());
  auto& panel = form.add<TPanel>();
  auto& button = form.add<TButton>("OK");
  auto edit = std::make_unique<TEdit>(&form);
  EXPECT_EQ(TControl::fromHandle(form.handle()), &form);
  EXPECT_EQ(TControl::fromHandle(panel.handle()), &panel);
  EXPECT_EQ(TControl::fromHandle(button.handle()), &button);
  EXPECT_EQ(TControl::fromHandle(edit->handle()), edit.get());
  EXPECT_EQ(TControl::fromHandle(nullptr), nullptr);
  EXPECT_EQ(TControl::fromHandle(GetDesktopWindow()), nullptr);

  // Gone by the system's hand, not the control's.
  const HWND panelWindow = panel.handle();
  const HWND buttonWindow = button.handle();
  DestroyWindow(panelWindow);
  DestroyWindow(buttonWindow);
  EXPECT_EQ(TControl::fromHandle(panelWindow), nullptr);
  EXPECT_EQ(TControl::fromHandle(buttonWindow), nullptr);
  EXPECT_EQ(panel.handle(), nullptr);
  // Gone with its control.
  const HWND editWindow = edit->handle();
  edit.reset();
  EXPECT_EQ(TControl::fromHandle(editWindow), nullptr);
  EXPECT_EQ(TControl::fromHandle(form.handle()), &form);
}

TEST(WindowFramework, EnterAndExitFireOnlyForMovesWithinOneTopLevelWindow) {
  TForm form(formOptions());
  auto& first = form.add<TFocusPanel>();
  first.setBounds(10, 10, 100, 50);
  auto& container = form.add<TPanel>();
  container.setBounds(10, 70, 200, 100);
  auto& inner = container.add<TFocusPanel>();
  inner.setBounds(5, 5, 50, 50);
  std::vector<std::string> events;
  first.onEnter = [&] { events.push_back("enter first"); };
  first.onExit = [&] { events.push_back("exit first"); };
  container.onEnter = [&] { events.push_back("enter container"); };
  container.onExit = [&] { events.push_back("exit container"); };
  inner.onEnter = [&] { events.push_back("enter inner"); };
  inner.onExit = [&] { events.push_back("exit inner"); };
  form.showModeless();
  focusInside(form.handle());
  first.setFocus();
  events.clear();

  inner.setFocus();
  EXPECT_EQ(events, (std::vector<std::string>{"exit first", "enter container", "enter inner"}));

  // Another window (a picker) takes the focus and gives it back: nothing.
  events.clear();
  TForm picker(formOptions(100, 100));
  auto& pickerControl = picker.add<TFocusPanel>();
  picker.showModeless();
  pickerControl.setFocus();
  pumpFor(30);
  picker.hide();
  form.showModeless();
  inner.setFocus();
  pumpFor(30);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(form.activeControl(), &inner);

  // Tab moves to the next tab stop, wrapping round.
  postKey(inner.handle(), VK_TAB);
  EXPECT_TRUE(first.focused());
  EXPECT_EQ(events, (std::vector<std::string>{"exit inner", "exit container", "enter first"}));
}

TEST(WindowFramework, MouseEventsCarryTheShiftStateAndCaptureTheMouse) {
  TForm form(formOptions());
  auto& panel = form.add<TPanel>();
  panel.setBounds(0, 0, 100, 100);
  form.showModeless();
  TShiftState downShift = 0;
  int downX = -1, downY = -1, clicks = 0, doubleClicks = 0;
  panel.onMouseDown = [&](TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::left) downShift = shift;
    downX = x;
    downY = y;
  };
  panel.onClick = [&] { ++clicks; };
  panel.onDoubleClick = [&] { ++doubleClicks; };
  {
    TKeyState held{VK_SHIFT, VK_CONTROL};
    sendMouse(panel.handle(), WM_LBUTTONDOWN, 12, 34, MK_LBUTTON | MK_SHIFT);
  }
  EXPECT_EQ(downShift, ssShift | ssCtrl | ssLeft);
  EXPECT_EQ(downX, 12);
  EXPECT_EQ(downY, 34);
  EXPECT_TRUE(panel.hasMouseCapture());
  sendMouse(panel.handle(), WM_LBUTTONUP, 12, 34);
  EXPECT_FALSE(panel.hasMouseCapture());
  EXPECT_EQ(clicks, 1);
  // A release outside the control is no click.
  sendMouse(panel.handle(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  sendMouse(panel.handle(), WM_LBUTTONUP, 150, 5);
  EXPECT_EQ(clicks, 1);
  sendMouse(panel.handle(), WM_LBUTTONDBLCLK, 5, 5, MK_LBUTTON);
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_TRUE(downShift & ssDouble);
  sendMouse(panel.handle(), WM_LBUTTONUP, 5, 5);
}

TEST(WindowFramework, ModalLoopsDisableTheOwnerReturnTheResultAndPassQuitOn) {
  TForm owner(formOptions());
  owner.showModeless();
  TForm dialog(formOptions(120, 80));
  bool ownerDisabledMeanwhile = false;
  TTimer timer(30, [&] {
    ownerDisabledMeanwhile = !IsWindowEnabled(owner.handle());
    dialog.setModalResult(mrOk);
  });
  timer.setEnabled(true);
  EXPECT_EQ(dialog.showModal(), mrOk);
  timer.setEnabled(false);
  EXPECT_TRUE(ownerDisabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(owner.handle()));
  EXPECT_FALSE(dialog.visible());

  // A close query that refuses keeps the dialog open.
  int queries = 0;
  dialog.onCloseQuery = [&] { return ++queries > 1; };
  TTimer closer(20, [&] { dialog.close(); });
  closer.setEnabled(true);
  EXPECT_EQ(dialog.showModal(), mrCancel);
  closer.setEnabled(false);
  EXPECT_EQ(queries, 2);
  dialog.onCloseQuery = nullptr;

  // The program quits while the dialog shows: the dialog ends and the quit
  // goes on to the outer loop.
  TTimer quitter(20, [] { PostQuitMessage(7); });
  quitter.setEnabled(true);
  EXPECT_EQ(dialog.showModal(), mrCancel);
  quitter.setEnabled(false);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

// A random-input run once left a modal dialog that neither Esc nor Alt+F4
// could end: a message box owned by the disabled owner had handed the
// keyboard back to the owner when it closed.
TEST(WindowFramework, AModalDialogKeepsTheKeyboardAndAltF4ReachesItsDisabledOwner) {
  TForm owner(formOptions());
  TFocusPanel& ownerPanel = owner.add<TFocusPanel>();
  ownerPanel.setBounds(10, 10, 50, 50);
  bool ownerClosed = false;
  owner.onClose = [&] { ownerClosed = true; };
  owner.showModeless();
  ownerPanel.setFocus();
  TFormOptions dialogOptions = formOptions(160, 100);
  dialogOptions.owner = owner.handle();
  TForm dialog(dialogOptions);
  TFocusPanel& dialogPanel = dialog.add<TFocusPanel>();
  dialogPanel.setBounds(10, 10, 50, 50);
  dialog.closeOnEscape();

  // The box closes itself once it shows; Esc then goes where the keyboard is.
  {
    bool focusInDialog = false;
    TTimer boxCloser(50, [] {
      if (HWND box = FindWindowA(nullptr, "Notice")) PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    TModalDriver afterBox(dialog, {[&] {
                            dialogPanel.setFocus();
                            boxCloser.setEnabled(true);
                            systemMessageBox().show(owner.handle(), "Something to note", "Notice", MB_OK);
                            boxCloser.setEnabled(false);
                            focusInDialog = pumpUntil([&] { return IsChild(dialog.handle(), GetFocus()) != FALSE; });
                            postKey(GetFocus(), VK_ESCAPE);
                          }},
                          3000);
    EXPECT_EQ(dialog.showModal(), mrCancel);
    EXPECT_FALSE(afterBox.timedOut());
    EXPECT_TRUE(focusInDialog);
  }
  // Keys left in the disabled owner reach the dialog.
  {
    TModalDriver strayKeys(dialog, {[&] { postKey(ownerPanel.handle(), VK_ESCAPE); }}, 3000);
    EXPECT_EQ(dialog.showModal(), mrCancel);
    EXPECT_FALSE(strayKeys.timedOut());
  }
  // Alt+F4 in the disabled owner asks the owner to close, as the task bar
  // would; its close (the main window's ends the program) ends the dialog.
  owner.onClose = [&] {
    ownerClosed = true;
    dialog.close();
  };
  {
    TModalDriver altF4(dialog, {[&] {
                         TKeyState alt({VK_MENU});
                         PostMessageA(ownerPanel.handle(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
                         pumpFor(50);
                       }},
                       3000);
    EXPECT_EQ(dialog.showModal(), mrCancel);
    EXPECT_FALSE(altF4.timedOut());
  }
  EXPECT_TRUE(ownerClosed);
  EXPECT_FALSE(owner.visible());
}

// Each opening of a dialog gives the keys to its first field, wherever the
// last use left them, unless its caller put them in another field first.
TEST(WindowFramework, ADialogOpensWithTheKeysInItsFirstFieldEachTime) {
  TForm owner(formOptions());
  owner.showModeless();
  TForm dialog(formOptions(200, 120));
  TEdit& first = dialog.add<TEdit>("first");
  first.setBounds(10, 10, 100, 22);
  TEdit& second = dialog.add<TEdit>("second");
  second.setBounds(10, 40, 100, 22);
  dialog.closeOnEscape();
  const auto open = [&] {
    HWND focused = nullptr;
    TModalDriver driver(dialog, {[&] {
                          focused = focusInside(dialog.handle());
                          second.setFocus();
                          postKey(second.handle(), VK_ESCAPE);
                        }});
    dialog.showModal();
    EXPECT_FALSE(driver.timedOut());
    return focused;
  };
  EXPECT_EQ(open(), first.handle());
  EXPECT_EQ(open(), first.handle());
  second.setFocus();
  EXPECT_EQ(open(), second.handle());
}

// A position given before the find dialog was open was dropped: the dialog
// opened where the system puts a new one.
TEST(WindowFramework, AFindDialogOpensWhereItWasPlacedBeforeOrAfterItOpened) {
  TForm owner(formOptions());
  owner.showModeless();
  const auto topLeft = [](const TFindDialog& dialog) {
    RECT bounds{};
    GetWindowRect(dialog.handle(), &bounds);
    return std::pair(bounds.left, bounds.top);
  };
  for (bool withReplace : {false, true}) {
    TFindDialog dialog(withReplace);
    dialog.setPosition(310, 270);
    dialog.execute(owner.handle());
    ASSERT_TRUE(dialog.visible());
    EXPECT_EQ(topLeft(dialog), std::pair(310L, 270L)) << withReplace;
    dialog.setPosition(120, 90);
    EXPECT_EQ(topLeft(dialog), std::pair(120L, 90L)) << withReplace;
    // A place given for one opening is not taken again by the next.
    dialog.close();
    dialog.execute(owner.handle());
    EXPECT_NE(topLeft(dialog), std::pair(310L, 270L)) << withReplace;
    dialog.close();
  }
}

// Under Wine the display can take a dialog's activation away just after it
// opened (a late report of an earlier hide), leaving the keys nowhere; the
// wait for them gives the activation back, and the dialog puts the keys
// where it put them.
TEST(WindowTestSupport, TheKeysAreFoundInADialogWhoseActivationTheDisplayTookAway) {
  TForm owner(formOptions());
  owner.showModeless();
  TForm dialog(formOptions(200, 120));
  TEdit& first = dialog.add<TEdit>("first");
  first.setBounds(10, 10, 100, 22);
  dialog.add<TEdit>("second").setBounds(10, 40, 100, 22);
  dialog.closeOnEscape();
  HWND lostTo = nullptr;
  HWND focused = nullptr;
  TModalDriver driver(dialog, {[&] {
                        focusInside(dialog.handle());
                        // What Wine does with the late report.
                        SetForegroundWindow(GetDesktopWindow());
                        lostTo = GetFocus();
                        focused = focusInside(dialog.handle());
                        postKey(first.handle(), VK_ESCAPE);
                      }});
  dialog.showModal();
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(lostTo, nullptr);
  EXPECT_EQ(focused, first.handle());
}

TEST(WindowFramework, DeferredCallsRunAfterTheHandlerAndDeleteControlsSafely) {
  TForm form(formOptions());
  auto panel = std::make_unique<TPanel>(&form);
  TPanel* raw = panel.get();
  bool aliveAfterRequest = false;
  std::vector<int> order;
  raw->onClick = [&] {
    application().deferDelete(std::move(panel));
    aliveAfterRequest = IsWindow(raw->handle());
    application().postDeferred([&] { order.push_back(2); });
    order.push_back(1);
  };
  form.showModeless();
  HWND window = raw->handle();
  sendMouse(window, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
  sendMouse(window, WM_LBUTTONUP, 1, 1);
  EXPECT_TRUE(aliveAfterRequest);
  EXPECT_TRUE(pumpUntil([&] { return !IsWindow(window); }));
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_TRUE(form.children().empty());
}

TEST(WindowFramework, DeferredRefreshWaitsForQuietButNoLongerThanItsLatency) {
  // The latency is counted on a clock the test moves, 10 ms a request, while
  // the real pauses stay shorter than the delay: never quiet. A busy machine
  // that stretches a pause past the delay only brings the call sooner on
  // this clock; a refresh that waits for quiet never calls on a quiet one.
  TSteppedClock clock;
  int calls = 0;
  TDeferredRefresh refresh(50, 150, [&] { ++calls; }, clock);
  uint64_t firstCall = 0;
  for (int request = 0; calls == 0 && request < 100; ++request) {
    refresh.request();
    pumpFor(20);
    if (calls > 0) firstCall = clock.now;
    clock.now += 10;
  }
  ASSERT_GT(calls, 0);
  EXPECT_LE(firstCall, 150u);
  // The burst's last request is served, once. (The loop's own last one may
  // have been served inside its last pause.)
  refresh.request();
  const int before = calls;
  EXPECT_TRUE(pumpUntil([&] { return !refresh.pending(); }));
  EXPECT_EQ(calls, before + 1);
  refresh.request();
  refresh.cancel();
  // One asked for at the same moment has run, so the cancelled one had its
  // time, however long a busy machine made it.
  bool witnessRan = false;
  TDeferredRefresh witness(50, 150, [&] { witnessRan = true; });
  witness.request();
  EXPECT_TRUE(pumpUntil([&] { return witnessRan; }));
  EXPECT_EQ(calls, before + 1);
}

TEST(WindowFramework, PanelBevelsShowOnTheScreen) {
  TForm form(formOptions(200, 120));
  auto& raised = form.add<TPanel>();
  raised.setBounds(10, 10, 80, 60);
  auto& lowered = form.add<TPanel>();
  lowered.setBounds(100, 10, 80, 60);
  lowered.setBevelOuter(TBevelCut::lowered);
  lowered.setColor(clWhite);
  form.showModeless();
  const TScreenImage image = captureClient(form.handle());
  image.savePng("panel-bevels");
  EXPECT_TRUE(image.pixelIs(10, 10, clBtnHighlight));
  EXPECT_TRUE(image.pixelIs(89, 69, clBtnShadow));
  EXPECT_TRUE(image.pixelIs(40, 40, clBtnFace));
  EXPECT_TRUE(image.pixelIs(100, 10, clBtnShadow));
  EXPECT_TRUE(image.pixelIs(179, 69, clBtnHighlight));
  EXPECT_TRUE(image.pixelIs(140, 40, clWhite));
}

TEST(WindowFramework, ARightClickOpensTheMenuOfTheControlOrOfTheNearestParentWithOne) {
  TForm form(formOptions(300, 200));
  auto& view = form.add<TPanel>();
  view.setBounds(0, 0, 200, 150);
  auto& inside = view.add<TPanel>();
  inside.setBounds(10, 10, 80, 60);
  TPopupMenu menu;
  menu.add("&Item", [] {});
  std::vector<TControl*> openedOn;
  menu.onPopup = [&] { openedOn.push_back(menu.popupComponent); };
  view.setPopupMenu(&menu);
  form.showModeless();
  TTimer closer(200, [] { EndMenu(); });
  closer.setEnabled(true);
  sendMouse(view.handle(), WM_RBUTTONDOWN, 150, 120, MK_RBUTTON);
  sendMouse(view.handle(), WM_RBUTTONUP, 150, 120);
  sendMouse(inside.handle(), WM_RBUTTONDOWN, 20, 20, MK_RBUTTON);
  sendMouse(inside.handle(), WM_RBUTTONUP, 20, 20);
  closer.setEnabled(false);
  EXPECT_EQ(openedOn, (std::vector<TControl*>{&view, &view}));
}

// A menu opened from the keyboard showed no item highlighted, and Enter did
// nothing until an arrow key chose one.
TEST(WindowFramework, AMenuOpenedFromTheKeyboardTakesEnterForItsFirstItem) {
  TForm form(formOptions(300, 200));
  auto& edit = form.add<TEdit>();
  edit.setBounds(10, 10, 120, 22);
  TPopupMenu menu;
  std::vector<std::string> chosen;
  menu.add("&First", [&] { chosen.push_back("first"); });
  menu.add("&Second", [&] { chosen.push_back("second"); });
  edit.setPopupMenu(&menu);
  form.showModeless();
  edit.setFocus();
  TTimer enter(150);
  enter.onTimer = [&] {
    enter.setEnabled(false);
    PostMessageA(edit.handle(), WM_KEYDOWN, VK_RETURN, 1);
  };
  TTimer closer(1500, [] { EndMenu(); });
  for (const bool menuKey : {true, false}) {
    const size_t choices = chosen.size() + 1;
    enter.setEnabled(true);
    closer.setEnabled(true);
    if (menuKey) {
      postKey(edit.handle(), VK_APPS);
    } else {
      TKeyState shift{VK_SHIFT};
      PostMessageA(edit.handle(), WM_SYSKEYDOWN, VK_F10, 1);
      PostMessageA(edit.handle(), WM_SYSKEYUP, VK_F10, 0xC0000001);
      pumpUntil([&] { return chosen.size() == choices; });
    }
    pumpUntil([&] { return chosen.size() == choices; });
    closer.setEnabled(false);
  }
  EXPECT_EQ(chosen, (std::vector<std::string>{"first", "first"}));
  // A button pressed with its Alt key opens its menu from the keyboard too.
  auto& button = form.add<TButton>("&Menu");
  button.setBounds(10, 50, 80, 25);
  button.onClick = [&] {
    const RECT at = button.bounds();
    menu.popup(form.handle(), at.left, at.bottom);
  };
  enter.setEnabled(true);
  closer.setEnabled(true);
  {
    TKeyState alt{VK_MENU};
    PostMessageA(edit.handle(), WM_SYSKEYDOWN, 'M', 0x20000001);
    PostMessageA(edit.handle(), WM_SYSKEYUP, 'M', 0xE0000001);
    pumpUntil([&] { return chosen.size() == 3; });
  }
  closer.setEnabled(false);
  EXPECT_EQ(chosen.size(), 3u);
  // A right click leaves the choice to the mouse.
  enter.setEnabled(true);
  closer.setEnabled(true);
  sendMouse(edit.handle(), WM_RBUTTONDOWN, 20, 10, MK_RBUTTON);
  sendMouse(edit.handle(), WM_RBUTTONUP, 20, 10);
  closer.setEnabled(false);
  EXPECT_EQ(chosen.size(), 3u);
}

TEST(WindowFramework, AltAndTheMarkedLetterClicksTheFirstShownEnabledControlCarryingIt) {
  TForm form(formOptions());
  auto& hidden = form.add<TButton>("&Other");
  hidden.setBounds(10, 10, 80, 25);
  hidden.hide();
  auto& other = form.add<TButton>("&Other");
  other.setBounds(10, 40, 80, 25);
  auto& box = form.add<TCheckBox>("&Show");
  box.setBounds(10, 70, 80, 20);
  auto& ampersands = form.add<TButton>("Fish && &Chips");
  ampersands.setBounds(10, 100, 120, 25);
  auto& edit = form.add<TEdit>();
  edit.setBounds(100, 10, 80, 21);
  int hiddenClicks = 0, otherClicks = 0, chipsClicks = 0;
  hidden.onClick = [&] { ++hiddenClicks; };
  other.onClick = [&] { ++otherClicks; };
  ampersands.onClick = [&] { ++chipsClicks; };
  form.showModeless();
  edit.setFocus();
  const auto altKey = [&](char key) {
    PostMessageA(edit.handle(), WM_SYSCHAR, static_cast<WPARAM>(key), 1 << 29);
    pumpFor(50);
  };
  altKey('o');
  altKey('S');
  altKey('c');
  altKey('f');  // "&&" marks no letter
  EXPECT_EQ(hiddenClicks, 0);
  EXPECT_EQ(otherClicks, 1);
  EXPECT_TRUE(box.checked());
  EXPECT_EQ(chipsClicks, 1);
}
