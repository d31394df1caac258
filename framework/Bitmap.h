#pragma once
// Pictures: the abstract TGraphic, TBitmap (a 32-bit DIB section with a
// canvas), TIcon, and TPicture that holds either.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/BmpCodec.h"
#include "framework/Component.h"
#include "framework/GdiHandles.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "framework/Types.h"

namespace plx {

// A named or numbered resource that the module does not have.
class EResNotFound : public Exception {
 public:
  using Exception::Exception;
};

class TGraphic : public TPersistent {
 public:
  TNotifyEvent OnChange;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  // A transparent graphic leaves the pixels of its transparent colour (or
  // mask) undrawn.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  // Draws the whole graphic stretched into r. Canvas::Draw and StretchDraw
  // call this.
  virtual void Draw(TCanvas& canvas, const TRect& r) = 0;
  // Raise EInvalidGraphic for kinds that cannot be read or written.
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream);
  // A new graphic of the same kind with the same content.
  virtual std::unique_ptr<TGraphic> Clone() const = 0;

 protected:
  void Changed();

 private:
  bool transparent_ = false;
};

class TBitmap;

// The canvas of a bitmap: it makes a memory DC with the bitmap selected the
// first time it is drawn on and keeps it until the bitmap changes size or
// goes away (a bitmap can be selected into only one DC at a time).
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }
  // Lets the memory DC go and selects the bitmap out of it.
  void FreeContext();

 protected:
  void CreateHandle() override;

 private:
  TBitmap& bitmap_;
  TMemoryDC memory_dc_;
  HGDIOBJ original_bitmap_ = nullptr;  // borrowed: the DC's own 1x1 bitmap
};

// A 32-bit top-down DIB section: pixel (x, y) is the DWORD at y * Width + x,
// 0x00RRGGBB. Drawn with its transparent colour left out when Transparent.
class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ == 0 || height_ == 0; }
  // Keeps the pixels both sizes share; new pixels are black. A size of 0 in
  // either direction frees the image.
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }

  TCanvas& Canvas() { return canvas_; }
  // Lets the canvas' memory DC go until the canvas is used again; for
  // bitmaps that are kept long but drawn rarely.
  void Dormant() { canvas_.FreeContext(); }
  // Owned by the bitmap; nullptr when empty.
  HBITMAP Handle() const { return dib_.Get(); }

  // Reads one BMP file from the stream's position and leaves the position
  // after it. Raises EInvalidGraphic for bad data; the bitmap is unchanged then.
  void LoadFromStream(TStream& stream) override;
  // Writes a 24-bit BMP file.
  void SaveToStream(TStream& stream) override;
  // RT_BITMAP resources of a module; EResNotFound when there is none.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

  // clNone outside the image. Sees everything drawn on the canvas so far.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);
  // Row y, Width() pixels of 0x00RRGGBB; nullptr outside the image.
  std::uint32_t* ScanLine(int y);

  // clDefault (the start value) means the colour of the bottom-left pixel.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);

  void Assign(const TPersistent& source) override;
  void Draw(TCanvas& canvas, const TRect& r) override;
  std::unique_ptr<TGraphic> Clone() const override;

 private:
  friend class TBitmapCanvas;
  void Adopt(const TDecodedImage& image);
  void LoadFromResource(HINSTANCE instance, LPCSTR name, const std::string& what);

  int width_ = 0;
  int height_ = 0;
  TOwnedBitmap dib_;
  std::uint32_t* bits_ = nullptr;  // owned by dib_
  TColor transparent_color_ = clDefault;
  TBitmapCanvas canvas_{*this};  // declared last: it goes first
};

class TIcon : public TGraphic {
 public:
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return icon_.Get() == nullptr; }
  // Owned by the icon.
  HICON Handle() const { return icon_.Get(); }
  // Takes ownership of icon.
  void SetHandle(HICON icon);

  // RT_GROUP_ICON resources; size 0 takes the first image's own size.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name, int size = 0);
  void LoadFromResourceID(HINSTANCE instance, int id, int size = 0);

  void Assign(const TPersistent& source) override;
  void Draw(TCanvas& canvas, const TRect& r) override;
  std::unique_ptr<TGraphic> Clone() const override;

 private:
  void Load(HINSTANCE instance, LPCSTR name, int size, const std::string& what);

  TOwnedIcon icon_;
  int width_ = 0;
  int height_ = 0;
};

// Holds one graphic of any kind, or none.
class TPicture : public TPersistent {
 public:
  TNotifyEvent OnChange;

  // nullptr when the picture holds nothing.
  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // The held bitmap; an empty one replaces any other kind of graphic.
  TBitmap& Bitmap();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  bool Empty() const { return !graphic_ || graphic_->Empty(); }

  // A BMP file; the picture is unchanged when it raises.
  void LoadFromStream(TStream& stream);
  // Copies another picture's graphic, or takes a copy of a TGraphic.
  void Assign(const TPersistent& source) override;

 private:
  void Changed();

  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace plx
