#pragma once
#include <string>

#include <windows.h>

// The braced text form of a GUID, "{0CB8E1B9-6C2F-4B28-9B1A-3F2E8A0D5C71}",
// as settings files store class identifiers; no OLE call is needed for it.

// Upper-case hexadecimal digits in the standard groups.
std::string guidToText(const GUID& guid);
// True for exactly that form (hexadecimal digits of either case, braces
// required, nothing around); the GUID is untouched otherwise.
bool tryTextToGuid(const std::string& text, GUID& guid);
