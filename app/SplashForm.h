#pragma once
#include <memory>
#include <random>

#include "app/SplashMatrix.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "platform/Timer.h"

class TImage;
class TLabel;
class TPaintBoxEx;

// The window shown while the main window is made and loads its data: the
// product picture, the web address and the falling glyphs, which run once
// the main window's first activation enables the timer.
class TsplashForm : public TForm {
 public:
  static constexpr int glyphSize = 9;

  TsplashForm();
  ~TsplashForm() override;

  void FormActivate();
  void matrixTimerTimer();
  void urlLabelClick();

  TImage* image = nullptr;
  TLabel* urlLabel = nullptr;
  TPaintBoxEx* matrixPaintBox = nullptr;
  TTimer matrixTimer;
  TImageList matrixImageList{glyphSize, glyphSize};
  const TSplashMatrix& matrix() const { return matrix_; }

 private:
  void paintArtwork();
  void makeGlyphs();
  void paintMatrix(TCanvas& canvas);

  TSplashMatrix matrix_;
  std::minstd_rand random_;
};

// The program-wide splash window; null once the main window has freed it.
extern std::unique_ptr<TsplashForm> splashForm;
