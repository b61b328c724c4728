#pragma once
// Working folders whose window files the program itself wrote, and the
// checks on them that the tests of held and read-only files share.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/program/ProgramDriver.h"

// Shows every data tab and the System tab, then closes the program; false
// when a step did not come or a question stopped the close.
::testing::AssertionResult visitEveryTabAndClose(const TProgram& program, HWND main,
                                                  const std::function<void()>& beforeTheClose);
// A working folder whose Portfolios window shows a browser with a
// favourite and recent addresses beside the sample's chart and graph, and
// whose window files the program itself wrote: it started, took cells
// typed into the test sheet, showed every data tab and the System tab, and
// closed.
std::string workingFolderWithEveryWindowFile(const TTemporaryFolder& temporary);
// Every file under the working folder as it was, byte for byte.
void expectFilesAsTheyWere(const std::string& work, const std::map<std::string, std::string>& before);
// The files a window reads when it shows and writes when it is left or
// closed: options, layouts, field definitions, views and the system.
std::vector<std::string> windowFiles(const std::string& work);
