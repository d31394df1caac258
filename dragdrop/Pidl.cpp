#include "dragdrop/Pidl.h"
#include "framework/TextConversion.h"

#include <shlwapi.h>

#include <cstring>

namespace plx {

namespace {

TComPtr<IShellFolder> Desktop() {
  TComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.Put()))) desktop.Reset();
  return desktop;
}

// Whether the list is at its terminator.
bool AtEnd(LPCITEMIDLIST list) { return !list || list->mkid.cb == 0; }

// A copy of the first item alone, terminated.
TPidl FirstItem(LPCITEMIDLIST list) {
  if (AtEnd(list)) return {};
  const UINT size = list->mkid.cb;
  TPidl item = PIDLCreate(size + 2);
  if (item) std::memcpy(item.Get(), list, size);
  return item;
}

}  // namespace

TPidl PIDLGetFromParentFolder(IShellFolder* folder, const std::string& name) {
  TPidl list;
  if (!folder) return list;
  std::wstring wide = WideFromAnsi(name);
  if (FAILED(folder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, list.Put(), nullptr))) list.Reset();
  return list;
}

TPidl PIDLGetFromPath(const std::string& path) {
  const TComPtr<IShellFolder> desktop = Desktop();
  return PIDLGetFromParentFolder(desktop.Get(), path);
}

TComPtr<IShellFolder> PIDLGetFileFolder(LPCITEMIDLIST list) {
  TComPtr<IShellFolder> desktop = Desktop();
  TPidl parent, item;
  if (!desktop || !PIDLGetRelative(list, parent, item) || AtEnd(parent.Get())) return desktop;
  TComPtr<IShellFolder> folder;
  if (FAILED(desktop->BindToObject(parent.Get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(folder.Put()))))
    folder.Reset();
  return folder;
}

bool PIDLGetRelative(LPCITEMIDLIST list, TPidl& parent, TPidl& item) {
  parent.Reset();
  item.Reset();
  if (AtEnd(list)) return false;
  LPCITEMIDLIST last = list;
  for (LPCITEMIDLIST next = PIDLGetNextItem(list); !AtEnd(next); next = PIDLGetNextItem(next)) last = next;
  const UINT parent_size = static_cast<UINT>(reinterpret_cast<const BYTE*>(last) - reinterpret_cast<const BYTE*>(list));
  parent = PIDLCreate(parent_size + 2);
  item = FirstItem(last);
  if (!parent || !item) {
    parent.Reset();
    item.Reset();
    return false;
  }
  std::memcpy(parent.Get(), list, parent_size);
  return true;
}

std::string PIDLGetDisplayName(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags) {
  if (!folder || !relative) return {};
  STRRET name{};
  if (FAILED(folder->GetDisplayNameOf(relative, flags, &name))) return {};
  char buffer[MAX_PATH * 2] = {};
  // StrRetToBufA frees the string the folder may have allocated in name.
  if (FAILED(StrRetToBufA(&name, relative, buffer, sizeof buffer))) return {};
  return buffer;
}

TPidl PIDLGetFullyQualified(IShellFolder* folder, LPCITEMIDLIST relative) {
  // The folder's parsing name of the item is a path the desktop can parse.
  const std::string path = PIDLGetDisplayName(folder, relative, SHGDN_FORPARSING);
  if (path.empty()) return {};
  return PIDLGetFromPath(path);
}

TPidl PIDLCopy(LPCITEMIDLIST list) {
  const UINT size = PIDLGetSize(list);
  if (size == 0) return {};
  TPidl copy = PIDLCreate(size);
  if (copy) std::memcpy(copy.Get(), list, size);
  return copy;
}

TPidl PIDLConcatenate(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  const UINT first_size = first ? PIDLGetSize(first) - 2 : 0;
  const UINT second_size = second ? PIDLGetSize(second) : 2;
  TPidl joined = PIDLCreate(first_size + second_size);
  if (!joined) return joined;
  if (first_size) std::memcpy(joined.Get(), first, first_size);
  if (second) std::memcpy(reinterpret_cast<BYTE*>(joined.Get()) + first_size, second, second_size);
  return joined;
}

TPidl PIDLCreate(UINT size) {
  if (size == 0) return {};
  void* block = CoTaskMemAlloc(size);
  if (block) std::memset(block, 0, size);
  return TPidl(static_cast<LPITEMIDLIST>(block));
}

UINT PIDLGetSize(LPCITEMIDLIST list) {
  if (!list) return 0;
  UINT size = 2;
  for (LPCITEMIDLIST item = list; !AtEnd(item); item = PIDLGetNextItem(item)) size += item->mkid.cb;
  return size;
}

LPCITEMIDLIST PIDLGetNextItem(LPCITEMIDLIST list) {
  if (AtEnd(list)) return nullptr;
  return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(list) + list->mkid.cb);
}

std::string PIDLGetPath(LPCITEMIDLIST list) {
  char path[MAX_PATH] = {};
  if (!list || !SHGetPathFromIDListA(list, path)) return {};
  return path;
}

void FreePIDLUsingShellMalloc(LPITEMIDLIST list) {
  if (!list) return;
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return;
  allocator->Free(list);
  allocator->Release();
}

std::string PIDLDump(LPCITEMIDLIST list, IShellFolder* folder) {
  std::string dump = folder ? "Relative PIDL: " : "Fully Qualified PIDL: ";
  TComPtr<IShellFolder> current = folder ? TComPtr<IShellFolder>(folder) : Desktop();
  for (LPCITEMIDLIST item = list; !AtEnd(item) && current; item = PIDLGetNextItem(item)) {
    const TPidl single = FirstItem(item);
    if (!single) break;
    dump += "\\" + PIDLGetDisplayName(current.Get(), single.Get(), SHGDN_INFOLDER);
    TComPtr<IShellFolder> inner;
    if (FAILED(current->BindToObject(single.Get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(inner.Put()))))
      inner.Reset();
    current = std::move(inner);
  }
  return dump;
}

}  // namespace plx
