#include "dragdrop/FileTransfer.h"

#include <shlobj.h>

#include "dragdrop/DragDropUnit.h"
#include "dragdrop/ObjectSlot.h"
#include "dragdrop/Pidl.h"
#include "framework/Com.h"
#include "framework/TextConversion.h"

namespace plx {

namespace {

std::vector<TFileGroupEntry> EntriesFor(const std::string& folder, const TStringList& names) {
  std::vector<TFileGroupEntry> entries;
  for (int i = 0; i < names.Count(); ++i) {
    TFileGroupEntry entry;
    entry.path = JoinFolderAndName(folder, names.Strings(i));
    const DWORD attributes = GetFileAttributesA(entry.path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      entry.attributes = attributes;
    } else if (const auto slot = NumberFromObjectSlot(names.Objects(i))) {
      entry.attributes = static_cast<std::uint32_t>(slot);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::u16string Utf16FromAnsi(const std::string& text) {
  const std::wstring wide = WideFromAnsi(text);
  return std::u16string(wide.begin(), wide.end());
}

// The bytes of an item identifier list, its terminator included.
std::string PidlBytes(const TPidl& list) {
  return std::string(reinterpret_cast<const char*>(list.Get()), ILGetSize(list.Get()));
}

bool ParseName(IShellFolder* folder, const std::string& name, TPidl& list) {
  std::u16string wide = Utf16FromAnsi(name);
  wide.push_back(u'\0');
  return SUCCEEDED(folder->ParseDisplayName(nullptr, nullptr, reinterpret_cast<LPWSTR>(wide.data()), nullptr,
                                            list.Put(), nullptr)) &&
         list.Get();
}

}  // namespace

std::string FileGroupDescriptorFromFileList(const std::string& folder, const TStringList& names) {
  return BuildFileGroupDescriptor(EntriesFor(folder, names));
}

std::string FileGroupDescriptorFromFileListEx(const std::string& folder, const TStringList& names,
                                              const std::vector<std::uint32_t>& sizes) {
  std::vector<TFileGroupEntry> entries = EntriesFor(folder, names);
  if (sizes.size() >= entries.size()) {
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].size = sizes[i];
  }
  return BuildFileGroupDescriptor(entries);
}

std::string HDROPFromFileListEx(const std::string& folder, const TStringList& names, bool wide) {
  if (!wide) {
    std::vector<std::string> paths;
    paths.reserve(names.Count());
    for (int i = 0; i < names.Count(); ++i) paths.push_back(JoinFolderAndName(folder, names.Strings(i)));
    return BuildHDROP(paths);
  }
  std::vector<std::u16string> paths;
  paths.reserve(names.Count());
  for (int i = 0; i < names.Count(); ++i) paths.push_back(Utf16FromAnsi(JoinFolderAndName(folder, names.Strings(i))));
  return BuildHDROPWide(paths);
}

std::string HDROPFromFileList(const std::string& folder, const TStringList& names) {
  return HDROPFromFileListEx(folder, names, OSVersionInfo().dwPlatformId == VER_PLATFORM_WIN32_NT);
}

std::string ShellIDListFromFileList(const std::string& folder, const TStringList& names) {
  TComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.Put())) || !desktop) return {};
  TPidl folderList;
  if (!ParseName(desktop.Get(), folder, folderList)) return {};
  TComPtr<IShellFolder> parent;
  if (FAILED(desktop->BindToObject(folderList.Get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(parent.Put()))) ||
      !parent) {
    return {};
  }
  std::vector<std::string> lists{PidlBytes(folderList)};
  for (int i = 0; i < names.Count(); ++i) {
    TPidl item;
    if (!ParseName(parent.Get(), names.Strings(i), item)) return {};
    lists.push_back(PidlBytes(item));
  }
  // Count, one offset per list (the folder's first), then the lists.
  std::string block = EncodeDWORDToString(static_cast<std::uint32_t>(names.Count()));
  std::size_t offset = 4 + 4 * lists.size();
  for (const std::string& list : lists) {
    block += EncodeDWORDToString(static_cast<std::uint32_t>(offset));
    offset += list.size();
  }
  for (const std::string& list : lists) block += list;
  return block;
}

}  // namespace plx
