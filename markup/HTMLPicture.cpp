#include "markup/HTMLPicture.h"

#include <algorithm>
#include <cstring>

#include "framework/SystemLibrary.h"
#include "markup/GifFrames.h"
#include "markup/PathSafety.h"
#include "markup/TextSearch.h"

namespace plx {

namespace {

constexpr int kHimetricPerInch = 2540;

// The OLE picture loader, from oleaut32, which carries it on every system
// this program runs on.
TComPtr<IPicture> LoadOlePicture(const std::vector<std::uint8_t>& bytes) {
  TGlobalMemory block(GMEM_MOVEABLE, std::max<SIZE_T>(bytes.size(), 1));
  if (!block) throw Exception("Could not allocate memory for image");
  {
    TGlobalLock lock(block.Get());
    if (!lock) throw Exception("Could not allocate memory for image");
    if (!bytes.empty()) std::memcpy(lock.Data(), bytes.data(), bytes.size());
  }
  // The stream frees the block when it is released.
  TComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, stream.Put()))) throw Exception("Could not create image stream");
  block.Release();
  if (!stream) throw Exception("Empty image stream created");
  static const auto load_picture = SystemLibraryFunction<decltype(&::OleLoadPicture)>("oleaut32.dll", "OleLoadPicture");
  if (!load_picture) throw Exception("Could not load image");
  TComPtr<IPicture> picture;
  const HRESULT result = load_picture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(picture.Put()));
  if (FAILED(result)) throw Exception("Could not load image. Invalid format");
  if (!picture) throw Exception("Could not load image");
  return picture;
}

// Reads a local disk file of at most THTMLPicture::kMaxFileSize bytes; false
// for anything else (missing, a device, too large, unreadable).
bool ReadLocalFile(const std::string& name, std::vector<std::uint8_t>& bytes) {
  if (name.find('\0') != std::string::npos) return false;
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = false;
  LARGE_INTEGER size{};
  if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
      size.QuadPart <= THTMLPicture::kMaxFileSize) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                           read == bytes.size());
  }
  CloseHandle(file);
  return ok;
}

// A path markup may have read: local by its form and by where it resolves.
bool IsLocalPath(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos || IsNetworkOrDevicePath(path)) return false;
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return false;
  // Reserved device names ("CON", "c:\x\nul") resolve to \\.\ paths.
  const std::string resolved(full, length);
  if (IsNetworkOrDevicePath(resolved)) return false;
  if (resolved.size() >= 3 && resolved[1] == ':') {
    const char root[] = {resolved[0], ':', '\\', '\0'};
    if (GetDriveTypeA(root) == DRIVE_REMOTE) return false;
  }
  return true;
}

}  // namespace

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

bool THTMLPicture::IsGifData() const { return IsGif(data_); }

void THTMLPicture::Decode() {
  offset_x_ = 0;
  offset_y_ = 0;
  animation_width_ = 0;
  animation_height_ = 0;
  if (IsGifData() && GetFrameCount() > 0) {
    const GifFrameCut cut = CutGifToFrame(data_, frame_);
    animation_width_ = static_cast<std::int16_t>(cut.AnimationWidth);
    animation_height_ = static_cast<std::int16_t>(cut.AnimationHeight);
    offset_x_ = static_cast<std::int16_t>(cut.OffsetX);
    offset_y_ = static_cast<std::int16_t>(cut.OffsetY);
    frame_width_ = cut.FrameWidth;
    frame_height_ = cut.FrameHeight;
    picture_ = LoadOlePicture(cut.Bytes);
  } else {
    picture_ = LoadOlePicture(data_);
  }
}

void THTMLPicture::SetData(std::vector<std::uint8_t> bytes) {
  picture_.Reset();
  data_ = std::move(bytes);
  empty_ = false;
  frame_count_ = -1;
  Decode();
  Changed();
}

void THTMLPicture::LoadFromFile(const std::string& name) {
  std::vector<std::uint8_t> bytes;
  try {
    if (ReadLocalFile(name, bytes)) {
      SetData(std::move(bytes));
      return;
    }
  } catch (const Exception&) {
  }
  // A file that cannot be read or decoded leaves nothing of an earlier picture.
  data_.clear();
  picture_.Reset();
  empty_ = true;
}

void THTMLPicture::LoadFromStream(TStream& stream) {
  const std::int64_t remaining = stream.Size() - stream.Position();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(remaining, 0)));
  if (!bytes.empty()) bytes.resize(stream.Read(bytes.data(), bytes.size()));
  SetData(std::move(bytes));
}

