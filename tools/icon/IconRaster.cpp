#include "tools/icon/IconRaster.h"

#include <algorithm>
#include <cmath>

namespace plx::icongen {

namespace {

double Length(double x, double y) { return std::sqrt(x * x + y * y); }

// Rounds a 0..1 channel to a byte.
std::uint8_t ToByte(double value) {
  return static_cast<std::uint8_t>(std::floor(std::clamp(value, 0.0, 1.0) * 255.0 + 0.5));
}

}  // namespace

TColour Mix(TColour a, TColour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

TColour Scale(TColour c, double factor) { return {c.r * factor, c.g * factor, c.b * factor, c.a}; }

TShape RoundedRect(double left, double top, double right, double bottom, double radius) {
  const double cx = (left + right) / 2, cy = (top + bottom) / 2;
  const double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
  return [=](double x, double y) {
    const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    const double outside = Length(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
  };
}

TShape Capsule(double x0, double y0, double x1, double y1, double halfWidth) {
  return [=](double x, double y) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 == 0 ? 0 : std::clamp(((x - x0) * dx + (y - y0) * dy) / length2, 0.0, 1.0);
    return Length(x - (x0 + t * dx), y - (y0 + t * dy)) - halfWidth;
  };
}

TShape Circle(double cx, double cy, double radius) {
  return [=](double x, double y) { return Length(x - cx, y - cy) - radius; };
}

TShape Union(const TShape& a, const TShape& b) {
  return [=](double x, double y) { return std::min(a(x, y), b(x, y)); };
}

TShape Subtract(const TShape& a, const TShape& b) {
  return [=](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}

TShape Grow(const TShape& shape, double distance) {
  return [=](double x, double y) { return shape(x, y) - distance; };
}

TShape Translate(const TShape& shape, double dx, double dy) {
  return [=](double x, double y) { return shape(x - dx, y - dy); };
}

TShape Rotate(const TShape& shape, double cx, double cy, TRotation rotation) {
  // Turning the shape one way is sampling it turned back the other way.
  return [=](double x, double y) {
    const double px = x - cx, py = y - cy;
    return shape(cx + px * rotation.cos + py * rotation.sin, cy - px * rotation.sin + py * rotation.cos);
  };
}

TPaint Solid(TColour colour) {
  return [=](double, double) { return colour; };
}

TPaint LinearGradient(double x0, double y0, TColour from, double x1, double y1, TColour to) {
  return [=](double x, double y) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 == 0 ? 0 : std::clamp(((x - x0) * dx + (y - y0) * dy) / length2, 0.0, 1.0);
    return Mix(from, to, t);
  };
}

TPaint Rotate(const TPaint& paint, double cx, double cy, TRotation rotation) {
  return [=](double x, double y) {
    const double px = x - cx, py = y - cy;
    return paint(cx + px * rotation.cos + py * rotation.sin, cy - px * rotation.sin + py * rotation.cos);
  };
}

TRaster::TRaster(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}

void TRaster::Paint(const TShape& shape, const TPaint& paint, double softness) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      // Distances are measured from the pixel's centre.
      const double cx = x + 0.5, cy = y + 0.5;
      double coverage = std::clamp(0.5 - shape(cx, cy) / softness, 0.0, 1.0);
      if (softness > 1.0) coverage = coverage * coverage * (3 - 2 * coverage);
      if (coverage <= 0) continue;
      const TColour colour = paint(cx, cy);
      const double alpha = colour.a * coverage;
      TPremultiplied& pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
      pixel.r = colour.r * alpha + pixel.r * (1 - alpha);
      pixel.g = colour.g * alpha + pixel.g * (1 - alpha);
      pixel.b = colour.b * alpha + pixel.b * (1 - alpha);
      pixel.a = alpha + pixel.a * (1 - alpha);
    }
  }
}

TPixel TRaster::At(int x, int y) const {
  const TPremultiplied& pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
  const std::uint8_t alpha = ToByte(pixel.a);
  if (alpha == 0) return {};
  return {ToByte(pixel.r / pixel.a), ToByte(pixel.g / pixel.a), ToByte(pixel.b / pixel.a), alpha};
}

}  // namespace plx::icongen
