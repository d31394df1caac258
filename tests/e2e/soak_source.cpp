// A drag source the cross-process soak test starts and kills in the middle of
// a drag. It drags "killed source text" with OLE's DoDragDrop from the
// cursor's place and never finishes by itself:
//   soak_source enter    keeps dragging once the target under the cursor has
//                        answered, and signals the event named by its second
//                        argument;
//   soak_source getdata  drops once the target has answered, and when the
//                        target asks for the data, signals the event and
//                        waits forever instead of answering.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <string_view>

#include "tests/support/TextBlockSource.h"

namespace {

bool g_hang_in_get_data = false;
HANDLE g_signal = nullptr;

// The text, or, asked to, a source that signals and then never answers.
class TStuckSource : public plx::test::TTextBlockSource {
 public:
  TStuckSource() : TTextBlockSource(std::string_view(kText, sizeof kText)) {}
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) == S_OK && g_hang_in_get_data) {
      SetEvent(g_signal);
      Sleep(INFINITE);
    }
    return TTextBlockSource::GetData(format, medium);
  }

 private:
  static constexpr char kText[] = "killed source text";
};

class TEndlessDrag : public IDropSource {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
      *out = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP QueryContinueDrag(BOOL, DWORD) override {
    if (answered_ && g_hang_in_get_data) return DRAGDROP_S_DROP;
    return S_OK;
  }
  // Called once the target under the cursor has answered DragEnter or
  // DragOver.
  STDMETHODIMP GiveFeedback(DWORD effect) override {
    if (effect != DROPEFFECT_NONE && !answered_) {
      answered_ = true;
      if (!g_hang_in_get_data) SetEvent(g_signal);
    }
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  bool answered_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  g_hang_in_get_data = std::string(argv[1]) == "getdata";
  g_signal = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (!g_signal) return 3;
  OleInitialize(nullptr);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = 0x80;
  SetKeyboardState(keys);
  plx::TComPtr<TStuckSource> source(new TStuckSource);
  TEndlessDrag drag;
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(source.Get(), &drag, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  // Reached only if the test did not kill this process.
  OleUninitialize();
  return 4;
}
