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

// A portfolio that could not be opened, told the same way: the whole line,
// naming the portfolio, the file and why.
void reportLoadFailure(const std::string& line);
// The lines reported since the last call, oldest first, each once.
std::vector<std::string> takeLoadFailures();
// The one line of the notice: the last load failure and how many more,
// then the unreadable files.
std::string fileNotice(const std::vector<std::string>& loadFailures, const std::vector<std::string>& unreadable);
