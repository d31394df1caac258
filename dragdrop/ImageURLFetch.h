#pragma once
// Fetching the image behind a dropped image URL through the network
// automation object "Netscape.Network.1". The object is a separate program's
// and usually not installed: when it cannot be created the picture is left
// as it is.

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "framework/Bitmap.h"

namespace plx {

inline constexpr const char* kNetworkObjectProgID = "Netscape.Network.1";
// Read asks for this many characters at a time.
inline constexpr long kImageReadChunk = 1000;

// Creates the network object and fetches url into picture; false when the
// object cannot be created or the image cannot be read (picture unchanged).
bool FetchImageURL(const std::string& url, TPicture& picture);

// The call sequence on a network object: Open(url), GetContentType, then
// Read(buffer, 1000) until IsFinished or a read of nothing, then Close. A
// bitmap, GIF or JPEG is decoded and put into picture as a bitmap; any other
// type (PNG included) leaves the picture as it is. True when it changed.
bool FetchImageURLWith(IDispatch* network, const std::string& url, TPicture& picture);

// Decodes fetched bytes by content type into a bitmap; nullptr for a type
// that is not decoded or data that does not decode.
std::unique_ptr<TBitmap> DecodeFetchedImage(const std::string& contentType, const std::string& data);

}  // namespace plx
