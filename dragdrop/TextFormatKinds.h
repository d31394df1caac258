#pragma once
// The kinds of text data a text drop target accepts, and the kinds a data
// object's format list offers. Platform-neutral.

#include <cstdint>

#include "dragdrop/EnumSet.h"
#include "framework/StringList.h"

namespace plx {

enum class TDropTextFormat : std::uint8_t { dtfURL, dtfIEHTML, dtfRichText, dtfText, dtfFiles, dtfCustom };
using enum TDropTextFormat;
using TDropTextFormats = TEnumSet<TDropTextFormat>;

enum class TDropGraphicFormat : std::uint8_t { dgfMetafile, dgfBitmap };
using enum TDropGraphicFormat;
using TDropGraphicFormats = TEnumSet<TDropGraphicFormat>;

// The kinds a format list (standard formats as decimal numbers, registered
// ones by name) offers: "1" text, a URL or bookmark format URL, "15" files,
// "HTML Format" and "Rich Text Format"; dtfCustom when the list holds any
// entry beyond those recognised.
TDropTextFormats TextFormatsFromFormatList(const TStringList& formats);

// The picture kinds a format list offers: "2", "8" or "Netscape Image Format"
// a bitmap, "14" a metafile.
TDropGraphicFormats GraphicFormatsFromFormatList(const TStringList& formats);

}  // namespace plx
