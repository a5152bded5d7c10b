#include "platform/runtime/Error.h"

#include <cerrno>
#include <new>

namespace rt {

Error::Error(long number, std::string description)
    : number_(number), description_(description.empty() ? ErrorDescription(number) : std::move(description)) {}

std::string ErrorDescription(long number) {
  switch (number) {
    case errInvalidCall: return "Invalid procedure call or argument";
    case errOverflow: return "Overflow";
    case errOutOfMemory: return "Out of memory";
    case errSubscript: return "Subscript out of range";
    case errDivisionByZero: return "Division by zero";
    case errTypeMismatch: return "Type mismatch";
    case errBadFileNumber: return "Bad file name or number";
    case errFileNotFound: return "File not found";
    case errBadFileMode: return "Bad file mode";
    case errFileAlreadyOpen: return "File already open";
    case errDeviceIO: return "Device I/O error";
    case errFileExists: return "File already exists";
    case errDiskFull: return "Disk full";
    case errInputPastEnd: return "Input past end of file";
    case errTooManyFiles: return "Too many files";
    case errPermissionDenied: return "Permission denied";
    case errPathFileAccess: return "Path/File access error";
    case errPathNotFound: return "Path not found";
    case errObjectNotSet: return "Object variable or With block variable not set";
    case errCannotCreateObject: return "ActiveX component can't create object";
    default: return "Application-defined or object-defined error";
  }
}

void Raise(long number, const std::string& description) { throw Error(number, description); }

Error ToError(std::exception_ptr thrown) {
  try {
    std::rethrow_exception(thrown);
  } catch (const Error& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return Error(errOutOfMemory, {});
  } catch (const std::exception& e) {
    return Error(errInvalidCall, e.what());
  } catch (...) {
    return Error(errInvalidCall, {});
  }
}

void RaiseFromErrno(int err, long fallback) {
  switch (err) {
    case ENOENT: Raise(errFileNotFound);
    case ENOTDIR: Raise(errPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: Raise(errPermissionDenied);
    case EEXIST: Raise(errFileExists);
    case ENOSPC:
    case EDQUOT: Raise(errDiskFull);
    case EMFILE:
    case ENFILE: Raise(errTooManyFiles);
    case EIO: Raise(errDeviceIO);
    case ENAMETOOLONG:
    case EINVAL: Raise(errBadFileNumber);
    default: Raise(fallback);
  }
}

}  // namespace rt

#include <cstdio>

namespace rt {
namespace {
NoticeSink g_sink = nullptr;
}

void SetNoticeSink(NoticeSink sink) { g_sink = sink; }

void Notice(const std::string& source, const Error& error) {
  if (g_sink) {
    g_sink(source, error);
  } else {
    std::fprintf(stderr, "%s: %ld %s\n", source.c_str(), error.Number(), error.Description().c_str());
  }
}

}  // namespace rt
