#include "framework/Exception.h"

namespace plx {

void Abort() { throw EAbort("Operation aborted"); }

std::string ExceptionDisplayText(const std::string& message) {
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
    text += '.';
  return text;
}

}  // namespace plx
