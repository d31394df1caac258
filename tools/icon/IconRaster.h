#pragma once
// An RGBA raster for drawing the icon with code: shapes are signed distance
// functions, painted with anti-aliased edges and composited "over" what is
// already there. Only +, -, *, / and sqrt are used, so the same program gives
// the same pixels on every run.

#include <cstdint>
#include <functional>
#include <vector>

namespace plx::icongen {

// A colour with straight (not premultiplied) alpha, channels 0..1.
struct TColour {
  double r = 0, g = 0, b = 0, a = 0;
};

constexpr TColour Rgb(unsigned hex, double alpha = 1.0) {
  return {((hex >> 16) & 0xFF) / 255.0, ((hex >> 8) & 0xFF) / 255.0, (hex & 0xFF) / 255.0, alpha};
}
TColour Mix(TColour a, TColour b, double t);  // t = 0 gives a, 1 gives b
TColour Scale(TColour c, double factor);       // darker below 1, alpha kept

// Signed distance from a point to a shape, in pixels: negative inside.
using TShape = std::function<double(double x, double y)>;
// The colour a shape is filled with at a point.
using TPaint = std::function<TColour(double x, double y)>;

// A rotation given by its cosine and sine, so no trigonometry runs here.
struct TRotation {
  double cos = 1, sin = 0;
};

TShape RoundedRect(double left, double top, double right, double bottom, double radius);
TShape Capsule(double x0, double y0, double x1, double y1, double halfWidth);
TShape Circle(double cx, double cy, double radius);
TShape Union(const TShape& a, const TShape& b);
TShape Subtract(const TShape& a, const TShape& b);
// The shape grown (positive) or shrunk (negative) by a distance.
TShape Grow(const TShape& shape, double distance);
TShape Translate(const TShape& shape, double dx, double dy);
// The shape turned by a rotation about (cx, cy).
TShape Rotate(const TShape& shape, double cx, double cy, TRotation rotation);

TPaint Solid(TColour colour);
// Linear gradient along the line from (x0, y0) to (x1, y1), clamped at both ends.
TPaint LinearGradient(double x0, double y0, TColour from, double x1, double y1, TColour to);
TPaint Rotate(const TPaint& paint, double cx, double cy, TRotation rotation);

struct TPixel {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

class TRaster {
 public:
  TRaster(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Paints where the shape covers a pixel, blended by coverage. softness is
  // the width in pixels over which the edge fades: 1 gives a crisp
  // anti-aliased edge, more gives a blurred one (for shadows).
  void Paint(const TShape& shape, const TPaint& paint, double softness = 1.0);

  // The pixel rounded to bytes, straight alpha.
  TPixel At(int x, int y) const;

 private:
  struct TPremultiplied {
    double r = 0, g = 0, b = 0, a = 0;
  };
  int width_;
  int height_;
  std::vector<TPremultiplied> pixels_;
};

}  // namespace plx::icongen
