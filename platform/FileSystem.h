#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The file-system services of the model, over the ANSI Win32 file API. Paths
// are Windows paths in the system code page; a folder may be given with or
// without its trailing backslash unless a routine says otherwise.

// Reads a whole regular disk file. False when it cannot be opened, is no
// regular file (see namesDevice), is larger than maxSize when opened, or a
// read fails; bytes then holds what could be read (nothing for a missing or
// larger file).
bool readFileBytes(const std::string& fileName, std::string& bytes, std::size_t maxSize = SIZE_MAX);

// A file's size and the time of its last write: where both are as the
// program left them after its read or its own write, nobody wrote the file
// since, and it need not be read again to know so. Unknown (size -1) where
// there is no file or it was not looked at.
struct TFileStamp {
  int64_t size = -1;
  int64_t lastWrite = -1;
  bool known() const { return size >= 0; }
  bool operator==(const TFileStamp&) const = default;
};

// True when the path names a device rather than a file: the reserved names
// CON, PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9 as the last part, with
// or without an extension ("AUX.CSV" is the auxiliary device in every
// folder), CONIN$ and CONOUT$, and paths in the device namespace "\\.\".
bool namesDevice(const std::string& path);

// Replaces (or creates) a file with the given bytes so that a crash or a full
// disk never leaves a half-written file: the bytes go to a temporary file in
// the same folder, are flushed, and only then take the file's place. On
// failure the old file stays as it was and the temporary file is removed.
// A device name (see namesDevice) is refused.
bool writeFileAtomically(const std::string& fileName, std::string_view bytes, TFileStamp* written = nullptr);

// Writes the bytes into a file of a name not taken yet, directly: there is
// nothing to replace, so no temporary file and no rename. A name already
// taken (also by a folder) is left alone; a failed write removes the part
// written. Flushed to the disk only when asked to be durable. Under Wine,
// every look-up of a missing name reads the whole folder, so a folder of
// thousands of files makes each extra look-up cost; the file is therefore
// created under its exact name there (see exactFileName), and a caller
// picks a name that a listing of the folder shows free in any case.
enum class TNewFileResult { created, nameTaken, failed };
TNewFileResult createNewFile(const std::string& fileName, std::string_view bytes, bool durable,
                             TFileStamp* written = nullptr);

// Writes the bytes over a file that exists and holds nothing of value any
// more, in place, as a file of a soft transaction that a trading system's
// run makes again: no temporary file, no rename, no new name. A new file
// costs three calls to the Wine server, a deleted one three more; this
// costs the three of a new file. Written over and then cut, not emptied
// first: ext4 writes a file that was emptied out to the disk at once when
// it is closed. On failure the file may hold part of the bytes.
bool overwriteFile(const std::string& fileName, std::string_view bytes, bool durable, TFileStamp* written = nullptr);
// Each of these three writers gives, where asked to, the stamp of what it
// wrote, read from the file before it let go of it.

struct TFoundFile {
  std::string name;  // the entry's own name, without its folder
  bool isFolder = false;
  bool isReparsePoint = false;  // a junction, symbolic link or other reparse point
  TFileStamp stamp;             // a file's, as listed
};

// The entries that match a wildcard pattern such as "C:\\DATA\\*.INI", without
// "." and "..". Nothing when the folder is missing or unreadable.
std::vector<TFoundFile> findFiles(const std::string& pattern);

bool fileExists(const std::string& fileName);  // an existing file, not a folder
bool folderExists(const std::string& folder);  // an existing folder
bool pathExists(const std::string& path);      // a file or a folder
// The same, with the stamp of a file (unknown for a folder), in one look-up.
bool pathExists(const std::string& path, TFileStamp& stamp);
bool isReparsePoint(const std::string& path);  // true only for an existing reparse point

bool deleteFile(const std::string& fileName);
bool removeFolder(const std::string& folder);  // an empty folder, or the link itself for a junction
bool createFolder(const std::string& folder);  // one level; false when it exists already
bool forceFolders(const std::string& folder);  // with all missing parents; true when it exists afterwards
bool copyFile(const std::string& source, const std::string& target, bool failIfExists);

// The time of the last write to a file in 100-nanosecond steps since 1601
// (the Win32 file time); -1 when the file does not exist. Callers compare ages
// to learn whether a file changed.
int64_t fileAge(const std::string& fileName);

// The absolute, normalised form of a path ("." and ".." resolved); empty when
// the path cannot be resolved.
std::string fullPathName(const std::string& path);
