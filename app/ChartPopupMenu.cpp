#include "app/ChartPopupMenu.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "app/MainForm.h"
#include "app/SharedPopupMenus.h"
#include "chart/PriceChart.h"
#include "chart/PointMarker.h"
#include "chart/ChartSourceForm.h"
#include "chart/GraphSourceForm.h"
#include "chart/PriceGraph.h"
#include "chart/SheetGraph.h"
#include "chart/SheetViewOwner.h"
#include "chart/SliderForm.h"
#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "controls/GalleryForm.h"
#include "model/LanguageStrings.h"
#include "model/UnreadableFiles.h"
#include "platform/Application.h"
#include "platform/LocaleSettings.h"
#include "model/DeletionRefusal.h"
#include "model/Directories.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/FileSystem.h"

namespace {

// "&Axes" > "&Top" names the path of captions down to an item.
TMenuItem* findPath(TMenuItem& root, const std::string& path) {
  TMenuItem* current = &root;
  size_t start = 0;
  while (current != nullptr && start <= path.size()) {
    const size_t end = std::min(path.find(" > ", start), path.size());
    const std::string caption = path.substr(start, end - start);
    TMenuItem* next = nullptr;
    for (const auto& item : current->items())
      if (item->caption == caption) next = item.get();
    current = next;
    start = end + 3;
  }
  return current;
}

}  // namespace

bool saveFavourites(TSourceTable& favourites, const std::string& fileName, char decimalSeparator,
                    char listSeparator) {
  // What is held keeps the table's baseline, so that a favourite another
  // program added meanwhile still refuses the save at the close; and it
  // shows again when the favourites are read anew (a directory change).
  return favourites.saveHolding(fileName, decimalSeparator, listSeparator) == 0;
}

