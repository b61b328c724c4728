#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/GdiObjects.h"
#include "platform/ShiftState.h"

class TCanvas;
class TPopupMenu;

// The modifier keys and mouse buttons held now, from the thread's key state.
TShiftState currentShiftState();
// Tab, Enter and Esc: the keys forms use unless the focused window wants them.
bool isDialogKey(WORD key);
bool wantsDialogKey(HWND window, WORD key);
// The top-level window holding the window is neither minimised nor
// maximised: only then does a size shown inside it say what the user chose.
bool inNormalWindow(HWND window);

enum class TMouseButton { left, right, middle };
enum class TAlign { none, top, bottom, left, right, client };
enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

// How a control's window is made. A null class name gives the framework's own
// drawn window class; a system class name ("EDIT", WC_LISTVIEWA, ...) gives
// that control, whose messages then pass through the control object first.
struct TWindowParams {
  const char* className = nullptr;
  std::string caption;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  RECT bounds{0, 0, 100, 100};
  HWND owner = nullptr;  // for top-level windows only
};

// The cursor id that shows no cursor over a control (the chart's cross-hair
// mode draws its own).
inline const LPCSTR emptyCursor = MAKEINTRESOURCEA(-1);

// How an edit still open in a control is ended from outside it.
enum class TEditEnding {
  // Taken; a value refused, or one the user declines at a question, stays
  // in its editor for the user to mend, and the caller goes no further.
  take,
  // As take, but a question's No drops what was typed (the control keeps
  // what it held): a close, which ends once the user has answered.
  closing,
  // Taken where it can be, else dropped after its reason was told: the
  // control goes out of sight, where no one could mend it.
  giveUp,
};

// The object behind one window: geometry, alignment, looks and the mouse,
// key, focus and paint events. A control lives inside its parent's client
// area; the parent lays out aligned and anchored children when it changes
// size. Events are plain function objects that the owning window fills in;
// derived controls override the virtual methods, which fire those events.
class TControl {
 public:
  explicit TControl(TControl* parent);
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  HWND handle() const { return window_; }
  std::string name;  // the component name windows and layouts refer to
  // The help topic F1 asks for; 0 hands the request to the parent.
  int helpContext = 0;
  TControl* parent() const { return parent_; }
  const std::vector<TControl*>& children() const { return children_; }
  // The control for a window of ours, or null.
  static TControl* fromHandle(HWND window);

  // Creates a child owned by this control: it goes with this control.
  template <class Control, class... Args>
  Control& add(Args&&... args) {
    auto control = std::make_unique<Control>(this, std::forward<Args>(args)...);
    Control& result = *control;
    ownedChildren_.push_back(std::move(control));
    return result;
  }

  // Hands a child made elsewhere to this control, which then owns it.
  template <class Control>
  Control& own(std::unique_ptr<Control> control) {
    Control& result = *control;
    ownedChildren_.push_back(std::move(control));
    return result;
  }

  // Geometry, in the parent's client coordinates (left, top, right, bottom).
  RECT bounds() const;
  void setBounds(const RECT& bounds);
  void setBounds(int left, int top, int width, int height) { setBounds({left, top, left + width, top + height}); }
  int left() const { return bounds().left; }
  int top() const { return bounds().top; }
  int width() const;
  int height() const;
  void setSize(int width, int height);
  RECT clientRect() const;
  int clientWidth() const { return clientRect().right; }
  int clientHeight() const { return clientRect().bottom; }
  // Size limits that every bounds change respects (0: none).
  void setConstraints(int minWidth, int minHeight) {
    minWidth_ = minWidth;
    minHeight_ = minHeight;
  }
  int minWidth() const { return minWidth_; }
  int minHeight() const { return minHeight_; }

  TAlign align() const { return align_; }
  void setAlign(TAlign align);
  unsigned anchors() const { return anchors_; }
  void setAnchors(unsigned anchors);
  // Lays out the aligned and anchored children again.
  void realign();
  void bringToFront();
  void sendToBack();

  bool visible() const;
  void setVisible(bool visible);
  void show() { setVisible(true); }
  void hide() { setVisible(false); }
  bool enabled() const;
  void setEnabled(bool enabled);

