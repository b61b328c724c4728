// A large working folder, made by bench/large-folder.sh: from Return in the
// pick dialog to the portfolios shown, with the load log in the main window
// as the user sees it; the processor time of that wait, the cost per
// portfolio, the peak memory and the processor time of the idle program,
// each beside its goal.
//   LargeFolderBench WORKING-FOLDER PORTFOLIOS [ROUNDS]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/ProgramDriver.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: LargeFolderBench WORKING-FOLDER PORTFOLIOS [ROUNDS]\n");
    return 2;
  }
  const std::string work = argv[1];
  const int portfolios = std::atoi(argv[2]);
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 1;
  for (int round = 1; round <= rounds; ++round) {
    TStartFigures figures;
    if (!timeStart(work, "Kestrova: Portfolio", figures, 5)) {
      std::printf("round %d: the program did not come up\n", round);
      return 1;
    }
    std::printf("round %d: start to pick dialog %.2f s\n", round, figures.toPick);
    std::printf("round %d: Return to portfolios shown %8.2f s  (goal <= 30 s at 20 portfolios)\n", round,
                figures.toLoaded);
    std::printf("round %d:   processor time of that wait %6.2f s, per portfolio %.3f s (goal: flat from 2 to 20)\n",
                round, figures.loadCpu, figures.toLoaded / portfolios);
    std::printf("round %d: peak memory %8.1f MB  (goal <= 250 MB)\n", round, figures.peakMB);
    std::printf("round %d: processor time idle over 5 s %.3f s  (goal: none)\n", round, figures.idleCpu);
  }
  return 0;
}
