#pragma once
// Structured storage: saving streams and storages to files, showing a
// storage's tree in a tree-view control, and describing an OLE object.

#include <windows.h>
#include <ole2.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace plx {

// A stream is saved no further than this when its Stat reports no size.
inline constexpr std::uint64_t kMaxSavedStreamSize = std::uint64_t{4} << 30;

// Writes the stream from its start, in reads of 30,000 bytes until a read
// returns fewer, to the file; answers the file name. A stream that goes on
// past the size its Stat reports (or, without one, past maxSize) is taken
// for one that never ends: the partial file is deleted and EStreamError
// raised, as when the file cannot be created or written. A read that fails
// deletes the partial file and answers the empty string.
std::string SaveIStreamToFile(IStream* stream, const std::string& fileName,
                              std::uint64_t maxSize = kMaxSavedStreamSize);
// Copies the storage into a newly created compound file; answers the name.
// Raises EStreamError when the file cannot be created.
std::string SaveIStorageToFile(IStorage* storage, const std::string& fileName);
// Adds one child of node (TVI_ROOT for the top) per element of the storage,
// named after it, recursing into sub-storages.
void DisplayStorageUnderTreeNode(IStorage* storage, HWND treeView, HTREEITEM node);
// Opens an existing compound file for reading, exclusively, and shows it as
// above; false when it cannot be opened.
bool DisplayCompoundDocUnderTreeNode(const std::string& fileName, HWND treeView, HTREEITEM node);
// An OBJECTDESCRIPTOR block for the object: its size, class, content aspect,
// extent, full user type name ("Linked %s" for a linked object) and source
// of copy (a linked object's source), both UTF-16 after the 52-byte fixed
// part. Point and status are 0. Empty for no object.
std::string ObjectDescriptor(IOleObject* object);

}  // namespace plx
