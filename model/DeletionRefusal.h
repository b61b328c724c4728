#pragma once
#include <string>
#include <vector>

// A deletion is a write whose failure the user must learn of, and an object
// of several files goes whole or stays whole: every file and every folder is
// asked before any goes.

// The first file of the list, or folder of it (given with its trailing
// backslash) or under one, that would refuse its deletion, and why
// ("C:\A\1.INI is read-only", "C:\A\1.TRN is open in another program");
// empty when every one can go. A folder is asked after what it holds: one
// another program holds open (as the current folder of a console, say)
// refuses its removal. Missing files can go; a junction goes as a link, so
// what it points to is not asked about.
std::string firstDeletionRefusal(const std::vector<std::string>& paths);

// Deletes an object's files and folders (a folder given with its trailing
// backslash goes with everything in it) whole or not at all: every one is
// asked first, and when one refuses nothing goes, why names it and the
// answer is false. The first path is the object's record, deleted first: the
// object is gone with it (true), and is never to be written back. Should
// anything still fail (another program took a file since it was asked), what
// fails before the record leaves the object whole, and what fails after it
// is left on disk, which why then tells ("C:\A\1.TRN is left on disk: it is
// open in another program"). Once the object is gone, what was held for any
// of its paths is let go.
bool deleteWhole(const std::vector<std::string>& paths, std::string& why);

// Several objects the user gave as one deletion (the assets picked, the
// lists selected), each by its paths as deleteWhole takes them: every path
// of every one is asked before any goes, and when one refuses none goes and
// why names it. Else each goes as deleteWhole deletes it, and why tells
// what any left. For each object, whether it is gone.
std::vector<bool> deleteAllWhole(const std::vector<std::vector<std::string>>& objects, std::string& why);

// What the user is told of a deletion: nothing when it went whole (why
// empty); else, after the named with its verb ("The asset X was", "The
// transactions were"), that nothing went ("not deleted: why.") or that it
// went and what stays ("deleted, but why."). done: the word for what was
// done, "deleted" or another ("merged").
std::string deletionNotice(const std::string& namedWas, bool went, const std::string& why,
                           const std::string& done = "deleted");
