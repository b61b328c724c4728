#include "chart/SliderForm.h"

#include <algorithm>
#include <cmath>

#include "chart/Source.h"
#include "chart/SourceTable.h"
#include "controls/KeyPanel.h"
#include "model/PortableIniFile.h"
#include "platform/ComCtrls.h"
#include "platform/ScrollRequest.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"

namespace {

TFormOptions sliderFormOptions() {
  TFormOptions options;
  options.caption = "Parameters";
  options.clientWidth = 147;
  options.clientHeight = 213;
  options.minimizeBox = false;
  options.maximizeBox = false;
  options.stayOnTop = true;
  return options;
}

constexpr UINT notifyDelay = 2000;

}  // namespace

TSliderForm::TSliderForm() : TForm(sliderFormOptions()), notifyTimer(notifyDelay) {
  name = "SliderForm";
  keyPreview = true;
  HDC screen = GetDC(nullptr);
  pixelsPerInch_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  notifyTimer.onTimer = [this] { notifyTimerTimer(); };
  onCloseQuery = [this] { return FormCloseQuery(); };
  onKeyPress = [this](char& key) { FormKeyPress(key); };
}

TSliderForm::~TSliderForm() { killAll(); }

int TSliderForm::scaled(int pixels) const { return MulDiv(pixels, pixelsPerInch_, 96); }

void TSliderForm::loadGUIoptions(const std::string& fileName) {
  const TPortableIniFile ini(fileName);
  setSize(ini.readInteger("SliderForm", "Width", width()), height());
  // A width the file spells so that it reads as none stays as spelled
  // until the user sizes the window.
  // The rest of the file, the other windows' layout, is known too: the
  // save of this part checks all of it.
  savedGUIoptions_.takeWithTheRest(fileName, [this](TPortableIniFile& file) { writeGUIoptions(file); }, ini);
}

void TSliderForm::saveGUIoptions(const std::string& fileName) {
  savedGUIoptions_.save(fileName, [this](TPortableIniFile& ini) { writeGUIoptions(ini); });
}

void TSliderForm::writeGUIoptions(TPortableIniFile& ini) const { ini.writeInteger("SliderForm", "Width", width()); }

void TSliderForm::killAll() {
  notifyTimer.setEnabled(false);
  autoScroll_ = false;
  scrollTo(0);
  sliders_.clear();
  hints_.reset();
  groups_.clear();
  updateScrollBar();
}

void TSliderForm::showSourceParameters(TSourceTable* table, const std::string& caption,
                                       std::function<void(TSliderForm*)> modifiedCallback, POINT position) {
  if (buildSliders(table, caption, std::move(modifiedCallback), position) && !visible()) showModal();
  killAll();
}

bool TSliderForm::buildSliders(TSourceTable* table, const std::string& caption,
                               std::function<void(TSliderForm*)> modifiedCallback, POINT position) {
  if (table == nullptr) return false;
  killAll();
  sourceTable_ = table;
  modifiedCallback_ = std::move(modifiedCallback);
  modified_ = false;
  hints_ = std::make_unique<TToolTips>(*this);
  for (int i = 0; i < table->count(); ++i) {
    const TSource* source = table->getSource(i);
    if (source == nullptr || !source->Enabled) continue;
    const std::string title = source->Caption.empty() ? source->Identifier : source->Caption;
    if (title.empty()) continue;
    bool first = true;
    for (int j = 0; j < source->parameterCount(); ++j) {
      const TSourceParameter& p = *source->parameter(j);
      if (p.Locked || p.Steps < 2 || !(p.Low < p.High) || p.Symbol.empty()) continue;
      const std::string label = p.Caption.empty() ? p.Symbol : p.Caption;
      if (first) {
        addGroup(i, j, title, label, p.Comment, p.Value, p.Low, p.High, p.Steps);
      } else {
        addParam(i, j, label, p.Comment, p.Value, p.Low, p.High, p.Steps);
      }
      first = false;
    }
  }
  if (sliders_.empty()) return false;
  setCaption(caption);
  const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  // More sliders than the screen holds are reached by scrolling.
  if (height() > screenHeight) setSize(width(), screenHeight);
  const int frameHeight = height() - clientHeight();
  const TGroupBox& firstGroup = *groups_.front();
  const int x = std::max(0, std::min(static_cast<int>(position.x) - width() / 2, screenWidth - width()));
  const int y = std::max(0, std::min(static_cast<int>(position.y) -
                                         (frameHeight + firstGroup.top() +
                                          static_cast<int>(std::lround(2.0 * firstGroup.height() / 3))),
                                     screenHeight - height()));
  RECT place = bounds();
  setBounds(x, y, place.right - place.left, place.bottom - place.top);
  autoScroll_ = true;
  updateScrollBar();
  return true;
}

