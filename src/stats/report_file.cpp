#include "stats/report_file.h"

#include <commdlg.h>

#include <ctime>
#include <cwchar>
#include <iterator>
#include <vector>

#include "base/text_format.h"
#include "ui/data_exchange.h"

namespace stats {

namespace {
std::string Gbk(const std::string& utf8) {
  const std::wstring wide = tallivo::Wide(utf8);
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(tallivo::kGbkCodePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string gbk(n > 0 ? n : 0, '\0');
  if (n > 0) {
    WideCharToMultiByte(tallivo::kGbkCodePage, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(), n, nullptr,
                        nullptr);
  }
  return gbk;
}
}  // namespace

void SaveReport(HWND owner, const tallivo::ReportFigures& figures, const std::string& runText) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::tm local = {};
  local.tm_year = now.wYear - 1900;
  local.tm_mon = now.wMonth - 1;
  local.tm_mday = now.wDay;
  local.tm_hour = now.wHour;
  local.tm_min = now.wMinute;
  local.tm_sec = now.wSecond;
  const std::string timeLine = tallivo::ReportTimeLine(local);
  const std::vector<std::string> lines = tallivo::ReportFigureLines(figures);

  const std::string path = AskReportPath(owner);
  if (path.empty()) return;
  WriteReportFile(path, tallivo::ReportText(timeLine, runText, lines));
}

std::string AskReportPath(HWND owner) {
  wchar_t file[1024] = {};
  wcsncpy(file, tallivo::Wide(tallivo::kReportDefaultName).c_str(), std::size(file) - 1);
  const std::wstring filter = tallivo::Wide(tallivo::ReportFilter());
  const std::wstring ext = tallivo::Wide(tallivo::kReportDefaultExt);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = std::size(file);
  ofn.lpstrDefExt = ext.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
  if (!GetSaveFileNameW(&ofn)) return std::string();
  return tallivo::Utf8(file);
}

bool WriteReportFile(const std::string& path, const std::string& text) {
  const std::string bytes = tallivo::ReportFileBytes(text, GetACP(), Gbk);
  return ui::WriteWholeFile(path, bytes.data(), static_cast<DWORD>(bytes.size()), false);
}

}  // namespace stats
