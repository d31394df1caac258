#pragma once
// The drag-and-drop unit's process-wide start and end. OLE must be
// initialised on the GUI thread before any window registers as a drop
// target, and the unit's clipboard formats and window message must be
// registered before the first drag: both happen before the program's entry.
//
// Every translation unit that includes this header holds one starter object
// (a use count shared by all of them): the first one constructed starts the
// unit, the last one destroyed ends it with OleUninitialize.

#include <windows.h>

namespace plx {

// The registered numbers of the family's clipboard formats and of the window
// message by which the picture target reports a drop after OLE's call.
struct TDragDropFormats {
  UINT NetscapeImage = 0;        // "Netscape Image Format"
  UINT HTML = 0;                 // "HTML Format"
  UINT RichText = 0;             // "Rich Text Format"
  UINT URL = 0;                  // "UniformResourceLocator"
  UINT NetscapeBookmark = 0;     // "Netscape Bookmark"
  UINT FileGroupDescriptor = 0;  // "FileGroupDescriptor"
  UINT FileContents = 0;         // "FileContents"
  UINT GraphicTargetDropMessage = 0;  // "UOGraphicTargetDrop"
};

// Filled when the unit starts.
const TDragDropFormats& DragDropFormats();

// The operating system's version record, read once when the unit starts.
const OSVERSIONINFOA& OSVersionInfo();

// Whether OleInitialize succeeded for this process's start (S_OK or S_FALSE).
bool DragDropUnitOleReady();

class TDragDropUnitStarter {
 public:
  TDragDropUnitStarter();
  ~TDragDropUnitStarter();
  TDragDropUnitStarter(const TDragDropUnitStarter&) = delete;
  TDragDropUnitStarter& operator=(const TDragDropUnitStarter&) = delete;
};

namespace {
// One per including translation unit; see above.
const TDragDropUnitStarter dragDropUnitStarter;
}  // namespace

}  // namespace plx
