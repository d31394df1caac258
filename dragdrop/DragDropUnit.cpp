#include "dragdrop/DragDropUnit.h"

#include <ole2.h>

namespace plx {

namespace {

int use_count = 0;
bool ole_ready = false;
TDragDropFormats formats;
OSVERSIONINFOA version_info;

void StartUnit() {
  ole_ready = SUCCEEDED(OleInitialize(nullptr));
  formats.GraphicTargetDropMessage = RegisterWindowMessageA("UOGraphicTargetDrop");
  formats.NetscapeImage = RegisterClipboardFormatA("Netscape Image Format");
  formats.HTML = RegisterClipboardFormatA("HTML Format");
  formats.RichText = RegisterClipboardFormatA("Rich Text Format");
  formats.URL = RegisterClipboardFormatA("UniformResourceLocator");
  formats.NetscapeBookmark = RegisterClipboardFormatA("Netscape Bookmark");
  formats.FileGroupDescriptor = RegisterClipboardFormatA("FileGroupDescriptor");
  formats.FileContents = RegisterClipboardFormatA("FileContents");
  version_info = {};
  version_info.dwOSVersionInfoSize = sizeof version_info;  // 148 bytes
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // the version record is wanted as the system reports it
#endif
  GetVersionExA(&version_info);
}

void EndUnit() {
  if (ole_ready) OleUninitialize();
  ole_ready = false;
}

}  // namespace

const TDragDropFormats& DragDropFormats() { return formats; }
const OSVERSIONINFOA& OSVersionInfo() { return version_info; }
bool DragDropUnitOleReady() { return ole_ready; }

TDragDropUnitStarter::TDragDropUnitStarter() {
  if (use_count++ == 0) StartUnit();
}

TDragDropUnitStarter::~TDragDropUnitStarter() {
  if (--use_count == 0) EndUnit();
}

}  // namespace plx
