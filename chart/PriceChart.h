#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "chart/ChartLayout.h"
#include "controls/ResizablePanel.h"
#include "platform/Timer.h"

class TPortableIniFile;
class TPriceGraph;
class TXAxis;
class TYAxis;
class TAxis;
class TCaptionEditor;
class TEdit;
class TLabel;
class TImageList;
class TBitmap;

// A caption strip above or below the plot, its text aligned left, right or
// centred.
class TCaptionPanel : public TPanel {
 public:
  explicit TCaptionPanel(TControl* parent);
  int alignment() const { return alignment_; }
  void setAlignment(int alignment);

 protected:
  void paint(TCanvas& canvas) override;

 private:
  int alignment_ = 0;  // 0 left, 1 right, 2 centre
};

// The chart window docked in the document windows: one plot area framed by
// four axes and two caption strips, with the position read-out, measuring
// line and cross-hair, and the layout sections of its view files.
class TPriceChart : public TResizablePanel {
 public:
  explicit TPriceChart(TControl* parent);
  ~TPriceChart() override;

  TPriceGraph& graph() { return *graph_; }
  TXAxis& topXAxis() { return *topAxis_; }
  TXAxis& bottomXAxis() { return *bottomAxis_; }
  TYAxis& leftYAxis() { return *leftAxis_; }
  TYAxis& rightYAxis() { return *rightAxis_; }
  TPanel& plotFrame() { return *frame_; }
  TCaptionPanel& topCaption() { return *topCaption_; }
  TCaptionPanel& bottomCaption() { return *bottomCaption_; }

  bool getTopXAxisVisible() const { return topXVisible_; }
  void setTopXAxisVisible(bool visible);
  bool getTopXAxisDates() const;
  void setTopXAxisDates(bool dates);
  bool getTopXAxisSlider() const;
  void setTopXAxisSlider(bool slider);
  int getTopXAxisHeight() const;
  void setTopXAxisHeight(int height);
  TFont getTopXAxisFont() const;
  void setTopXAxisFont(const TFont& font);
  bool getBottomXAxisVisible() const { return bottomXVisible_; }
  void setBottomXAxisVisible(bool visible);
  bool getBottomXAxisDates() const;
  void setBottomXAxisDates(bool dates);
  bool getBottomXAxisSlider() const;
  void setBottomXAxisSlider(bool slider);
  int getBottomXAxisHeight() const;
  void setBottomXAxisHeight(int height);
  TFont getBottomXAxisFont() const;
  void setBottomXAxisFont(const TFont& font);
  bool getLeftYAxisVisible() const { return leftYVisible_; }
  void setLeftYAxisVisible(bool visible);
  bool getLeftYAxisSlider() const;
  void setLeftYAxisSlider(bool slider);
  int getLeftYAxisWidth() const;
  void setLeftYAxisWidth(int width);
  TFont getLeftYAxisFont() const;
  void setLeftYAxisFont(const TFont& font);
  bool getRightYAxisVisible() const { return rightYVisible_; }
  void setRightYAxisVisible(bool visible);
  bool getRightYAxisSlider() const;
  void setRightYAxisSlider(bool slider);
  int getRightYAxisWidth() const;
  void setRightYAxisWidth(int width);
  TFont getRightYAxisFont() const;
  void setRightYAxisFont(const TFont& font);
  void setAxesFont(const TFont& font);
  TColor getAxesColor() const;
  void setAxesColor(TColor color);

  bool getTopXGrid() const;
  void setTopXGrid(bool on);
  bool getBottomXGrid() const;
  void setBottomXGrid(bool on);
  bool getLeftYGrid() const;
  void setLeftYGrid(bool on);
  bool getRightYGrid() const;
  void setRightYGrid(bool on);
  TColor getGridColor() const;
  void setGridColor(TColor color);

  bool getLogarithmic() const;
  void setLogarithmic(bool on);
  bool getCrossHair() const { return crossHairMode_; }
  void setCrossHair(bool on);
  bool getShowPositionCenter() const { return showCenter_; }
  void setShowPositionCenter(bool show);
  bool getShowPositionTop() const { return showTop_; }
  void setShowPositionTop(bool show);
  bool getShowPositionBottom() const { return showBottom_; }
  void setShowPositionBottom(bool show);
  bool getShowPositionLeft() const { return showLeft_; }
  void setShowPositionLeft(bool show);
  bool getShowPositionRight() const { return showRight_; }
  void setShowPositionRight(bool show);
  bool getTransparentLabel() const { return transparentLabel_; }
  void setTransparentLabel(bool transparent);
  TColor getLabelColor() const { return labelColor_; }
  void setLabelColor(TColor color);
  bool getFill() const;
  void setFill(bool on);
  TColor getGraphColor() const;
  void setGraphColor(TColor color);
  TColor getFillColor() const;
  void setFillColor(TColor color);
  TFont getGraphFont() const;
  bool getProfileVisible() const;
  void setProfileVisible(bool on);
  bool getProfileFill() const;
  void setProfileFill(bool on);
  int getMaxProfileBins() const;
  void setMaxProfileBins(int bins);
  TColor getProfileFillColor() const;
  void setProfileFillColor(TColor color);