void THTMLPicture::LoadRawResource(HINSTANCE module, LPCSTR name) {
  HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // raw data
  if (!resource) return;
  HGLOBAL loaded = ::LoadResource(module, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return;
  const auto* begin = static_cast<const std::uint8_t*>(bytes);
  SetData(std::vector<std::uint8_t>(begin, begin + SizeofResource(module, resource)));
}

void THTMLPicture::LoadFromResourceName(HINSTANCE module, const std::string& name) {
  if (name.find('\0') != std::string::npos) return;
  LoadRawResource(module, name.c_str());
}

void THTMLPicture::LoadFromResourceID(HINSTANCE module, int id) {
  LoadRawResource(module, MAKEINTRESOURCEA(static_cast<WORD>(id)));
}

void THTMLPicture::LoadFromURL(const std::string& url) {
  const std::string upper = AsciiUpperCase(url);
  if (upper.starts_with("RES://")) {
    source_ = url;
    LoadFromResourceName(GetModuleHandleA(nullptr), url.substr(6));
  } else if (upper.starts_with("FILE://")) {
    source_ = url;
    const std::string path = url.substr(7);
    // Markup names the file: it may only be a local one.
    if (IsLocalPath(path)) LoadFromFile(path);
  } else if (!asynchronous_) {
    source_ = url;
    download_ = url;
  } else if (!busy_) {
    // Nothing is ever downloaded: the picture waits, empty.
    download_ = url;
    busy_ = true;
  }
}

int THTMLPicture::Width() const {
  OLE_XSIZE_HIMETRIC width = 0;
  if (!picture_ || FAILED(picture_->get_Width(&width))) return 0;
  return MulDiv(width, pixels_per_inch_x_, kHimetricPerInch);
}

int THTMLPicture::Height() const {
  OLE_YSIZE_HIMETRIC height = 0;
  if (!picture_ || FAILED(picture_->get_Height(&height))) return 0;
  return MulDiv(height, pixels_per_inch_y_, kHimetricPerInch);
}

int THTMLPicture::GetMaxWidth() const {
  if (!picture_) return 0;
  return animation_width_ != 0 ? animation_width_ : Width();
}

int THTMLPicture::GetMaxHeight() const {
  if (!picture_) return 0;
  return animation_height_ != 0 ? animation_height_ : Height();
}

void THTMLPicture::Draw(TCanvas& canvas, const TRect& r) { DrawOn(canvas.Handle(), r); }

void THTMLPicture::DrawOn(HDC dc, const TRect& r) {
  if (empty_ || !picture_) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  int cx = r.Width();
  int cy = r.Height();
  if (!stretch_) {
    cx = MulDiv(width, GetDeviceCaps(dc, LOGPIXELSX), kHimetricPerInch);
    cy = MulDiv(height, GetDeviceCaps(dc, LOGPIXELSY), kHimetricPerInch);
  }
  if (cx <= 0 || cy <= 0) return;
  // OLE pictures are addressed bottom-up in HIMETRIC.
  picture_->Render(dc, r.Left, r.Top, cx, cy, 0, height, width, -height, nullptr);
}

int THTMLPicture::GetFrameCount() {
  if (frame_count_ == -1 && IsGifData()) frame_count_ = static_cast<int>(GifFrameStarts(data_).size());
  return frame_count_;
}

int THTMLPicture::GetFrameTime(int frame) {
  const GifFrameTiming timing = GifFrameTime(data_, frame);
  if (timing.Delay < 0) return -1;
  frame_transparent_ = timing.Transparent;
  frame_disposal_ = timing.Disposal;
  return timing.Delay;
}

void THTMLPicture::SetFrame(int frame) {
  frame_ = frame;
  if (data_.empty()) return;
  Decode();
  if (OnFrameChange) OnFrameChange(this);
}

void THTMLPicture::FrameNext() {
  const int count = GetFrameCount();
  SetFrame(frame_ + 1 > count ? 1 : frame_ + 1);
}

void THTMLPicture::FramePrev() {
  const int count = GetFrameCount();
  SetFrame(frame_ - 1 < 1 ? std::max(count, 1) : frame_ - 1);
}

bool THTMLPicture::Step() {
  if (frame_count_ < 2 || empty_) return false;
  bool changed = false;
  if (next_switch_ == -1) next_switch_ = GetFrameTime(frame_);
  if (ticks_ * 10 >= next_switch_) {
    try {
      FrameNext();
      changed = true;
    } catch (const Exception&) {
      // A frame the decoder rejects is skipped; the timer must not raise.
      picture_.Reset();
    }
    next_switch_ += std::max(GetFrameTime(frame_), 0);
  }
  ++ticks_;
  return changed;
}

void THTMLPicture::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const THTMLPicture*>(&source);
  if (!other) return TGraphic::Assign(source);
  if (other == this) return;
  std::vector<std::uint8_t> bytes = other->data_;
  const bool sourceEmpty = other->empty_;
  empty_ = true;
  picture_.Reset();
  frame_count_ = -1;
  next_switch_ = -1;
  ticks_ = -1;
  frame_ = 1;
  data_.clear();
  // An empty picture copies as empty: there is nothing to decode.
  if (!sourceEmpty) SetData(std::move(bytes));
}

std::unique_ptr<TGraphic> THTMLPicture::Clone() const {
  auto copy = std::make_unique<THTMLPicture>();
  copy->Assign(*this);
  copy->stretch_ = stretch_;
  return copy;
}

THTMLPicture* THTMLPictureCache::AddPicture() {
  pictures_.push_back(std::make_unique<THTMLPicture>());
  return pictures_.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const std::string& url) const {
  for (const auto& picture : pictures_) {
    if (picture->Source() == url) return picture.get();
  }
  return nullptr;
}

THTMLPicture* THTMLPictureCache::GetPicture(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return pictures_[static_cast<std::size_t>(index)].get();
}

void THTMLPictureCache::SetPicture(int index, const THTMLPicture& picture) {
  if (THTMLPicture* target = GetPicture(index)) target->Assign(picture);
}

bool THTMLPictureCache::Animate() {
  bool changed = false;
  for (const auto& picture : pictures_) changed = picture->Step() || changed;
  return changed;
}

}  // namespace plx
