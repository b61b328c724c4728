#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "controls/ToolGlyphs.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "tests/support/WindowTestSupport.h"

namespace {

constexpr uint32_t background = 0xD4D0C8;

// Every picture a window asks for by name.
const char* const glyphNames[] = {
    "BACKBMP",     "FORWARDBMP",    "STOPBMP",    "REFRESHBMP",    "TIMERBMP",      "HOMEBMP",     "FAVSBMP",
    "MAKEDEFBMP",  "CLEARDEFBMP",   "DELBMP",     "MAKEHOMEBMP",   "GOBMP",         "ADDBMP",      "UPBMP",
    "DOWNBMP",     "CLOSEBMP",      "KEYBMP",     "KEYGRAYBMP",    "CURRBTNBMP",    "UPDATEBMP",   "REMARKSBMP",
    "ZAPREMARKSBMP", "FINDBMP",     "PROPERTIESBMP", "CLEARBMP",   "NEWBMP",        "COPYBMP",     "MONTHSBMP",
    "NETSETUPBMP", "ITEMBMP",       "ITEMREMARKSBMP", "LOCKBMP",   "UNLOCKBMP",     "NOTESBMP",    "NEWBROWSERBMP",
    "GALLERYBMP",  "CASCADEBMP",    "TILEHORZBMP", "TILEVERTBMP",  "DIRSETUPBMP",   "HELPBMP",
    "SYNCHDATESBMP", "FIRSTDATEBMP", "FIRSTCOMMONBMP", "FRAMEBACKBMP", "DAYBACKBMP", "DAYFORWARDBMP",
    "FRAMEFORWARDBMP", "LASTCOMMONBMP", "LASTDATEBMP", "NEWCHARTBMP", "NEWGRAPHBMP", "ROWWISEBMP", "COLWISEBMP",
    "SHOWERRORSBMP", "SORTASCBMP", "SORTDESCBMP", "FIXEDBMP", "SETUPBMP", "LOADBMP", "TEMPLATEBMP", "NULLBMP",
    "QUOTESBMP", "MERGEBMP", "AUTOCOMPLETEBMP", "FIRSTQUOTEBMP", "RENUMBERBMP", "ALLBMP", "UNAVAILABLEBMP",
    "ADDOPBMP", "SUBOPBMP", "MULOPBMP", "DIVOPBMP", "DISCARDBMP", "COMMITBMP", "READONLYBMP", "FONTSBMP",
    "COLORSBMP", "DECIMALSBMP", "LEFTALIGNBMP", "RIGHTALIGNBMP", "TOPALIGNBMP", "BOTTOMALIGNBMP", "HIDDENBMP",
    "DISABLEDBMP", "TRAILINGBMP", "FIXEDFIELDBMP", "EDITASTEXTBMP", "OPTIMIZEBMP", "USEFAVBMP"};
// Pictures grey by what they say (an insecure page's key and open lock).
const std::set<std::string> greyByMeaning = {"KEYGRAYBMP", "UNLOCKBMP"};

bool coloured(uint32_t pixel) {
  const int red = static_cast<int>(pixel >> 16 & 0xFF), green = static_cast<int>(pixel >> 8 & 0xFF),
            blue = static_cast<int>(pixel & 0xFF);
  return std::max({red, green, blue}) - std::min({red, green, blue}) > 60;
}

struct TGlyphCell {
  std::vector<uint32_t> pixels;  // 16 x 16, row by row
  int drawn() const {
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return p != background; }));
  }
  bool anyColoured() const { return std::any_of(pixels.begin(), pixels.end(), coloured); }
};

TGlyphCell cellOf(const TBitmap& bitmap, int left, int top) {
  TGlyphCell cell;
  for (int y = 0; y < TToolGlyphs::size; ++y)
    for (int x = 0; x < TToolGlyphs::size; ++x) cell.pixels.push_back(bitmap.pixel(left + x, top + y));
  return cell;
}

}  // namespace

TEST(ToolGlyphs, EveryNamedPictureIsDrawnInColourWithAGreyDisabledLookAndNoTwoAlike) {
  constexpr int size = TToolGlyphs::size;
  const int count = static_cast<int>(std::size(glyphNames));
  TToolGlyphs glyphs;
  // Eight pairs (picture, disabled look) a row, apart.
  constexpr int pairsPerRow = 8;
  const auto left = [](int index) { return index % pairsPerRow * (2 * size + 4) + 2; };
  const auto top = [](int index) { return index / pairsPerRow * (size + 4) + 2; };
  TBitmap sheet(pairsPerRow * (2 * size + 4), top(count - 1) + size + 2);
  sheet.canvas().fillRect({0, 0, sheet.width(), sheet.height()}, static_cast<TColor>(0xC8D0D4));
  for (int index = 0; index < count; ++index) {
    glyphs.draw(sheet.canvas(), left(index), top(index), glyphNames[index]);
    glyphs.draw(sheet.canvas(), left(index) + size, top(index), glyphNames[index], true);
  }
  GdiFlush();
  std::set<std::vector<uint32_t>> seen;
  for (int index = 0; index < count; ++index) {
    const std::string name = glyphNames[index];
    SCOPED_TRACE(name);
    const TGlyphCell normal = cellOf(sheet, left(index), top(index));
    const TGlyphCell disabled = cellOf(sheet, left(index) + size, top(index));
    EXPECT_GE(normal.drawn(), 25);
    EXPECT_LE(normal.drawn(), size * size - 20);  // a shape, not a filled square
    if (!greyByMeaning.count(name)) {
      EXPECT_TRUE(normal.anyColoured());
    }
    EXPECT_FALSE(disabled.anyColoured());
    EXPECT_GE(disabled.drawn(), 20);
    EXPECT_NE(normal.pixels, disabled.pixels);
    EXPECT_TRUE(seen.insert(normal.pixels).second) << "drawn like another picture";
  }
  EXPECT_EQ(glyphs.indexOf("NOSUCHBMP"), -1);
  // Asked again, a picture is not drawn a second time.
  const int before = glyphs.images().count();
  EXPECT_EQ(glyphs.indexOf("GOBMP"), glyphs.indexOf("GOBMP"));
  EXPECT_EQ(glyphs.images().count(), before);
  EXPECT_EQ(before, 2 * count);

  // Four times the size, to look at.
  constexpr int zoom = 4;
  std::vector<uint32_t> zoomed;
  for (int y = 0; y < sheet.height() * zoom; ++y)
    for (int x = 0; x < sheet.width() * zoom; ++x) zoomed.push_back(sheet.pixel(x / zoom, y / zoom));
  TScreenImage(sheet.width() * zoom, sheet.height() * zoom, zoomed).savePng("tool-glyphs");
}
