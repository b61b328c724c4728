#pragma once
#include <string>
#include <vector>

class TPortableIniFile;

// Why a read system file is not the system its writer wrote: read only in
// part, emptied, cut off inside a line, at its top (lacking the save mark
// or the range every save writes first) or before its first table, fewer
// rules, symbols or parameters than its counts name, a table or an entry's
// section cut off, an entry lacking a key the run reads, a number that does
// not read, fewer entries than its entry count names. A file without that
// count (saved before it, or by another program) leaves out the texts left
// empty, which it thus does not lack; a save with the count writes each of
// them, an empty one as "". Empty when it holds a whole system, and when
// there is no file. Run as it reads, such a file would replace the
// system's transactions with what the rest of it gives.
std::string systemFileFault(const TPortableIniFile& ini);

// The sections a system's entry count counts (see beginEntryCount), given
// how many rules, symbols and parameters it holds: the system's own, not
// the sizes the System window keeps beside them.
std::vector<std::string> systemCountedSections(int rules, int symbols, int params);

// The entries' sections the file holds past the counts of their tables
// (left by another program, or by a save that could not erase them): no
// part of the system, and never to be taken for an entry added under
// their number.
std::vector<std::string> systemSectionsPastCounts(const TPortableIniFile& ini);

// The notice line for a system left unrun because of that fault, which
// reads on from "its file <fileName> "; heldWhole: the program holds the
// system as it read it whole before the file was damaged.
std::string systemNotRunNotice(const std::string& portfolio, const std::string& fileName, const std::string& fault,
                               bool heldWhole);
