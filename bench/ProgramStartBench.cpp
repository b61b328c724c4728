// Starting the program: from the process start to the pick dialog, and from
// accepting it to the main window showing the loaded portfolios (its title
// names the current one), on the sample folder and on 50 portfolios of 20
// assets each. The first round of each reads cold files, the others warm.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/PortfolioFixture.h"
#include "bench/ProgramDriver.h"
#include "model/Directories.h"

namespace {

void prepareFolders(const std::string& work) {
  for (const char* folder : {"TEMP", "SCRIPTS", "DATA\\FOLIOS", "DATA\\DLISTS", "DATA\\MACROS", "DATA\\BMPS",
                             "DATA\\GALLERY", "DATA\\WEBS", "DATA\\FOREX", "DATA\\QUOTES"})
    forceFolders(work + folder);
}

void report(const char* what, const std::string& work, const std::string& loadedTitle) {
  for (int round = 1; round <= 3; ++round) {
    TStartFigures figures;
    if (timeStart(work, loadedTitle, figures))
      std::printf("%-34s round %d: start to pick dialog %6.3f s, accepted to portfolios shown %7.3f s\n", what,
                  round, figures.toPick, figures.toLoaded);
    else
      std::printf("%-34s round %d: the program did not come up\n", what, round);
  }
}

}  // namespace

int main() {
  {
    TBenchFolder folder;
    const std::string work = folder.path;
    copyTree(windowsPath(KESTROVA_SAMPLE) + "\\", work, true);
    prepareFolders(work);
    fixtureDetail::writeText(work + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" +
                                                        work + "DATA\\WEBS\r\n");
    report("sample folder (2 portfolios)", work, "Kestrova: ");
  }
  {
    TBenchFolder folder;
    const std::string work = folder.path;
    const std::string data = work + "DATA\\";
    prepareFolders(work);
    TStopwatch writing;
    writePortfolioFixture(data, TFixtureSize{20, 2500, 5});
    for (int portfolio = 2; portfolio <= 50; ++portfolio)
      copyTree(data + "FOLIOS\\1\\", data + "FOLIOS\\" + std::to_string(portfolio) + "\\", true);
    fixtureDetail::writeText(work + "Kestrova.INI", "[Directories]\r\n<GALLERY>=" + work + "DATA\\GALLERY\r\n<WEBS>=" +
                                                        work + "DATA\\WEBS\r\n");
    std::printf("50 portfolios x 20 assets x 2500 days written in %.1f s\n", writing.seconds());
    report("50 portfolios x 20 assets", work, "Kestrova: Bench");
  }
  return 0;
}