  std::string text() const;
  void setText(const std::string& text);
  TColor color() const { return color_; }
  void setColor(TColor color);
  const TFont& font() const { return font_; }
  void setFont(const TFont& font);
  // A system cursor (IDC_SIZEALL, ...) shown over the control; null: the arrow;
  // emptyCursor: no cursor at all.
  void setCursor(LPCSTR systemCursor);
  LPCSTR cursor() const { return cursor_; }
  bool tabStop() const;
  void setTabStop(bool tabStop);
  void setPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }
  TPopupMenu* popupMenu() const { return popupMenu_; }

  bool canFocus() const;
  void setFocus();
  bool focused() const { return window_ && GetFocus() == window_; }
  // The focus is on the control or on a window inside it.
  bool holdsFocus() const;
  // The shown, enabled tab stops below the control, in tab order.
  std::vector<TControl*> tabStops() const;
  void setMouseCapture();
  void releaseMouseCapture();
  bool hasMouseCapture() const { return window_ && GetCapture() == window_; }

  // Acts as if the user clicked the control (buttons, menu shortcuts).
  void performClick() { click(); }

  void invalidate();
  void update();  // paints what is invalid now
  void repaint() {
    invalidate();
    update();
  }

  // Events.
  std::function<void(TMouseButton, TShiftState, int x, int y)> onMouseDown;
  std::function<void(TMouseButton, TShiftState, int x, int y)> onMouseUp;
  std::function<void(TShiftState, int x, int y)> onMouseMove;
  std::function<bool(int delta, TShiftState, int x, int y)> onMouseWheel;
  std::function<void()> onClick;
  std::function<void()> onDoubleClick;
  std::function<void(WORD& key, TShiftState)> onKeyDown;
  std::function<void(WORD& key, TShiftState)> onKeyUp;
  std::function<void(char& key)> onKeyPress;
  std::function<void()> onEnter;
  std::function<void()> onExit;
  std::function<void()> onResize;
  std::function<void(TCanvas&)> onPaint;

  // Focus moves between controls of one top-level window end here (see the
  // application's focus tracking): exit of the old, enter of the new.
  virtual void doEnter();
  virtual void doExit();
  // The focus moved to the control or to one inside it.
  virtual void focusMovedInside(TControl&) {}
  // Tab, Enter or Esc that the focused control did not want: handed up the
  // parents until a form uses it. True when used.
  virtual bool dialogKey(WORD key, TShiftState shift);

  // Ends an edit open in the control as leaving it for another control
  // would: its value is taken, or refused with the reason told once, or
  // asked about. How the edit ends when it is not taken is the ending's
  // (see TEditEnding). False when not taken.
  virtual bool endEdit(TEditEnding ending);
  // endEdit of the control and of every control inside it, shown or not;
  // unless giving up it stops at the first edit not taken, where the user
  // stays.
  bool endEditsInside(TEditEnding ending);

 protected:
  // Made by the derived constructors (the window class decides the params).
  void createWindow(const TWindowParams& params);
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
  // The part of the client area aligned children share.
  virtual RECT alignRect() const { return clientRect(); }

  virtual void mouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void mouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void mouseMove(TShiftState shift, int x, int y);
  // True when the wheel turn was used.
  virtual bool mouseWheel(int delta, TShiftState shift, int x, int y);
  virtual void click();
  virtual void doubleClick();
  virtual void keyDown(WORD& key, TShiftState shift);
  virtual void keyUp(WORD& key, TShiftState shift);
  virtual void keyPress(char& key);
  virtual void resized();
  virtual void paint(TCanvas& canvas);
  // A notification a child control sent us (WM_COMMAND or WM_NOTIFY) is
  // handed back to that child: a control handles its own notifications.
  virtual bool commandReceived(WORD code);
  virtual bool notificationReceived(NMHDR& header, LRESULT& result);
  virtual bool scrollReceived(WORD code, int position);
  // An item of an owner-drawn child (a combo box's) to draw.
  virtual bool drawItemReceived(const DRAWITEMSTRUCT& draw);
  // Background brush for a system control that has a colour of its own.
  virtual HBRUSH controlColor(HDC dc);
  // Own windows capture the mouse while a button is held, as users expect
  // from drags; system controls do their own.
  bool capturesMouse_ = true;

 private:
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool mouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void placeWithoutRecording(const RECT& bounds);
  void recordAnchorBase();
  void detachWindow();

  HWND window_ = nullptr;
  WNDPROC originalProcedure_ = nullptr;  // set for system controls
  TControl* parent_;
  std::vector<TControl*> children_;
  std::vector<std::unique_ptr<TControl>> ownedChildren_;
  TAlign align_ = TAlign::none;
  unsigned anchors_ = akLeft | akTop;
  RECT anchorBounds_{};  // bounds and parent size when last placed by hand
  SIZE anchorParentSize_{};
  int minWidth_ = 0;
  int minHeight_ = 0;
  TColor color_ = clDefault;
  TBrushHandle colorBrush_;
  TFont font_;
  LPCSTR cursor_ = nullptr;
  TPopupMenu* popupMenu_ = nullptr;
  bool clickPending_ = false;
  bool realigning_ = false;
};
