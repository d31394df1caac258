#pragma once
// The files in the system's temporary folder, to show that nothing a test or
// the program does leaves one behind. (A test that needs a folder for files
// of its own takes a TScratchFolder, ScratchFolder.h.)

#include <set>
#include <string>

namespace plx::test {

// The temporary folder (GetTempPath), with its trailing backslash.
std::string TempFolder();

// Every file and folder below the temporary folder, as paths relative to it.
std::set<std::string> TempFolderEntries();

// The entries of now that are not in before.
std::set<std::string> NewEntries(const std::set<std::string>& before, const std::set<std::string>& now);

}  // namespace plx::test
