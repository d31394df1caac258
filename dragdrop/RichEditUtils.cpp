#include "dragdrop/RichEditUtils.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace plx {

namespace {

struct TStreamSource {
  const std::string* text;
  std::size_t position;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* source = reinterpret_cast<TStreamSource*>(cookie);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), source->text->size() - source->position);
  // NOLINTNEXTLINE(bugprone-not-null-terminated-result): a stream chunk carries bytes, not a zero-terminated string
  std::memcpy(buffer, source->text->data() + source->position, n);
  source->position += n;
  *done = static_cast<LONG>(n);
  return 0;
}

DWORD CALLBACK WriteChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
  *done = size;
  return 0;
}

}  // namespace

void AddContentToRichEdit(const std::string& text, HWND richEdit, bool asRichText, bool replaceSelection) {
  if (!replaceSelection) {
    CHARRANGE end{-1, -1};  // start -1: the end of the text, length 0
    SendMessageA(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  }
  TStreamSource source{&text, 0};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadChunk};
  SendMessageA(richEdit, EM_STREAMIN, (asRichText ? SF_RTF : SF_TEXT) | SFF_SELECTION,
               reinterpret_cast<LPARAM>(&stream));
}

std::string GetContentFromRichEdit(HWND richEdit, bool asRichText, bool selectionOnly) {
  std::string content;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&content), 0, WriteChunk};
  WPARAM format = asRichText ? SF_RTF : SF_TEXT;
  if (selectionOnly) format |= SFF_SELECTION;
  SendMessageA(richEdit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
  return content;
}

}  // namespace plx
