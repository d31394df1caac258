#include "tests/e2e/E2eDrop.h"

#include <cstring>

#include "framework/Com.h"
#include "tests/e2e/E2eSupport.h"

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

// Drops as soon as the target under the cursor has answered: OLE asks the
// source for feedback only after the target's DragEnter (or DragOver) has
// returned its effect.
class TDropAfterEntering : public TInterfacedObject<IDropSource> {
 public:
  explicit TDropAfterEntering(POINT point) : point_(point) {}
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return target_answered_ ? DRAGDROP_S_DROP : S_OK;
  }
  STDMETHODIMP GiveFeedback(DWORD) override {
    // Feedback on the target at the intended point: OLE has just entered
    // the window under the cursor there.
    POINT at{};
    if (GetCursorPos(&at) && at.x == point_.x && at.y == point_.y) target_answered_ = true;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  POINT point_;
  bool target_answered_ = false;
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
  TComPtr<TDropAfterEntering> dropper(new TDropAfterEntering(centre));
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(source.Get(), dropper.Get(), allowed, &effect);
  keys[VK_CONTROL] = keys[VK_SHIFT] = keys[VK_LBUTTON] = 0;
  SetKeyboardState(keys);
  return {result, effect};
}

}  // namespace plx::e2e