void TSliderForm::addGroup(int sourceIndex, int parameterIndex, const std::string& title, const std::string& label,
                           const std::string& hint, long double value, long double low, long double high, int steps) {
  const int g = scaled(2);
  const int top = groups_.empty() ? g : groups_.back()->top() + groups_.back()->height() + 2 * g;
  auto group = std::make_unique<TGroupBox>(this, title);
  group->setBounds(g, top, clientWidth() - 2 * g, scaled(16));
  group->setAnchors(akLeft | akTop | akRight);
  groups_.push_back(std::move(group));
  addParam(sourceIndex, parameterIndex, label, hint, value, low, high, steps);
}

void TSliderForm::addParam(int sourceIndex, int parameterIndex, const std::string& label, const std::string& hint,
                           long double value, long double low, long double high, int steps) {
  if (groups_.empty()) return;
  TGroupBox& group = *groups_.back();
  const int g = scaled(2);
  const int index = static_cast<int>(sliders_.size());

  TKeyPanel& panel = group.add<TKeyPanel>();
  panel.setBounds(g, group.height(), group.width() - 2 * g, scaled(40));
  panel.setAnchors(akLeft | akTop | akRight);
  const int panelWidth = panel.clientWidth();

  TLabel& caption = panel.add<TLabel>(label);
  const int labelBottom = scaled(16) + 1;
  caption.setBounds(3 * g, 1, panelWidth - 6 * g, labelBottom - 1);
  caption.setAnchors(akLeft | akTop | akRight);
  if (!hint.empty()) hints_->setHint(caption, hint);

  const int rowHeight = scaled(21);
  const int rowTop = labelBottom + 1;
  TUpDown& upDown = panel.add<TUpDown>();
  upDown.setBounds(panelWidth - g - scaled(16), rowTop, scaled(16), rowHeight);
  upDown.setAnchors(akTop | akRight);
  upDown.setRange(-1, 1);
  upDown.setPosition(0);
  // Made before the edit box, which follows it in the tab order.
  TTrackBar& trackBar = panel.add<TTrackBar>(false, TBS_NOTICKS | TBS_BOTH | TBS_FIXEDLENGTH);
  trackBar.setThumbLength(scaled(16));
  TEdit& edit = panel.add<TEdit>();
  edit.setBounds(upDown.left() - scaled(51), rowTop, scaled(51), rowHeight);
  edit.setAnchors(akTop | akRight);
  trackBar.setBounds(g, rowTop, edit.left() - 2 * g, rowHeight);
  trackBar.setAnchors(akLeft | akTop | akRight);

  sliders_.push_back({TSliderScale(value, low, high, steps), sourceIndex, parameterIndex, &panel, &edit, &trackBar,
                      &upDown});
  trackBar.setRange(0, sliders_.back().scale.trackMaximum());
  trackBar.onChange = [this, index] { trackBarChange(index); };
  edit.onChange = [this, index] { editChange(index); };
  // The box shows the committed value once typing is over; its change
  // commits the value as shown.
  edit.onExit = [this, index] { showValue(sliders_[index]); };
  upDown.onClick = [this, index](bool up) { upDownClick(index, up); };

  for (TControl* part : std::initializer_list<TControl*>{&panel, &trackBar, &edit, &upDown})
    part->onEnter = [this, index] { scrollSliderIntoView(index); };

  panel.setSize(panel.width(), trackBar.top() + trackBar.height() + g);
  group.setSize(group.width(), panel.top() + panel.height() + g);
  maximumHeight_ = 0;
  setClientSize(clientWidth(), group.top() + group.height() + g);
  maximumHeight_ = height();

  updatingEdits_ = true;
  showValue(sliders_.back());
  updateTrackBar(index);
  updatingEdits_ = false;
}

void TSliderForm::showValue(TSlider& slider) {
  const std::string text = slider.scale.format(slider.scale.Value);
  if (slider.edit->text() == text) return;
  // Typing goes on where the caret was.
  const auto [start, end] = slider.edit->selection();
  slider.edit->setText(text);
  slider.edit->setSelection(start, end);
}

void TSliderForm::updateTrackBar(int index) {
  TSlider& slider = sliders_[index];
  updatingTrackBar_ = true;
  slider.trackBar->setPosition(slider.scale.positionOf(slider.scale.Value));
  updatingTrackBar_ = false;
}

void TSliderForm::trackBarChange(int index) {
  if (updatingTrackBar_) return;
  TSlider& slider = sliders_[index];
  slider.scale.Value = slider.scale.valueAt(slider.trackBar->position());
  showValue(slider);  // its change event commits the value
}

