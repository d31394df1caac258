#pragma once
// The markup layout's surface over a framework canvas: text through DrawText,
// fills, lines and clipping on the canvas' DC, list images, system icons and
// the pictures of a container and a cache.
//
// The surface touches the DC only when it must (a text not measured before,
// or drawing); then it notes the DC's font, text colour and background mode
// and puts them back when it ends, so the canvas is as it was.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/GdiHandles.h"
#include "framework/Graphics.h"
#include "framework/ImageList.h"
#include "markup/MarkupSurface.h"
#include "markup/TextMetricsCache.h"

namespace plx {

class THTMLPictureCache;
class TPictureContainer;

struct MarkupPictureSources {
  TCustomImageList* Images = nullptr;       // "IDX:" pictures
  THTMLPictureCache* Cache = nullptr;       // pictures by URL
  TPictureContainer* Container = nullptr;   // pictures by name
};

class GdiMarkupSurface final : public MarkupSurface {
 public:
  // Text measurements are kept in `metrics`: the thread's shared cache
  // unless the caller keeps its own.
  GdiMarkupSurface(TCanvas& canvas, const MarkupPictureSources& sources,
                   TextMetricsCache& metrics = TextMetricsCache::ForThisThread());
  ~GdiMarkupSurface() override;
  GdiMarkupSurface(const GdiMarkupSurface&) = delete;
  GdiMarkupSurface& operator=(const GdiMarkupSurface&) = delete;

  // What measuring depends on besides the font: the device's resolution,
  // the DC's mapping mode and the room it puts between characters.
  struct DeviceKey {
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
    int MapMode = 0;
    int CharacterExtra = 0;
  };

  // The canvas font as markup describes it: what the render starts from.
  const MarkupFont& CanvasFont() const { return canvas_font_; }

  void SelectFont(const MarkupFont& font) override;
  int TextHeight(std::string_view text) override;
  int TextWidth(std::string_view text) override;
  int MeasureText(std::string_view text, const TRect& r, TextFormat format) override;
  void DrawText(std::string_view text, const TRect& r, TextFormat format, TColor color, TColor background) override;
  void FillRect(const TRect& r, TColor color) override;
  void FrameRect(const TRect& r, TColor color) override;
  void Polyline(const TPoint* points, std::size_t count, TColor color) override;
  TColor ResolveColor(TColor color) override;
  void PushClip(const TRect& r) override;
  void PopClip() override;
  TRect ClipBox() override;
  int PixelsPerInchX() override { return pixels_per_inch_x_; }
  int PixelsPerInchY() override { return pixels_per_inch_y_; }
  std::optional<MarkupSize> ImageListSize() override;
  int ImageCount() override;
  void DrawImage(int index, int x, int y) override;
  MarkupSize SystemIcon(std::string_view pathOrIndex, bool large, bool draw, int x, int y) override;
  std::optional<MarkupPictureInfo> NamedPicture(std::string_view name) override;
  std::optional<MarkupPictureInfo> UrlPicture(std::string_view url) override;
  void DrawPicture(const MarkupPictureInfo& picture, int x, int y) override;
  void StretchDrawPicture(const MarkupPictureInfo& picture, const TRect& r) override;

 private:
  // A font made for this render, with what measuring needs of it.
  struct RealizedFont {
    MarkupFont Font;
    LOGFONTA LogFont{};
    TOwnedFont Owned;           // empty for the canvas' own font
    HFONT Handle = nullptr;     // made on first use; borrowed from Owned or the canvas font
    std::uint64_t MetricsId = 0;  // the font on this device, in the metrics cache
    int Height = -1;            // line height, measured on first use
    // Widths of its printable ASCII characters, found on first measuring.
    std::shared_ptr<const TextMetricsCache::AsciiWidths> Widths;
    bool Symbol = false;        // the "Symbol" face
  };
  std::wstring SymbolText(std::string_view text);
  // The DC's text colour, background colour and mode, each set only when it
  // changes: every call into GDI is costly on some systems.
  void UseTextColor(COLORREF color);
  void UseBackgroundColor(COLORREF color);
  void UseBackgroundMode(int mode);
  // After something outside the surface drew on the DC, what it holds is
  // read afresh before it is relied on.
  void ForgetDCState() { dc_state_known_ = false; }
  void KnowDCState();
  void OutputText(const RealizedFont& font, std::string_view text, const TRect& r, TextFormat format, TColor color,
                  TColor background);

  RealizedFont& Realize(const MarkupFont& font);
  HFONT HandleOf(RealizedFont& font);
  void Bind();
  // Makes the selected font the DC's.
  void SelectIntoDC();
  // Line height of the selected font, kept once measured.
  int HeightOfSelected();
  int CachedWidth(std::string_view text, UINT flags, int rectWidth);
  const TextMetricsCache::AsciiWidths& AsciiWidthsOfSelected();
  TextMetricsCache::AsciiWidths MeasureAsciiWidths();

  TCanvas& canvas_;
  MarkupPictureSources sources_;
  TextMetricsCache& metrics_;
  HDC dc_ = nullptr;  // borrowed from the canvas
  bool bound_ = false;
  HGDIOBJ previous_font_ = nullptr;  // borrowed: selected by the DC's owner
  COLORREF previous_text_color_ = 0;
  COLORREF previous_background_ = 0;
  int previous_background_mode_ = OPAQUE;
  LOGFONTA canvas_log_font_{};
  int pixels_per_inch_x_ = 96;
  int pixels_per_inch_y_ = 96;
  DeviceKey device_key_;
  MarkupFont canvas_font_;
  // The canvas font, part of the surface: nearly every text is in it. Other
  // fonts are realized as markup asks for them, each kept where it is made.
  RealizedFont canvas_realized_;
  std::vector<std::unique_ptr<RealizedFont>> fonts_;
  RealizedFont* selected_ = nullptr;
  RealizedFont* dc_font_ = nullptr;  // the font selected into the DC
  // What the surface last set on the DC (valid while dc_state_known_).
  bool dc_state_known_ = false;
  COLORREF dc_text_color_ = 0;
  COLORREF dc_background_ = 0;
  int dc_background_mode_ = OPAQUE;
  struct ClipLevel {
    int SavedState = 0;
    RealizedFont* Font = nullptr;
  };
  std::vector<ClipLevel> clip_levels_;
};

}  // namespace plx
