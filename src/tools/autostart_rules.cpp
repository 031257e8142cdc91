#include "tools/autostart_rules.h"

#include "base/module_path.h"

namespace tallivo {

const char kAutoStartFailed[] = "系统参数错误,不能随系统启动";
const char kAutoStartWasOff[] = "已经关闭开机自动启动!!";
const char kAutoStartStillOn[] = "系统参数错误,不能关闭开机自动启动";

std::string MarkerPathForModule(const std::string& modulePath) {
  return SplitPath(modulePath).folder + kAutoStartMarkerName;
}

bool MarkerSaysOn(const std::string& content) { return !content.empty() && content[0] == '1'; }

const char* MarkerText(bool on) { return on ? "1" : "0"; }

std::string RunValueData(const std::string& modulePath) { return '"' + modulePath + '"'; }

AutoStartOutcome RegisterOutcome(RunKeyResult user) {
  if (user == RunKeyResult::Done) return {true, nullptr};
  // Nothing was registered: say so, and do not show the item as on.
  return {false, kAutoStartFailed};
}

AutoStartOutcome UnregisterOutcome(RunKeyResult machine, RunKeyResult user) {
  auto stuck = [](RunKeyResult r) { return r == RunKeyResult::Failed || r == RunKeyResult::NoAccess; };
  // A value left behind still starts the program: never report it as off.
  if (stuck(machine) || stuck(user)) return {true, kAutoStartStillOn};
  if (machine != RunKeyResult::Done && user != RunKeyResult::Done) return {false, kAutoStartWasOff};
  return {false, nullptr};
}

}  // namespace tallivo
