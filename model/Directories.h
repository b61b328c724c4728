#pragma once
#include <cstdint>
#include <string>

#include "model/SettingsBaseline.h"

// The named-directory table: placeholders such as "<DATA>" or "<FOREX>" and
// the folders they stand for, so that stored paths survive the user moving
// the folders. One table for the whole program; names and paths are kept
// upper-cased, paths with their trailing backslash, longest path first.

// How the directory list read: as a whole, only in part (lines passed
// over), or not at all though it is there (held by another program, a
// folder under its name).
enum class TDirectoryListRead { whole, inPart, failed };

// Replaces the table by the NAME=PATH entries of a section of a settings file.
// With damage, why a list read in part takes no writes (empty otherwise).
// With saved, the table as loaded is taken from the same read for what the
// section holds (see TSettingsBaseline), before the user changes it.
TDirectoryListRead loadDirectoryTable(const std::string& fileName, const std::string& section,
                                      std::string* damage = nullptr, TSettingsBaseline* saved = nullptr);
// Writes into the section the entries the table holds differently from the
// baseline, which then becomes the table, so that a save keeps the entries
// another program (the downloader) wrote since the load, and writes nothing
// into a list that could not be read. True when nothing needed writing or
// the write succeeded.
bool saveDirectoryTable(const std::string& fileName, const std::string& section, TSettingsBaseline& baseline);
void setDirectory(const std::string& name, const std::string& path);
// The path of a placeholder (any case); empty when the table has none.
std::string getDirectory(const std::string& name);

// Trimmed and upper-cased; every table path replaced by its placeholder,
// longest first, so a folder inside another named folder takes the inner name.
std::string collapsePath(const std::string& text);
// Trimmed and upper-cased; every placeholder replaced by its path.
std::string expandPath(const std::string& text);
// The same for "file:///" URLs; other URLs come back trimmed.
std::string collapseFileURL(const std::string& url);
std::string expandFileURL(const std::string& url);
// The longest address a browser navigates. A longer one, from a damaged
// file, is neither shown nor opened (laying out such a text in an address
// box takes minutes), and stays in its file as it was.
constexpr std::size_t longestNavigableUrl = 2083;
inline bool navigableUrl(const std::string& url) { return url.size() <= longestNavigableUrl; }
// What a browser is handed for a stored or typed address: expandFileURL of
// it, or a blank page for one no browser can navigate.
std::string navigationTarget(const std::string& url);

// The text with "\" appended, unless it is empty or ends in "\" or ":".
std::string includeTrailingBackslash(const std::string& text);

// Deletes every file and subfolder of a folder; true when all went (also for
// an empty or missing folder), false at the first failure. Empty, relative
// and root folders are refused, and junctions and other links inside are
// removed as links, never followed.
bool deleteDirContents(const std::string& folder);
// deleteDirContents, then the folder itself.
bool deleteTree(const std::string& folder);
// Copies a folder tree into a new destination (an existing one only with
// replaceExisting, which deletes it first). False, with the destination
// removed, at the first failure; a missing source and a destination inside
// the source or around it are refused before anything is touched.
bool copyTree(const std::string& source, const std::string& destination, bool replaceExisting);

// The first folder + prefix + N + extension, N from firstN to lastN, that
// names neither a file nor a folder; empty when none is free or the folder
// does not exist. Prefix and extension are trimmed; the extension gets its ".".
std::string uniqueFileName(const std::string& folder, const std::string& prefix, const std::string& extension,
                           int32_t firstN, int32_t lastN);
