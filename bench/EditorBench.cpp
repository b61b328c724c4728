// The text editor's hot paths: a keystroke's update of a coloured 10,000-line
// source (colouring the whole text and drawing the view), loading a 5 MB
// file, and a replace-all of 100,000 matches.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchTiming.h"
#include "controls/EditorStatus.h"
#include "platform/FileSystem.h"
#include "platform/FontStyle.h"

namespace {

// A colouring in the manner of a script engine's: words, numbers, strings
// and comments get ids of their own.
void colour(const std::string& text, std::vector<uint16_t>& ids) {
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    size_t end = i + 1;
    uint16_t id = 0;
    if (c == '\'') {
      end = text.find('\r', i);
      id = 3;
    } else if (c == '"') {
      end = text.find('"', i + 1) + 1;
      id = 2;
    } else if (isalpha(static_cast<unsigned char>(c))) {
      while (end < text.size() && isalnum(static_cast<unsigned char>(text[end]))) ++end;
      id = 1;
    }
    if (end == std::string::npos || end == 0) end = text.size();
    std::fill(ids.begin() + i, ids.begin() + end, id);
    i = end;
  }
}

TFontAttributes font(uint16_t id, COLORREF colour, unsigned style) {
  TFontAttributes record;
  record.id = id;
  record.colour = static_cast<int32_t>(colour);
  record.fontName = "Courier New";
  record.size = 10;
  record.style = style;
  return record;
}

}  // namespace

int main() {
  std::string source;
  for (int i = 0; i < 10000; ++i)
    source += "  value" + std::to_string(i) + " = Price(\"ACME\", " + std::to_string(i) + ") * 1.5 ' line\r\n";
  TEditorStatus document;
  document.insertText(source);
  TFontAttributeSets fonts;
  fonts.add(font(0, RGB(0, 0, 0), 0));
  fonts.add(font(1, RGB(0, 0, 128), fsBold));
  fonts.add(font(2, RGB(128, 0, 0), 0));
  fonts.add(font(3, RGB(0, 128, 0), fsItalic));

  HDC canvas = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 900, 700);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(canvas, bitmap);
  const RECT view{0, 0, 900, 700};
  document.setCaret({10, 5000});
  std::vector<uint16_t> ids;
  std::string text;
  const TBenchTimes keystroke = timeRounds(21, [&] {
    document.keyPress('x');
    document.getText(false, text);
    ids.assign(text.size(), 0);
    colour(text, ids);
    document.render(canvas, view, &ids, &fonts, true, TEditorStatus::noHighlight);
  });
  std::printf("keystroke update, 10,000 coloured lines: %s\n", microseconds(keystroke).c_str());

  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string fileName = std::string(folder) + "kestrova-editor-bench.txt";
  std::string big;
  while (big.size() < 5 * 1024 * 1024) big += source;
  writeFileAtomically(fileName, big);
  TEditorStatus loaded;
  const TBenchTimes load = timeRounds(5, [&] { loaded.loadFromFile(fileName); });
  std::printf("load %.1f MB, %d lines: %s\n", big.size() / 1048576.0, loaded.lineCount(), microseconds(load).c_str());
  deleteFile(fileName);

  std::string matches;
  for (int i = 0; i < 10000; ++i) matches += "Buy Buy Buy Buy Buy Buy Buy Buy Buy Buy\n";
  std::unique_ptr<TEditorStatus> target;
  const TBenchTimes replaceAll = timeRounds(
      5,
      [&] {
        target = std::make_unique<TEditorStatus>();
        target->insertText(matches);
        target->setCaret({1, 1});
      },
      [&] { target->replace("buy", "SELL", {.replaceAll = true}); });
  std::printf("replace-all of 100,000 matches: %s\n", microseconds(replaceAll).c_str());

  SelectObject(canvas, old);
  DeleteObject(bitmap);
  DeleteDC(canvas);
}
