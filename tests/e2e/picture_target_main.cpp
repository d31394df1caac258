// A small program with the picture drop target on a list box, for the
// end-to-end picture drag: it shows its window, waits for one picture to be
// dropped, writes the picture as a BMP file to the path it was given and
// exits (0 for a bitmap written, 1 otherwise).
#include <windows.h>

#include <cstdio>
#include <string>

#include "dragdrop/GraphicTarget.h"
#include "framework/Bitmap.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/Streams.h"

using namespace plx;

namespace {

bool WriteBitmap(TPicture& picture, const std::string& path) {
  auto* bitmap = dynamic_cast<TBitmap*>(picture.Graphic());
  if (!bitmap || bitmap->Empty()) return false;
  TMemoryStream stream;
  bitmap->SaveToStream(stream);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const auto size = static_cast<std::size_t>(stream.Size());
  const bool written = std::fwrite(stream.Memory(), 1, size, out) == size;
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string path = argv[1];
  auto* form = new TForm(nullptr);
  form->SetCaption("Plexoria picture target");
  form->SetBounds(480, 40, 300, 260);
  auto* acceptor = new TListBox(form);
  acceptor->SetParent(form);
  acceptor->SetBounds(10, 10, 260, 200);
  auto* target = new TQXGraphicTarget(form);
  target->setAcceptor(acceptor);
  bool dropped = false;
  bool written = false;
  target->OnDrop = [&](TObject*, TWinControl*, TPicture& picture, int, int) {
    written = WriteBitmap(picture, path);
    dropped = true;
  };
  // Shown without being activated: the dragging test keeps the foreground,
  // which its drag loop's mouse capture needs.
  SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  MSG message;
  while (!dropped && GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  delete form;
  return written ? 0 : 1;
}
