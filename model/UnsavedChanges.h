#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/SettingsBaseline.h"

// Changes of the user's that a window saved as they were made, away from a
// close, and whose save failed (a file in another encoding or damaged, held
// by another program, read-only). The window has gone on, and may be gone,
// so the change waits here with what saves it again; the close saves every
// one again and asks about the files still failing as about its own saves.
// Any window may hold one; the close takes them on the GUI thread.

// Saves the change again: true once it is written. It must not reach into
// a window that may be gone by the close (only the main window lasts).
using TChangeSave = std::function<bool()>;

// Saves the change again into the file given, the one it is held for by
// then: a rename of the file carries the change along (see
// moveUnsavedChanges).
using TChangeSaveTo = std::function<bool(const std::string& fileName)>;

// what names the change where a later one of the file replaces it (a list
// checked, then unchecked); empty where the save writes what stands then
// and every change is kept.
void holdUnsavedChange(const std::string& fileName, const std::string& what, TChangeSave save);
void holdUnsavedChange(const std::string& fileName, const std::string& what, TChangeSaveTo save);
// A later save of the same change went through.
void forgetUnsavedChange(const std::string& fileName, const std::string& what);
// A change of the file so named is held.
bool holdsUnsavedChange(const std::string& fileName, const std::string& what);
// Saves every change held again, oldest first; those saved are let go. The
// files of those still failing, each once, in the order held.
std::vector<std::string> saveUnsavedChanges();
// The user chose to go on without what these files did not take.
void giveUpUnsavedChanges(const std::vector<std::string>& fileNames);
// The file, or the folder given with its trailing backslash, was deleted or
// renamed: what was held for it, or for a file inside the folder, has nowhere
// to go, and would otherwise bring back what the user removed or land in
// whatever takes the name next.
void letGoUnsavedChanges(const std::string& path);
// The file was renamed: what was held for it is saved into the new name. A
// change that can save only into the old name is let go, as it would make
// that file again.
void moveUnsavedChanges(const std::string& from, const std::string& to);

// What saves the settings the writer gives now, against what the baseline
// knew of the file, once their owner is gone.
TChangeSave keptSettingsSave(const std::string& fileName, const TSettingsBaseline& baseline,
                             const TSettingsBaseline::TWriter& write);

// Holds the settings the writer gives now as keptSettingsSave saves them,
// for an owner about to go whose file refused them, and keeps them for the
// owner that reads the file next (see heldSettings).
void holdSettingsChange(const std::string& fileName, const std::string& what, const TSettingsBaseline& baseline,
                        const TSettingsBaseline::TWriter& write);
// Saves the settings (see TSettingsBaseline::save) of an owner that may go
// before the close: what the file refuses is held (see holdSettingsChange);
// once written, the file holds what the owner shows, and what was held for
// it goes. True when saved.
bool saveHolding(const std::string& fileName, const std::string& what, TSettingsBaseline& baseline,
                 const TSettingsBaseline::TWriter& write);
// What an owner reading the file shows in its place while the settings held
// for it wait: read from the file it would show what the change never
// reached, and its next save, finding nothing changed, would let the change
// go unwritten. shown is the file as it stands with the change written over
// it (what the change gave, where the file cannot be read); baseline is
// what the owner that held it knew of the file, which the next save
// compares with (see TSettingsBaseline::takeOver). None once the change was
// saved, given up or let go.
struct THeldSettings {
  std::unique_ptr<TPortableIniFile> shown;
  TSettingsBaseline baseline;
};
std::optional<THeldSettings> heldSettings(const std::string& fileName, const std::string& what);
