#pragma once
// Between the program's 8-bit text (the system's ANSI code page) and the
// UTF-16 text that OLE and the shell speak. Every byte or unit is converted,
// zero ones included.

#include <string>
#include <string_view>

namespace plx {

std::wstring WideFromAnsi(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);

}  // namespace plx
