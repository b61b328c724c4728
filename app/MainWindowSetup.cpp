#include "app/MainWindowSetup.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/Directories.h"
#include "model/PortableIniFile.h"
#include "model/Portfolio.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "platform/FileSystem.h"
#include "platform/ImageList.h"
#include "platform/ScreenFit.h"

namespace {

const char* const section = "MainWindow";

std::string withExtension(const std::string& path, const std::string& extension) {
  const size_t slash = path.find_last_of("\\/");
  const size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return path.substr(0, dot) + extension;
  return path + extension;
}

std::string fileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TMainPaths executablePaths(const std::string& executablePath, const std::string& currentDirectory) {
  TMainPaths paths;
  paths.languageFileName = withExtension(executablePath, ".LNG");
  paths.axEnginesFileName = withExtension(executablePath, ".AXE");
  paths.helpFileName = withExtension(executablePath, ".CHM");
  paths.dirListFileName = includeTrailingBackslash(currentDirectory) + withExtension(fileNameOf(executablePath), ".INI");
  return paths;
}

void refreshDataPaths(TMainPaths& paths) {
  const std::string data = getDirectory("<DATA>");
  paths.guiOptionsFileName = data + "GUIoptions.INI";
  paths.chartFavsFileName = data + "ChartFavs.INI";
  paths.graphFavsFileName = data + "GraphFavs.INI";
}

void applyDirectoryDefaults(const std::string& currentDirectory) {
  const std::string current = includeTrailingBackslash(currentDirectory);
  const auto defaultTo = [](const char* name, const std::string& path) {
    if (getDirectory(name).empty()) setDirectory(name, path);
  };
  defaultTo("<DATA>", current + "DATA");
  defaultTo("<TEMP>", current + "TEMP");
  defaultTo("<SCRIPTS>", current + "SCRIPTS");
  const std::string data = getDirectory("<DATA>");
  defaultTo("<FOLIOS>", data + "FOLIOS");
  defaultTo("<DLISTS>", data + "DLISTS");
  defaultTo("<QUOTES>", data + "QUOTES");
  defaultTo("<MACROS>", data + "MACROS");
  defaultTo("<FOREX>", data + "FOREX");
  defaultTo("<BMPS>", data + "BMPS");
}

const std::vector<std::string>& startDirectoryNames() {
  static const std::vector<std::string> names = {"<DATA>",    "<FOLIOS>", "<DLISTS>", "<FOREX>",
                                                 "<QUOTES>",  "<MACROS>", "<SCRIPTS>", "<GALLERY>",
                                                 "<WEBS>",    "<BMPS>",   "<TEMP>"};
  return names;
}

RECT mainWindowBounds(const TPortableIniFile& ini, const RECT& current, const RECT& workArea) {
  const int currentWidth = current.right - current.left;
  const int currentHeight = current.bottom - current.top;
  if (ini.readBool(section, "FirstRun", true)) {
    return {current.left, current.top, current.left + std::min(1024, currentWidth),
            current.top + std::min(768, currentHeight)};
  }
  // A window off every screen, or too small to find, could never be moved
  // back by its user.
  const RECT fitted = fitOnWorkArea(0, 0, ini.readInteger(section, "Width", currentWidth),
                                    ini.readInteger(section, "Height", currentHeight), workArea,
                                    mainWindowMinimumSize);
  const int width = fitted.right - fitted.left;
  const int height = fitted.bottom - fitted.top;
  const int left = ini.readInteger(section, "Left", (workArea.left + workArea.right - width) / 2);
  const int top = ini.readInteger(section, "Top", (workArea.top + workArea.bottom - height) / 2);
  return fitOnWorkArea(left, top, width, height, workArea, mainWindowMinimumSize);
}

void saveMainWindowBounds(TPortableIniFile& ini, bool normalState, const RECT& bounds) {
  if (normalState) {
    ini.writeInteger(section, "Left", bounds.left);
    ini.writeInteger(section, "Top", bounds.top);
    ini.writeInteger(section, "Width", bounds.right - bounds.left);
    ini.writeInteger(section, "Height", bounds.bottom - bounds.top);
  }
  ini.writeBool(section, "FirstRun", false);
}

bool mainWindowMaximized(const TPortableIniFile& ini) { return ini.readBool(section, "Maximized", false); }

void saveMainWindowMaximized(TPortableIniFile& ini, bool maximized) { ini.writeBool(section, "Maximized", maximized); }

std::string mainTitle(const TPortfolio* current) {
  if (current == nullptr) return "Kestrova";
  const std::string& shown = current->Name().empty() ? current->Symbol() : current->Name();
  return shown.empty() ? "Kestrova" : "Kestrova: " + shown;
}

int loadNumberedBitmaps(TImageList& images, const std::string& folder) {
  images.clear();
  if (folder.empty() || !folderExists(folder)) return 0;
  const std::string base = includeTrailingBackslash(folder);
  for (int number = 0;; ++number) {
    const std::string fileName = base + std::to_string(number) + ".BMP";
    if (!fileExists(fileName)) break;
    TBitmap bitmap;
    if (!bitmap.loadFromFile(fileName) || bitmap.width() != images.width() || bitmap.height() != images.height())
      break;
    // The picture's own transparent colour is its bottom-left pixel.
    const uint32_t rgb = bitmap.pixel(0, bitmap.height() - 1);
    const TColor transparent = static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    if (images.add(bitmap, transparent) != number) break;
  }
  return images.count();
}

void makeReloadGlyphs(TImageList& images) {
  constexpr TColor mask = 0xFF00FF;
  constexpr TColor green = 0x008000;
  const int size = images.height();
  TBitmap strip(2 * size, size);
  TCanvas& canvas = strip.canvas();
  canvas.fillRect(RECT{0, 0, 2 * size, size}, mask);
  const TColor colours[] = {green, clGrayText};
  for (int glyph = 0; glyph < 2; ++glyph) {
    const double centreX = glyph * size + size / 2.0;
    const double centreY = size / 2.0;
    const double radius = size / 2.0 - 3;
    // Three quarters of a circle, open at the top right, with the head at
    // its upper end.
    std::vector<POINT> arc;
    for (int degrees = 60; degrees <= 330; degrees += 15) {
      const double angle = degrees * 3.14159265358979 / 180;
      arc.push_back({static_cast<LONG>(std::lround(centreX + radius * std::cos(angle))),
                     static_cast<LONG>(std::lround(centreY - radius * std::sin(angle)))});
    }
    canvas.setPen(colours[glyph], 2);
    canvas.polyline(arc);
    const POINT tip = arc.front();
    canvas.setPen(colours[glyph], 1);
    canvas.setBrush(colours[glyph]);
    canvas.polygon({{tip.x + 3, tip.y - 4}, {tip.x + 4, tip.y + 3}, {tip.x - 3, tip.y + 1}});
  }
  images.add(strip, mask);
}
