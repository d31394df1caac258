#include "dragdrop/StorageUtils.h"

#include <oleidl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "framework/Com.h"
#include "framework/Exception.h"
#include "framework/GdiHandles.h"
#include "framework/TextConversion.h"

namespace plx {

std::string SaveIStreamToFile(IStream* stream, const std::string& fileName, std::uint64_t maxSize) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw EStreamError("Cannot create file \"" + fileName + "\"");
  if (!stream) return fileName;
  // What was written must not outlive a failed save.
  auto fail = [&](const std::string& message) {
    out.close();
    DeleteFileA(fileName.c_str());
    throw EStreamError(message);
  };
  // A stream that knows its size gives no more than that; one that does not
  // say (or says 0) is allowed up to maxSize.
  std::uint64_t limit = maxSize;
  STATSTG stat{};
  if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) && stat.cbSize.QuadPart > 0)
    limit = std::min<std::uint64_t>(limit, stat.cbSize.QuadPart);
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  constexpr ULONG kChunk = 30000;
  std::vector<char> buffer(kChunk);
  std::uint64_t written = 0;
  while (true) {
    ULONG read = 0;
    if (FAILED(stream->Read(buffer.data(), kChunk, &read))) {
      // A failed read is a failed save: no file, the empty result.
      out.close();
      DeleteFileA(fileName.c_str());
      return {};
    }
    read = std::min(read, kChunk);  // a count beyond the buffer is not believed
    if (read > limit - written) fail("Stream does not end within " + std::to_string(limit) + " bytes");
    out.write(buffer.data(), read);
    if (!out) fail("Cannot write file \"" + fileName + "\"");
    written += read;
    if (read < kChunk) break;
  }
  return fileName;
}

std::string SaveIStorageToFile(IStorage* storage, const std::string& fileName) {
  TComPtr<IStorage> file;
  if (FAILED(StgCreateDocfile(WideFromAnsi(fileName).c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                              file.Put()))) {
    throw EStreamError("Cannot create file \"" + fileName + "\"");
  }
  if (storage) storage->CopyTo(0, nullptr, nullptr, file.Get());
  file->Commit(STGC_DEFAULT);
  return fileName;
}

void DisplayStorageUnderTreeNode(IStorage* storage, HWND treeView, HTREEITEM node) {
  if (!storage || !treeView) return;
  TComPtr<IEnumSTATSTG> elements;
  if (FAILED(storage->EnumElements(0, nullptr, 0, elements.Put())) || !elements) return;
  STATSTG element{};
  while (elements->Next(1, &element, nullptr) == S_OK) {
    const TTaskMemory<wchar_t> name{element.pwcsName};
    std::string text = element.pwcsName ? AnsiFromWide(element.pwcsName) : std::string();
    TVINSERTSTRUCTA insert{};
    insert.hParent = node;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = text.data();
    const auto child = reinterpret_cast<HTREEITEM>(
        SendMessageA(treeView, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (element.type == STGTY_STORAGE && child) {
      TComPtr<IStorage> inner;
      if (SUCCEEDED(storage->OpenStorage(element.pwcsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                         inner.Put()))) {
        DisplayStorageUnderTreeNode(inner.Get(), treeView, child);
      }
    }
  }
}

bool DisplayCompoundDocUnderTreeNode(const std::string& fileName, HWND treeView, HTREEITEM node) {
  TComPtr<IStorage> storage;
  if (FAILED(StgOpenStorage(WideFromAnsi(fileName).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                            storage.Put()))) {
    return false;
  }
  DisplayStorageUnderTreeNode(storage.Get(), treeView, node);
  return true;
}

std::string ObjectDescriptor(IOleObject* object) {
  if (!object) return {};
  CLSID id{};
  object->GetUserClassID(&id);
  SIZEL extent{};
  object->GetExtent(DVASPECT_CONTENT, &extent);
  TTaskMemory<wchar_t> typeName;
  object->GetUserType(USERCLASSTYPE_FULL, typeName.Put());
  std::wstring fullName = typeName ? typeName.Get() : L"";
  std::wstring source;
  TComPtr<IOleObject> holder(object);
  if (const TComPtr<IOleLink> link = holder.As<IOleLink>()) {
    fullName = L"Linked " + fullName;
    TTaskMemory<wchar_t> display;
    if (SUCCEEDED(link->GetSourceDisplayName(display.Put())) && display) source = display.Get();
  }
  constexpr std::size_t kFixed = 52;
  const std::size_t name_bytes = (fullName.size() + 1) * sizeof(wchar_t);
  const std::size_t source_bytes = (source.size() + 1) * sizeof(wchar_t);
  std::string block(kFixed + name_bytes + source_bytes, '\0');
  OBJECTDESCRIPTOR fixed{};
  static_assert(sizeof fixed == kFixed);
  fixed.cbSize = static_cast<ULONG>(block.size());
  fixed.clsid = id;
  fixed.dwDrawAspect = DVASPECT_CONTENT;
  fixed.sizel = extent;
  fixed.dwFullUserTypeName = static_cast<DWORD>(kFixed);
  fixed.dwSrcOfCopy = static_cast<DWORD>(kFixed + name_bytes);
  std::memcpy(block.data(), &fixed, kFixed);
  std::memcpy(block.data() + kFixed, fullName.c_str(), name_bytes);
  std::memcpy(block.data() + kFixed + name_bytes, source.c_str(), source_bytes);
  return block;
}

}  // namespace plx
