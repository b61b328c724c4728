#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/Menu.h"

class TCanvas;
class TPriceChart;
class TSheetGraph;
class TSourceTable;
class TmainForm;

// Saves the chart or graph favourites the user changed; what their file
// refuses waits for the close as they stand now, and shows again when they
// are read anew (see TSourceTable::saveHolding), and false says so.
bool saveFavourites(TSourceTable& favourites, const std::string& fileName, char decimalSeparator,
                    char listSeparator);

// The popup menu of every docked sheet chart and sheet graph: plot, axes
// and caption options, sources, favourites and sliders, the shown series,
// the gallery, the default view and the bitmap export, each acting on the
// view the menu was opened on.
class TchartPopupMenu : public TPopupMenu {
 public:
  explicit TchartPopupMenu(TmainForm& owner);

  // The sheet chart or graph the menu was last opened on, or null.
  TSheetGraph* popupTarget = nullptr;
  bool targetIsChart() const;

  // The series items after "&Favorites", rebuilt on every opening.
  const std::vector<TMenuItem*>& seriesItems() const { return seriesItems_; }
  TMenuItem& item(const std::string& path);

  static int enlarged(int size);
  static int reduced(int size);

 private:
  using TGetFlag = bool (TPriceChart::*)() const;
  using TSetFlag = void (TPriceChart::*)(bool);
  using TGetSize = int (TPriceChart::*)() const;
  using TSetSize = void (TPriceChart::*)(int);
  using TGetFont = TFont (TPriceChart::*)() const;
  using TGetColor = TColor (TPriceChart::*)() const;
  using TSetColor = void (TPriceChart::*)(TColor);

  void chartPopup();
  void rebuildData();
  void addToggle(TMenuItem& parent, const char* caption, TGetFlag get, TSetFlag set);
  void addSizes(TMenuItem& parent, TGetSize get, TSetSize set);
  void addFont(TMenuItem& parent, const char* caption, TGetFont get, std::function<void(TPriceChart&, const TFont&)> set);
  void addColor(TMenuItem& parent, const char* caption, TGetColor get, TSetColor set);
  void addXAxis(TMenuItem& axes, const char* caption, bool top);
  void addYAxis(TMenuItem& axes, const char* caption, bool left);
  void addCaption(TMenuItem& captions, const char* caption, bool top);
  void drawSeriesItem(const TMenuItem& series, TCanvas& canvas, const RECT& rect) const;
  void favouriteClick(int index);
  void slidersClick();
  void sourcesClick();
  void chartDataSourceApply();
  void graphDataSourceApply(const std::string& fromX, const std::string& toX, const std::string& steps);
  int saveTarget();
  TSourceTable& favourites() const;
  void saveFavourites(TSourceTable& favourites, const std::string& fileName);
  std::string templateFile() const;
  void galleryAddClick();
  void makeDefaultClick();
  // The view at the start of a sentence: "The chart".
  std::string viewNamed() const;
  // A command that did nothing, and why, in the window's box.
  void tellRefusal(const std::string& what, const std::string& why);
  void bitmapClick();
  void clearDefaultClick();
  void deleteClick();

  TmainForm& owner_;
  TMenuItem* maximizedItem_ = nullptr;
  TMenuItem* slidersItem_ = nullptr;
  TMenuItem* dataItem_ = nullptr;
  std::vector<TMenuItem*> seriesItems_;
  // Check marks set from the chart on every opening.
  std::vector<std::pair<TMenuItem*, std::function<bool(const TPriceChart&)>>> checks_;
};
