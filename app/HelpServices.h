#pragma once
#include <windows.h>

#include <string>

#include "app/HelpLink.h"

// The program's help services: the HTML Help library found through its
// class id in the registry, loaded at program start and freed at its end;
// the viewer programs of the Windows folder; and the trace that a file
// "debug.debug" in the program folder asks for.
class TWindowsHelpServices : public THelpServices {
 public:
  explicit TWindowsHelpServices(const std::string& executablePath);
  ~TWindowsHelpServices() override;
  TWindowsHelpServices(const TWindowsHelpServices&) = delete;
  TWindowsHelpServices& operator=(const TWindowsHelpServices&) = delete;

  bool htmlHelpInstalled() const override { return !libraryPath_.empty(); }
  bool htmlHelpAvailable() const override { return htmlHelpA_ != nullptr; }
  HWND htmlHelp(HWND owner, const std::string& target, UINT command, DWORD_PTR data) override;
  void bringToFront(HWND window) override;
  std::string windowsDirectory() const override;
  bool fileExists(const std::string& path) const override;
  INT_PTR shellOpen(HWND owner, const std::string& program, const std::string& parameters, DWORD& error) override;
  void trace(const std::string& line) override;

  const std::string& libraryPath() const { return libraryPath_; }
  // Empty when no trace was asked for.
  const std::string& traceFileName() const { return traceFileName_; }

 private:
  using THtmlHelpA = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  using THtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  void traceEnvironment(const std::string& executablePath);

  std::string libraryPath_;
  HMODULE library_ = nullptr;
  THtmlHelpA htmlHelpA_ = nullptr;
  THtmlHelpW htmlHelpW_ = nullptr;
  std::string traceFileName_;
};

// Where the trace goes: "HHDebug.txt" in the program folder, or in the
// temporary folder when the program folder takes no file.
std::string helpTraceFileName(const std::string& programFolder, const std::string& tempFolder);
// "major.minor.release.build" of a file's version resource; empty without one.
std::string fileVersionText(const std::string& path);
// The known release a version belongs to, "< first" and "> last" outside.
std::string htmlHelpFriendlyVersion(const std::string& version);
std::string browserFriendlyVersion(const std::string& version);
