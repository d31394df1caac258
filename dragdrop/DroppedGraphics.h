#pragma once
// Pictures from the storage media a data object hands out for the picture
// formats. Each reader copies what it needs, so the medium can be released
// right after; each answers nullptr (or an empty string) for data it cannot
// read instead of trusting the other process's block.

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "framework/Bitmap.h"

namespace plx {

// The 14-byte bitmap file header that makes a packed DIB (CF_DIB) a BMP file:
// "BM", the file size, two reserved zero words and the offset of the pixel
// bits behind the info header, its colour masks and its palette. Empty when
// the block is too short to hold an info header's size field.
std::string BitmapFileHeaderForDIB(std::string_view dib);
// A bitmap from a packed DIB; nullptr when the block is no valid DIB.
std::unique_ptr<TGraphic> GraphicFromDIB(std::string_view dib);
// A bitmap with the pixels of a bitmap handle (the handle stays the caller's).
std::unique_ptr<TGraphic> GraphicFromBitmapHandle(HBITMAP bitmap);
// A metafile graphic holding a copy of an enhanced metafile.
std::unique_ptr<TGraphic> GraphicFromEnhMetaFile(HENHMETAFILE metafile);
// A metafile graphic converted from a METAFILEPICT block (CF_METAFILEPICT).
std::unique_ptr<TGraphic> GraphicFromMetaFilePict(HGLOBAL block);
// The zero-terminated image URL at byte 44 of a "Netscape Image Format"
// block; empty when the block is shorter.
std::string ImageURLFromNetscapeImage(std::string_view block);

}  // namespace plx
