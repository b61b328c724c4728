// The Portfolios window over ten portfolios of 200 assets each and over 300
// portfolios by 15 fields: the start's load, building the sheet, a click on
// another portfolio up to the grid's repaint, a date change with its
// recalculation, and (ten portfolios) the tab left and entered again with
// nothing changed: browsers off, view threads stopped, view saved, then only
// what the change stamps allow.
#include <cstdio>
#include <functional>
#include <string>

#include "app/TabArrival.h"
#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "controls/ChildForm.h"
#include "controls/SheetPanel.h"
#include "model/PortfolioTable.h"
#include "platform/Application.h"
#include "platform/FloatingPoint.h"
#include "platform/Form.h"
#include "platform/PageControl.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "windows/PortfolioForm.h"

namespace {

void writeFolioFields(const std::string& foliosDir) {
  TFieldTable fields;
  fields.FileName = foliosDir + "FolioFields.INI";
  const auto add = [&fields](const char* header, std::uint8_t kind, const std::string& content) {
    fields.insertField(fields.count());
    TField& field = *fields.items(fields.count() - 1);
    field.setHeader(header);
    field.Kind = kind;
    field.Content = content;
  };
  add("Name", 10, "");
  add("Symbol", 11, "");
  add("Currency", 12, "");
  for (int k = 0; k < 12; ++k) {
    std::string header = "F";
    header += std::to_string(k);
    add(header.c_str(), 1, k < 5 ? "SELECTED*" + std::to_string(k + 1) : std::to_string(k));
  }
  fields.save('.', ',');
}

// 300 portfolios without assets: the sheet of 300 lines by 15 fields.
void writeEmptyPortfolios(const std::string& root, int count) {
  const std::string folios = root + "FOLIOS\\";
  setDirectory("<FOLIOS>", folios);
  for (int n = 1; n <= count; ++n) {
    forceFolders(folios + std::to_string(n));
    fixtureDetail::writeText(folios + std::to_string(n) + "\\0.INI", "[Portfolio]\r\nName=P" + std::to_string(n) +
                                                                      "\r\nSymbol=S" + std::to_string(n) +
                                                                      "\r\nCurrency=EUR\r\nLoadAlways=1\r\n\r\n");
  }
}

void measure(const char* label, const std::function<void(const std::string&)>& writeFolios, bool roundTrips) {
  TBenchFolder folder;
  writeFolios(folder.path);
  writeFolioFields(folder.path + "FOLIOS\\");

  TPortfolioTable table;  // outlives the window that shows it
  TFormOptions options;
  options.caption = "Portfolios window";
  options.clientWidth = 900;
  options.clientHeight = 600;
  TForm main(options);
  TPageControl& pages = main.add<TPageControl>();
  pages.setAlign(TAlign::client);
  main.showModeless();
  TportfolioForm& form = createChildForm<TportfolioForm>(pages, "Portfolios");
  form.setPortfolioTable(&table);

  // The start's load is made once, as the program makes it.
  TStopwatch loading;
  form.loadPortfolios();
  std::printf("%s: load and show once %s us (%d portfolios)\n", label, microsecondsText(loading.seconds()).c_str(),
              table.count());
  const TBenchTimes build = timeRounds(9, [&] { form.showObjects(-1, -1); });
  std::printf("  build the sheet: %s\n", microseconds(build).c_str());

  TSheet& sheet = form.sheetPanel().sheet();
  int line = 2;
  const TBenchTimes click = timeRounds(21, [&] {
    line = line == 2 ? table.count() + 1 : 2;
    sheet.setCurrentCell(line, 4);
    form.sheetPanel().refresh();
  });
  std::printf("  click to repaint: %s (limit 100,000 us)\n", microseconds(click).c_str());
  const TBenchTimes dateChange = timeRounds(11, [&] {
    form.scrollTimeWindow(-1);
    form.dateChangeTimerTimer();
  });
  std::printf("  date change with its recalculation: %s (limit 1,000,000 us)\n", microseconds(dateChange).c_str());
  if (!roundTrips) return;

  int recomputations = 0;
  const TBenchTimes roundTrip = timeRounds(51, [&] {
    form.webBrowsersEnable(false);
    form.abortViewThreads();
    form.saveView();
    TDataTabStamps stamps;
    stamps.scriptStamp = form.scriptStamp();
    stamps.dataChanged = table.lastChange();
    stamps.currentChanged = table.CurrentChange();
    stamps.sheetStamp = form.sheetStamp();
    const TDataTabArrival arrival = portfoliosTabArrival(stamps);
    if (arrival.recompute) {
      ++recomputations;
      form.recomputeSheet();
      form.rebuildAllAuxiliaryViews();
    } else if (arrival.followCurrent) {
      form.setAuxiliaryViewsPortfolio();
    } else {
      form.handleSheetChartAndGraphRequests();
    }
    form.webBrowsersEnable(true);
    application().processMessages();
  });
  std::printf("  tab round trip, nothing changed: %s (limit 50,000 us), %d recomputations\n",
              microseconds(roundTrip).c_str(), recomputations);
}

}  // namespace

int main() {
  setExtendedPrecision();
  application();
  measure("10 portfolios x 200 assets",
          [](const std::string& root) {
            const std::string first = writePortfolioFixture(root, {200, 60, 1});
            for (int n = 2; n <= 10; ++n) copyTree(first, root + "FOLIOS\\" + std::to_string(n) + "\\", false);
          },
          true);
  measure("300 portfolios x 15 fields, 5 reading SELECTED",
          [](const std::string& root) { writeEmptyPortfolios(root, 300); }, false);
  return 0;
}
