#pragma once
// Questions to a data object (which formats it offers, whether it holds one,
// its data for one as a byte string) and the global-memory, bitmap and
// metafile conversions that go with them. A data object usually belongs to
// another process: every answer it gives is checked, nothing it says is
// trusted to end, and every storage medium it hands out is released here.

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "framework/StringList.h"

namespace plx {

// One-shot request parameters: a caller may set them before one call of
// DataObjHasFormat or DataObjGetFormat, which resets them to TYMED_HGLOBAL
// and -1 when it ends. Shared by the process; use them from one thread only.
extern DWORD DataObjectTymed;  // 0 is read as TYMED_HGLOBAL
extern LONG DataObjectLindex;

// Enumeration stops after this many records: an enumerator that never ends
// must not hang the caller. No real object offers anywhere near as many.
inline constexpr int kMaxEnumeratedFormats = 4096;

// The formats the object offers for reading, in its enumerator's order:
// standard formats as decimal numbers, others by registered name.
std::unique_ptr<TStringList> DataObjFormatList(IDataObject* dataObject);
// One line per offered FORMATETC: "name",number,medium,aspect,lindex.
std::unique_ptr<TStringList> DataObjFormatEtcList(IDataObject* dataObject);
// The count the object's Release reports after one AddRef; 0 for none.
ULONG DataObjRefCount(IUnknown* object);
// Whether QueryGetData answers S_OK for the named format with the one-shot
// medium and lindex.
bool DataObjHasFormat(IDataObject* dataObject, const std::string& formatName);
// The data for the named format, empty on any failure. A global block gives
// all of its bytes; a stream or storage gives its interface pointer with one
// reference for the caller; CF_BITMAP and CF_ENHMETAFILE give a copy the
// caller owns; CF_METAFILEPICT gives the METAFILEPICT record holding a copy
// of the metafile. Pointers and handles are encoded by EncodeHandleToString.
std::string DataObjGetFormat(IDataObject* dataObject, const std::string& formatName);

// Reads a whole global block into text. False, text untouched, when the
// block cannot be locked. The block stays the caller's.
bool ReadGlobalBlock(HGLOBAL block, std::string& text);
// All GlobalSize bytes of the block; empty when it cannot be locked.
std::string GetHandleDataToString(HGLOBAL block);
// A new movable, shareable block of the text and a terminating zero, owned by
// the caller; nullptr when it cannot be allocated.
HGLOBAL SetHandleDataFromString(const std::string& text);

// A new bitmap with the same size and pixels, owned by the caller; nullptr for
// none or on failure.
HBITMAP CopyBitmapHandle(HBITMAP bitmap);
// An enhanced metafile from the picture's Windows metafile, owned by the
// caller; nullptr on failure.
HENHMETAFILE EnhMFfromMetaFilePict(const METAFILEPICT& picture);

}  // namespace plx
