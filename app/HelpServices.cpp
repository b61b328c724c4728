#include "app/HelpServices.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <vector>

#include <shellapi.h>

#include "model/Directories.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"

namespace {

const char* const htmlHelpClassKey = "CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32";

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string registryDefault(HKEY root, const char* key) {
  char value[MAX_PATH] = {};
  LONG size = sizeof value;
  if (RegQueryValueA(root, key, value, &size) != ERROR_SUCCESS) return {};
  return value;
}

std::array<unsigned, 4> versionParts(const std::string& version) {
  std::array<unsigned, 4> parts{};
  std::sscanf(version.c_str(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
  return parts;
}

struct TKnownVersion {
  const char* version;
  const char* name;
};

// The first release of each name; a version between two belongs to the
// earlier one.
const TKnownVersion htmlHelpVersions[] = {
    {"4.72.7290.0", "1.0"},  {"4.72.7323.0", "1.1"},  {"4.72.7325.0", "1.1a"}, {"4.72.8164.0", "1.1b"},
    {"4.73.8252.0", "1.2"},  {"4.73.8412.0", "1.21"}, {"4.73.8474.0", "1.21a"}, {"4.73.8561.0", "1.22"},
    {"4.74.8702.0", "1.3"},  {"5.2.3644.0", "1.31"},
};

const TKnownVersion browserVersions[] = {
    {"4.40.308.0", "Internet Explorer 1.0 (Plus!)"},
    {"4.40.520.0", "Internet Explorer 2.0"},
    {"4.70.1155.0", "Internet Explorer 3.0"},
    {"4.70.1158.0", "Internet Explorer 3.0 (OSR2)"},
    {"4.70.1215.0", "Internet Explorer 3.01"},
    {"4.70.1300.0", "Internet Explorer 3.02"},
    {"4.71.1712.6", "Internet Explorer 4.0"},
    {"4.72.2106.8", "Internet Explorer 4.01"},
    {"4.72.3110.8", "Internet Explorer 4.01 Service Pack 1"},
    {"4.72.3612.1713", "Internet Explorer 4.01 Service Pack 2"},
    {"5.0.2014.216", "Internet Explorer 5"},
    {"5.0.2919.6307", "Internet Explorer 5.01"},
    {"5.50.3825.1300", "Internet Explorer 5.5 Developer Preview"},
};

template <std::size_t count>
std::string friendlyVersion(const std::string& version, const TKnownVersion (&known)[count]) {
  const auto parts = versionParts(version);
  if (parts < versionParts(known[0].version)) return std::string("< ") + known[0].name;
  const TKnownVersion& last = known[count - 1];
  if (parts > versionParts(last.version)) return std::string("> ") + last.name;
  const char* name = known[0].name;
  for (const TKnownVersion& entry : known)
    if (parts >= versionParts(entry.version)) name = entry.name;
  return name;
}

std::string systemFile(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return includeTrailingBackslash(folder) + name;
}

}  // namespace

std::string helpTraceFileName(const std::string& programFolder, const std::string& tempFolder) {
  const std::string probe = includeTrailingBackslash(programFolder) + "$_Temp_$.$$$";
  HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) return includeTrailingBackslash(tempFolder) + "HHDebug.txt";
  CloseHandle(file);
  DeleteFileA(probe.c_str());
  return includeTrailingBackslash(programFolder) + "HHDebug.txt";
}

std::string fileVersionText(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return {};
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr) return {};
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

std::string htmlHelpFriendlyVersion(const std::string& version) { return friendlyVersion(version, htmlHelpVersions); }
std::string browserFriendlyVersion(const std::string& version) { return friendlyVersion(version, browserVersions); }

TWindowsHelpServices::TWindowsHelpServices(const std::string& executablePath) {
  const std::string programFolder = folderOf(executablePath);
  if (::fileExists(programFolder + "debug.debug")) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    traceFileName_ = helpTraceFileName(programFolder, temp);
  }
  libraryPath_ = registryDefault(HKEY_CLASSES_ROOT, htmlHelpClassKey);
  if (!libraryPath_.empty() && !::fileExists(libraryPath_)) libraryPath_.clear();
  if (!libraryPath_.empty()) {
    library_ = LoadLibraryA(libraryPath_.c_str());
    if (library_ != nullptr) {
      htmlHelpA_ = reinterpret_cast<THtmlHelpA>(reinterpret_cast<void*>(GetProcAddress(library_, "HtmlHelpA")));
      htmlHelpW_ = reinterpret_cast<THtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(library_, "HtmlHelpW")));
    }
  }
  if (!traceFileName_.empty()) traceEnvironment(executablePath);
}

