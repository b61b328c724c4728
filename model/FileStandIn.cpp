#include "model/FileStandIn.h"

#include "platform/FileSystem.h"

void TFileStandIn::take(const std::string& fileName, const TSettingsBaseline::TWriter& write) {
  // A folder under the name is no missing file: it is told as unreadable.
  standIn_ = pathExists(fileName) ? nullptr : TSettingsBaseline::written(fileName, write);
}

void TFileStandIn::retake(const TSettingsBaseline::TWriter& write) {
  if (standIn_) standIn_ = TSettingsBaseline::written(standIn_->FileName(), write);
}

bool TFileStandIn::standing(const TSettingsBaseline::TWriter& write) const {
  if (!standIn_ || pathExists(standIn_->FileName())) return false;
  TPortableIniFile changes(standIn_->FileName(), TPortableIniFile::TNewFile{});
  return !changes.writeChanges(*standIn_, *TSettingsBaseline::written(standIn_->FileName(), write));
}
