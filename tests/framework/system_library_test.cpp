// Functions looked up in system libraries on first use.
#include "framework/SystemLibrary.h"

#include <gtest/gtest.h>
#include <shellapi.h>

namespace plx {
namespace {

TEST(SystemLibraryTest, FindsExportedFunctionsAndAnswersNullForWhatIsMissing) {
  const struct {
    const char* library;
    const char* procedure;
    bool found;
  } cases[] = {
      {"shell32.dll", "ShellExecuteA", true},
      {"oleaut32.dll", "OleLoadPicture", true},
      {"shell32.dll", "NoSuchFunctionInThere", false},
      {"no-such-library.dll", "ShellExecuteA", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SystemLibraryProcedure(c.library, c.procedure) != nullptr, c.found) << c.library << " " << c.procedure;
}

TEST(SystemLibraryTest, TheTypedFunctionIsTheLibrarysOwn) {
  const auto typed = SystemLibraryFunction<decltype(&::ShellExecuteA)>("shell32.dll", "ShellExecuteA");
  ASSERT_NE(typed, nullptr);
  using Generic = void (*)();
  EXPECT_EQ(reinterpret_cast<Generic>(typed),
            reinterpret_cast<Generic>(GetProcAddress(GetModuleHandleA("shell32.dll"), "ShellExecuteA")));
}

}  // namespace
}  // namespace plx
