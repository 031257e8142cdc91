#include "process_harness.h"

#include <commctrl.h>

#include <utility>

#include "process/process_text.h"
#include "res/resource.h"
#include "tools_harness.h"

namespace e2e {

HWND ProcessPanelWindow() { return FindWindowW(L"#32770", L"指定进程统计"); }
HWND ProcessPickerWindow() { return FindWindowW(L"#32770", L"获取进程数据"); }

static std::string PanelText(int id) { return WindowText(GetDlgItem(ProcessPanelWindow(), id)); }
static HWND PickerList() { return GetDlgItem(ProcessPickerWindow(), IDC_PROCESS_LIST); }

// The middle of the row's label on the screen, scrolled into view.
static POINT RowPoint(const App& app, int row) {
  SendMessageA(PickerList(), LVM_ENSUREVISIBLE, row, FALSE);
  SharedBlock block(app.Process(), sizeof(RECT));
  if (!block.Ok()) return {};
  RECT& r = *reinterpret_cast<RECT*>(block.Local());
  r = {LVIR_LABEL};
  SendMessageA(PickerList(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(block.Remote()));
  POINT p = CentreOf(r);
  ClientToScreen(PickerList(), &p);
  return p;
}

bool PanelShows(std::array<uint32_t, 5> n) {
  const std::pair<int, std::string> want[] = {{IDC_PROC_LEFT, tallivo::PanelLeftLabel(n[0])},
                                              {IDC_PROC_RIGHT, tallivo::PanelRightLabel(n[1])},
                                              {IDC_PROC_MIDDLE, tallivo::PanelMiddleLabel(n[2])},
                                              {IDC_PROC_WHEEL, tallivo::PanelWheelLabel(n[3])},
                                              {IDC_PROC_KEYS, tallivo::PanelKeysLabel(n[4])},
                                              {IDC_PROC_MOUSE, tallivo::PanelMouseLabel(n[0] + n[1] + n[2] + n[3])}};
  const bool ok = WaitUntil(
      [&] {
        for (const auto& [id, text] : want)
          if (PanelText(id) != text) return false;
        return true;
      },
      8000);
  for (const auto& w : want) EXPECT_TRUE(ok) << PanelText(w.first) << ", want " << w.second;
  return ok;
}

bool ChooseProcess(const App& app, const char* exe) {
  HWND picker = ProcessPickerWindow();
  if (!IsWindowVisible(ProcessPanelWindow())) app.Command(ID_PROCESS_STATS);
  if (!WaitUntil([] { return IsWindowVisible(ProcessPanelWindow()) != FALSE; }) ||
      !PostMessageA(ProcessPanelWindow(), WM_COMMAND, ID_PROCESS_STATS, 0) ||
      !WaitUntil([&] { return IsWindowVisible(picker) != FALSE; }))
    return false;
  // The list is rebuilt when opened and every ten seconds while open, which drops the selection: try again should a
  // rebuild fall between the two clicks.
  for (int attempt = 0; attempt < 3 && IsWindowVisible(picker); ++attempt) {
    const int row = PickerRow(app, exe);
    if (row < 0) return false;
    ClickAt(RowPoint(app, row), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    WaitUntil([&] { return !IsWindowVisible(picker); });
  }
  return !IsWindowVisible(picker);
}

int PickerRow(const App& app, const char* exe) {
  for (int row = 0; row < ListRows(PickerList()); ++row)
    if (_stricmp(ListCell(app.Process(), PickerList(), row, 1).c_str(), exe) == 0) return row;
  return -1;
}

std::string PickerNames(const App& app) {
  std::string all;
  for (int row = 0; row < ListRows(PickerList()); ++row) all += ListCell(app.Process(), PickerList(), row, 1) + "\n";
  return all;
}

}  // namespace e2e
