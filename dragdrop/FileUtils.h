#pragma once
// Temporary folder and file names, and turning a UTF-16 text file into an
// 8-bit one in place.

#include <string>

namespace plx {

// The system's temporary folder, with its trailing backslash.
std::string GetTempPathEx();
// A new unique file name in the temporary folder starting with prefix; the
// system creates the empty file, which is the caller's to delete. Empty on
// failure.
std::string GetTempFileNameEx(const std::string& prefix);
// When the file holds a zero byte it is read as UTF-16 text from its first
// byte and written back in the 8-bit code page; true when converted.
// Raises EStreamError when the file cannot be read or written.
bool ConvertUnicodeFileToAnsi(const std::string& fileName);

}  // namespace plx
