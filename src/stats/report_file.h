// The "保存记录(&S)" command on the platform: the save dialog and the file.
#pragma once

#include <windows.h>

#include <string>

#include "stats/report.h"

namespace stats {

// Asks for a file and writes the report into it. The time line and the
// figures are those of the moment of the call; the run time is read from
// runText once the dialog has closed (the window's timers go on meanwhile).
// A failure is shown in the file-error box.
void SaveReport(HWND owner, const tallivo::ReportFigures& figures, const std::string& runText);

// The save dialog for the report; "" when cancelled.
std::string AskReportPath(HWND owner);
// Creates or truncates the file and writes the text, encoded for the
// system's code page (tallivo::ReportFileBytes). A failure is shown
// in the file-error box; what was written before it stays.
bool WriteReportFile(const std::string& path, const std::string& text);

}  // namespace stats
