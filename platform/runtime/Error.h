#pragma once
// The run time's error: a number and a description, raised as a C++ exception.

#include <exception>
#include <string>

namespace rt {

// Error numbers the program meets.
enum ErrorNumber : long {
  errInvalidCall = 5,
  errOverflow = 6,
  errOutOfMemory = 7,
  errSubscript = 9,
  errDivisionByZero = 11,
  errTypeMismatch = 13,
  errBadFileNumber = 52,
  errFileNotFound = 53,
  errBadFileMode = 54,
  errFileAlreadyOpen = 55,
  errDeviceIO = 57,
  errFileExists = 58,
  errDiskFull = 61,
  errInputPastEnd = 62,
  errTooManyFiles = 67,
  errPermissionDenied = 70,
  errPathFileAccess = 75,
  errPathNotFound = 76,
  errObjectNotSet = 91,
  errCannotCreateObject = 429,
  // what the registry object raises for a value or key that cannot be opened
  errRegistryNotFound = -2147024894,
};

class Error : public std::exception {
 public:
  Error(long number, std::string description);
  long Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  long number_;
  std::string description_;
};

// The run time's standard description of an error number ("Overflow" for 6).
std::string ErrorDescription(long number);

// Raises error `number`; an empty description takes the standard one.
[[noreturn]] void Raise(long number, const std::string& description = {});

// Maps whatever was thrown to the run time's number and description: an Error as it is,
// running out of memory as 7, anything else as 5 with its message.
Error ToError(std::exception_ptr thrown);

// Raises the error that matches the C library error code `err` (ENOENT as 53, EACCES as 70...).
[[noreturn]] void RaiseFromErrno(int err, long fallback = errPathFileAccess);

}  // namespace rt

namespace rt {

// Troubles the layer meets on its own (a damaged settings store set aside) are handed to the program's
// error log through this sink; without one they go to the terminal.
using NoticeSink = void (*)(const std::string& source, const Error& error);
void SetNoticeSink(NoticeSink sink);
void Notice(const std::string& source, const Error& error);

}  // namespace rt