TchartPopupMenu::TchartPopupMenu(TmainForm& owner) : owner_(owner) {
  onPopup = [this] { chartPopup(); };
  maximizedItem_ = &add("&Maximized", [this] {
    if (popupTarget == nullptr) return;
    if (popupTarget->canFocus()) popupTarget->setFocus();
    popupTarget->toggleMaximized();
  });
  slidersItem_ = &add("&Sliders", [this] { slidersClick(); });
  dataItem_ = &add("&Data");

  TMenuItem& plot = add("&Plot");
  // The graph's own setter: it recomputes in the new scale.
  TMenuItem& logarithmic = plot.add("&Logarithmic", [this] {
    if (popupTarget) popupTarget->setLogarithmic(!popupTarget->logarithmic());
  });
  checks_.emplace_back(&logarithmic, [](const TPriceChart& chart) { return chart.getLogarithmic(); });
  addToggle(plot, "Cr&osshair", &TPriceChart::getCrossHair, &TPriceChart::setCrossHair);
  TMenuItem& hints = plot.add("&Hints");
  TMenuItem& position = hints.add("&Position");
  addToggle(position, "&Cursor", &TPriceChart::getShowPositionCenter, &TPriceChart::setShowPositionCenter);
  addToggle(position, "&Top", &TPriceChart::getShowPositionTop, &TPriceChart::setShowPositionTop);
  addToggle(position, "&Bottom", &TPriceChart::getShowPositionBottom, &TPriceChart::setShowPositionBottom);
  addToggle(position, "&Left", &TPriceChart::getShowPositionLeft, &TPriceChart::setShowPositionLeft);
  addToggle(position, "&Right", &TPriceChart::getShowPositionRight, &TPriceChart::setShowPositionRight);
  addFont(hints, "&Font", &TPriceChart::getGraphFont,
          [](TPriceChart& chart, const TFont& font) { chart.graph().setFont(font); });
  addColor(hints, "&Color", &TPriceChart::getLabelColor, &TPriceChart::setLabelColor);
  addToggle(hints, "&Transparent", &TPriceChart::getTransparentLabel, &TPriceChart::setTransparentLabel);
  TMenuItem& grid = plot.add("&Grid");
  addToggle(grid, "&Top", &TPriceChart::getTopXGrid, &TPriceChart::setTopXGrid);
  addToggle(grid, "&Bottom", &TPriceChart::getBottomXGrid, &TPriceChart::setBottomXGrid);
  addToggle(grid, "&Left", &TPriceChart::getLeftYGrid, &TPriceChart::setLeftYGrid);
  addToggle(grid, "&Right", &TPriceChart::getRightYGrid, &TPriceChart::setRightYGrid);
  addColor(grid, "&Color", &TPriceChart::getGridColor, &TPriceChart::setGridColor);
  TMenuItem& profile = plot.add("&Profile");
  addToggle(profile, "&Show", &TPriceChart::getProfileVisible, &TPriceChart::setProfileVisible);
  TMenuItem& profileFill = profile.add("&Fill");
  addToggle(profileFill, "&Show", &TPriceChart::getProfileFill, &TPriceChart::setProfileFill);
  addColor(profileFill, "&Color", &TPriceChart::getProfileFillColor, &TPriceChart::setProfileFillColor);
  TMenuItem& maxBins = profile.add("&Max bins");
  for (int bins = 2; bins <= 1024; bins *= 2) {
    TMenuItem& item = maxBins.add(std::to_string(bins), [this, bins] {
      if (popupTarget) popupTarget->setMaxProfileBins(bins);
    });
    item.radio = true;
    item.tag = bins;
    checks_.emplace_back(&item, [bins](const TPriceChart& chart) { return chart.getMaxProfileBins() == bins; });
  }
  TMenuItem& fill = plot.add("&Fill");
  addToggle(fill, "&Show", &TPriceChart::getFill, &TPriceChart::setFill);
  addColor(fill, "&Color", &TPriceChart::getFillColor, &TPriceChart::setFillColor);
  addColor(plot, "&Color", &TPriceChart::getGraphColor, &TPriceChart::setGraphColor);

  TMenuItem& axes = add("&Axes");
  addXAxis(axes, "&Top", true);
  addXAxis(axes, "&Bottom", false);
  addYAxis(axes, "&Left", true);
  addYAxis(axes, "&Right", false);
  axes.add("&Font", [this] {
    if (popupTarget == nullptr) return;
    TFont font = popupTarget->getBottomXAxisFont();
    if (owner_.fontDialog.execute(owner_.handle(), font)) popupTarget->setAxesFont(font);
  });
  TMenuItem& axesColor = axes.add("&Color");
  addColor(axesColor, "&Set", &TPriceChart::getAxesColor, &TPriceChart::setAxesColor);
  axesColor.add("&Reset", [this] {
    if (popupTarget) popupTarget->setAxesColor(popupTarget->color());
  });

  TMenuItem& captions = add("&Captions");
  addCaption(captions, "&Top", true);
  addCaption(captions, "&Bottom", false);

  TMenuItem& gallery = add("&Gallery");
  gallery.add("&Add", [this] { galleryAddClick(); });
  gallery.add("&Make default", [this] { makeDefaultClick(); });
  gallery.add("&Clear default", [this] { clearDefaultClick(); });
  add("&Bitmap", [this] { bitmapClick(); });
  add("D&elete", [this] { deleteClick(); });
}

TMenuItem& TchartPopupMenu::item(const std::string& path) { return *findPath(*this, path); }

int TchartPopupMenu::enlarged(int size) { return std::max(size + 1, size * 3 / 2); }
int TchartPopupMenu::reduced(int size) { return size * 2 / 3; }

void TchartPopupMenu::addToggle(TMenuItem& parent, const char* caption, TGetFlag get, TSetFlag set) {
  TMenuItem& item = parent.add(caption, [this, get, set] {
    if (popupTarget) (popupTarget->*set)(!(popupTarget->*get)());
  });
  checks_.emplace_back(&item, [get](const TPriceChart& chart) { return (chart.*get)(); });
}

void TchartPopupMenu::addSizes(TMenuItem& parent, TGetSize get, TSetSize set) {
  parent.add("&Enlarge", [this, get, set] {
    if (popupTarget) (popupTarget->*set)(enlarged((popupTarget->*get)()));
  });
  parent.add("&Reduce", [this, get, set] {
    if (popupTarget) (popupTarget->*set)(reduced((popupTarget->*get)()));
  });
}

void TchartPopupMenu::addFont(TMenuItem& parent, const char* caption, TGetFont get,
                              std::function<void(TPriceChart&, const TFont&)> set) {
  parent.add(caption, [this, get, set] {
    if (popupTarget == nullptr) return;
    TFont font = (popupTarget->*get)();
    if (owner_.fontDialog.execute(owner_.handle(), font)) set(*popupTarget, font);
  });
}

