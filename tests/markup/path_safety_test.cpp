// Which paths named by markup are never looked at: network and device paths
// in every spelling, next to local paths that are.

#include "markup/PathSafety.h"

#include <gtest/gtest.h>

namespace plx {
namespace {

TEST(PathSafetyTest, NetworkAndDevicePathsInAnySpelling) {
  const char* refused[] = {
      "\\\\server\\share\\a.gif", "//server/share/a.gif", "\\/server/share", "/\\server\\share",
      "\\\\?\\C:\\a.gif",         "\\\\.\\PhysicalDrive0", "//?/UNC/server/share", "\\??\\UNC\\server\\share",
      "/?\?/C:/a.gif",             "  \\\\server\\share",   "\"\\\\server\\share\"",  "\t//server",
  };
  for (const char* path : refused) EXPECT_TRUE(IsNetworkOrDevicePath(path)) << path;

  const char* local[] = {"C:\\pics\\a.gif", "c:/pics/a.gif", "pics\\a.gif", "\\pics\\a.gif", "/pics/a.gif",
                         "a.gif",           "",              "\\",          "?\\a",          "C:\\\\pics"};
  for (const char* path : local) EXPECT_FALSE(IsNetworkOrDevicePath(path)) << path;
}

}  // namespace
}  // namespace plx
