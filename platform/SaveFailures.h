#pragma once
#include <string>
#include <vector>

// The files a save could not write, in the order tried: whoever asked for
// the save names them to the user, who may try again.
using TSaveFailures = std::vector<std::string>;

inline void addSaveFailures(TSaveFailures& into, const TSaveFailures& more) {
  into.insert(into.end(), more.begin(), more.end());
}
