// Process start-up: the profile store location, the single-instance guard,
// and the modal run of the main window. The process ends when it closes.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/registry_profile_store.h"
#include "main/main_dlg.h"
#include "ui/dialog.h"

namespace {

class CStatsApp {
 public:
  bool InitInstance();

 private:
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

  auto dlg = std::make_unique<CMainStatsDlg>();
  dlg->DoModal(nullptr);
  dlg.reset();
  return false;
}

CStatsApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  theApp.InitInstance();
  return 0;
}
