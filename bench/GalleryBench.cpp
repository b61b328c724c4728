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

constexpr int itemCount = 500;

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

  const double open = medianTime(5, [&] {
    TGalleryIndex opened;
    opened.loadGallery(folder.path + "GALLERY");
    TBitmap shown;
    shown.loadFromFile(opened.itemFile(1, 0, ".BMP"));
    fitPicture(shown.width(), shown.height(), 400, 250, 2);
  });
  const double add = medianTime(5, [&] { gallery.add(1, view, "One more", savePicture); });
  std::printf("gallery of %d items: open and first picture %.4f s (goal 0.5 s); add one item %.4f s\n", itemCount,
              open, add);
  return 0;
}
