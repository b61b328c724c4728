#include "chart/ChartLayout.h"

#include <algorithm>
#include <iterator>

#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "platform/Colors.h"

namespace {

const char* const fontPrefix = "Font";
// An axis or caption strip larger than this would leave no plot on any
// screen: such a size is damage, not a choice.
constexpr int largestStripSize = 512;

// A profile has at most a bin per pixel row of the plot.
constexpr int largestProfileBins = 1024;

// A stored number that does not read, or that the view cannot take, is
// damage: the view shows what stands in for it, and the file is told of as
// read in part, so that this is not taken for what the file holds.
int readNumber(const TPortableIniFile& ini, const std::string& section, const char* key, int current,
               bool (*takes)(int)) {
  const std::string text = ini.readString(section, key, "");
  int value = current;
  if (!text.empty() && (!iniTextToInteger(text, value) || !takes(value))) reportPartlyReadFile(ini.FileName());
  return value;
}

// A stored colour that Windows cannot draw keeps the current one.
int readColour(const TPortableIniFile& ini, const std::string& section, const char* key, int current) {
  const int colour = readNumber(ini, section, key, current, [](int value) { return isValidColor(value); });
  return isValidColor(colour) ? colour : current;
}

int readStripSize(const TPortableIniFile& ini, const std::string& section, const char* key, int current) {
  const int size = readNumber(ini, section, key, current,
                              [](int value) { return value >= 0 && value <= largestStripSize; });
  return std::clamp(size, 0, largestStripSize);
}

void writeXAxis(TPortableIniFile& ini, const std::string& section, const TChartLayout::TXAxisSettings& axis) {
  ini.writeBool(section, "Visible", axis.visible);
  ini.writeBool(section, "Dates", axis.dates);
  ini.writeBool(section, "Slider", axis.slider);
  ini.writeInteger(section, "Height", axis.height);
  ini.writeFont(section, fontPrefix, axis.font);
}

void readXAxis(const TPortableIniFile& ini, const std::string& section, TChartLayout::TXAxisSettings& axis) {
  axis.visible = ini.readBool(section, "Visible", axis.visible);
  axis.dates = ini.readBool(section, "Dates", axis.dates);
  axis.slider = ini.readBool(section, "Slider", axis.slider);
  axis.height = readStripSize(ini, section, "Height", axis.height);
  ini.readFont(section, fontPrefix, axis.font);
}

void writeYAxis(TPortableIniFile& ini, const std::string& section, const TChartLayout::TYAxisSettings& axis) {
  ini.writeBool(section, "Visible", axis.visible);
  ini.writeBool(section, "Slider", axis.slider);
  ini.writeInteger(section, "Width", axis.width);
  ini.writeFont(section, fontPrefix, axis.font);
}

void readYAxis(const TPortableIniFile& ini, const std::string& section, TChartLayout::TYAxisSettings& axis) {
  axis.visible = ini.readBool(section, "Visible", axis.visible);
  axis.slider = ini.readBool(section, "Slider", axis.slider);
  axis.width = readStripSize(ini, section, "Width", axis.width);
  ini.readFont(section, fontPrefix, axis.font);
}

void writeCaption(TPortableIniFile& ini, const std::string& section, const TChartLayout::TCaptionSettings& caption) {
  ini.writeBool(section, "Visible", caption.visible);
  ini.writeInteger(section, "Align", caption.align);
  ini.writeInteger(section, "Color", caption.color);
  ini.writeFont(section, fontPrefix, caption.font);
  // Reading takes off enclosing quotes and edge blanks: the text keeps them
  // inside one more pair of quotes.
  ini.writeString(section, "Text", quotedWhereNeeded(caption.text));
  ini.writeInteger(section, "Height", caption.height);
}

void readCaption(const TPortableIniFile& ini, const std::string& section, TChartLayout::TCaptionSettings& caption) {
  caption.visible = ini.readBool(section, "Visible", caption.visible);
  const int align = readNumber(ini, section, "Align", caption.align, [](int value) { return value >= 0 && value <= 2; });
  if (align >= 0 && align <= 2) caption.align = align;
  caption.color = readColour(ini, section, "Color", caption.color);
  ini.readFont(section, fontPrefix, caption.font);
  caption.text = ini.readString(section, "Text", caption.text);
  caption.height = readStripSize(ini, section, "Height", caption.height);
}

}  // namespace

