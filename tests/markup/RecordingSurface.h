#pragma once
// A MarkupSurface with fixed, simple metrics that records what the layout
// draws, for native tests and the layout fuzzer.
//
// Metrics: a line is 13 pixels high at 8 points (scaled with the size); a
// blank is 3 pixels wide, every other character 6 (7 in bold). Without the
// no-prefix flag a single '&' takes no room and "&&" shows one '&', as the
// platform's text output does. An end ellipsis cuts text at the rectangle.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "markup/MarkupGeometry.h"
#include "markup/MarkupSurface.h"

namespace plx::test {

struct DrawnText {
  std::string Text;
  TRect Rect;
  TextFormat Format = 0;
  TColor Color = 0;
  TColor Background = clNone;
  MarkupFont Font;
};

struct FilledRect {
  TRect Rect;
  TColor Color = 0;
};

struct DrawnLine {
  std::vector<TPoint> Points;
  TColor Color = 0;
};

struct DrawnPicture {
  std::string What;  // "image 3", "icon small ...", "picture name", "stretched name"
  TRect Rect;
};

class RecordingSurface : public MarkupSurface {
 public:
  // Every coordinate the layout hands over stays inside this bound.
  static constexpr int kCoordinateLimit = 2 * kMaxLayoutCoordinate;

  void SelectFont(const MarkupFont& font) override { font_ = font; }
  int TextHeight(std::string_view) override { return LineHeight(font_); }
  int TextWidth(std::string_view text) override { return Width(text, tfNoPrefix); }
  int MeasureText(std::string_view text, const TRect& r, TextFormat format) override {
    Check(r);
    ++measureCalls;
    const int width = Width(text, format);
    if ((format & tfEndEllipsis) != 0 && width > r.Width()) return std::max(0, r.Width());
    return width;
  }
  void DrawText(std::string_view text, const TRect& r, TextFormat format, TColor color, TColor background) override {
    Check(r);
    texts.push_back(DrawnText{std::string(text), r, format, color, background, font_});
  }
  void FillRect(const TRect& r, TColor color) override {
    Check(r);
    fills.push_back(FilledRect{r, color});
  }
  void FrameRect(const TRect& r, TColor color) override {
    Check(r);
    frames.push_back(FilledRect{r, color});
  }
  void Polyline(const TPoint* points, std::size_t count, TColor color) override {
    DrawnLine line{{points, points + count}, color};
    for (const TPoint& p : line.Points) Check(TRect{p.X, p.Y, p.X, p.Y});
    lines.push_back(std::move(line));
  }
  TColor ResolveColor(TColor color) override { return (color & 0x80000000u) ? 0x808080 : color; }
  void PushClip(const TRect& r) override {
    Check(r);
    clips.push_back(r);
  }
  void PopClip() override {
    if (clips.empty()) std::abort();  // unbalanced clipping
    clips.pop_back();
  }
  TRect ClipBox() override { return clipBox; }
  int PixelsPerInchX() override { return pixelsPerInch; }
  int PixelsPerInchY() override { return pixelsPerInch; }

  std::optional<MarkupSize> ImageListSize() override {
    if (imageCount < 0) return std::nullopt;
    return MarkupSize{16, 16};
  }
  int ImageCount() override { return std::max(0, imageCount); }
  void DrawImage(int index, int x, int y) override {
    pictures.push_back(DrawnPicture{"image " + std::to_string(index), TRect{x, y, x + 16, y + 16}});
  }
  MarkupSize SystemIcon(std::string_view pathOrIndex, bool large, bool draw, int x, int y) override {
    const int size = large ? 32 : 16;
    if (draw) {
      pictures.push_back(DrawnPicture{std::string(large ? "icon large " : "icon small ") + std::string(pathOrIndex),
                                      TRect{x, y, x + size, y + size}});
    }
    return MarkupSize{size, size};
  }
  std::optional<MarkupPictureInfo> NamedPicture(std::string_view name) override { return Find(name); }
  std::optional<MarkupPictureInfo> UrlPicture(std::string_view url) override {
    urlLookups.emplace_back(url);
    return Find(url);
  }
  void DrawPicture(const MarkupPictureInfo& picture, int x, int y) override {
    const MarkupSize size = picture.MaxSize;
    pictures.push_back(DrawnPicture{"picture " + NameOf(picture), TRect{x, y, x + size.Width, y + size.Height}});
  }
  void StretchDrawPicture(const MarkupPictureInfo& picture, const TRect& r) override {
    Check(r);
    pictures.push_back(DrawnPicture{"stretched " + NameOf(picture), r});
  }

  // Pictures the container and the cache know, by upper-cased name.
  void AddPicture(const std::string& name, int width, int height) { picture_sizes_[Upper(name)] = {width, height}; }

  static int LineHeight(const MarkupFont& font) { return std::max(1, std::min(font.Size, 1000) * 13 / 8); }
  int Width(std::string_view text, TextFormat format) const {
    std::int64_t width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '&' && (format & tfNoPrefix) == 0) {
        ++i;  // '&' marks the next character; "&&" shows one '&'
        if (i >= text.size()) break;
      }
      width += text[i] == ' ' ? 3 : (font_.Style.Bold ? 7 : 6);
    }
    return ClampCoordinate(width);
  }

  std::vector<DrawnText> texts;
  std::vector<FilledRect> fills;
  std::vector<FilledRect> frames;
  std::vector<DrawnLine> lines;
  std::vector<DrawnPicture> pictures;
  std::vector<std::string> urlLookups;
  std::vector<TRect> clips;
  int measureCalls = 0;
  int pixelsPerInch = 96;
  int imageCount = -1;  // no image list
  TRect clipBox{0, 0, 4096, 4096};
  bool coordinatesInRange = true;

 private:
  static std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
  }
  std::optional<MarkupPictureInfo> Find(std::string_view name) {
    const auto found = picture_sizes_.find(Upper(name));
    if (found == picture_sizes_.end()) return std::nullopt;
    MarkupPictureInfo info;
    info.Handle = &found->first;
    info.Empty = false;
    info.MaxSize = found->second;
    return info;
  }
  static std::string NameOf(const MarkupPictureInfo& picture) { return *static_cast<const std::string*>(picture.Handle); }
  void Check(const TRect& r) {
    for (const int v : {r.Left, r.Top, r.Right, r.Bottom})
      if (v < -kCoordinateLimit || v > kCoordinateLimit) coordinatesInRange = false;
  }

  MarkupFont font_;
  std::map<std::string, MarkupSize> picture_sizes_;
};

}  // namespace plx::test
