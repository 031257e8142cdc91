// File errors as the user sees them: which text of the string table fits a
// system error code, and the text with the file's path filled in.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

// String-table ids of the file-error texts ("%1" stands for the path).
constexpr unsigned kIdsFileGeneric = 61857;
constexpr unsigned kIdsFileNotFound = 61858;
constexpr unsigned kIdsFileBadPath = 61859;
constexpr unsigned kIdsFileTooManyOpen = 61860;
constexpr unsigned kIdsFileAccessDenied = 61861;
constexpr unsigned kIdsFileDirectoryFull = 61864;
constexpr unsigned kIdsFileHardIo = 61866;
constexpr unsigned kIdsFileSharing = 61867;
constexpr unsigned kIdsFileLock = 61868;
constexpr unsigned kIdsFileDiskFull = 61869;
// "命令失败。", when no text can be built for the cause.
constexpr unsigned kIdsCommandFailed = 61705;

// The system error code of a failed file operation (GetLastError), or the
// code for a short write, to the id of its text.
unsigned FileErrorStringId(uint32_t systemError);
constexpr uint32_t kErrorDiskFull = 112;  // ERROR_DISK_FULL: a short write

// Every "%1" of the text replaced by the path; the path itself is taken
// as it is, even when it holds a "%".
std::string FormatFileError(const std::string& text, const std::string& path);

}  // namespace ui
