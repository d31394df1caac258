#include "dragdrop/ImageURLFetch.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <vector>

#include "framework/Com.h"
#include "framework/GdiHandles.h"
#include "framework/TextConversion.h"

namespace plx {

namespace {

// A VARIANT cleared on every way out.
class TVariant {
 public:
  TVariant() { VariantInit(&value_); }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
  ~TVariant() { VariantClear(&value_); }
  VARIANT* Get() { return &value_; }
  VARIANT& operator*() { return value_; }

 private:
  VARIANT value_;
};

// A BSTR freed with SysFreeString.
class TBstr {
 public:
  TBstr() = default;
  explicit TBstr(const std::wstring& text)
      : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  ~TBstr() { SysFreeString(bstr_); }
  BSTR Get() const { return bstr_; }
  BSTR* Put() {
    SysFreeString(bstr_);
    bstr_ = nullptr;
    return &bstr_;
  }

 private:
  BSTR bstr_ = nullptr;
};

// Calls one method by name; arguments in call order (reversed for Invoke).
HRESULT CallMethod(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments, VARIANT* result) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS parameters{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result, nullptr, nullptr);
}

VARIANT BstrArgument(BSTR text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = text;  // borrowed: the caller keeps it alive and frees it
  return v;
}

VARIANT LongArgument(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

// The result as a number; 0 when it is none.
long AsLong(VARIANT& value) {
  TVariant converted;
  if (FAILED(VariantChangeType(converted.Get(), &value, 0, VT_I4))) return 0;
  return (*converted).lVal;
}

std::string AsText(VARIANT& value) {
  TVariant converted;
  if (FAILED(VariantChangeType(converted.Get(), &value, 0, VT_BSTR)) || !(*converted).bstrVal) return {};
  const BSTR text = (*converted).bstrVal;
  return AnsiFromWide(std::wstring_view(text, SysStringLen(text)));
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b, -1) == CSTR_EQUAL;
}

// GIF and JPEG through the system's picture loader, drawn into a bitmap.
std::unique_ptr<TBitmap> DecodeWithPictureLoader(const std::string& data) {
  TGlobalMemory block(GMEM_MOVEABLE, data.size());
  if (!block || data.empty()) return nullptr;
  {
    TGlobalLock lock(block.Get());
    if (!lock) return nullptr;
    std::memcpy(lock.Data(), data.data(), data.size());
  }
  TComPtr<IStream> stream;
  // The stream takes the block over and frees it when it goes.
  if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, stream.Put()))) return nullptr;
  block.Release();
  TComPtr<IPicture> loaded;
  if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(data.size()), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(loaded.Put()))) ||
      !loaded) {
    return nullptr;
  }
  OLE_XSIZE_HIMETRIC himetricWidth = 0;
  OLE_YSIZE_HIMETRIC himetricHeight = 0;
  loaded->get_Width(&himetricWidth);
  loaded->get_Height(&himetricHeight);
  const TWindowDC screen(nullptr);
  const int width = MulDiv(himetricWidth, GetDeviceCaps(screen.Get(), LOGPIXELSX), 2540);
  const int height = MulDiv(himetricHeight, GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
  if (width <= 0 || height <= 0) return nullptr;
  auto bitmap = std::make_unique<TBitmap>(width, height);
  if (FAILED(loaded->Render(bitmap->Canvas().Handle(), 0, 0, width, height, 0, himetricHeight, himetricWidth,
                            -himetricHeight, nullptr))) {
    return nullptr;
  }
  bitmap->Dormant();
  return bitmap;
}

}  // namespace

std::unique_ptr<TBitmap> DecodeFetchedImage(const std::string& contentType, const std::string& data) {
  try {
    if (EqualsIgnoringCase(contentType, "image/x-MS-bmp")) {
      auto bitmap = std::make_unique<TBitmap>();
      TReadOnlyMemoryStream stream(data.data(), data.size());
      bitmap->LoadFromStream(stream);
      return bitmap;
    }
    if (EqualsIgnoringCase(contentType, "image/gif") || EqualsIgnoringCase(contentType, "image/jpeg"))
      return DecodeWithPictureLoader(data);
  } catch (const Exception&) {
    return nullptr;  // data that does not decode leaves the picture alone
  }
  // "image/png" and every other type are recognised as not decoded here.
  return nullptr;
}

bool FetchImageURLWith(IDispatch* network, const std::string& url, TPicture& picture) {
  if (!network || url.empty()) return false;
  const TBstr wide_url(WideFromAnsi(url));
  {
    TVariant ignored;
    if (FAILED(CallMethod(network, L"Open", {BstrArgument(wide_url.Get())}, ignored.Get()))) return false;
  }
  std::string contentType;
  {
    TVariant type;
    if (SUCCEEDED(CallMethod(network, L"GetContentType", {}, type.Get()))) contentType = AsText(*type);
  }
  std::string data;
  // A source that never says it is finished must not hang the GUI thread:
  // at most this many reads (100 MB of images).
  constexpr int kMaxReads = 100 * 1000;
  for (int reads = 0; reads < kMaxReads; ++reads) {
    TVariant finished;
    if (FAILED(CallMethod(network, L"IsFinished", {}, finished.Get())) || AsLong(*finished) != 0) break;
    TBstr buffer;
    VARIANT bufferArgument;
    VariantInit(&bufferArgument);
    bufferArgument.vt = VT_BYREF | VT_BSTR;
    bufferArgument.pbstrVal = buffer.Put();
    TVariant count;
    if (FAILED(CallMethod(network, L"Read", {bufferArgument, LongArgument(kImageReadChunk)}, count.Get()))) break;
    // The buffer carries one byte of the image in each character; the count
    // is trusted no further than the buffer's real length.
    const long got = std::min<long>(AsLong(*count), static_cast<long>(SysStringLen(buffer.Get())));
    if (got <= 0) break;
    for (long i = 0; i < got; ++i) data.push_back(static_cast<char>(buffer.Get()[i] & 0xFF));
  }
  {
    TVariant ignored;
    CallMethod(network, L"Close", {}, ignored.Get());
  }
  std::unique_ptr<TBitmap> decoded = DecodeFetchedImage(contentType, data);
  if (!decoded) return false;
  picture.SetGraphic(std::move(decoded));
  return true;
}

bool FetchImageURL(const std::string& url, TPicture& picture) {
  CLSID id{};
  const std::wstring prog_id = WideFromAnsi(kNetworkObjectProgID);
  if (FAILED(CLSIDFromProgID(prog_id.c_str(), &id))) return false;
  TComPtr<IDispatch> network;
  if (FAILED(CoCreateInstance(id, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(network.Put()))) ||
      !network) {
    return false;
  }
  return FetchImageURLWith(network.Get(), url, picture);
}

}  // namespace plx