int writeChartLayout(TPortableIniFile& ini, const TChartLayout& layout) {
  try {
    if (layout.inContainer) {
      ini.writeFloat("Tile", "Left", layout.tileLeft);
      ini.writeFloat("Tile", "Top", layout.tileTop);
      ini.writeFloat("Tile", "Right", layout.tileRight);
      ini.writeFloat("Tile", "Bottom", layout.tileBottom);
    }
    ini.writeBool("Tile", "Maximized", layout.maximized);
    writeXAxis(ini, "TopXAxis", layout.topXAxis);
    writeXAxis(ini, "BottomXAxis", layout.bottomXAxis);
    writeYAxis(ini, "LeftYAxis", layout.leftYAxis);
    writeYAxis(ini, "RightYAxis", layout.rightYAxis);
    ini.writeInteger("Axes", "Color", layout.axesColor);

    const std::string graph = "Graph";
    ini.writeBool(graph, "Logarithmic", layout.logarithmic);
    ini.writeBool(graph, "CrossHair", layout.crossHair);
    ini.writeBool(graph, "ShowPositionCenter", layout.showPositionCenter);
    ini.writeBool(graph, "ShowPositionTop", layout.showPositionTop);
    ini.writeBool(graph, "ShowPositionBottom", layout.showPositionBottom);
    ini.writeBool(graph, "ShowPositionLeft", layout.showPositionLeft);
    ini.writeBool(graph, "ShowPositionRight", layout.showPositionRight);
    ini.writeBool(graph, "TransparentLabel", layout.transparentLabel);
    ini.writeInteger(graph, "LabelColor", layout.labelColor);
    ini.writeBool(graph, "Fill", layout.fill);
    ini.writeInteger(graph, "Color", layout.graphColor);
    ini.writeInteger(graph, "FillColor", layout.fillColor);
    ini.writeFont(graph, fontPrefix, layout.graphFont);

    ini.writeBool("Grid", "TopX", layout.gridTopX);
    ini.writeBool("Grid", "BottomX", layout.gridBottomX);
    ini.writeBool("Grid", "LeftY", layout.gridLeftY);
    ini.writeBool("Grid", "RightY", layout.gridRightY);
    ini.writeInteger("Grid", "Color", layout.gridColor);

    ini.writeBool("Profile", "Visible", layout.profileVisible);
    ini.writeBool("Profile", "Fill", layout.profileFill);
    ini.writeInteger("Profile", "MaxBins", layout.maxProfileBins);
    ini.writeInteger("Profile", "FillColor", layout.profileFillColor);

    writeCaption(ini, "TopText", layout.topText);
    writeCaption(ini, "BottomText", layout.bottomText);
  } catch (...) {
    return -4;
  }
  return 0;
}

int readChartLayout(const TPortableIniFile& ini, TChartLayout& layout) {
  if (ini.readFailed()) return -3;
  try {
    if (layout.inContainer) {
      // Every save of a view in a container writes its tile: a side
      // missing was lost, and its default stands in for it.
      const char* const sides[] = {"Left", "Top", "Right", "Bottom"};
      if (std::any_of(std::begin(sides), std::end(sides),
                      [&ini](const char* side) { return ini.readString("Tile", side, "").empty(); }))
        reportPartlyReadFile(ini.FileName());
      layout.tileLeft = ini.readFloat("Tile", "Left", 0);
      layout.tileTop = ini.readFloat("Tile", "Top", 0);
      layout.tileRight = ini.readFloat("Tile", "Right", 1.0);
      layout.tileBottom = ini.readFloat("Tile", "Bottom", 1.0);
    }
    layout.maximized = ini.readBool("Tile", "Maximized", layout.maximized);
    readCaption(ini, "TopText", layout.topText);
    readCaption(ini, "BottomText", layout.bottomText);

    const std::string graph = "Graph";
    layout.logarithmic = ini.readBool(graph, "Logarithmic", layout.logarithmic);
    layout.crossHair = ini.readBool(graph, "CrossHair", layout.crossHair);
    layout.showPositionCenter = ini.readBool(graph, "ShowPositionCenter", layout.showPositionCenter);
    layout.showPositionTop = ini.readBool(graph, "ShowPositionTop", layout.showPositionTop);
    layout.showPositionBottom = ini.readBool(graph, "ShowPositionBottom", layout.showPositionBottom);
    layout.showPositionLeft = ini.readBool(graph, "ShowPositionLeft", layout.showPositionLeft);
    layout.showPositionRight = ini.readBool(graph, "ShowPositionRight", layout.showPositionRight);
    layout.transparentLabel = ini.readBool(graph, "TransparentLabel", layout.transparentLabel);
    layout.labelColor = readColour(ini, graph, "LabelColor", layout.labelColor);
    layout.fill = ini.readBool(graph, "Fill", layout.fill);
    layout.graphColor = readColour(ini, graph, "Color", layout.graphColor);
    layout.fillColor = readColour(ini, graph, "FillColor", layout.fillColor);
    ini.readFont(graph, fontPrefix, layout.graphFont);

    layout.profileVisible = ini.readBool("Profile", "Visible", layout.profileVisible);
    layout.profileFill = ini.readBool("Profile", "Fill", layout.profileFill);
    layout.maxProfileBins = std::clamp(readNumber(ini, "Profile", "MaxBins", layout.maxProfileBins,
                                                  [](int bins) { return bins >= 1 && bins <= largestProfileBins; }),
                                       1, largestProfileBins);
    layout.profileFillColor = readColour(ini, "Profile", "FillColor", layout.profileFillColor);

    readXAxis(ini, "TopXAxis", layout.topXAxis);
    readXAxis(ini, "BottomXAxis", layout.bottomXAxis);
    readYAxis(ini, "LeftYAxis", layout.leftYAxis);
    readYAxis(ini, "RightYAxis", layout.rightYAxis);
    layout.axesColor = readColour(ini, "Axes", "Color", layout.axesColor);

    layout.gridTopX = ini.readBool("Grid", "TopX", layout.gridTopX);
    layout.gridBottomX = ini.readBool("Grid", "BottomX", layout.gridBottomX);
    layout.gridLeftY = ini.readBool("Grid", "LeftY", layout.gridLeftY);
    layout.gridRightY = ini.readBool("Grid", "RightY", layout.gridRightY);
    layout.gridColor = readColour(ini, "Grid", "Color", layout.gridColor);
  } catch (...) {
    return -3;
  }
  return 0;
}

int saveChartLayoutFile(const std::string& fileName, const TChartLayout& layout) {
  TPortableIniFile ini(fileName);
  const int result = writeChartLayout(ini, layout);
  if (result != 0) return result;
  return ini.updateFile() ? 0 : -4;
}