void TSliderForm::editChange(int index) {
  if (updatingEdits_) return;
  TSlider& slider = sliders_[index];
  notifyTimer.setEnabled(false);
  slider.scale.Value = slider.scale.read(slider.edit->text());
  // Text being typed stays as typed until the box is left: "2" on the way
  // to "25" in a slider from 5 would otherwise become "5", and the next
  // digit would make it "55".
  if (!slider.edit->focused()) {
    updatingEdits_ = true;
    showValue(slider);
    updatingEdits_ = false;
  }
  updateTrackBar(index);
  TSource* source = sourceTable_ != nullptr ? sourceTable_->getSource(slider.sourceIndex) : nullptr;
  if (source == nullptr || source->setParameterValue(slider.parameterIndex, slider.scale.Value) != 0) return;
  notifyTimer.setEnabled(true);
  modified_ = true;
}

// The up-down's own auto-repeat steps while the button is held; it stops
// when the button goes up, the capture is lost or the window closes.
void TSliderForm::upDownClick(int index, bool up) {
  TSlider& slider = sliders_[index];
  slider.upDown->setPosition(0);
  slider.scale.Value = slider.scale.clamp(slider.scale.read(slider.edit->text()) + (up ? 1 : -1) * slider.scale.step);
  showValue(slider);  // commits through the edit's change event
}

void TSliderForm::notifyTimerTimer() {
  notifyTimer.setEnabled(false);
  if (modifiedCallback_) modifiedCallback_(this);
}

bool TSliderForm::FormCloseQuery() {
  if (notifyTimer.enabled()) notifyTimerTimer();
  return true;
}

void TSliderForm::FormKeyPress(char& key) {
  if (key != 27) return;
  key = 0;
  for (TSlider& slider : sliders_) {
    if (slider.edit->focused()) {
      slider.panel->setFocus();
      return;
    }
  }
  close();
}

// ---- scrolling the groups

LRESULT TSliderForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      const LRESULT result = TForm::handleMessage(message, wParam, lParam);
      if (maximumHeight_ > 0) reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxTrackSize.y = maximumHeight_;
      return result;
    }
    case WM_VSCROLL:
      if (lParam != 0) break;  // a child's own scroll bar
      scrollMessage(LOWORD(wParam));
      return 0;
    default:
      break;
  }
  return TForm::handleMessage(message, wParam, lParam);
}

void TSliderForm::resized() {
  TForm::resized();
  updateScrollBar();
}

void TSliderForm::updateScrollBar() {
  if (!handle()) return;
  const int shown = scrolling_.position();
  const int content =
      groups_.empty() ? 0 : shown + groups_.back()->top() + groups_.back()->height() + scaled(2);
  scrolling_.setExtent(autoScroll_ ? content : 0, clientHeight());
  moveGroups(scrolling_.position() - shown);
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  info.nMax = std::max(0, scrolling_.contentHeight() - 1);
  info.nPage = static_cast<UINT>(scrolling_.needed() ? scrolling_.pageHeight() : 0);
  info.nPos = scrolling_.position();
  SetScrollInfo(handle(), SB_VERT, &info, TRUE);
  ShowScrollBar(handle(), SB_VERT, scrolling_.needed());
}

void TSliderForm::scrollTo(int position) {
  const int shown = scrolling_.position();
  scrolling_.setPosition(position);
  moveGroups(scrolling_.position() - shown);
}

// The groups lie above their place in the column by the scroll position.
void TSliderForm::moveGroups(int delta) {
  if (delta == 0) return;
  for (const auto& group : groups_)
    group->setBounds(group->left(), group->top() - delta, group->width(), group->height());
  SetScrollPos(handle(), SB_VERT, scrolling_.position(), TRUE);
}

void TSliderForm::scrollSliderIntoView(int index) {
  if (!autoScroll_ || index < 0 || index >= sliderCount()) return;
  RECT row = sliders_[index].panel->bounds();
  MapWindowPoints(sliders_[index].panel->parent()->handle(), handle(), reinterpret_cast<POINT*>(&row), 2);
  TSliderScrolling wanted = scrolling_;
  wanted.show(row.top + scrolling_.position(), row.bottom + scrolling_.position());
  scrollTo(wanted.position());
}

void TSliderForm::scrollMessage(WORD code) {
  const std::optional<int> requested =
      requestedScrollPosition(handle(), SB_VERT, code, scrolling_.position(),
                              {scaled(16), scrolling_.pageHeight(), 0, scrolling_.maximumPosition()});
  if (requested) scrollTo(*requested);
}
