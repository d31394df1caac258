// The floor of the cross-process drop benchmark: a window registered as a
// drop target that only reads the dropped CF_TEXT block, then shows how many
// drops it has read in its caption and paints itself again.
#include <windows.h>
#include <ole2.h>

#include <string>

namespace {

HWND g_window = nullptr;
int g_drops = 0;
volatile unsigned g_sum = 0;

class TReadingTarget : public IDropTarget {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP DragEnter(IDataObject*, DWORD keys, POINTL, DWORD* effect) override { return Answer(keys, effect); }
  STDMETHODIMP DragOver(DWORD keys, POINTL, DWORD* effect) override { return Answer(keys, effect); }
  STDMETHODIMP DragLeave() override { return S_OK; }
  STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL, DWORD* effect) override {
    Answer(keys, effect);
    FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    const HRESULT result = data->GetData(&format, &medium);
    if (FAILED(result)) return result;
    if (const auto* bytes = static_cast<const unsigned char*>(GlobalLock(medium.hGlobal))) {
      const SIZE_T size = GlobalSize(medium.hGlobal);
      unsigned sum = 0;
      for (SIZE_T i = 0; i < size; i += 64) sum += bytes[i];
      g_sum = sum;
      GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    SetWindowTextA(g_window, std::to_string(++g_drops).c_str());
    InvalidateRect(g_window, nullptr, TRUE);
    return S_OK;
  }

 private:
  static HRESULT Answer(DWORD keys, DWORD* effect) {
    const DWORD wanted = (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    *effect = (*effect & wanted) ? wanted : (*effect & DROPEFFECT_COPY);
    return S_OK;
  }
};

LRESULT CALLBACK TargetWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  OleInitialize(nullptr);
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = TargetWindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  window_class.lpszClassName = "PlexoriaDropFloor";
  RegisterClassA(&window_class);
  // The size of the main window's list.
  g_window = CreateWindowExA(0, window_class.lpszClassName, "0", WS_POPUP | WS_BORDER, 300, 300, 225, 257, nullptr,
                             nullptr, instance, nullptr);
  TReadingTarget target;
  RegisterDragDrop(g_window, &target);
  ShowWindow(g_window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  OleUninitialize();
  return 0;
}