void TchartPopupMenu::addColor(TMenuItem& parent, const char* caption, TGetColor get, TSetColor set) {
  parent.add(caption, [this, get, set] {
    if (popupTarget == nullptr) return;
    TColor color = (popupTarget->*get)();
    if (owner_.colorDialog.execute(owner_.handle(), color)) (popupTarget->*set)(color);
  });
}

void TchartPopupMenu::addXAxis(TMenuItem& axes, const char* caption, bool top) {
  TMenuItem& axis = axes.add(caption);
  if (top) {
    addToggle(axis, "&Show", &TPriceChart::getTopXAxisVisible, &TPriceChart::setTopXAxisVisible);
    addToggle(axis, "&Dates", &TPriceChart::getTopXAxisDates, &TPriceChart::setTopXAxisDates);
    addToggle(axis, "&Position", &TPriceChart::getTopXAxisSlider, &TPriceChart::setTopXAxisSlider);
    addSizes(axis, &TPriceChart::getTopXAxisHeight, &TPriceChart::setTopXAxisHeight);
    addFont(axis, "&Font", &TPriceChart::getTopXAxisFont, &TPriceChart::setTopXAxisFont);
  } else {
    addToggle(axis, "&Show", &TPriceChart::getBottomXAxisVisible, &TPriceChart::setBottomXAxisVisible);
    addToggle(axis, "&Dates", &TPriceChart::getBottomXAxisDates, &TPriceChart::setBottomXAxisDates);
    addToggle(axis, "&Position", &TPriceChart::getBottomXAxisSlider, &TPriceChart::setBottomXAxisSlider);
    addSizes(axis, &TPriceChart::getBottomXAxisHeight, &TPriceChart::setBottomXAxisHeight);
    addFont(axis, "&Font", &TPriceChart::getBottomXAxisFont, &TPriceChart::setBottomXAxisFont);
  }
}

void TchartPopupMenu::addYAxis(TMenuItem& axes, const char* caption, bool left) {
  TMenuItem& axis = axes.add(caption);
  if (left) {
    addToggle(axis, "&Show", &TPriceChart::getLeftYAxisVisible, &TPriceChart::setLeftYAxisVisible);
    addToggle(axis, "&Position", &TPriceChart::getLeftYAxisSlider, &TPriceChart::setLeftYAxisSlider);
    addSizes(axis, &TPriceChart::getLeftYAxisWidth, &TPriceChart::setLeftYAxisWidth);
    addFont(axis, "&Font", &TPriceChart::getLeftYAxisFont, &TPriceChart::setLeftYAxisFont);
  } else {
    addToggle(axis, "&Show", &TPriceChart::getRightYAxisVisible, &TPriceChart::setRightYAxisVisible);
    addToggle(axis, "&Position", &TPriceChart::getRightYAxisSlider, &TPriceChart::setRightYAxisSlider);
    addSizes(axis, &TPriceChart::getRightYAxisWidth, &TPriceChart::setRightYAxisWidth);
    addFont(axis, "&Font", &TPriceChart::getRightYAxisFont, &TPriceChart::setRightYAxisFont);
  }
}

