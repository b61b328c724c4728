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