TWindowsHelpServices::~TWindowsHelpServices() {
  htmlHelpA_ = nullptr;
  htmlHelpW_ = nullptr;
  if (library_ != nullptr) FreeLibrary(library_);
}

HWND TWindowsHelpServices::htmlHelp(HWND owner, const std::string& target, UINT command, DWORD_PTR data) {
  if (htmlHelpA_ == nullptr) return nullptr;
  return htmlHelpA_(owner, target.empty() ? nullptr : target.c_str(), command, data);
}

void TWindowsHelpServices::bringToFront(HWND window) { SetForegroundWindow(window); }

std::string TWindowsHelpServices::windowsDirectory() const {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  return folder;
}

bool TWindowsHelpServices::fileExists(const std::string& path) const { return ::fileExists(path); }

INT_PTR TWindowsHelpServices::shellOpen(HWND owner, const std::string& program, const std::string& parameters,
                                        DWORD& error) {
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(owner, "open", program.c_str(), parameters.c_str(), nullptr, SW_SHOWDEFAULT));
  error = result <= 32 ? GetLastError() : 0;
  return result;
}

void TWindowsHelpServices::trace(const std::string& line) {
  if (traceFileName_.empty()) return;
  std::ofstream file(traceFileName_, std::ios::app | std::ios::binary);
  file << line << "\r\n";
}

void TWindowsHelpServices::traceEnvironment(const std::string& executablePath) {
  const std::string separator(60, '-');
  char date[64] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, date, sizeof date);
  char time[64] = {};
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
  const LCID lcid = GetSystemDefaultLCID();
  const LANGID language = LANGIDFROMLCID(lcid);
  char runDir[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, runDir);
  const std::size_t slash = executablePath.find_last_of("\\/");
  const std::string moduleName = slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
  const std::string hhVersion = htmlHelpInstalled() ? fileVersionText(libraryPath_) : std::string();
  const std::string ieVersion = fileVersionText(systemFile("Shdocvw.dll"));
  const auto yesNo = [](bool yes) { return std::string(yes ? "YES" : "NO"); };
  for (const std::string& line : {
           "!Filename:             " + traceFileName_,
           "!Date:                 " + std::string(date) + " " + time,
           "!SysLocale.DefaultLCID: " + std::to_string(lcid),
           "!SysLocale.PriLangID:   " + std::to_string(PRIMARYLANGID(language)),
           "!SysLocale.SubLangID:   " + std::to_string(SUBLANGID(language)),
           "!DecimalSeparator:      " + std::string(1, localeSettings().decimalSeparator),
           separator,
           "!EXE Path =          " + executablePath,
           "!_RunDir =           " + std::string(runDir),
           "!_ModuleName =       " + moduleName,
           "!_ModuleDir =        " + folderOf(executablePath),
           separator,
           "!_hhInstalled =      " + yesNo(htmlHelpInstalled()),
           "!_hhVerStr =         " + hhVersion,
           "!_hhFriendlyVerStr = " + (hhVersion.empty() ? std::string() : htmlHelpFriendlyVersion(hhVersion)),
           separator,
           "!_ieInstalled =      " + yesNo(!ieVersion.empty()),
           "!_ieVerStr =         " + ieVersion,
           "!_ieFriendlyVerStr = " + (ieVersion.empty() ? std::string() : browserFriendlyVersion(ieVersion)),
           std::string(60, '='),
       })
    trace(line);
}
