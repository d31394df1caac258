#pragma once
// A small RGB raster for drawing the skin's artwork with code: fills,
// gradients and anti-aliased shapes given by signed distance functions.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plx::skingen {

struct TRgb {
  double r = 0, g = 0, b = 0;
};

constexpr TRgb Rgb(unsigned hex) {
  return {static_cast<double>((hex >> 16) & 0xFF), static_cast<double>((hex >> 8) & 0xFF),
          static_cast<double>(hex & 0xFF)};
}
TRgb Mix(TRgb a, TRgb b, double t);  // t = 0 gives a, 1 gives b

inline constexpr TRgb kMagenta = {255, 0, 255};

// What lies behind a pixel where the raster is still magenta.
using TBackground = std::function<TRgb(int x, int y)>;
inline TBackground Solid(TRgb colour) {
  return [colour](int, int) { return colour; };
}

// Signed distance from a point to a shape: negative inside.
using TShape = std::function<double(double x, double y)>;

TShape RoundedRect(double left, double top, double right, double bottom, double radius);
TShape Segment(double x0, double y0, double x1, double y1, double halfWidth);
TShape Circle(double cx, double cy, double radius);
TShape Ring(double cx, double cy, double radius, double halfWidth);
TShape Union(const TShape& a, const TShape& b);
TShape Subtract(const TShape& a, const TShape& b);
TShape Intersect(const TShape& a, const TShape& b);

class TRaster {
 public:
  TRaster(int width, int height, TRgb fill = kMagenta);

  int Width() const { return width_; }
  int Height() const { return height_; }
  TRgb& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  TRgb At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

  void FillRect(int left, int top, int right, int bottom, TRgb colour);
  // Top-to-bottom gradient between two colours over the rows top..bottom-1.
  void VerticalGradient(int left, int top, int right, int bottom, TRgb from, TRgb to);
  // Paints colour where the shape covers a pixel, blended by coverage
  // (4 x 4 samples per pixel). With edgeBackground, pixels that are still
  // magenta are blended against what will lie behind them instead, which
  // keeps the see-through colour out of anti-aliased edges.
  void Paint(const TShape& shape, TRgb colour, double opacity = 1.0, const TBackground& edgeBackground = nullptr);
  // Copies another raster in at (x, y).
  void Draw(const TRaster& source, int x, int y);
  TRaster Crop(int left, int top, int width, int height) const;

  // A complete 24-bit bottom-up Windows BMP file.
  std::string ToBmp() const;

 private:
  int width_;
  int height_;
  std::vector<TRgb> pixels_;
};

}  // namespace plx::skingen
