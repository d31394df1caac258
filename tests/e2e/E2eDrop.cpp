#include "tests/e2e/E2eDrop.h"

#include <cstring>

#include "framework/Com.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/support/DropWhenAnswered.h"

namespace plx::e2e {
namespace {

// Offers one format as a global block; the receiver frees each block.
class TTextSource : public TInterfacedObject<IDataObject> {
 public:
  TTextSource(UINT format, std::string data) : format_(format), data_(std::move(data)) {}

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data_.size());
    if (!block) return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(block), data_.data(), data_.size());
    GlobalUnlock(block);
    *medium = {};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    return format && format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  UINT format_;
  std::string data_;
};

}  // namespace

TDragResult DragOnto(HWND target, UINT format, const std::string& data, bool control, bool shift, DWORD allowed) {
  RECT client{};
  GetClientRect(target, &client);
  POINT centre{client.right / 2, client.bottom / 2};
  ClientToScreen(target, &centre);
  // The first target OLE enters must be the target window.
  if (!MoveCursorTo(centre.x, centre.y) || WindowFromPoint(centre) != target) return {E_FAIL, DROPEFFECT_NONE};
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = control ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_LBUTTON] = 0x80;
  SetKeyboardState(keys);
  TComPtr<TTextSource> source(new TTextSource(format, data));
  TComPtr<test::TDropWhenAnswered> dropper(new test::TDropWhenAnswered(centre));
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(source.Get(), dropper.Get(), allowed, &effect);
  keys[VK_CONTROL] = keys[VK_SHIFT] = keys[VK_LBUTTON] = 0;
  SetKeyboardState(keys);
  return {result, effect};
}

}  // namespace plx::e2e
