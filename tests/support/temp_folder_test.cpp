// The check run around the Windows tests sees a file left in the temporary
// folder, and sees nothing once it is gone.
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace plx::test {
namespace {

TEST(TempFolder, AFileLeftBehindIsNewAndGoesAwayWhenDeleted) {
  const std::set<std::string> before = TempFolderEntries();
  char path[MAX_PATH] = {};
  ASSERT_NE(GetTempFileNameA(TempFolder().c_str(), "plx", 0, path), 0u);
  const std::set<std::string> during = NewEntries(before, TempFolderEntries());
  ASSERT_EQ(during.size(), 1u);
  EXPECT_EQ(TempFolder() + *during.begin(), path);
  ASSERT_TRUE(DeleteFileA(path));
  EXPECT_TRUE(NewEntries(before, TempFolderEntries()).empty());
}

TEST(TempFolder, FilesInNewFoldersAreSeenToo) {
  const std::set<std::string> before = TempFolderEntries();
  const std::string folder = TempFolder() + "plexoria-temp-check";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string file = folder + "\\inner.tmp";
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  CloseHandle(handle);
  const std::set<std::string> during = NewEntries(before, TempFolderEntries());
  EXPECT_EQ(during, (std::set<std::string>{"plexoria-temp-check\\", "plexoria-temp-check\\inner.tmp"}));
  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
  EXPECT_TRUE(NewEntries(before, TempFolderEntries()).empty());
}

}  // namespace
}  // namespace plx::test
