#include "ui/data_exchange.h"

#include <string>
#include <vector>

#include "base/text_format.h"
#include "ui/dialog.h"
#include "ui/field_check.h"
#include "ui/file_error.h"

namespace ui {

void SetUintField(HWND dialog, int id, uint32_t value) {
  SetDlgItemTextW(dialog, id, tallivo::Wide(tallivo::FormatText("%u", static_cast<unsigned>(value))).c_str());
}

bool GetUintField(HWND dialog, int id, uint32_t min, uint32_t max, uint32_t* value) {
  HWND edit = GetDlgItem(dialog, id);
  // The whole text: a cut-off one could hide what makes it invalid.
  std::vector<wchar_t> buf(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, 0);
  const int len = GetWindowTextW(edit, buf.data(), static_cast<int>(buf.size()));
  switch (ParseUintField(tallivo::Utf8(buf.data(), len > 0 ? len : 0), min, max, value)) {
    case UintField::Ok: return true;
    case UintField::NotANumber: AppMessageBox(dialog, kUintFieldNotANumber, MB_OK); break;
    case UintField::OutOfRange: AppMessageBox(dialog, UintFieldRangeText(min, max), MB_OK | MB_ICONEXCLAMATION); break;
  }
  // Through the dialog, so that it keeps the edit as its focus: the box's closing may activate it again after this,
  // and it then gives the focus back to the control it kept.
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  return false;
}

void ShowFileError(uint32_t systemError, const char* path) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  wchar_t text[512] = {};
  std::string message;
  if (LoadStringW(inst, FileErrorStringId(systemError), text, 512) > 0) {
    message = FormatFileError(tallivo::Utf8(text), path ? path : "");
  } else if (LoadStringW(inst, kIdsCommandFailed, text, 512) > 0) {
    message = tallivo::Utf8(text);
  }
  AppMessageBox(message, MB_OK | MB_ICONSTOP);
}

bool WriteWholeFile(const std::string& path, const char* data, DWORD size, bool flush) {
  HANDLE file = CreateFileW(tallivo::Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ShowFileError(GetLastError(), path.c_str());
    return false;
  }
  DWORD written = 0;
  DWORD error = 0;
  if (!WriteFile(file, data, size, &written, nullptr)) {
    error = GetLastError();
  } else if (written < size) {
    error = kErrorDiskFull;
  } else if (flush && !FlushFileBuffers(file)) {
    error = GetLastError();
  }
  CloseHandle(file);
  if (error) ShowFileError(error, path.c_str());
  return error == 0;
}

void ShowExceptionError(const std::exception_ptr& error) {
  static bool showing = false;
  if (showing) return;
  showing = true;
  // No heap here: the cause may be that there is none left.
  wchar_t text[256] = {};
  if (LoadStringW(GetModuleHandleW(nullptr), ExceptionStringId(error), text, 256) <= 0) {
    LoadStringW(GetModuleHandleW(nullptr), kIdsCommandFailed, text, 256);
  }
  MessageBoxW(MainWindow(), text, AppCaption(), MB_OK | MB_ICONSTOP);
  showing = false;
}

}  // namespace ui
