#pragma once
#include <string>
#include <vector>

#include "model/SettingsBaseline.h"

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
// Makes the "0.INI" of a new mosaic folder naming it; false when the file
// could not be written.
bool writeMosaicName(const std::string& folder, const std::string& name);

// A mosaic's name as the program holds it, read once, and its writing
// against what the descriptor held when read (see TSettingsBaseline): what
// another program changed since stays, and what it cut out is put back.
class TMosaicDescriptor {
 public:
  explicit TMosaicDescriptor(const std::string& folder);
  const std::string& fileName() const { return file_; }
  const std::string& name() const { return name_; }
  // False when the file refused it; a mosaic gone is not made again.
  bool rename(const std::string& name);
  // Writes what the descriptor holds now (a name its file refused).
  bool save();
  // The name as the descriptor holds it, for the writer of another part of
  // the file, whose save then checks it too.
  void writeName(TPortableIniFile& ini) const;

 private:
  TSettingsBaseline::TWriter writer() const;

  std::string file_;
  std::string name_;
  TSettingsBaseline saved_;
};
