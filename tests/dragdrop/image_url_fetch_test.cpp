// The image URL fetch: the call sequence on the network automation object,
// played against a stand-in object, and the decoding by content type.
#include <gtest/gtest.h>

#include <map>

#include "dragdrop/ImageURLFetch.h"
#include "framework/Com.h"

namespace plx {
namespace {

// Answers the network object's methods from a byte string and logs each call.
class TFakeNetwork : public TInterfacedObject<IDispatch> {
 public:
  TFakeNetwork(std::string contentType, std::string data, bool neverFinishes = false)
      : content_type_(std::move(contentType)), data_(std::move(data)), never_finishes_(neverFinishes) {}

  std::vector<std::string> calls;
  std::wstring opened_url;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    static const std::map<std::wstring, DISPID> known{
        {L"Open", 1}, {L"GetContentType", 2}, {L"IsFinished", 3}, {L"Read", 4}, {L"Close", 5}};
    if (count != 1) return E_INVALIDARG;
    const auto found = known.find(names[0]);
    if (found == known.end()) return DISP_E_UNKNOWNNAME;
    ids[0] = found->second;
    return S_OK;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    static const char* names[] = {"", "Open", "GetContentType", "IsFinished", "Read", "Close"};
    std::string call = names[id];
    switch (id) {
      case 1:
        if (parameters->cArgs != 1 || parameters->rgvarg[0].vt != VT_BSTR) return DISP_E_BADPARAMCOUNT;
        opened_url = parameters->rgvarg[0].bstrVal;
        break;
      case 2:
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(std::wstring(content_type_.begin(), content_type_.end()).c_str());
        break;
      case 3:
        result->vt = VT_BOOL;
        result->boolVal = !never_finishes_ && position_ >= data_.size() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
      case 4: {
        // Arguments arrive last first: the count, then the buffer.
        if (parameters->cArgs != 2 || parameters->rgvarg[1].vt != (VT_BYREF | VT_BSTR)) return DISP_E_BADPARAMCOUNT;
        const long wanted = parameters->rgvarg[0].lVal;
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(wanted), data_.size() - position_);
        std::wstring chunk;
        for (std::size_t i = 0; i < n; ++i) chunk.push_back(static_cast<unsigned char>(data_[position_ + i]));
        position_ += n;
        *parameters->rgvarg[1].pbstrVal = SysAllocStringLen(chunk.data(), static_cast<UINT>(chunk.size()));
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(n);
        call += "(" + std::to_string(wanted) + ")";
        break;
      }
      default:
        break;
    }
    calls.push_back(call);
    return S_OK;
  }

 private:
  std::string content_type_;
  std::string data_;
  bool never_finishes_;
  std::size_t position_ = 0;
};

// A 24-bit BMP file of width x 1 red pixels.
std::string RedBmpFile(int width) {
  const int row = (width * 3 + 3) / 4 * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + row;
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = 1;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::string pixels(static_cast<std::size_t>(row), '\0');
  for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>(x) * 3 + 2] = '\xFF';
  return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
         std::string(reinterpret_cast<const char*>(&info), sizeof info) + pixels;
}

TEST(ImageURLFetch, CallSequenceReadsInChunksAndDecodesBitmaps) {
  // 800 pixels make a file of 2454 bytes: three reads of up to 1000.
  const std::string file = RedBmpFile(800);
  ASSERT_EQ(file.size(), 2454u);
  struct Case {
    const char* name;
    const char* type;
    bool changes;
  } cases[] = {
      {"bitmap", "image/x-MS-bmp", true},
      {"bitmap, other case", "IMAGE/X-MS-BMP", true},
      {"png is not decoded", "image/png", false},
      {"unknown type", "text/html", false},
  };
  for (const Case& c : cases) {
    TComPtr<TFakeNetwork> network(new TFakeNetwork(c.type, file));
    TPicture picture;
    EXPECT_EQ(FetchImageURLWith(network.Get(), "http://host/a.bmp", picture), c.changes) << c.name;
    EXPECT_EQ(network->opened_url, L"http://host/a.bmp") << c.name;
    EXPECT_EQ(network->calls, (std::vector<std::string>{"Open", "GetContentType", "IsFinished", "Read(1000)",
                                                         "IsFinished", "Read(1000)", "IsFinished", "Read(1000)",
                                                         "IsFinished", "Close"}))
        << c.name;
    EXPECT_EQ(picture.Width(), c.changes ? 800 : 0) << c.name;
    if (c.changes) {
      EXPECT_EQ(picture.Bitmap().Pixel(799, 0), clRed) << c.name;
    }
    EXPECT_EQ(network->RefCount(), 1) << c.name;
  }
}

TEST(ImageURLFetch, AnEmptyReadEndsTheLoop) {
  TComPtr<TFakeNetwork> network(new TFakeNetwork("image/x-MS-bmp", "", true));
  TPicture picture;
  EXPECT_FALSE(FetchImageURLWith(network.Get(), "http://host/none", picture));
  EXPECT_EQ(network->calls, (std::vector<std::string>{"Open", "GetContentType", "IsFinished", "Read(1000)", "Close"}));
  EXPECT_TRUE(picture.Empty());
}

TEST(ImageURLFetch, UndecodableDataLeavesThePicture) {
  for (const char* type : {"image/x-MS-bmp", "image/gif", "image/jpeg"}) {
    EXPECT_EQ(DecodeFetchedImage(type, "definitely not an image"), nullptr) << type;
    EXPECT_EQ(DecodeFetchedImage(type, ""), nullptr) << type;
  }
  EXPECT_EQ(DecodeFetchedImage("image/png", "\x89PNG\r\n"), nullptr);
}

}  // namespace
}  // namespace plx
