#include "framework/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/OSError.h"

namespace plx {

namespace {

COLORREF GdiColor(TColor color) { return ColorToRGB(color) & 0x00FFFFFF; }

// DIB memory holds 0x00RRGGBB; a TColor is 0x00BBGGRR.
std::uint32_t SwapRedBlue(std::uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

std::string ResourceText(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

}  // namespace

// --- TGraphic --------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::LoadFromStream(TStream&) { throw EInvalidGraphic("This kind of picture cannot be read from a stream"); }

void TGraphic::SaveToStream(TStream&) { throw EInvalidGraphic("This kind of picture cannot be written to a stream"); }

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

// --- TBitmapCanvas ---------------------------------------------------------

void TBitmapCanvas::CreateHandle() {
  if (!memory_dc_) {
    memory_dc_ = TMemoryDC(nullptr);
    if (!memory_dc_) RaiseLastOSError("CreateCompatibleDC", "Cannot create a memory DC for the bitmap");
  }
  if (!original_bitmap_ && bitmap_.Handle()) original_bitmap_ = SelectObject(memory_dc_.Get(), bitmap_.Handle());
  SetHandle(memory_dc_.Get());
}

void TBitmapCanvas::FreeContext() {
  SetHandle(nullptr);
  if (original_bitmap_) SelectObject(memory_dc_.Get(), original_bitmap_);
  original_bitmap_ = nullptr;
  memory_dc_.Reset();
}

// --- TBitmap ---------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() {
  // The DIB must be out of the canvas' DC before dib_ deletes it.
  canvas_.FreeContext();
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0) throw EInvalidGraphic("Bitmap size must not be negative");
  if (width == width_ && height == height_) return;
  if (width == 0 || height == 0) {
    canvas_.FreeContext();
    dib_.Reset();
    bits_ = nullptr;
    width_ = width;
    height_ = height;
    Changed();
    return;
  }
  if (static_cast<std::int64_t>(width) * height > kMaxImagePixels) throw EInvalidGraphic("Bitmap is too large");

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: row 0 first in memory
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TOwnedBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits) throw EInvalidGraphic("Cannot create a " + std::to_string(width) + " x " + std::to_string(height) + " bitmap");
  auto* newBits = static_cast<std::uint32_t*>(bits);
  std::fill(newBits, newBits + static_cast<std::size_t>(width) * height, 0u);
  if (bits_) {
    GdiFlush();
    const int w = std::min(width, width_), h = std::min(height, height_);
    for (int y = 0; y < h; ++y)
      std::memcpy(newBits + static_cast<std::size_t>(y) * width, bits_ + static_cast<std::size_t>(y) * width_,
                  static_cast<std::size_t>(w) * 4);
  }
  canvas_.FreeContext();
  dib_ = std::move(dib);
  bits_ = newBits;
  width_ = width;
  height_ = height;
  Changed();
}

void TBitmap::Adopt(const TDecodedImage& image) {
  // Start from nothing so SetSize copies no old pixels.
  canvas_.FreeContext();
  dib_.Reset();
  bits_ = nullptr;
  width_ = height_ = 0;
  SetSize(image.width, image.height);
  std::copy(image.pixels.begin(), image.pixels.end(), bits_);
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::int64_t start = stream.Position();
  const std::int64_t available = stream.Size() - start;
  std::uint8_t header[14];
  if (available < static_cast<std::int64_t>(sizeof header)) throw EInvalidGraphic("Bitmap image is not valid: the data ends too early");
  stream.ReadBuffer(header, sizeof header);
  const std::size_t length =
      BmpFileLength(header, static_cast<std::size_t>(std::min<std::int64_t>(available, SIZE_MAX / 2)));
  std::vector<std::uint8_t> file(length);
  std::memcpy(file.data(), header, sizeof header);
  stream.ReadBuffer(file.data() + sizeof header, length - sizeof header);
  const TDecodedImage image = DecodeBmpFile(file.data(), file.size());
  Adopt(image);
}

void TBitmap::SaveToStream(TStream& stream) {
  TDecodedImage image;
  image.width = width_;
  image.height = height_;
  if (bits_) {
    GdiFlush();
    image.pixels.assign(bits_, bits_ + static_cast<std::size_t>(width_) * height_);
  }
  const std::vector<std::uint8_t> file = EncodeBmp24(image);
  stream.WriteBuffer(file.data(), file.size());
}

void TBitmap::LoadFromResource(HINSTANCE instance, LPCSTR name, const std::string& what) {
  HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  if (!found) throw EResNotFound("Resource " + what + " not found");
  HGLOBAL loaded = LoadResource(instance, found);  // module memory: never freed
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(instance, found);
  if (!data) throw EResNotFound("Resource " + what + " not found");
  Adopt(DecodePackedDib(static_cast<const std::uint8_t*>(data), size));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  LoadFromResource(instance, name.c_str(), name);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  LPCSTR name = MAKEINTRESOURCEA(id);
  LoadFromResource(instance, name, ResourceText(name));
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !bits_) return clNone;
  GdiFlush();  // GDI may still be drawing into the DIB
  return SwapRedBlue(bits_[static_cast<std::size_t>(y) * width_ + x]);
}