void TchartPopupMenu::addCaption(TMenuItem& captions, const char* caption, bool top) {
  TMenuItem& panel = captions.add(caption);
  addToggle(panel, "&Show", top ? &TPriceChart::getTopTextVisible : &TPriceChart::getBottomTextVisible,
            top ? &TPriceChart::setTopTextVisible : &TPriceChart::setBottomTextVisible);
  TMenuItem& align = panel.add("&Align");
  const char* const alignCaptions[3] = {"&Left", "&Right", "&Center"};
  for (int alignment = 0; alignment < 3; ++alignment) {
    TMenuItem& item = align.add(alignCaptions[alignment], [this, top, alignment] {
      if (popupTarget == nullptr) return;
      top ? popupTarget->setTopTextAlign(alignment) : popupTarget->setBottomTextAlign(alignment);
    });
    item.radio = true;
    checks_.emplace_back(&item, [top, alignment](const TPriceChart& chart) {
      return (top ? chart.getTopTextAlign() : chart.getBottomTextAlign()) == alignment;
    });
  }
  panel.add("E&dit", [this, top] {
    if (popupTarget == nullptr) return;
    top ? popupTarget->editTopText() : popupTarget->editBottomText();
  });
  addSizes(panel, top ? &TPriceChart::getTopTextHeight : &TPriceChart::getBottomTextHeight,
           top ? &TPriceChart::setTopTextHeight : &TPriceChart::setBottomTextHeight);
  addFont(panel, "&Font", top ? &TPriceChart::getTopTextFont : &TPriceChart::getBottomTextFont,
          [top](TPriceChart& chart, const TFont& font) {
            top ? chart.topCaption().setFont(font) : chart.bottomCaption().setFont(font);
          });
  TMenuItem& color = panel.add("&Color");
  addColor(color, "&Set", top ? &TPriceChart::getTopTextColor : &TPriceChart::getBottomTextColor,
           top ? &TPriceChart::setTopTextColor : &TPriceChart::setBottomTextColor);
  color.add("&Reset", [this, top] {
    if (popupTarget == nullptr) return;
    top ? popupTarget->setTopTextColor(popupTarget->color()) : popupTarget->setBottomTextColor(popupTarget->color());
  });
}

bool TchartPopupMenu::targetIsChart() const { return dynamic_cast<TSheetChart*>(popupTarget) != nullptr; }

void TchartPopupMenu::chartPopup() {
  popupTarget = dynamic_cast<TSheetGraph*>(popupComponent);
  for (const auto& child : items()) child->enabled = popupTarget != nullptr;
  if (popupTarget == nullptr) return;
  maximizedItem_->checked = popupTarget->maximized();
  slidersItem_->enabled = popupTarget->sourceTable().hasAdjustableParameters();
  item("&Plot > &Profile").enabled = targetIsChart();
  for (auto& [item, isChecked] : checks_) item->checked = isChecked(*popupTarget);
  rebuildData();
}

void TchartPopupMenu::rebuildData() {
  // The submenu is made afresh on every opening: the series shown in the
  // legend differ from chart to chart.
  dataItem_->clear();
  seriesItems_.clear();
  dataItem_->add("&Sources", [this] { sourcesClick(); });
  TMenuItem& favouritesItem = dataItem_->add("&Favorites");
  const TSourceTable& table = favourites();
  for (int index = 0; index < table.count(); ++index) {
    const TSource* source = table.getSource(index);
    if (source == nullptr || source->Caption.empty()) continue;
    favouritesItem.add(ampersandsDoubled(source->Caption), [this, index] { favouriteClick(index); }).tag = index;
  }
  favouritesItem.enabled = !favouritesItem.items().empty();
  if (popupTarget->getLegendCount() <= 0) return;
  dataItem_->addSeparator();
  bool enabled = false;
  std::string caption;
  for (int index = popupTarget->getLegendItem(0, enabled, caption); index >= 0;
       index = popupTarget->getLegendItem(index + 1, enabled, caption)) {
    TMenuItem& series = dataItem_->add(ampersandsDoubled(caption), [this, index] {
      if (popupTarget == nullptr) return;
      popupTarget->setSeriesEnabled(index, !popupTarget->getSeriesEnabled(index));
      popupTarget->repaint();
    });
    series.checked = enabled;
    series.tag = index;
    series.onDraw = [this, &series](TCanvas& canvas, const RECT& rect, bool) { drawSeriesItem(series, canvas, rect); };
    seriesItems_.push_back(&series);
  }
}

void TchartPopupMenu::drawSeriesItem(const TMenuItem& series, TCanvas& canvas, const RECT& rect) const {
  const int s = (rect.bottom - rect.top) - 3;
  const int textHeight = canvas.textHeight("M");
  canvas.textOut(rect.left + s + 6, rect.top + (rect.bottom - rect.top - textHeight) / 2, series.caption);
  if (!series.checked || popupTarget == nullptr) return;
  canvas.setPen(systemColor(COLOR_MENUTEXT));
  canvas.setBrush(popupTarget->getSeriesColor(series.tag));
  canvas.rectangle({rect.left + 3, rect.top + 2, rect.left + s + 2, rect.bottom - 2});
  drawPointMarker(canvas, rect.left + 2 + s / 2, rect.top + 1 + s / 2, 1, popupTarget->getSeriesPointKind(series.tag));
}

