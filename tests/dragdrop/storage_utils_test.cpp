// Structured storage utilities against real compound files and a real
// tree-view control.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "dragdrop/FileUtils.h"
#include "dragdrop/StorageUtils.h"
#include "framework/Com.h"

namespace plx {
namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Children(HWND tree, HTREEITEM node) {
  std::vector<std::string> names;
  for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
       item; item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    char text[64] = {};
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    names.push_back(text);
  }
  return names;
}

HTREEITEM ChildNamed(HWND tree, HTREEITEM node, const std::string& name) {
  int index = 0;
  for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
       item; item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))), ++index) {
    if (Children(tree, node)[static_cast<std::size_t>(index)] == name) return item;
  }
  return nullptr;
}

TEST(StorageUtils, StreamSavedFromItsStartInChunks) {
  std::string data(70000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  TComPtr<IStream> stream;
  ASSERT_TRUE(SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())));
  stream->Write(data.data(), static_cast<ULONG>(data.size()), nullptr);  // leaves the position at the end
  const std::string name = GetTempFileNameEx("plx");
  EXPECT_EQ(SaveIStreamToFile(stream.Get(), name), name);
  EXPECT_EQ(ReadFile(name), data);
  DeleteFileA(name.c_str());
  EXPECT_EQ(stream->Release(), 0u);
  stream.Detach();
}

TEST(StorageUtils, StorageSavedAndShownAsATree) {
  const std::string name = GetTempFileNameEx("plx");
  {
    TComPtr<IStorage> root;
    ASSERT_TRUE(SUCCEEDED(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE |
                                                        STGM_DELETEONRELEASE, 0, root.Put())));
    TComPtr<IStream> alpha;
    root->CreateStream(L"Alpha", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, alpha.Put());
    TComPtr<IStorage> sub;
    root->CreateStorage(L"Sub", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, sub.Put());
    TComPtr<IStream> beta;
    sub->CreateStream(L"Beta", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, beta.Put());
    beta->Write("b", 1, nullptr);
    beta.Reset();
    sub->Commit(STGC_DEFAULT);
    sub.Reset();
    alpha.Reset();
    EXPECT_EQ(SaveIStorageToFile(root.Get(), name), name);
  }
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(tree, nullptr);
  ASSERT_TRUE(DisplayCompoundDocUnderTreeNode(name, tree, TVI_ROOT));
  std::vector<std::string> top = Children(tree, TVI_ROOT);
  std::sort(top.begin(), top.end());
  EXPECT_EQ(top, (std::vector<std::string>{"Alpha", "Sub"}));
  const HTREEITEM sub = ChildNamed(tree, TVI_ROOT, "Sub");
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(Children(tree, sub), std::vector<std::string>{"Beta"});
  EXPECT_TRUE(Children(tree, ChildNamed(tree, TVI_ROOT, "Alpha")).empty());
  DestroyWindow(tree);
  DeleteFileA(name.c_str());
  EXPECT_FALSE(DisplayCompoundDocUnderTreeNode(name, nullptr, TVI_ROOT));
  EXPECT_EQ(ObjectDescriptor(nullptr), "");
}

}  // namespace
}  // namespace plx
