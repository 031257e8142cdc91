// Dialog fields the way the user meets them: unsigned integers in edits,
// checked with the standard texts, and file errors in the standard box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

namespace ui {

void SetUintField(HWND dialog, int id, uint32_t value);
// Reads and checks the edit. When refused, the application message box
// says why, and the edit gets the focus with its whole text selected.
bool GetUintField(HWND dialog, int id, uint32_t min, uint32_t max, uint32_t* value);

// The file-error text for the cause with the path filled in, in the
// application message box with the stop icon.
void ShowFileError(uint32_t systemError, const char* path);

// Creates or truncates the file and writes the bytes, flushed to the disk
// when asked. Others may read the file meanwhile (a virus scanner, a
// backup, the user). A failure is shown with ShowFileError; what was
// written before it stays.
bool WriteWholeFile(const std::string& path, const char* data, DWORD size, bool flush);
// An exception that escaped a message handler, in the same box. While one
// such box is up, further ones are not shown.
void ShowExceptionError(const std::exception_ptr& error);

}  // namespace ui
