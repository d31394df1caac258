#pragma once
// Writes the skin record file and packs it into a skin archive.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin/SkinArtwork.h"

namespace plx::skingen {

// The record file: header, then bitmaps, colours, integers, the two system
// colours and booleans, each value right after its record, then the
// terminator.
std::string BuildSkinRecordFile(const std::vector<TSkinPicture>& pictures);

// One deflate-compressed entry in a ZIP layout whose local header is signed
// "SK" 0x03 0x04; fixed time stamp, so the same input gives the same bytes.
std::string BuildSkinArchive(const std::string& entryName, const std::string& data);

}  // namespace plx::skingen
