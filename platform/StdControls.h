#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Control.h"
#include "platform/GdiObjects.h"

class TBitmap;
class TImageList;

// The system's standard controls, each a TControl over its window class.
// Their notifications come back to them from the parent and fire the events.

class TButton : public TControl {
 public:
  TButton(TControl* parent, const std::string& caption);
  // A non-zero result ends the modal loop of the button's form on a click.
  int modalResult = 0;
  // Enter (default) or Esc (cancel) in the form presses this button.
  void setDefault(bool isDefault);
  void setCancel(bool isCancel);
  // Shows a copy of the picture in place of the caption, which stays the
  // button's name for screen readers.
  void setPicture(const TBitmap& picture);
  // Shows an image of the list in place of the caption, and the disabled
  // one while the button is disabled (Windows would emboss the picture of
  // a disabled button into a grey block). The caption stays the button's
  // name for screen readers; Tab and Space reach the button as before.
  void setImages(const TImageList* images, int index, int disabledIndex);

 protected:
  void click() override;
  bool commandReceived(WORD code) override;
  bool drawItemReceived(const DRAWITEMSTRUCT& draw) override;

 private:
  TBitmapHandle picture_;
  const TImageList* images_ = nullptr;
  int imageIndex_ = -1;
  int disabledImageIndex_ = -1;
};

class TCheckBox : public TControl {
 public:
  TCheckBox(TControl* parent, const std::string& caption);
  bool checked() const;
  void setChecked(bool checked);

 protected:
  bool commandReceived(WORD code) override;
};

// One choice of a group: the first of a group is made with firstOfGroup,
// and a click checks it and unchecks the others of its group.
class TRadioButton : public TControl {
 public:
  TRadioButton(TControl* parent, const std::string& caption, bool firstOfGroup = false);
  bool checked() const;
  void setChecked(bool checked);

 protected:
  bool commandReceived(WORD code) override;
};

class TEdit : public TControl {
 public:
  explicit TEdit(TControl* parent, const std::string& text = {});
  void setReadOnly(bool readOnly);
  void setMaxLength(int length);
  void selectAll();
  void setSelection(int start, int end);
  // Start and end of the selection; both the caret when nothing is selected.
  std::pair<int, int> selection() const;
  std::function<void()> onChange;

 protected:
  TEdit(TControl* parent, DWORD extraStyle);
  bool commandReceived(WORD code) override;
  void keyDown(WORD& key, TShiftState shift) override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A multi-line edit; its text joins the lines with CR LF.
class TMemo : public TEdit {
 public:
  explicit TMemo(TControl* parent);
  std::vector<std::string> lines() const;
  void setLines(const std::vector<std::string>& lines);
  void setWordWrap(bool wrap);
};

// Static text on its parent's background.
enum class TTextAlignment { left, right, centre };

class TLabel : public TControl {
 public:
  TLabel(TControl* parent, const std::string& caption);
  // Makes the label as wide and high as its text.
  void autoSize();
  // Where the text sits in the label's width.
  void setAlignment(TTextAlignment alignment);
  TTextAlignment alignment() const;

 protected:
  HBRUSH controlColor(HDC dc) override;

 private:
  TBrushHandle background_;
};

class TGroupBox : public TControl {
 public:
  TGroupBox(TControl* parent, const std::string& caption);

 protected:
  RECT alignRect() const override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// ownerDrawList: a drop-down list whose items onDrawItem draws.
enum class TComboStyle { dropDown, dropDownList, ownerDrawList };

class TCanvas;

class TComboBox : public TControl {
 public:
  TComboBox(TControl* parent, TComboStyle style = TComboStyle::dropDownList);
  // Draws an item (also the closed box's) over its background, which is
  // already filled in the colour of a selected or unselected item.
  std::function<void(TCanvas& canvas, int index, const RECT& place)> onDrawItem;
  // The height of the items and of the closed box's field (owner-drawn).
  void setItemHeight(int height);
  // The window is as high as its closed box; the list drops this far.
  int dropDownHeight = 150;
  void addItem(const std::string& item);
  void clear();
  int count() const;
  std::string item(int index) const;
  int itemIndex() const;
  void setItemIndex(int index);
  std::function<void()> onChange;  // a new item chosen, or the text edited
  bool dialogKey(WORD key, TShiftState shift) override;

 protected:
  bool commandReceived(WORD code) override;
  bool drawItemReceived(const DRAWITEMSTRUCT& draw) override;
};

class TListBox : public TControl {
 public:
  explicit TListBox(TControl* parent);
  void addItem(const std::string& item);
  void clear();
  int count() const;
  std::string item(int index) const;
  int itemIndex() const;
  void setItemIndex(int index);
  void beginUpdate();
  void endUpdate();
  std::function<void()> onChange;  // the selection moved

 protected:
  bool commandReceived(WORD code) override;
};
