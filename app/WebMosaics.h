#pragma once
#include <string>
#include <vector>

// The mosaics of the Web tab on disk: numbered folders under the mosaics
// root, each with "0.INI" (the name and the notes tile), "Notes.TXT" and one
// numbered settings file per web panel.

struct TMosaicRow {
  int number = 0;
  std::string name;  // "?" when the mosaic has none
};

// Folders named by a positive number that hold "0.INI", in listing order.
std::vector<TMosaicRow> listMosaicFolders(const std::string& root);
// The web panel files of a mosaic folder: "N.INI" with N > 0, in listing order.
std::vector<std::string> webPanelFiles(const std::string& folder);
// The first free root + N (N from 1), made with its parents; empty on failure.
std::string newMosaicDir(const std::string& root);
// A new mosaic folder holding copies of the files (not sub-folders) of the
// source; its number, or -1 with nothing left behind.
int copyMosaic(const std::string& root, const std::string& sourceFolder);
// The mosaic folders with everything in them, as one deletion (see
// deleteAllWhole): a file or folder that would refuse keeps every mosaic,
// and why names it. A mosaic is gone once its descriptor is; why tells
// what another program kept on disk. For each folder, whether its mosaic
// is gone.
std::vector<bool> deleteMosaics(const std::vector<std::string>& folders, std::string& why);
// The file of a mosaic folder that holds its name.
std::string mosaicDescriptor(const std::string& folder);
// Writes the name into the folder's "0.INI" (made when missing); false when
// the file refused it.
bool writeMosaicName(const std::string& folder, const std::string& name);
