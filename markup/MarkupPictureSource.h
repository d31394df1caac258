#pragma once
// How the layout and its drawing find a picture named in markup, and how
// picture sizes (given at 96 pixels per inch) reach the surface.

#include <cstdint>
#include <optional>
#include <string_view>

#include "markup/MarkupGeometry.h"
#include "markup/MarkupSurface.h"

namespace plx {

// Pixels of a picture or icon at 96 pixels per inch, on the surface.
inline int ScaleToDevice(int size, int pixelsPerInch) {
  return ClampCoordinate(static_cast<std::int64_t>(size) * pixelsPerInch / 96);
}

// A picture of the container (no ':' in the source) or the cache ("://").
inline std::optional<MarkupPictureInfo> NamedOrUrlPicture(MarkupSurface& surface, std::string_view source) {
  std::optional<MarkupPictureInfo> picture;
  if (source.find(':') == std::string_view::npos) picture = surface.NamedPicture(source);
  if (source.find("://") != std::string_view::npos) picture = surface.UrlPicture(source);
  return picture;
}

}  // namespace plx
