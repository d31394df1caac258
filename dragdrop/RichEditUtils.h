#pragma once
// Moving plain or rich text into and out of a rich edit control by
// streaming (EM_STREAMIN / EM_STREAMOUT).

#include <windows.h>

#include <string>

namespace plx {

// Streams text into the control's selection as plain text or rich text;
// without replaceSelection the selection is first collapsed at the end.
void AddContentToRichEdit(const std::string& text, HWND richEdit, bool asRichText, bool replaceSelection);
// The control's content, all of it or the selection, as plain or rich text.
std::string GetContentFromRichEdit(HWND richEdit, bool asRichText, bool selectionOnly);

}  // namespace plx
