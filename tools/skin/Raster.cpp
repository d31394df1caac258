#include "tools/skin/Raster.h"

#include <algorithm>
#include <cmath>

namespace plx::skingen {

TRgb Mix(TRgb a, TRgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

TShape RoundedRect(double left, double top, double right, double bottom, double radius) {
  return [=](double x, double y) {
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
  };
}

TShape Segment(double x0, double y0, double x1, double y1, double halfWidth) {
  return [=](double x, double y) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 == 0 ? 0 : std::clamp(((x - x0) * dx + (y - y0) * dy) / length2, 0.0, 1.0);
    return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - halfWidth;
  };
}

TShape Circle(double cx, double cy, double radius) {
  return [=](double x, double y) { return std::hypot(x - cx, y - cy) - radius; };
}

TShape Ring(double cx, double cy, double radius, double halfWidth) {
  return [=](double x, double y) { return std::abs(std::hypot(x - cx, y - cy) - radius) - halfWidth; };
}

TShape Union(const TShape& a, const TShape& b) {
  return [=](double x, double y) { return std::min(a(x, y), b(x, y)); };
}
TShape Subtract(const TShape& a, const TShape& b) {
  return [=](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}
TShape Intersect(const TShape& a, const TShape& b) {
  return [=](double x, double y) { return std::max(a(x, y), b(x, y)); };
}

TRaster::TRaster(int width, int height, TRgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void TRaster::FillRect(int left, int top, int right, int bottom, TRgb colour) {
  for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
    for (int x = std::max(left, 0); x < std::min(right, width_); ++x) At(x, y) = colour;
}

void TRaster::VerticalGradient(int left, int top, int right, int bottom, TRgb from, TRgb to) {
  const int rows = bottom - top;
  for (int y = top; y < bottom; ++y) {
    const double t = rows > 1 ? static_cast<double>(y - top) / (rows - 1) : 0.0;
    FillRect(left, y, right, y + 1, Mix(from, to, t));
  }
}

void TRaster::Paint(const TShape& shape, TRgb colour, double opacity, const TBackground& edgeBackground) {
  constexpr int kSamples = 4;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      int covered = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          if (shape(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) <= 0) ++covered;
      if (covered == 0) continue;
      const double coverage = static_cast<double>(covered) / (kSamples * kSamples);
      TRgb& pixel = At(x, y);
      const bool overMagenta = pixel.r == 255 && pixel.g == 0 && pixel.b == 255;
      const TRgb under = (edgeBackground && overMagenta) ? edgeBackground(x, y) : pixel;
      pixel = Mix(under, colour, coverage * opacity);
    }
  }
}

void TRaster::Draw(const TRaster& source, int x, int y) {
  for (int sy = 0; sy < source.Height(); ++sy)
    for (int sx = 0; sx < source.Width(); ++sx)
      if (x + sx >= 0 && x + sx < width_ && y + sy >= 0 && y + sy < height_) At(x + sx, y + sy) = source.At(sx, sy);
}

TRaster TRaster::Crop(int left, int top, int width, int height) const {
  TRaster out(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.At(x, y) = At(left + x, top + y);
  return out;
}

namespace {
void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
char Channel(double v) { return static_cast<char>(static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)))); }
}  // namespace

std::string TRaster::ToBmp() const {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width_) * 3 + 3) & ~3u;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height_);
  std::string bmp;
  bmp += "BM";
  Put32(bmp, 54 + imageSize);  // file size
  Put32(bmp, 0);               // reserved
  Put32(bmp, 54);              // offset of the pixels
  Put32(bmp, 40);              // info header size
  Put32(bmp, static_cast<std::uint32_t>(width_));
  Put32(bmp, static_cast<std::uint32_t>(height_));  // positive: bottom-up rows
  Put16(bmp, 1);                                    // planes
  Put16(bmp, 24);                                   // bits per pixel
  Put32(bmp, 0);                                    // BI_RGB
  Put32(bmp, imageSize);
  Put32(bmp, 2835);  // 72 dpi
  Put32(bmp, 2835);
  Put32(bmp, 0);
  Put32(bmp, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    std::size_t written = 0;
    for (int x = 0; x < width_; ++x) {
      const TRgb p = At(x, y);
      bmp.push_back(Channel(p.b));
      bmp.push_back(Channel(p.g));
      bmp.push_back(Channel(p.r));
      written += 3;
    }
    bmp.append(stride - written, '\0');
  }
  return bmp;
}

}  // namespace plx::skingen
