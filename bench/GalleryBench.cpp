// Opening a gallery of 500 chart items: reading the three indexes and
// loading and fitting the first item's picture, as the gallery does before
// it shows. Adding one more item (copy, picture, index rewrite) is timed too.
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "controls/GalleryIndex.h"
#include "platform/Bitmap.h"
#include "platform/FileSystem.h"

namespace {

const int itemCount = benchSize(500, 20);

}  // namespace

int main() {
  TBenchFolder folder;
  const std::string view = folder.path + "VIEW.INI";
  writeFileAtomically(view, "[Chart]\r\nSeries=3\r\n");
  TBitmap picture(480, 320);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) picture.scanLine(y)[x] = static_cast<uint32_t>(x * 0x010203 + y);
  const auto savePicture = [&](const std::string& file) { return picture.saveToFile(file); };

  TGalleryIndex gallery;
  gallery.loadGallery(folder.path + "GALLERY");
  for (int i = 0; i < itemCount; ++i) gallery.add(1, view, std::string("Chart view ").append(std::to_string(i)), savePicture);

  const TBenchTimes open = timeRounds(9, [&] {
    TGalleryIndex opened;
    opened.loadGallery(folder.path + "GALLERY");
    TBitmap shown;
    shown.loadFromFile(opened.itemFile(1, 0, ".BMP"));
    fitPicture(shown.width(), shown.height(), 400, 250, 2);
  });
  const TBenchTimes add = timeRounds(9, [&] { gallery.add(1, view, "One more", savePicture); });
  std::printf("gallery of %d items: open and first picture %s (goal 500,000 us)\n", itemCount,
              microseconds(open).c_str());
  std::printf("                     add one item %s\n", microseconds(add).c_str());
  return 0;
}
