#include "ui/data_exchange.h"

#include <string>
#include <vector>

#include "base/text_format.h"
#include "ui/dialog.h"
#include "ui/field_check.h"
#include "ui/file_error.h"

namespace ui {

void SetUintField(HWND dialog, int id, uint32_t value) {
  SetDlgItemTextA(dialog, id, tallivo::FormatText("%u", static_cast<unsigned>(value)).c_str());
}

bool GetUintField(HWND dialog, int id, uint32_t min, uint32_t max, uint32_t* value) {
  HWND edit = GetDlgItem(dialog, id);
  // The whole text: a cut-off one could hide what makes it invalid.
  std::vector<char> buf(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, 0);
  GetWindowTextA(edit, buf.data(), static_cast<int>(buf.size()));
  switch (ParseUintField(buf.data(), min, max, value)) {
    case UintField::Ok: return true;
    case UintField::NotANumber: AppMessageBox(dialog, kUintFieldNotANumber, MB_OK); break;
    case UintField::OutOfRange:
      AppMessageBox(dialog, UintFieldRangeText(min, max).c_str(), MB_OK | MB_ICONEXCLAMATION);
      break;
  }
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  return false;
}

void ShowFileError(uint32_t systemError, const char* path) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  char text[512] = {};
  std::string message;
  if (LoadStringA(inst, FileErrorStringId(systemError), text, sizeof text) > 0) {
    message = FormatFileError(text, path ? path : "");
  } else if (LoadStringA(inst, kIdsCommandFailed, text, sizeof text) > 0) {
    message = text;
  }
  AppMessageBox(message.c_str(), MB_OK | MB_ICONSTOP);
}

bool WriteWholeFile(const std::string& path, const char* data, DWORD size, bool flush) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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
  char text[256] = {};
  if (LoadStringA(GetModuleHandleA(nullptr), ExceptionStringId(error), text, sizeof text) <= 0) {
    LoadStringA(GetModuleHandleA(nullptr), kIdsCommandFailed, text, sizeof text);
  }
  AppMessageBox(text, MB_OK | MB_ICONSTOP);
  showing = false;
}

}  // namespace ui
