#include "app/SplashForm.h"

#include <shellapi.h>

#include <ctime>

#include "controls/PaintBoxEx.h"
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ExtControls.h"
#include "platform/StdControls.h"

std::unique_ptr<TsplashForm> splashForm;

namespace {

constexpr TColor clNavy = 0x800000;
constexpr TColor clLime = 0x00FF00;
constexpr int splashWidth = 516;
constexpr int splashHeight = 241;
const char* const webAddress = "www.kestrova.example";

TFormOptions splashOptions() {
  TFormOptions options;
  options.border = TBorderStyle::none;
  options.systemMenu = false;
  options.minimizeBox = false;
  options.maximizeBox = false;
  options.stayOnTop = true;
  options.clientWidth = splashWidth;
  options.clientHeight = splashHeight;
  return options;
}

}  // namespace

TsplashForm::TsplashForm()
    : TForm(splashOptions()), random_(static_cast<unsigned>(std::time(nullptr))) {
  name = "splashForm";
  // Until the main window shows, this window stands for the program in the
  // task bar, under the program's title.
  setCaption(application().title());
  application().onTitleChange = [this] { setCaption(application().title()); };
  setColor(clWindow);
  TFont verdana("Verdana", 8);
  verdana.setHeight(-11);
  setFont(verdana);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  setBounds((screenWidth - width()) / 2, (screenHeight - height()) / 2, width(), height());

  image = &add<TImage>();
  image->setBounds(0, 0, splashWidth, splashHeight);
  paintArtwork();

  urlLabel = &add<TLabel>(webAddress);
  TFont labelFont("Verdana", 8, fsUnderline);
  labelFont.setHeight(-11);
  labelFont.setColor(clLime);
  urlLabel->setFont(labelFont);
  urlLabel->setColor(clNavy);
  urlLabel->setBounds(27, 9, 10, 10);
  urlLabel->autoSize();
  // Some room to spare: the substituted font may run wider than measured.
  urlLabel->setSize(urlLabel->width() + 16, urlLabel->height());
  urlLabel->setCursor(IDC_HAND);
  urlLabel->onClick = [this] { urlLabelClick(); };
  urlLabel->bringToFront();

  matrixPaintBox = &add<TPaintBoxEx>();
  matrixPaintBox->setBounds(486, 8, 27, 228);
  matrixPaintBox->onPaint = [this](TCanvas& canvas) { paintMatrix(canvas); };
  matrixPaintBox->bringToFront();

  makeGlyphs();
  matrixTimer.setInterval(200);
  matrixTimer.onTimer = [this] { matrixTimerTimer(); };
  onActivate = [this] { FormActivate(); };
}

TsplashForm::~TsplashForm() {
  matrixTimer.setEnabled(false);
  application().onTitleChange = nullptr;
}

void TsplashForm::FormActivate() { matrix_.sizeOnce(matrixPaintBox->height(), glyphSize); }

void TsplashForm::matrixTimerTimer() {
  // The window may be shown before it was ever activated (stay-on-top
  // windows of a starting program often are not).
  matrix_.sizeOnce(matrixPaintBox->height(), glyphSize);
  std::bernoulli_distribution coin(0.5);
  matrix_.tick([this, &coin] { return coin(random_) ? 1 : 0; });
  matrixPaintBox->invalidate();
  image->update();
  matrixPaintBox->update();
}

void TsplashForm::urlLabelClick() {
  const std::string address = "http://" + urlLabel->text();
  ShellExecuteA(handle(), "open", address.c_str(), nullptr, nullptr, SW_SHOW);
}

void TsplashForm::paintArtwork() {
  TBitmap& picture = image->picture();
  picture.setSize(splashWidth, splashHeight);
  TCanvas& canvas = picture.canvas();
  // A dark band fading towards the right, the product name and a thin rule:
  // the artwork is ours to choose.
  for (int x = 0; x < splashWidth; ++x) {
    const int shade = 0x80 - x * 0x50 / splashWidth;
    canvas.fillRect({x, 0, x + 1, splashHeight}, static_cast<TColor>(shade << 16));
  }
  TFont title("Verdana", 28, fsBold);
  title.setColor(clWhite);
  canvas.setFont(title);
  canvas.setBrush(clNone, TBrushStyle::clear);
  canvas.textOut(27, 90, "Kestrova");
  canvas.fillRect({27, 150, 460, 152}, clLime);
  TFont subtitle("Verdana", 9);
  subtitle.setColor(clSilver);
  canvas.setFont(subtitle);
  canvas.textOut(27, 160, "Portfolios, prices and analysis");
}

void TsplashForm::makeGlyphs() {
  // Glyph 0 and 1 are the two falling signs, glyph 2 the empty cell.
  TBitmap strip(3 * glyphSize, glyphSize);
  TCanvas& canvas = strip.canvas();
  canvas.fillRect({0, 0, 3 * glyphSize, glyphSize}, clNavy);
  canvas.setPen(clLime);
  canvas.line(4, 1, 4, 8);
  canvas.line(2, 1, 4, 1);
  canvas.line(2, 7, 7, 7);
  canvas.rectangle({glyphSize + 2, 1, glyphSize + 7, 8});
  canvas.line(glyphSize + 2, 4, glyphSize + 7, 4);
  matrixImageList.add(strip, clNone);
}

void TsplashForm::paintMatrix(TCanvas& canvas) {
  canvas.fillRect(matrixPaintBox->clientRect(), clNavy);
  for (int number = 1; number <= TSplashMatrix::columnCount; ++number) {
    const auto& column = matrix_.column(number);
    for (size_t row = 0; row < column.size(); ++row)
      matrixImageList.draw(canvas, glyphSize * (number - 1), glyphSize * static_cast<int>(row), column[row]);
  }
}
