#include "stats/report_file.h"

#include <commdlg.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "ui/data_exchange.h"

namespace stats {

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
  char file[1024] = {};
  std::strncpy(file, tallivo::kReportDefaultName, sizeof file - 1);
  const std::string filter = tallivo::ReportFilter();
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrDefExt = tallivo::kReportDefaultExt;
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
  if (!GetSaveFileNameA(&ofn)) return std::string();
  return file;
}

bool WriteReportFile(const std::string& path, const std::string& text) {
  return ui::WriteWholeFile(path, text.data(), static_cast<DWORD>(text.size()), false);
}

}  // namespace stats
