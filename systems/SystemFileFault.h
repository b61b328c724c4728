#pragma once
#include <string>

class TPortableIniFile;

// Why a read system file is not the system its writer wrote: read only in
// part, emptied, cut off inside a line or before its first table, fewer
// rules, symbols or parameters than its counts name, a table or an entry's
// section cut off, an entry lacking a key the run reads (a save writes
// each of them, an empty one as ""), a number that does not read. Empty when it holds a
// whole system, and when there is no file. Run as it reads, such a file
// would replace the system's transactions with what the rest of it gives.
std::string systemFileFault(const TPortableIniFile& ini);

// The notice line for a system left unrun because of that fault, which
// reads on from "its file <fileName> ".
std::string systemNotRunNotice(const std::string& portfolio, const std::string& fileName, const std::string& fault);
