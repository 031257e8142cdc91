// File errors as the user sees them: which text of the string table fits a
// system error code, and the text with the file's path filled in.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "ui/framework_ids.h"

namespace ui {

// String-table ids of the file-error texts ("%1" stands for the path).
constexpr unsigned kIdsFileGeneric = IDS_FILE_GENERIC;
constexpr unsigned kIdsFileNotFound = IDS_FILE_NOT_FOUND;
constexpr unsigned kIdsFileBadPath = IDS_FILE_BAD_PATH;
constexpr unsigned kIdsFileTooManyOpen = IDS_FILE_TOO_MANY_OPEN;
constexpr unsigned kIdsFileAccessDenied = IDS_FILE_ACCESS_DENIED;
constexpr unsigned kIdsFileDirectoryFull = IDS_FILE_DIRECTORY_FULL;
constexpr unsigned kIdsFileHardIo = IDS_FILE_HARD_IO;
constexpr unsigned kIdsFileSharing = IDS_FILE_SHARING;
constexpr unsigned kIdsFileLock = IDS_FILE_LOCK;
constexpr unsigned kIdsFileDiskFull = IDS_FILE_DISK_FULL;
// "命令失败。", when no text can be built for the cause.
constexpr unsigned kIdsCommandFailed = IDS_COMMAND_FAILED;
// "内存不足。"
constexpr unsigned kIdsOutOfMemory = IDS_OUT_OF_MEMORY;

// The system error code of a failed file operation (GetLastError), or the
// code for a short write, to the id of its text.
unsigned FileErrorStringId(uint32_t systemError);
constexpr uint32_t kErrorDiskFull = 112;  // ERROR_DISK_FULL: a short write

// The text for an exception that escaped a message handler: out of memory
// has its own, everything else is a failed command.
unsigned ExceptionStringId(const std::exception_ptr& error);

// Every "%1" of the text replaced by the path; the path itself is taken
// as it is, even when it holds a "%".
std::string FormatFileError(const std::string& text, const std::string& path);

}  // namespace ui
