// Process start-up: the profile store location, the single-instance guard,
// and the modal run of the main window. The process ends when it closes.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/library_search.h"
#include "app/registry_profile_store.h"
#include "main/main_dlg.h"
#include "stats/hook_library.h"
#include "ui/dialog.h"

namespace {

class CStatsApp {
 public:
  bool InitInstance();
  bool Failed() const { return m_failed; }

 private:
  bool m_failed = false;
  HANDLE m_hMutex = nullptr;
};

bool CStatsApp::InitInstance() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                              ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);

  static RegistryProfileStore store("Tallivo", ui::AppName());
  SetProfile(&store);

  // The mutex is only an existence marker for this logon session; the handle
  // stays open until the process ends.
  m_hMutex = CreateMutexA(nullptr, TRUE, "GPRS");
  if (m_hMutex && GetLastError() == ERROR_ALREADY_EXISTS) return false;
  if (m_hMutex) {
    WaitForSingleObject(m_hMutex, INFINITE);
    ReleaseMutex(m_hMutex);
  }

  // Without its hook libraries the program cannot count anything: say so
  // plainly instead of failing to start with a loader error.
  std::string failed;
  if (!hooklib::Load(&failed)) {
    const std::string text = "无法加载 " + failed +
                             "：文件缺失或不是本程序的版本，无法统计键盘和鼠标。\n请重新安装 Tallivo，"
                             "并让它与 Tallivo.exe 放在同一个文件夹中。";
    ui::AppMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  app::RestrictLibrarySearch();
  theApp.InitInstance();
  return theApp.Failed() ? 1 : 0;
}