TSourceTable& TchartPopupMenu::favourites() const {
  return targetIsChart() ? *owner_.chartFavorites : *owner_.graphFavorites;
}

int TchartPopupMenu::saveTarget() {
  const TLocaleSettings& locale = localeSettings();
  return popupTarget->saveToFile(locale.decimalSeparator, locale.listSeparator);
}

void TchartPopupMenu::favouriteClick(int index) {
  const TSource* favourite = favourites().getSource(index);
  if (popupTarget == nullptr || favourite == nullptr) return;
  TSourceTable& table = popupTarget->sourceTable();
  const int at = table.count();
  if (table.insertSource(at) != 0 || table.getSource(at) == nullptr) return;
  table.getSource(at)->assign(favourite);
  saveTarget();
  popupTarget->rebuild();
}

void TchartPopupMenu::slidersClick() {
  if (popupTarget == nullptr) return;
  TSheetGraph* view = popupTarget;
  TSliderForm sliders;
  sliders.loadGUIoptions(owner_.paths().guiOptionsFileName);
  POINT mouse{};
  GetCursorPos(&mouse);
  sliders.showSourceParameters(&view->sourceTable(), targetIsChart() ? "Chart parameters" : "Graph parameters",
                               [view](TSliderForm*) { view->rebuild(); }, mouse);
  if (sliders.modified()) saveTarget();
  sliders.saveGUIoptions(owner_.paths().guiOptionsFileName);
}

void TchartPopupMenu::sourcesClick() {
  if (popupTarget == nullptr) return;
  THourglass hourglass;
  const TMainPaths& paths = owner_.paths();
  TSheetGraph* view = popupTarget;
  bool accepted = false;
  bool favouritesChanged = false;
  if (targetIsChart()) {
    TchartSourceForm editor(getDirectory("<DATA>"));
    editor.setSheetImageList(&owner_.imageList);
    editor.setTextEditorPopupMenu(&owner_.popupMenus->notesPopupMenu);
    editor.setLanguageFile(paths.languageFileName);
    editor.loadGUIoptions(paths.guiOptionsFileName);
    accepted = editor.editSources(view->sourceTable(), owner_.chartFavorites.get(),
                                  [this](TchartSourceForm*) { chartDataSourceApply(); });
    editor.saveGUIoptions(paths.guiOptionsFileName);
    favouritesChanged = editor.favouritesChanged();
    if (favouritesChanged) saveFavourites(*owner_.chartFavorites, paths.chartFavsFileName);
  } else {
    TgraphSourceForm editor(getDirectory("<DATA>"));
    editor.setSheetImageList(&owner_.imageList);
    editor.setTextEditorPopupMenu(&owner_.popupMenus->notesPopupMenu);
    editor.setLanguageFile(paths.languageFileName);
    editor.loadGUIoptions(paths.guiOptionsFileName);
    std::string fromX = view->fromXFormula(), toX = view->toXFormula(), steps = view->stepsFormula();
    accepted = editor.editSources(
        view->sourceTable(), owner_.graphFavorites.get(),
        [this](const std::string& from, const std::string& to, const std::string& count) {
          graphDataSourceApply(from, to, count);
        },
        fromX, toX, steps);
    if (accepted) view->setXFormulas(fromX, toX, steps, false);
    editor.saveGUIoptions(paths.guiOptionsFileName);
    favouritesChanged = editor.favouritesChanged();
    if (favouritesChanged) saveFavourites(*owner_.graphFavorites, paths.graphFavsFileName);
  }
  if (accepted && popupTarget == view) saveTarget();
  view->rebuild();
}

void TchartPopupMenu::saveFavourites(TSourceTable& favourites, const std::string& fileName) {
  const TLocaleSettings& locale = localeSettings();
  // A save refused (another program added a favourite under the number
  // the user's takes) or failed is told at once; given up, it waits for
  // the close, and the favourites shown stay as the user left them.
  while (!::saveFavourites(favourites, fileName, locale.decimalSeparator, locale.listSeparator)) {
    const int answer = owner_.messageBox().show(owner_.handle(), "Failed to save " + fileName + "." +
                                                                     refusedSavesText({fileName}),
                                                commonString(4), MB_RETRYCANCEL | MB_ICONSTOP);
    if (answer != IDRETRY) return;
  }
}

