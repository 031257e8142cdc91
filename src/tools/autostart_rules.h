// Start with Windows: where the marker lives, what it holds, and what the
// outcome of the Run-key operations means for the user.
#pragma once

#include <string>

namespace tallivo {

constexpr char kAutoStartMarkerName[] = "AuTo.dat";
constexpr char kRunValueName[] = "Tallivo";
constexpr char kRunSubkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

extern const char kAutoStartFailed[];   // "系统参数错误,不能随系统启动"
extern const char kAutoStartWasOff[];   // "已经关闭开机自动启动!!"
extern const char kAutoStartStillOn[];  // the value could not be removed

// The marker sits beside the executable, so a start from the Run key
// (whose current directory is elsewhere) finds it.
std::string MarkerPathForModule(const std::string& modulePath);
// The marker's content means on only when its first byte is '1'; an empty
// file counts as '0'.
bool MarkerSaysOn(const std::string& content);
const char* MarkerText(bool on);

// The Run value's data: the path in double quotes. Unquoted, a path with a
// space (D:\My Tools\...) makes Windows try D:\My.exe at logon.
std::string RunValueData(const std::string& modulePath);

// One Run key: the machine-wide one or the per-user one.
enum class RunKeyResult {
  Done,      // the value was written, or removed
  Absent,    // removing: the value was not there
  NoAccess,  // the key cannot be opened for writing
  Failed,    // opened, but the write or the removal failed
};

struct AutoStartOutcome {
  bool on = false;                // the state the command ends in
  const char* message = nullptr;  // text to show, or none
};

// Registering writes the per-user value only: the program runs as one user,
// and even when it runs elevated a value for every user would start a
// program kept in one user's profile.
AutoStartOutcome RegisterOutcome(RunKeyResult user);

// Unregistering removes the value from both keys (the machine-wide one may
// hold a value an older version wrote). A key that cannot be
// opened for writing counts as NoAccess only while the value is still in
// it (Windows would still start the program), else as Absent.
AutoStartOutcome UnregisterOutcome(RunKeyResult machine, RunKeyResult user);

}  // namespace tallivo
