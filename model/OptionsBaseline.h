#pragma once
#include <string>

#include "model/PortableIniFile.h"
#include "model/SettingsBaseline.h"

// Takes an options file just read as the baseline of what the writer gives
// (see TSettingsBaseline::take with read), and so that a whole number the
// file spells beyond what its option holds ("Width=9223372036854775808",
// "1E300", "12.5") is no change to save: the value that stood in for it is
// not written over it until the user changes that option. Such a file is
// named, as one read only in part.
void takeOptions(TSettingsBaseline& baseline, const std::string& fileName, const TSettingsBaseline::TWriter& write,
                 const TPortableIniFile& read);
