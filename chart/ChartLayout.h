#pragma once
#include <cstdint>
#include <string>

#include "model/FontProperties.h"

class TPortableIniFile;

// The layout sections of a chart view file: what a price chart shows around
// its plot and how. The chart fills it from its controls, and applies it
// back through its property setters.
struct TChartLayout {
  struct TXAxisSettings {
    bool visible = true;
    bool dates = false;
    bool slider = false;
    int height = 19;
    TFontProperties font;
  };
  struct TYAxisSettings {
    bool visible = true;
    bool slider = false;
    int width = 39;
    TFontProperties font;
  };
  struct TCaptionSettings {
    bool visible = true;
    int align = 0;  // 0 left, 1 right, 2 centre
    int32_t color = 0;
    TFontProperties font;
    std::string text;
    int height = 16;
  };

  // Only written and read for a chart inside a panel container: its bounds
  // as fractions of the container's client area.
  bool inContainer = false;
  double tileLeft = 0;
  double tileTop = 0;
  double tileRight = 1.0;
  double tileBottom = 1.0;
  bool maximized = false;

  TXAxisSettings topXAxis;
  TXAxisSettings bottomXAxis;
  TYAxisSettings leftYAxis;
  TYAxisSettings rightYAxis;
  int32_t axesColor = 0;

  bool logarithmic = false;
  bool crossHair = false;
  bool showPositionCenter = false;
  bool showPositionTop = false;
  bool showPositionBottom = false;
  bool showPositionLeft = false;
  bool showPositionRight = false;
  bool transparentLabel = false;
  int32_t labelColor = 0;
  bool fill = false;
  int32_t graphColor = 0xFFFFFF;
  int32_t fillColor = 0xAAFFFF;
  TFontProperties graphFont;

  bool gridTopX = false;
  bool gridBottomX = false;
  bool gridLeftY = false;
  bool gridRightY = false;
  int32_t gridColor = 0xC0C0C0;

  bool profileVisible = false;
  bool profileFill = true;
  int maxProfileBins = 16;
  int32_t profileFillColor = 0xAAFFFF;

  TCaptionSettings topText;
  TCaptionSettings bottomText;
};

// Writes the sections in the file's order: Tile, TopXAxis, BottomXAxis,
// LeftYAxis, RightYAxis, Axes, Graph, Grid, Profile, TopText, BottomText.
// 0, or -4 when writing raised an error.
int writeChartLayout(TPortableIniFile& ini, const TChartLayout& layout);

// Reads every key with the layout's current value as its default; a font
// only when its section exists. 0, or -3 when the file could not be read
// or reading raised an error.
int readChartLayout(const TPortableIniFile& ini, TChartLayout& layout);

// The layout alone in a file of its own, written to a temporary file that
// then replaces it: 0, or -4 when the file could not be written (the old
// file stays as it was).
int saveChartLayoutFile(const std::string& fileName, const TChartLayout& layout);
