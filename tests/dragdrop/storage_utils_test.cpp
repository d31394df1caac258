// Structured storage utilities against real compound files and a real
// tree-view control.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "dragdrop/FileUtils.h"
#include "dragdrop/StorageUtils.h"
#include "framework/Com.h"
#include "framework/Exception.h"

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

// A stream of `length` bytes (endless for none) that answers Stat with the
// size given, or fails it.
class TSizedStream : public TInterfacedObject<IStream> {
 public:
  TSizedStream(std::optional<std::uint64_t> length, std::optional<std::uint64_t> statSize)
      : length_(length), stat_size_(statSize) {}
  // From this position on, reads fail.
  std::optional<std::uint64_t> fail_from;

  STDMETHODIMP Read(void* buffer, ULONG count, ULONG* read) override {
    if (read) *read = 0;
    if (fail_from && position_ >= *fail_from) return STG_E_READFAULT;
    std::uint64_t left = length_ ? *length_ - position_ : count;
    const ULONG given = static_cast<ULONG>(std::min<std::uint64_t>(count, left));
    std::memset(buffer, 'z', given);
    position_ += given;
    if (read) *read = given;
    return given < count ? S_FALSE : S_OK;
  }
  STDMETHODIMP Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    if (origin != STREAM_SEEK_SET) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<std::uint64_t>(move.QuadPart);
    if (position) position->QuadPart = position_;
    return S_OK;
  }
  STDMETHODIMP SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Revert() override { return E_NOTIMPL; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Stat(STATSTG* stat, DWORD) override {
    if (!stat_size_) return E_NOTIMPL;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = *stat_size_;
    return S_OK;
  }
  STDMETHODIMP Clone(IStream**) override { return E_NOTIMPL; }

 private:
  std::optional<std::uint64_t> length_;
  std::optional<std::uint64_t> stat_size_;
  std::uint64_t position_ = 0;
};

// A stream is saved up to the size its Stat reports, or up to a limit when
// it reports none; one that goes on past that is a failed save and leaves
// no file behind. A stream that ends within it is saved whole.
TEST(StorageUtils, StreamThatDoesNotEndIsRefused) {
  constexpr std::uint64_t kLimit = 200000;
  struct Case {
    const char* name;
    std::optional<std::uint64_t> length;
    std::optional<std::uint64_t> stat_size;
    bool saved;
  } cases[] = {
      {"endless, Stat gives a size", std::nullopt, 100000, false},
      {"endless, no Stat", std::nullopt, std::nullopt, false},
      {"longer than Stat says", 100001, 100000, false},
      {"as long as Stat says", 100000, 100000, true},
      {"as long as Stat says, whole reads", 90000, 90000, true},
      {"no Stat, at the limit", kLimit, std::nullopt, true},
      {"no Stat, one byte past the limit", kLimit + 1, std::nullopt, false},
      {"Stat says 0: taken as unknown", 1000, 0, true},
  };
  for (const Case& c : cases) {
    const std::string name = GetTempFileNameEx("plx");
    TComPtr<TSizedStream> stream(new TSizedStream(c.length, c.stat_size));
    if (c.saved) {
      EXPECT_EQ(SaveIStreamToFile(stream.Get(), name, kLimit), name) << c.name;
      EXPECT_EQ(ReadFile(name), std::string(static_cast<std::size_t>(*c.length), 'z')) << c.name;
    } else {
      EXPECT_THROW(SaveIStreamToFile(stream.Get(), name, kLimit), EStreamError) << c.name;
      EXPECT_EQ(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES) << c.name;
    }
    DeleteFileA(name.c_str());
  }
}

// A read that fails mid-way is a failed save, not a shorter file: the empty
// result, and no file left behind.
TEST(StorageUtils, StreamWhoseReadFailsGivesNoFile) {
  for (const bool failing : {true, false}) {
    const std::string name = GetTempFileNameEx("plx");
    TComPtr<TSizedStream> stream(new TSizedStream(100000, 100000));
    if (failing) stream->fail_from = 60000;
    const std::string saved = SaveIStreamToFile(stream.Get(), name);
    if (failing) {
      EXPECT_EQ(saved, "");
      EXPECT_EQ(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
    } else {  // positive control: the same stream read to its end
      EXPECT_EQ(saved, name);
      EXPECT_EQ(ReadFile(name).size(), 100000u);
    }
    DeleteFileA(name.c_str());
  }
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
