// Shell, file, drag-detection and rich-edit utilities against the real
// shell, file system and controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>

#include "dragdrop/FileUtils.h"
#include "dragdrop/Pidl.h"
#include "dragdrop/RichEditUtils.h"
#include "dragdrop/Shortcuts.h"
#include "framework/Com.h"
#include "framework/Exception.h"

namespace plx {
namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Bytes(LPCITEMIDLIST list) {
  return std::string(reinterpret_cast<const char*>(list), PIDLGetSize(list));
}

// A folder of its own in the temporary folder, with one file; both go at the end.
class TempFolder {
 public:
  TempFolder() {
    const std::string base = GetTempFileNameEx("plx");
    DeleteFileA(base.c_str());
    path = base + ".d";
    CreateDirectoryA(path.c_str(), nullptr);
    file = path + "\\sample.txt";
    WriteFile(file, "x");
  }
  ~TempFolder() {
    DeleteFileA(file.c_str());
    RemoveDirectoryA(path.c_str());
  }
  std::string path, file;
};

TEST(FileUtils, TempNamesAreNewFilesInTheTempFolder) {
  const std::string folder = GetTempPathEx();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  const std::string first = GetTempFileNameEx("plx");
  const std::string second = GetTempFileNameEx("plx");
  EXPECT_NE(first, second);
  for (const std::string& name : {first, second}) {
    EXPECT_EQ(name.rfind(folder + "plx", 0), 0u) << name;
    EXPECT_NE(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES) << name;
    EXPECT_TRUE(DeleteFileA(name.c_str())) << name;
  }
}

TEST(FileUtils, UnicodeFilesConvertedInPlace) {
  const std::string name = GetTempFileNameEx("plx");
  struct Case {
    const char* name;
    std::string before;
    bool converted;
    std::string after;
  } cases[] = {
      {"UTF-16 text", std::string("h\0i\0!\0", 6), true, "hi!"},
      {"odd last byte dropped", std::string("a\0b", 3), true, "a"},
      {"8-bit text untouched", "plain", false, "plain"},
      {"empty file", "", false, ""},
  };
  for (const Case& c : cases) {
    WriteFile(name, c.before);
    EXPECT_EQ(ConvertUnicodeFileToAnsi(name), c.converted) << c.name;
    EXPECT_EQ(ReadFile(name), c.after) << c.name;
  }
  DeleteFileA(name.c_str());
  EXPECT_THROW(ConvertUnicodeFileToAnsi(name), EStreamError);
}

TEST(Pidl, PathsSplitJoinCopyAndName) {
  TempFolder temp;
  const TPidl file = PIDLGetFromPath(temp.file);
  ASSERT_TRUE(file);
  EXPECT_EQ(PIDLGetPath(file.Get()), temp.file);
  EXPECT_FALSE(PIDLGetFromPath(temp.path + "\\missing.txt"));

  // The size is the items' sizes and the terminator.
  UINT sum = 2;
  int items = 0;
  for (LPCITEMIDLIST item = file.Get(); item && item->mkid.cb; item = PIDLGetNextItem(item), ++items)
    sum += item->mkid.cb;
  EXPECT_EQ(PIDLGetSize(file.Get()), sum);
  EXPECT_GE(items, 2);

  TPidl parent, last;
  ASSERT_TRUE(PIDLGetRelative(file.Get(), parent, last));
  EXPECT_EQ(PIDLGetPath(parent.Get()), temp.path);
  EXPECT_EQ(Bytes(PIDLConcatenate(parent.Get(), last.Get()).Get()), Bytes(file.Get()));
  EXPECT_EQ(Bytes(PIDLCopy(file.Get()).Get()), Bytes(file.Get()));

  const TComPtr<IShellFolder> folder = PIDLGetFileFolder(file.Get());
  ASSERT_TRUE(folder);
  EXPECT_EQ(PIDLGetDisplayName(folder.Get(), last.Get(), SHGDN_FORPARSING), temp.file);
  EXPECT_EQ(Bytes(PIDLGetFromParentFolder(folder.Get(), "sample.txt").Get()), Bytes(last.Get()));
  EXPECT_EQ(PIDLGetPath(PIDLGetFullyQualified(folder.Get(), last.Get()).Get()), temp.file);

  const std::string dump = PIDLDump(file.Get());
  EXPECT_EQ(dump.rfind("Fully Qualified PIDL: \\", 0), 0u) << dump;
  EXPECT_NE(dump.find("sample"), std::string::npos) << dump;
  const std::string relative = PIDLDump(last.Get(), folder.Get());
  EXPECT_EQ(relative.rfind("Relative PIDL: \\sample", 0), 0u) << relative;

  const TPidl zeroed = PIDLCreate(8);
  ASSERT_TRUE(zeroed);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(zeroed.Get()), 8), std::string(8, '\0'));
  EXPECT_EQ(PIDLGetSize(nullptr), 0u);
  EXPECT_EQ(PIDLGetNextItem(zeroed.Get()), nullptr);
  EXPECT_FALSE(PIDLGetRelative(zeroed.Get(), parent, last));
  FreePIDLUsingShellMalloc(PIDLGetFromPath(temp.file).Release());
}

