// Process start-up: the profile store location, the single-instance guard,
// and the modal run of the main window. The process ends when it closes.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/library_search.h"
#include "app/registry_profile_store.h"
#include "base/module_path.h"
#include "main/main_dlg.h"
#include "stats/hook_library.h"
#include "ui/dialog.h"

namespace {

constexpr char kPathTooLong[] =
    "Tallivo 所在的路径太长（超过 259 个字符），程序找不到自己的组件，无法启动。\n"
    "请把 Tallivo 放到路径较短的文件夹中再启动。";

// The program finds its libraries and files through its own path, which
// the calls take up to MAX_PATH characters long. A longer one must be named
// as such: otherwise it only shows up as a missing file.
bool ProgramPathTooLong() {
  std::vector<wchar_t> path(32768);
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return n >= MAX_PATH;
}

class CStatsApp {
 public:
  bool InitInstance();
  bool Failed() const { return m_failed; }

 private:
  bool m_failed = false;
  HANDLE m_hMutex = nullptr;
};

bool CStatsApp::InitInstance() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_DATE_CLASSES};
  InitCommonControlsEx(&icc);

  static RegistryProfileStore store("Tallivo", tallivo::AppName());
  tallivo::SetProfile(&store);

  // The mutex is only an existence marker for this logon session; the handle
  // stays open until the process ends.
  m_hMutex = CreateMutexW(nullptr, TRUE, L"GPRS");
  if (m_hMutex && GetLastError() == ERROR_ALREADY_EXISTS) return false;
  if (m_hMutex) {
    WaitForSingleObject(m_hMutex, INFINITE);
    ReleaseMutex(m_hMutex);
  }

  if (ProgramPathTooLong()) {
    ui::AppMessageBox(kPathTooLong, MB_OK | MB_ICONERROR);
    m_failed = true;
    return false;
  }

  // Without its hook libraries the program cannot count anything: say so
  // plainly instead of failing to start with a loader error.
  std::string failed;
  if (!hooklib::Load(&failed)) {
    const std::string text = "无法加载 " + failed +
                             "：文件缺失或不是本程序的版本，无法统计键盘和鼠标。\n请重新安装 Tallivo，"
                             "并让它与 Tallivo.exe 放在同一个文件夹中。";
    ui::AppMessageBox(text, MB_OK | MB_ICONERROR);
    m_failed = true;
    return false;
  }

  auto dlg = std::make_unique<CMainStatsDlg>();
  dlg->DoModal(nullptr);
  dlg.reset();
  return false;
}

CStatsApp theApp;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  app::RestrictLibrarySearch();
  theApp.InitInstance();
  return theApp.Failed() ? 1 : 0;
}
