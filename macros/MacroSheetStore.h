#pragma once

class TPortableIniFile;
class TSheet;

// The Macros window's test sheet in the window-layout file: column widths,
// row heights and the cells of the used area, formulas in the stored form
// ("." decimals, ";" list separators).
void saveMacroSheet(const TSheet& sheet, TPortableIniFile& file);
// Reads what saveMacroSheet wrote; lines it cannot place are skipped.
void loadMacroSheet(TSheet& sheet, const TPortableIniFile& file);
