#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/EditorStatus.h"
#include "platform/Bitmap.h"
#include "controls/KeyPanel.h"
#include "platform/Timer.h"

class TBevel;
class TCaret;
class TPaintBoxEx;
class TScrollBarEx;

// Fills one attribute id per character of the whole text (joined with CR LF).
using TTextAttributesCallback = std::function<void(const std::string& text, std::vector<uint16_t>& attributeIds)>;

// The text editor control: shows and edits an attached document, paints it
// through an off-screen bitmap with syntax colouring, keeps its own scroll
// bars, and turns keys, mouse and wheel into calls on the document. The
// document and the attribute table stay with their owners.
class TEditPanel : public TKeyPanel {
 public:
  explicit TEditPanel(TControl* parent);
  ~TEditPanel() override;

  void setEditorStatus(TEditorStatus* document);
  void setOnGetTextAttributes(TTextAttributesCallback callback);
  void setFontAttributeSets(TFontAttributeSets* sets);
  TEditorStatus* editorStatus() const { return document_; }
  TFontAttributeSets* fontAttributeSets() const { return fontAttributeSets_; }

  std::function<void(TEditPanel& sender)> onRender;
  TColor bgColor() const { return document_ ? document_->backgroundColour : clWindow; }
  void setBgColor(TColor colour);

  void getCaret(TTextPoint& point) const;
  void setSelection(const TTextRect& rect);
  bool isReadOnly() const { return !document_ || document_->readOnly; }
  int canUndo() const { return document_ ? document_->canUndo() : 0; }
  int canRedo() const { return document_ ? document_->canRedo() : 0; }
  bool undo();
  bool redo();
  bool canPaste() const { return document_ && document_->canPaste(); }
  bool cut();
  bool paste();
  void copy();
  bool insertText(const std::string& text);
  bool deleteSelection();
  void deleteLine();
  void selectAll();
  bool find(const std::string& text, const TSearchOptions& options);
  bool replace(const std::string& findText, const std::string& replaceText, const TSearchOptions& options);
  void clear();
  bool loadFile(const std::string& fileName, bool createIfMissing);

  // Colours the text again when it changed, and paints keeping the caret
  // visible. Hides the control's own update (paint what is invalid).
  void update();

  TScrollBarEx& verticalBar() const { return *verticalBar_; }
  TScrollBarEx& horizontalBar() const { return *horizontalBar_; }
  TPaintBoxEx& paintBox() const { return *paintBox_; }
  const std::vector<uint16_t>& attributeIds() const { return attributeIds_; }
  bool updatePending() const { return updateTimer_.enabled(); }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void keyDown(WORD& key, TShiftState shift) override;
  void keyPress(char& key) override;
  bool mouseWheel(int delta, TShiftState shift, int x, int y) override;
  void resized() override;

 private:
  void paintText(bool keepCaretVisible, bool updateHorizontalBar, const TTextRect& highlight, bool updateVerticalBar);
  void updateAfter(bool done);
  void paintBoxMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void paintBoxMouseMove(TShiftState shift, int x, int y);
  void forwardMouseDown(const TControl& from, TMouseButton button, TShiftState shift, int x, int y);
  void textChangedOutside();

  bool mouseDown_ = false;
  TBevel* bevel_ = nullptr;
  TScrollBarEx* verticalBar_ = nullptr;
  TScrollBarEx* horizontalBar_ = nullptr;
  TPaintBoxEx* paintBox_ = nullptr;
  TBitmap bitmap_;
  std::unique_ptr<TCaret> caret_;
  TTimer updateTimer_;
  TEditorStatus* document_ = nullptr;
  std::vector<uint16_t> attributeIds_;
  TFontAttributeSets* fontAttributeSets_ = nullptr;
  TTextAttributesCallback getTextAttributes_;
  // The text the attribute ids belong to: colouring runs only when it changed.
  const TEditorStatus* colouredDocument_ = nullptr;
  uint64_t colouredGeneration_ = 0;
};
