#pragma once
// The framework's exception family. Every failure the program reports is an
// Exception carrying a message; EAbort is the silent one that is never shown.

#include <stdexcept>
#include <string>

namespace plx {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message = {}) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Raised for calls that are not valid in the object's current state.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// A list or string index outside its range.
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// Stream read and write failures.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// A system resource (window, list entry, handle) could not be had.
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

// A system call that failed: which call, the code the system gave for the
// failure (GetLastError) and, in the message, the system's text for it.
class EOSError : public Exception {
 public:
  EOSError(std::string message, std::string call, unsigned long errorCode)
      : Exception(std::move(message)), call_(std::move(call)), error_code_(errorCode) {}
  const std::string& Call() const noexcept { return call_; }
  unsigned long ErrorCode() const noexcept { return error_code_; }

 private:
  std::string call_;
  unsigned long error_code_;
};

// The silent exception: unwinds like any other but is never displayed.
class EAbort : public Exception {
 public:
  using Exception::Exception;
};

// Raises the silent exception.
[[noreturn]] void Abort();

// The text shown for an exception: the message with "." appended when it is
// not empty and its last character sorts after ".".
std::string ExceptionDisplayText(const std::string& message);

}  // namespace plx
