#pragma once
#include <memory>
#include <string>

#include "model/SettingsBaseline.h"

// What an object shows for a settings file its folder does not hold, so
// that looking at it makes no file: the file is made once what the object
// shows differs from what stood in for it.
class TFileStandIn {
 public:
  // After loading: when the file is missing, what the writer gives now
  // stands in for it; else nothing does.
  void take(const std::string& fileName, const TSettingsBaseline::TWriter& write);
  // Takes again what the writer gives now, while something stands in: what
  // the owner settled after loading is no change of the user's.
  void retake(const TSettingsBaseline::TWriter& write);
  // The file is still missing and the writer gives what stood in for it:
  // a save has nothing to write.
  bool standing(const TSettingsBaseline::TWriter& write) const;
  // Once the file is written, it stands for itself.
  void reset() { standIn_.reset(); }

 private:
  std::unique_ptr<TPortableIniFile> standIn_;
};
