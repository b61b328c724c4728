// Starting the program: from the process start to the pick dialog, and from
// accepting it to the main window showing the loaded portfolios (its title
// names the current one), on the sample folder and on 50 portfolios of 20
// assets each, with the sample's Portfolios fields. The first round of each
// reads cold files, the others warm: the least is a warm start.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "bench/ProgramDriver.h"
#include "model/Directories.h"

namespace {

void prepareFolders(const std::string& work) {
  for (const char* folder : {"TEMP", "SCRIPTS", "DATA\\FOLIOS", "DATA\\DLISTS", "DATA\\MACROS", "DATA\\BMPS",
                             "DATA\\GALLERY", "DATA\\WEBS", "DATA\\FOREX", "DATA\\QUOTES"})
    forceFolders(work + folder);
}

// False when a round did not come up.
bool report(const std::string& what, const std::string& work, const std::string& loadedTitle) {
  bool allCameUp = true;
  std::vector<double> toPick, toLoaded;
  for (int round = 1; round <= benchRounds(5); ++round) {
    TStartFigures figures;
    if (timeStart(work, loadedTitle, figures, {}, 120)) {
      toPick.push_back(figures.toPick);
      toLoaded.push_back(figures.toLoaded);
    } else {
      std::printf("%-34s round %d: the program did not come up FAILED\n", what.c_str(), round);
      allCameUp = false;
    }
  }
  std::printf("%-34s start to pick dialog %s\n", what.c_str(), microseconds(summarised(toPick)).c_str());
  std::printf("%-34s accepted to portfolios shown %s\n", "", microseconds(summarised(toLoaded)).c_str());
  return allCameUp;
}

}  // namespace

int main() {
  bool allCameUp = true;
  {
    TBenchFolder folder;
    const std::string work = folder.path;
    copyTree(windowsPath(KESTROVA_SAMPLE) + "\\", work, true);
    prepareFolders(work);
    fixtureDetail::writeText(work + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" +
                                                        work + "DATA\\WEBS\r\n");
    allCameUp = report("sample folder (2 portfolios)", work, "Kestrova: ") && allCameUp;
  }
  {
    TBenchFolder folder;
    const std::string work = folder.path;
    const std::string data = work + "DATA\\";
    prepareFolders(work);
    const int portfolios = benchSize(50, 3);
    TStopwatch writing;
    writePortfolioFixture(data, TFixtureSize{20, 2500, 5});
    for (int portfolio = 2; portfolio <= portfolios; ++portfolio)
      copyTree(data + "FOLIOS\\1\\", data + "FOLIOS\\" + std::to_string(portfolio) + "\\", true);
    // Without the Portfolios window's fields no portfolio becomes current and
    // the title never names one.
    CopyFileA((windowsPath(KESTROVA_SAMPLE) + "\\DATA\\FOLIOS\\FolioFields.INI").c_str(),
              (data + "FOLIOS\\FolioFields.INI").c_str(), FALSE);
    fixtureDetail::writeText(work + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" +
                                                        work + "DATA\\WEBS\r\n");
    std::printf("%d portfolios x 20 assets x 2500 days written in %.1f s\n", portfolios, writing.seconds());
    allCameUp = report(std::to_string(portfolios) + " portfolios x 20 assets", work, "Kestrova: Bench") && allCameUp;
  }
  return allCameUp ? 0 : 1;
}