void TchartPopupMenu::chartDataSourceApply() {
  if (!targetIsChart()) return;
  saveTarget();
  popupTarget->rebuild();
}

void TchartPopupMenu::graphDataSourceApply(const std::string& fromX, const std::string& toX, const std::string& steps) {
  if (popupTarget == nullptr) return;
  popupTarget->setXFormulas(fromX, toX, steps, false);
  saveTarget();
  popupTarget->rebuild();
}

std::string TchartPopupMenu::templateFile() const {
  return getDirectory("<DATA>") + (targetIsChart() ? "ChartTemplate.INI" : "GraphTemplate.INI");
}

void TchartPopupMenu::galleryAddClick() {
  if (popupTarget == nullptr || !owner_.galleryForm) return;
  // A view that cannot be saved is not filed: its file would be stale.
  if (saveTarget() != 0) {
    tellRefusal(viewNamed() + " was not added to the gallery: ", saveFailureText(popupTarget->fileName()));
    return;
  }
  TBitmap picture;
  popupTarget->copyToBitmap(picture);
  int kind = targetIsChart() ? 1 : 2;
  std::string made;
  owner_.galleryForm->add(kind, galleryTabOf(kind), popupTarget->fileName(), "", picture, TGalleryTargets{}, made);
}

void TchartPopupMenu::makeDefaultClick() {
  if (popupTarget == nullptr) return;
  // The default is the view as the user sees it, or it stays as it was: a
  // default left as it was would make every new view from the old one.
  const std::string file = templateFile();
  std::string refusal;
  if (saveTarget() != 0)
    refusal = saveFailureText(popupTarget->fileName());
  else if (!copyFile(popupTarget->fileName(), file, false))
    refusal = file + " " + whyNotWritten(file);
  if (!refusal.empty()) tellRefusal("The default was not made: ", refusal);
}

std::string TchartPopupMenu::viewNamed() const { return targetIsChart() ? "The chart" : "The graph"; }

void TchartPopupMenu::tellRefusal(const std::string& what, const std::string& why) {
  owner_.messageBox().show(owner_.handle(), what + why + ".", commonString(4), MB_OK | MB_ICONWARNING);
}

void TchartPopupMenu::bitmapClick() {
  if (popupTarget == nullptr) return;
  const std::string fileName = getDirectory("<TEMP>") + (targetIsChart() ? "CHART.BMP" : "GRAPH.BMP");
  TBitmap picture;
  popupTarget->copyToBitmap(picture);
  deleteFile(fileName);
  if (picture.saveToFile(fileName))
    ShellExecuteA(owner_.handle(), "Open", fileName.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TchartPopupMenu::clearDefaultClick() {
  if (!popupTarget) return;
  // A default that stays would make every new view from it without a word.
  std::string refusal;
  if (deleteWhole({templateFile()}, refusal)) return;
  owner_.messageBox().show(owner_.handle(), deletionNotice("The default was", false, refusal, "cleared"),
                           commonString(4), MB_OK | MB_ICONWARNING);
}

void TchartPopupMenu::deleteClick() {
  if (popupTarget == nullptr) return;
  TSheetGraph& view = *popupTarget;
  const int answer = owner_.messageBox().show(owner_.handle(), targetIsChart() ? "Delete chart?" : "Delete graph?",
                                              commonString(2), MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
  if (answer != IDYES) return;
  // A view whose file refuses stays where it is: gone from the window, it
  // would be back at the next start.
  const std::string refusal = firstDeletionRefusal({view.fileName()});
  if (!refusal.empty()) {
    tellRefusal(viewNamed() + " was not deleted: ", refusal);
    return;
  }
  // The window docking the view owns it and must forget it first.
  TSheetViewOwner* owner = nullptr;
  for (TControl* control = view.parent(); control != nullptr && owner == nullptr; control = control->parent())
    owner = dynamic_cast<TSheetViewOwner*>(control);
  if (owner == nullptr) return;
  std::unique_ptr<TSheetGraph> released = owner->releaseSheetView(view);
  if (!released) return;
  popupTarget = nullptr;
  // The menu runs inside the view's own mouse message: it goes afterwards.
  auto pending = std::make_shared<std::unique_ptr<TSheetGraph>>(std::move(released));
  application().postDeferred([pending] { TSheetGraph::deleteWithFile(std::move(*pending)); });
}
