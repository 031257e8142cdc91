#include "ui/file_error.h"

#include <new>

namespace ui {

unsigned FileErrorStringId(uint32_t systemError) {
  switch (systemError) {
    case 2:   // ERROR_FILE_NOT_FOUND
    case 6:   // ERROR_INVALID_HANDLE
    case 18:  // ERROR_NO_MORE_FILES
      return kIdsFileNotFound;
    case 3:    // ERROR_PATH_NOT_FOUND
    case 15:   // ERROR_INVALID_DRIVE
    case 17:   // ERROR_NOT_SAME_DEVICE
    case 53:   // ERROR_BAD_NETPATH
    case 67:   // ERROR_BAD_NET_NAME
    case 123:  // ERROR_INVALID_NAME
    case 161:  // ERROR_BAD_PATHNAME
    case 206:  // ERROR_FILENAME_EXCED_RANGE
    case 267:  // ERROR_DIRECTORY
      return kIdsFileBadPath;
    case 4:   // ERROR_TOO_MANY_OPEN_FILES
    case 36:  // ERROR_SHARING_BUFFER_EXCEEDED
      return kIdsFileTooManyOpen;
    case 5:    // ERROR_ACCESS_DENIED
    case 12:   // ERROR_INVALID_ACCESS
    case 19:   // ERROR_WRITE_PROTECT
    case 29:   // ERROR_WRITE_FAULT
    case 65:   // ERROR_NETWORK_ACCESS_DENIED
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return kIdsFileAccessDenied;
    case 82:  // ERROR_CANNOT_MAKE
      return kIdsFileDirectoryFull;
    case 21:    // ERROR_NOT_READY
    case 23:    // ERROR_CRC
    case 1117:  // ERROR_IO_DEVICE
      return kIdsFileHardIo;
    case 32:  // ERROR_SHARING_VIOLATION
      return kIdsFileSharing;
    case 33:   // ERROR_LOCK_VIOLATION
    case 167:  // ERROR_LOCK_FAILED
      return kIdsFileLock;
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
      return kIdsFileDiskFull;
    default: return kIdsFileGeneric;
  }
}

unsigned ExceptionStringId(const std::exception_ptr& error) {
  if (!error) return kIdsCommandFailed;
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return kIdsOutOfMemory;
  } catch (...) {
    return kIdsCommandFailed;
  }
}

std::string FormatFileError(const std::string& text, const std::string& path) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
      out += path;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace ui