  bool getTopTextVisible() const { return topTextVisible_; }
  void setTopTextVisible(bool visible);
  int getTopTextAlign() const;
  void setTopTextAlign(int align);
  TColor getTopTextColor() const;
  void setTopTextColor(TColor color);
  TFont getTopTextFont() const;
  std::string getTopText() const;
  void setTopText(const std::string& text);
  int getTopTextHeight() const;
  void setTopTextHeight(int height);
  bool getBottomTextVisible() const { return bottomTextVisible_; }
  void setBottomTextVisible(bool visible);
  int getBottomTextAlign() const;
  void setBottomTextAlign(int align);
  TColor getBottomTextColor() const;
  void setBottomTextColor(TColor color);
  TFont getBottomTextFont() const;
  std::string getBottomText() const;
  void setBottomText(const std::string& text);
  int getBottomTextHeight() const;
  void setBottomTextHeight(int height);

  void setImageList(const TImageList* images);
  virtual void editTopText();
  virtual void editBottomText();
  int getLegendCount() const;
  int getLegendItem(int start, bool& enabled, std::string& caption) const;
  bool getSeriesEnabled(int index) const;
  void setSeriesEnabled(int index, bool enabled);
  TColor getSeriesColor(int index) const;
  int getSeriesPointKind(int index) const;
  void copyToBitmap(TBitmap& bitmap);
  void syncAxes();

  // The layout as the view file keeps it, and back through the setters.
  TChartLayout getLayout() const;
  void applyLayout(const TChartLayout& layout);
  // 0; -3 when reading failed; -4 when writing failed.
  int loadLayout(const TPortableIniFile& ini);
  int saveLayout(TPortableIniFile& ini) const;

  // Read-out, measuring and cross-hair.
  void graphMouseMove(TShiftState shift, int x, int y);
  void graphMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void graphMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void crossHairText();
  void hidePositionLabels();
  void moveCrossHairToX(TPriceGraph* sender, double x);
  // Called with the plot and the X under the mouse on every move over it.
  std::function<void(TPriceGraph*, double)> onCrossHairMoved;
  // What a click on the plot's link caption opens.
  std::string linkAddress;
  // Opens an address; the shell's "open" verb unless replaced (tests).
  std::function<void(const std::string&)> openLink;
  TTimer& readoutTimer() { return readoutTimer_; }
  TLabel& positionLabel(int which);  // 0 centre, 1 top, 2 bottom, 3 left, 4 right

 protected:
  virtual void topTextEditDblClick();
  virtual void topTextEditKeyPress(char& key);
  virtual void bottomTextEditDblClick();
  virtual void bottomTextEditKeyPress(char& key);
  void resized() override;
  // For charts that edit and show their captions themselves.
  TEdit& topTextEditor();
  TEdit& bottomTextEditor();
  // A computation holds the plot: the hourglass shows and the cross-hair is
  // hidden; it goes on following the mouse once the plot is given back.
  void setPlotBusy(bool busy);
  // Draws the cross-hair again where the mouse was last seen over the plot.
  void showCrossHair();

 private:
  void layoutChart();
  void layoutFrame();
  void repaintIfMasterX(const TXAxis& axis);
  void repaintIfMasterY(const TYAxis& axis);
  void setShowFlag(bool& flag, int label, bool show);
  void applyLabelColors();
  bool xValueAt(int mouseX, double& x) const;
  bool yValueAt(int mouseY, long double& y) const;
  const TAxis& xTextAxis() const;
  const TAxis& yTextAxis() const;
  void placeLabel(TLabel& label, const std::string& text, int left, int top);
  // A new editor for a caption whose alignment it does not have yet.
  void fitCaptionEditor(bool top);

  TCaptionPanel* topCaption_ = nullptr;
  TPanel* frame_ = nullptr;
  TCaptionPanel* bottomCaption_ = nullptr;
  std::unique_ptr<TCaptionEditor> topEditor_;
  std::unique_ptr<TCaptionEditor> bottomEditor_;
  TYAxis* leftAxis_ = nullptr;
  TYAxis* rightAxis_ = nullptr;
  TXAxis* topAxis_ = nullptr;
  TXAxis* bottomAxis_ = nullptr;
  TPriceGraph* graph_ = nullptr;
  TLabel* labels_[5] = {};
  TTimer readoutTimer_;
  bool showCenter_ = false;
  bool showTop_ = false;
  bool showBottom_ = false;
  bool showLeft_ = false;
  bool showRight_ = false;
  bool transparentLabel_ = false;
  TColor labelColor_;
  bool crossHairMode_ = false;
  bool measuring_ = false;
  bool plotBusy_ = false;
  LPCSTR normalCursor_ = IDC_CROSS;
  POINT lastCrossHair_{-1, -1};
  long double anchorY_ = 0;
  bool linkPress_ = false;
  bool topXVisible_ = true;
  bool bottomXVisible_ = true;
  bool leftYVisible_ = true;
  bool rightYVisible_ = true;
  bool topTextVisible_ = true;
  bool bottomTextVisible_ = true;
};
