#pragma once
// Shell item identifier lists (PIDLs): getting them from paths and names,
// splitting, joining, copying, measuring and naming them. Every list these
// functions make is handed out in a TPidl, which frees it with the shell's
// allocator, so none is lost on an early return.

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "framework/Com.h"
#include "framework/GdiHandles.h"

namespace plx {

// Owns one identifier list allocated with the shell's (COM task) allocator.
using TPidl = TTaskMemory<ITEMIDLIST>;

// The absolute list of a path (parsed by the desktop folder); empty on failure.
TPidl PIDLGetFromPath(const std::string& path);
// The list of a name relative to a folder; empty on failure.
TPidl PIDLGetFromParentFolder(IShellFolder* folder, const std::string& name);
// The folder that holds the last item of an absolute list (the desktop for
// a list of one item or none); empty on failure.
TComPtr<IShellFolder> PIDLGetFileFolder(LPCITEMIDLIST list);
// Splits an absolute list into its parent folder's list and a copy of its
// last item; false (both empty) for an empty list.
bool PIDLGetRelative(LPCITEMIDLIST list, TPidl& parent, TPidl& item);
// The name the folder gives a relative list (SHGDN_* flags); empty on failure.
std::string PIDLGetDisplayName(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags = SHGDN_NORMAL);
// The absolute list of an item given relative to a folder.
TPidl PIDLGetFullyQualified(IShellFolder* folder, LPCITEMIDLIST relative);
TPidl PIDLCopy(LPCITEMIDLIST list);
// first followed by second.
TPidl PIDLConcatenate(LPCITEMIDLIST first, LPCITEMIDLIST second);
// A zeroed list block of size bytes.
TPidl PIDLCreate(UINT size);
// The sizes of the items plus the 2-byte terminator; 0 for none.
UINT PIDLGetSize(LPCITEMIDLIST list);
// The item after the first, nullptr at the terminator or for none.
LPCITEMIDLIST PIDLGetNextItem(LPCITEMIDLIST list);
// The file-system path of an absolute list; empty when it has none.
std::string PIDLGetPath(LPCITEMIDLIST list);
// Frees a list the caller holds raw, through the shell's allocator.
void FreePIDLUsingShellMalloc(LPITEMIDLIST list);
// "Fully Qualified PIDL: \name\name..." for an absolute list (folder none),
// "Relative PIDL: \name..." for a list relative to folder: one display name
// per item, each named in the folder of the items before it.
std::string PIDLDump(LPCITEMIDLIST list, IShellFolder* folder = nullptr);

}  // namespace plx