void TBitmap::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !bits_) return;
  GdiFlush();
  bits_[static_cast<std::size_t>(y) * width_ + x] = SwapRedBlue(GdiColor(color));
}

std::uint32_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= height_ || !bits_) return nullptr;
  GdiFlush();
  return bits_ + static_cast<std::size_t>(y) * width_;
}

TColor TBitmap::TransparentColor() const {
  if (transparent_color_ != clDefault) return transparent_color_;
  return Empty() ? clDefault : Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == transparent_color_) return;
  transparent_color_ = color;
  Changed();
}

void TBitmap::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TBitmap*>(&source);
  if (!other) return TGraphic::Assign(source);
  if (other == this) return;
  TDecodedImage image;
  image.width = other->width_;
  image.height = other->height_;
  if (other->bits_) {
    GdiFlush();
    image.pixels.assign(other->bits_, other->bits_ + static_cast<std::size_t>(other->width_) * other->height_);
    Adopt(image);
  } else {
    SetSize(0, 0);
    width_ = other->width_;
    height_ = other->height_;
  }
  transparent_color_ = other->transparent_color_;
  SetTransparent(other->Transparent());
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& r) {
  if (Empty()) return;
  HDC destination = canvas.Handle();
  HDC source = canvas_.Handle();
  if (Transparent()) {
    TransparentBlt(destination, r.Left, r.Top, r.Width(), r.Height(), source, 0, 0, width_, height_,
                   GdiColor(TransparentColor()));
  } else {
    // Exact pixel replication: stretched skin pieces must keep their colours.
    SetStretchBltMode(destination, COLORONCOLOR);
    StretchBlt(destination, r.Left, r.Top, r.Width(), r.Height(), source, 0, 0, width_, height_,
               static_cast<DWORD>(canvas.CopyMode()));
  }
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(*this);
  return copy;
}

// --- TIcon -----------------------------------------------------------------

void TIcon::SetHandle(HICON icon) {
  if (icon == icon_.Get()) return;
  width_ = height_ = 0;
  if (icon) {
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      // GetIconInfo hands out copies of both bitmaps: they are ours to delete.
      TOwnedBitmap mask(info.hbmMask), colour(info.hbmColor);
      BITMAP bm{};
      if (GetObjectA(mask.Get(), sizeof bm, &bm)) {
        width_ = bm.bmWidth;
        height_ = colour ? bm.bmHeight : bm.bmHeight / 2;  // no colour: AND and XOR masks stacked
      }
    }
  }
  icon_.Reset(icon);
  Changed();
}

void TIcon::Load(HINSTANCE instance, LPCSTR name, int size, const std::string& what) {
  HANDLE icon = LoadImageA(instance, name, IMAGE_ICON, size, size, 0);
  if (!icon) throw EResNotFound("Resource " + what + " not found");
  SetHandle(static_cast<HICON>(icon));
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name, int size) {
  Load(instance, name.c_str(), size, name);
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id, int size) {
  LPCSTR name = MAKEINTRESOURCEA(id);
  Load(instance, name, size, ResourceText(name));
}

void TIcon::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TIcon*>(&source);
  if (!other) return TGraphic::Assign(source);
  if (other == this) return;
  SetHandle(other->Empty() ? nullptr : CopyIcon(other->Handle()));
}

void TIcon::Draw(TCanvas& canvas, const TRect& r) {
  if (Empty()) return;
  DrawIconEx(canvas.Handle(), r.Left, r.Top, icon_.Get(), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

std::unique_ptr<TGraphic> TIcon::Clone() const {
  auto copy = std::make_unique<TIcon>();
  copy->Assign(*this);
  return copy;
}

// --- TPicture --------------------------------------------------------------

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

TBitmap& TPicture::Bitmap() {
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get())) return *bitmap;
  SetGraphic(std::make_unique<TBitmap>());
  return static_cast<TBitmap&>(*graphic_);
}

void TPicture::LoadFromStream(TStream& stream) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromStream(stream);
  SetGraphic(std::move(bitmap));
}

void TPicture::Assign(const TPersistent& source) {
  if (const auto* picture = dynamic_cast<const TPicture*>(&source)) {
    if (picture == this) return;
    SetGraphic(picture->graphic_ ? picture->graphic_->Clone() : nullptr);
  } else if (const auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
    SetGraphic(graphic->Clone());
  } else {
    TPersistent::Assign(source);
  }
}

}  // namespace plx