TEST(Shortcuts, ReadBackWhatTheLinkHolds) {
  TempFolder temp;
  const std::string link_file = temp.path + "\\My Link.lnk";
  {
    TComPtr<IShellLinkA> link;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(link.Put()))));
    link->SetPath(temp.file.c_str());
    link->SetArguments("/a b");
    link->SetWorkingDirectory(temp.path.c_str());
    link->SetIconLocation(temp.file.c_str(), 3);
    link->SetShowCmd(SW_SHOWMAXIMIZED);
    link->SetHotkey(MAKEWORD('P', HOTKEYF_CONTROL));
    const std::wstring wide(link_file.begin(), link_file.end());
    ASSERT_TRUE(SUCCEEDED(link.As<IPersistFile>()->Save(wide.c_str(), TRUE)));
  }
  const TShortcutInfo info = GetShortcutInfo(link_file, kNoResolveUI);
  // The short form of the target (the system may give the long one when
  // the names are short enough already).
  char expected[MAX_PATH] = {}, got[MAX_PATH] = {};
  GetShortPathNameA(temp.file.c_str(), expected, MAX_PATH);
  GetShortPathNameA(info.Path.c_str(), got, MAX_PATH);
  EXPECT_STREQ(got, expected);
  EXPECT_EQ(info.Description, "My Link");  // none stored: the file's name
  EXPECT_EQ(info.Arguments, "/a b");
  EXPECT_EQ(info.WorkingDirectory, temp.path);
  EXPECT_EQ(info.IconLocation, temp.file);
  EXPECT_EQ(info.IconIndex, 3);
  // The show command is not asserted: this platform saves links without it.
  EXPECT_EQ(info.HotKey, MAKEWORD('P', HOTKEYF_CONTROL));
  EXPECT_EQ(GetShortcutPath(link_file), info.Path);
  EXPECT_EQ(GetShortcutPath(temp.file), "");  // not a link
  EXPECT_EQ(GetShortcutPath(temp.path + "\\none.lnk"), "");
  DeleteFileA(link_file.c_str());
}

TEST(RichEditUtils, PlainAndRichTextInAndOut) {
  HMODULE library = LoadLibraryA("riched20.dll");
  ASSERT_NE(library, nullptr);
  HWND edit = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  AddContentToRichEdit("hello", edit, false, true);
  AddContentToRichEdit(" world", edit, false, false);  // appended at the end
  EXPECT_EQ(GetContentFromRichEdit(edit, false, false), "hello world");
  SendMessageA(edit, EM_SETSEL, 0, 5);
  EXPECT_EQ(GetContentFromRichEdit(edit, false, true), "hello");
  AddContentToRichEdit("{\\rtf1 bye \\b bold\\b0}", edit, true, true);  // replaces "hello"
  EXPECT_EQ(GetContentFromRichEdit(edit, false, false), "bye bold world");
  const std::string rich = GetContentFromRichEdit(edit, true, false);
  EXPECT_EQ(rich.rfind("{\\rtf", 0), 0u) << rich;
  EXPECT_NE(rich.find("\\b"), std::string::npos) << rich;
  DestroyWindow(edit);
  FreeLibrary(library);
}

}  // namespace
}  // namespace plx
