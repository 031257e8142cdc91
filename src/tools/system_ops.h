// The platform side of the system tools: the shutdown request, the Run
// values, the autostart marker, the report file.
#pragma once

#include <windows.h>

#include <string>

#include "tools/autostart_rules.h"

namespace tools {

// A non-forced shutdown of the computer. Enables the process's shutdown
// privilege first: without it Windows refuses the request.
void RequestShutdown();

// The executable's full path, or "" when it cannot be had whole.
std::string ModulePath();

// Writes the per-user Run value "Tallivo" with the executable's quoted path.
tallivo::AutoStartOutcome RegisterAutoStart();
// Removes the Run value from the per-user and the machine-wide key.
tallivo::AutoStartOutcome UnregisterAutoStart();

// The marker beside the executable. Reading fails when it cannot be opened
// (then autostart is off); an empty file reads as "".
bool ReadAutoStartMarker(std::string* content);
// Rewrites it whole; a failure is shown in the file-error box.
bool WriteAutoStartMarker(const char* text);

// The save dialog for the report; "" when cancelled.
std::string AskReportPath(HWND owner);
// Creates or truncates the file and writes the text. A failure is shown
// in the file-error box; what was written before it stays.
bool WriteReportFile(const std::string& path, const std::string& text);

}  // namespace tools
