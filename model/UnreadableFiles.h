#pragma once
#include <string>
#include <vector>

// Files that exist but could not be read as a whole (held by another
// program, access denied, a folder or device under the name). Their readers
// take them as missing; the names wait here for the window that tells the
// user in one line, never in a dialog. Any thread may report; the window
// takes them on the GUI thread.
void reportUnreadableFile(const std::string& fileName);
// The names reported since the last call, oldest first, each once.
std::vector<std::string> takeUnreadableFiles();
// The one line that tells of them: the last name, and how many more.
std::string unreadableFilesNotice(const std::vector<std::string>& names);

// Files that were read but not as a whole: lines reading had to pass over
// (damaged, in another encoding, cut off), or values their reader could not
// take. What stood in for the rest must not be written over them unless the
// user changes it, and the user is told alike.
void reportPartlyReadFile(const std::string& fileName);
std::vector<std::string> takePartlyReadFiles();
std::string partlyReadFilesNotice(const std::vector<std::string>& names);

// Files that were read in part and take no writes, since a rewrite would
// lose what they hold (see TPortableIniFile::writeRefusal): the name and why.
void reportDamagedFile(const std::string& fileName, const std::string& why);
std::vector<std::string> takeDamagedFiles();
std::string damagedFilesNotice(const std::vector<std::string>& files);

// A save refused for a file that takes no writes, or that another program
// changed so that the save would lose what it wrote: why, for the question
// that tells the user the save failed. The last reason of each file is kept.
enum class TRefusal { damaged, changedElsewhere, unwritable };
void reportRefusedSave(const std::string& fileName, const std::string& why, TRefusal refusal = TRefusal::damaged);
// A save of the file went through, or failed for another reason.
void forgetRefusedSave(const std::string& fileName);
// "X is saved as Unicode (UTF-16), not as ANSI text", or empty when no
// save of the file was refused.
std::string refusedSaveText(const std::string& fileName);
// Why a file took no write where nothing recorded a reason: read-only,
// held open by another program, or what is left ("could not be written").
std::string whyNotWritten(const std::string& fileName);
// Why a save of the file failed, naming it: the refusal recorded, else
// whyNotWritten ("C:\A\1.INI is read-only").
std::string saveFailureText(const std::string& fileName);
// What the question about failed saves says of why, for those of the files
// named whose save was refused: a line each, and what the user can do.
std::string refusedSavesText(const std::vector<std::string>& fileNames);

// A portfolio that could not be opened, told the same way: the whole line,
// naming the portfolio, the file and why.
void reportLoadFailure(const std::string& line);
// The lines reported since the last call, oldest first, each once.
std::vector<std::string> takeLoadFailures();
// A file that lost entries while the program ran, which a save put back
// (see TSettingsBaseline::save): the whole line. Told at
// the foot with the load failures, and by the close, which the foot does
// not outlast.
void reportSavedWhole(const std::string& line);
std::vector<std::string> takeSavedWhole();
// A price or rate file whose last line has no line end: cut off inside it,
// its last value read may be only the start of one. Told as a load failure.
void reportPossiblyCutOffFile(const std::string& fileName);
// A price or rate file with an end-of-file byte (0x1A) before lines with
// text, which readers of such files take as its end: the line it stands on
// and how many lines were not read. Told as a load failure.
void reportEndMarkInsideFile(const std::string& fileName, size_t line, size_t linesAfter);
// The one line of the notice: the last load failure and how many more,
// then the unreadable files, then the damaged ones, then those read in part.
std::string fileNotice(const std::vector<std::string>& loadFailures, const std::vector<std::string>& unreadable,
                       const std::vector<std::string>& partlyRead = {}, const std::vector<std::string>& damaged = {});
// The same whole, a line for each failure and file, for the list a click
// on the notice shows: the one line names only the last.
std::vector<std::string> fileNoticeLines(const std::vector<std::string>& loadFailures,
                                         const std::vector<std::string>& unreadable,
                                         const std::vector<std::string>& partlyRead = {},
                                         const std::vector<std::string>& damaged = {});
