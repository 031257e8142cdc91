// Start with Windows: where the marker lives, what it holds, and what the
// outcome of the Run-key operations means for the user.
#pragma once

#include <string>

namespace tallivo {

constexpr char kAutoStartMarkerName[] = "AuTo.dat";
constexpr char kRunValueName[] = "Tallivo";
constexpr char kRunSubkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

extern const char kAutoStartFailed[];      // "系统参数错误,不能随系统启动"
extern const char kAutoStartWasOff[];      // "已经关闭开机自动启动!!"
extern const char kAutoStartStillOn[];     // the value could not be removed

// The marker sits beside the executable, so a start from the Run key
// (whose current directory is elsewhere) finds it.
std::string MarkerPathForModule(const std::string& modulePath);
// The marker's content means on only when its first byte is '1'; an empty
// file counts as '0'.
bool MarkerSaysOn(const std::string& content);
const char* MarkerText(bool on);

// One Run key: the machine-wide one or the per-user one.
enum class RunKeyResult {
  Done,      // the value was written, or removed
  Absent,    // removing: the value was not there
  NoAccess,  // the key cannot be opened for writing
  Failed,    // opened, but the write or the removal failed
};

struct AutoStartOutcome {
  bool on = false;                  // the state the command ends in
  const char* message = nullptr;    // text to show, or none
};

// Registering writes the machine-wide value, or the per-user one when the
// machine-wide key cannot be written (user: NoAccess when not tried).
AutoStartOutcome RegisterOutcome(RunKeyResult machine, RunKeyResult user);

// Unregistering removes the value from both keys. A key that cannot be
// opened for writing counts as NoAccess only while the value is still in
// it (Windows would still start the program), else as Absent.
AutoStartOutcome UnregisterOutcome(RunKeyResult machine, RunKeyResult user);

}  // namespace tallivo
