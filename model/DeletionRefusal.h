#pragma once
#include <string>
#include <vector>

// A deletion is a write whose failure the user must learn of, and an object
// of several files goes whole or stays whole: every file is asked before any
// goes.

// The first file of the list, or under a folder of it (given with its
// trailing backslash), that would refuse its deletion, and why ("C:\A\1.INI
// is read-only", "... is open in another program"); empty when every one can
// go. Missing files can go; a junction goes as a link, so what it points to
// is not asked about.
std::string firstDeletionRefusal(const std::vector<std::string>& paths);
