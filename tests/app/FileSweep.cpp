#include "tests/app/FileSweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "model/PortableIniFile.h"
#include "tests/support/ThreadTime.h"

namespace {

// The sections of the file that reference holds, as file holds them:
// sections a save leaves behind unread are no part of what was read.
std::map<std::string, std::vector<std::string>> readBack(const std::string& file, const std::string& reference) {
  std::vector<std::string> sections;
  TPortableIniFile(reference).readSections(sections);
  const TPortableIniFile ini(file);
  std::map<std::string, std::vector<std::string>> read;
  for (const std::string& section : sections) ini.readSectionValues(section, read[section]);
  return read;
}

}  // namespace

void sweep(const TFileKind& kind, const TTemporaryFolder& folder, const std::vector<TLayoutDamage>& damages) {
  const std::string clean = folder.path() + "clean.INI";
  deleteFile(clean);
  kind.makeClean(clean);
  const std::string cleanText = readWholeFile(clean);
  ASSERT_FALSE(cleanText.empty()) << kind.name;
  for (TLayoutDamage damage : damages) {
    const std::string damaged = folder.path() + "damaged.INI";
    const std::string first = folder.path() + "first.INI";
    const std::string second = folder.path() + "second.INI";
    for (const std::string& name : {first, second}) deleteFile(name);
    writeWholeFile(damaged, damageLayoutText(cleanText, damage));
    // A damage that made the load run away: a count taken as a length.
    const auto started = threadProcessorTime();
    kind.loadAndSave(damaged, first);
    EXPECT_LT(threadProcessorTime() - started, runawayLoad)
        << kind.name << ", " << layoutDamageName(damage);
    kind.loadAndSave(first, second);
    EXPECT_EQ(readBack(first, second), readBack(second, second)) << kind.name << ", " << layoutDamageName(damage);
  }
}

std::vector<TLayoutDamage> layoutDamageGroup(int group) {
  const std::vector<TLayoutDamage>& all = allLayoutDamages();
  const std::size_t size = (all.size() + layoutDamageGroups - 1) / layoutDamageGroups;
  const std::size_t first = std::min(all.size(), static_cast<std::size_t>(group) * size);
  return {all.begin() + static_cast<std::ptrdiff_t>(first),
          all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), first + size))};
}

std::string windowSweepName(const TWindowSweep& sweep, int group) {
  return std::string(sweep.window) + "Damages" + std::to_string(group + 1);
}
