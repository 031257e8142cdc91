#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <tuple>

#include "base/messages.h"
#include "res/resource.h"

namespace e2e {

namespace {
constexpr char kMainCaption[] = "泰利沃v4.04版";

HWND First(const std::vector<HWND>& windows) { return windows.empty() ? nullptr : windows[0]; }

std::string ProfileKey(const char* section) { return std::string("Software\\Tallivo\\Tallivo\\") + section; }

void WaitForEarlierCopyToEnd() {
  const auto gone = [] {
    HANDLE running = OpenMutexA(SYNCHRONIZE, FALSE, "GPRS");
    if (running) CloseHandle(running);
    return !running;
  };
  WaitUntil(gone, 10000);
}

using MapViewFn = LONG(NTAPI*)(HANDLE, HANDLE, void**, ULONG_PTR, SIZE_T, LARGE_INTEGER*, SIZE_T*, int, ULONG, ULONG);
using UnmapViewFn = LONG(NTAPI*)(HANDLE, void*);

LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return msg == WM_CONTEXTMENU ? 0 : DefWindowProcA(hwnd, msg, wp, lp);
}

std::string Narrow(const std::wstring& w, UINT codePage) {
  std::string s(w.size() * 3, '\0');  // at most 3 bytes a UTF-16 unit in UTF-8, 2 in GBK
  s.resize(WideCharToMultiByte(codePage, 0, w.data(), int(w.size()), s.data(), int(s.size()), nullptr, nullptr));
  return s;
}

// Each of down and up, times over.
std::vector<INPUT> Presses(INPUT down, INPUT up, int times) {
  std::vector<INPUT> v;
  for (int i = 0; i < times; ++i) v.insert(v.end(), {down, up});
  return v;
}
}  // namespace

std::string BinDir() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return Utf8(path.substr(0, path.rfind(L'\\')));
}

void ResetProfile() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tallivo"); }

void WriteProfileDword(const char* section, const char* entry, DWORD value) {
  RegSetKeyValueA(HKEY_CURRENT_USER, ProfileKey(section).c_str(), entry, REG_DWORD, &value, sizeof value);
}

DWORD Stored(const char* entry, const char* section) {
  DWORD v = 0, type = 0, size = sizeof v;
  const LONG read = RegGetValueA(HKEY_CURRENT_USER, ProfileKey(section).c_str(), entry, RRF_RT_ANY, &type, &v, &size);
  return read == ERROR_SUCCESS && type == REG_DWORD ? v : 0xDEADBEEF;
}

uint32_t NumberIn(const std::string& label) {
  const size_t i = label.find_first_of("0123456789");
  return i == std::string::npos ? 0 : static_cast<uint32_t>(std::strtoul(label.c_str() + i, nullptr, 10));
}

void SeedDay(int month, int day, DWORD left, DWORD right, DWORD middle, DWORD wheel, DWORD keys, DWORD movePixels,
             DWORD runSeconds) {
  WriteProfileDword("DateCur", "Month", month);
  WriteProfileDword("DateCur", "Day", day);
  const std::pair<const char*, DWORD> figures[] = {
      {"MouseLeft", left}, {"MouseRight", right},     {"MouseMiddle", middle},  {"MouseRoll", wheel},
      {"KeyBoard", keys},  {"MouseMove", movePixels}, {"TimeCount", runSeconds}};
  for (const auto& [entry, value] : figures) WriteProfileDword("DataSetting", entry, value);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream file(Wide(path).c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

SYSTEMTIME Today() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return t;
}

void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (ms) Sleep(2);
  } while (GetTickCount() - start < ms);
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (GetTickCount() - start > timeoutMs) return pred();
    Pump(0);
    Sleep(5);
  }
}

bool BringToFront(HWND hwnd) {
  // Again until it stays there: a window of another program still on its way to the front may take it back.
  return WaitUntil([&] {
    SetForegroundWindow(hwnd);
    Pump(100);
    return GetForegroundWindow() == hwnd;
  });
}

std::string WindowText(HWND hwnd) {
  wchar_t buf[1024] = {};
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &len))
    return "<no answer>";
  return Utf8(buf);  // ends in a zero, cut short where need be
}

RECT WindowRect(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return r;
}

namespace {
BOOL CALLBACK AddWindow(HWND w, LPARAM to) {
  reinterpret_cast<std::vector<HWND>*>(to)->push_back(w);
  return TRUE;
}
}  // namespace

std::vector<HWND> ChildWindows(HWND top) {
  std::vector<HWND> windows;
  EnumChildWindows(top, AddWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

COLORREF PixelAt(HWND window, POINT client) {
  ClientToScreen(window, &client);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, client.x, client.y);
  ReleaseDC(nullptr, screen);
  return c;
}

std::string DialogStaticText(HWND dlg) {
  std::string all;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[64] = {};
    GetClassNameA(c, cls, sizeof cls);
    const std::string t = _stricmp(cls, "Static") == 0 ? WindowText(c) : "";
    if (!t.empty()) all += (all.empty() ? "" : "\n") + t;
  }
  return all;
}

void PressButton(HWND dlg, int id) {
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

App::~App() { Kill(); }

std::string Utf8(const std::wstring& wide) { return Narrow(wide, CP_UTF8); }

std::string Gbk(const std::string& utf8) { return Narrow(Wide(utf8), 936); }

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');  // never more UTF-16 units than UTF-8 bytes
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size())));
  return wide;
}

bool App::Start(const std::string& exeName, DWORD timeoutMs, const std::string& workDir, bool asSecondCopy) {
  return StartPath(Wide(BinDir() + "\\" + exeName), timeoutMs, workDir, asSecondCopy);
}

bool App::StartPath(const std::wstring& exePath, DWORD timeoutMs, const std::string& workDir, bool asSecondCopy) {
  if (!asSecondCopy) WaitForEarlierCopyToEnd();
  if (!(m_process = StartProcess("\"" + Utf8(exePath) + "\"", workDir.empty() ? BinDir() : workDir))) return false;
  m_pid = GetProcessId(m_process);
  const auto seen = [&] { return (m_main = First(TopLevelWindowsOf(m_pid, kMainCaption))) != nullptr || !Running(); };
  if (!timeoutMs || !WaitUntil(seen, timeoutMs) || !m_main) return false;
  m_firstCursorText = Text(IDC_CURSOR_POS);
  return true;
}

bool App::Attach(const std::string& exePath, DWORD timeoutMs) {
  const auto found = [&] {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", Wide(kMainCaption).c_str())) != nullptr;) {
      GetWindowThreadProcessId(w, &m_pid);
      HANDLE h = OpenProcess(PROCESS_ALL_ACCESS, FALSE, m_pid);
      wchar_t image[MAX_PATH * 2] = {};
      DWORD size = std::size(image);
      if (h && QueryFullProcessImageNameW(h, 0, image, &size) && _wcsicmp(image, Wide(exePath).c_str()) == 0) {
        m_process = h;
        m_main = w;
        return true;
      }
      if (h) CloseHandle(h);
    }
    return false;
  };
  return WaitUntil(found, timeoutMs);
}

bool App::StartUnder(const std::string& localTime, const std::string& lcAll, DWORD timeoutMs) {
  WaitForEarlierCopyToEnd();
  // The loader of this build's kind, as the scripts chose it.
  char loader[MAX_PATH] = {};
  if (!GetEnvironmentVariableA(sizeof(void*) == 8 ? "WINE64" : "WINE32", loader, sizeof loader))
    strcpy(loader, sizeof(void*) == 8 ? "/usr/lib/wine/wine64" : "/usr/lib/wine/wine");
  // Only the wall clock moves: Wine's server keeps the real monotonic one, which the program's own must agree with.
  const std::string exe = BinDir() + "\\Tallivo.exe";
  const std::string clock = "FAKETIME_DONT_FAKE_MONOTONIC=1 /usr/bin/faketime -f \"@" + localTime + "\" ";
  const std::string cmd = "/usr/bin/env " + (lcAll.empty() ? "" : "LC_ALL=" + lcAll + " ") +
                          (localTime.empty() ? "" : clock) + "\"" + loader + "\" \"" + exe + "\"";
  return RunUnix(cmd, Wide(BinDir()).c_str()) && Attach(exe, timeoutMs);
}

bool App::Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

bool App::WaitExit(DWORD timeoutMs) {
  // Keep pumping: the program may be sending to a window of this thread (the test shell) on its way out.
  return m_process && WaitUntil([&] { return WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

DWORD App::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (m_process) GetExitCodeProcess(m_process, &code);
  return code;
}

void App::Kill() {
  if (!m_process) return;
  TerminateProcess(m_process, 99);  // fails harmlessly when it has ended
  WaitForSingleObject(m_process, 5000);
  CloseHandle(m_process);
  m_process = nullptr;
  m_main = nullptr;
}

std::string App::Text(int controlId) const {
  HWND c = GetDlgItem(m_main, controlId);
  return c ? WindowText(c) : "<no control>";
}

bool App::WaitText(int controlId, const std::string& expected, DWORD timeoutMs) const {
  return WaitUntil([&] { return Text(controlId) == expected; }, timeoutMs);
}

HWND App::FindDialog(const char* caption, DWORD timeoutMs) const {
  HWND found = nullptr;
  const auto shown = [&] { return IsWindowVisible(found = First(TopLevelWindowsOf(m_pid, caption))) != FALSE; };
  return WaitUntil(shown, timeoutMs) ? found : nullptr;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid, const char* caption, const char* windowClass) {
  std::vector<HWND> all;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != pid) continue;  // other processes' windows: not even their class asked
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if ((!windowClass || _stricmp(cls, windowClass) == 0) && (!caption || WindowText(w) == caption)) all.push_back(w);
  }
  return all;
}

bool App::Answer(int button, std::string* text, DWORD timeoutMs, const char* caption) const {
  HWND box = FindDialog(caption, timeoutMs);
  if (!box) return false;
  if (text) *text = DialogStaticText(box);
  PressButton(box, button);
  return WaitUntil([&] { return !IsWindow(box); });
}

bool App::Quit() { return Command(ID_EXIT).Answer(IDYES) && WaitExit(10000); }

bool App::ToTray() const {
  PostMessageA(m_main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  return WaitUntil([&] { return !IsWindowVisible(m_main); });
}

bool App::FromTray() const {
  PostMessageA(m_main, tallivo::WM_TRAY_NOTIFY, 128, WM_LBUTTONDBLCLK);
  return WaitUntil([&] { return IsWindowVisible(m_main) && !IsIconic(m_main); });
}

SharedBlock::SharedBlock(HANDLE process, size_t size)
    : m_process(nullptr),
      m_section(
          CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size), nullptr)) {
  // A handle of its own, for the unmapping when the caller's is gone (none when that fails).
  if (process)
    DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &m_process, 0, FALSE, DUPLICATE_SAME_ACCESS);
  if (!m_section || !m_process) return;
  m_local = static_cast<char*>(MapViewOfFile(m_section, FILE_MAP_ALL_ACCESS, 0, 0, size));
  void* remote = nullptr;
  SIZE_T viewSize = 0;
  const auto map = Export<MapViewFn>("ntdll.dll", "NtMapViewOfSection");
  if (map && map(m_section, m_process, &remote, 0, 0, nullptr, &viewSize, 1 /* ViewShare */, 0, PAGE_READWRITE) >= 0)
    m_remote = static_cast<char*>(remote);
}

SharedBlock::~SharedBlock() {
  if (m_remote) Export<UnmapViewFn>("ntdll.dll", "NtUnmapViewOfSection")(m_process, m_remote);
  if (m_local) UnmapViewOfFile(m_local);
  if (m_section) CloseHandle(m_section);
  if (m_process) CloseHandle(m_process);
}

HWND TestWindow(const char* cls, WNDPROC proc, DWORD exStyle, DWORD style, RECT rc, void* self) {
  WNDCLASSA wc = {0, proc, 0, 0, GetModuleHandleA(nullptr), nullptr, LoadCursor(nullptr, IDC_ARROW)};
  wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = cls;
  RegisterClassA(&wc);  // fails harmlessly when done before
  const HWND w = CreateWindowExA(exStyle, cls, "", style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                                 nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  return w;
}

InputSink::InputSink(RECT rc) {
  m_hwnd = TestWindow("TallivoTestSink", SinkProc, WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rc);
  Pump(100);
}

InputSink::~InputSink() {
  if (m_hwnd) DestroyWindow(m_hwnd);
  Pump(20);
}

POINT InputSink::Center() const { return CentreOf(WindowRect(m_hwnd)); }

void InputSink::Activate() {
  BringToFront(m_hwnd);
  SetFocus(m_hwnd);
  Pump(50);
}

bool InputSink::Take() {
  const POINT c = Center();
  const bool moved = MoveCursor(c.x, c.y);
  Activate();
  return moved;
}

bool RunUnix(const std::string& commandLine, const wchar_t* workDir) {
  std::wstring line = Wide(commandLine);
  STARTUPINFOW si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  // Wine starts a Unix program without giving back process or thread handles: what it leaves in `pi` is not ours, and
  // closing it would close some other handle of this program (its standard output, for one).
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir, &si, &pi) != FALSE;
}

HANDLE StartProcess(const std::string& commandLine, const std::string& workDir) {
  std::wstring line = Wide(commandLine), cwd = Wide(workDir);
  STARTUPINFOW si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workDir.empty() ? nullptr : cwd.c_str(), &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

bool MoveCursor(int x, int y) {
  POINT p = {};
  const auto arrived = [&] { return GetCursorPos(&p) && p.x == x && p.y == y; };
  char cmd[128];
  snprintf(cmd, sizeof cmd, "/usr/bin/xdotool mousemove %d %d", x, y);
  // A Wine desktop that comes up just after the move puts the pointer back in the middle of the screen: make sure it is
  // up first (Wine ends it when the last test process goes), and move again if that still happens.
  GetDesktopWindow();
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (!RunUnix(cmd)) SetCursorPos(x, y);
    if (WaitUntil(arrived, 2500)) return true;
  }
  fprintf(stderr, "MoveCursor(%d, %d): the pointer stays at %ld,%ld\n", x, y, p.x, p.y);
  return false;
}

void SendInputs(std::vector<INPUT> inputs) {
  // A call may take only part of a burst: the rest goes in the next one, until one takes none.
  for (UINT done = 0, n = 1; done < inputs.size() && n; done += n)
    n = SendInput(static_cast<UINT>(inputs.size() - done), inputs.data() + done, sizeof(INPUT));
}

INPUT MouseInput(DWORD flags, DWORD data, LONG dx) { return {.type = INPUT_MOUSE, .mi = {dx, 0, data, flags, 0, 0}}; }

INPUT KeyInput(WORD vk, bool up) {
  const WORD scan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  return {.type = INPUT_KEYBOARD, .ki = {vk, scan, up ? KEYEVENTF_KEYUP : 0u, 0, 0}};
}

void Click(DWORD downFlag, DWORD upFlag, int times) {
  SendInputs(Presses(MouseInput(downFlag), MouseInput(upFlag), times));
}

void Wheel(int delta, int times) {
  SendInputs(std::vector<INPUT>(times, MouseInput(MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta))));
}

void TapKey(WORD vk, int times) { SendInputs(Presses(KeyInput(vk, false), KeyInput(vk, true), times)); }

INPUT MouseAt(DWORD flags, POINT p, DWORD data) {
  const int w = GetSystemMetrics(SM_CXSCREEN);
  const int h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = MouseInput(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, data);
  // Rounded up, so that the system's scaling back gives the same pixel.
  in.mi.dx = static_cast<LONG>((static_cast<long long>(p.x) * 65536 + w - 1) / w);
  in.mi.dy = static_cast<LONG>((static_cast<long long>(p.y) * 65536 + h - 1) / h);
  return in;
}

bool PointAt(POINT p) {
  const bool ok = MoveCursor(p.x, p.y);
  SendInputs({MouseAt(0, p)});
  Pump(30);
  return ok;
}

void ClickAt(POINT p, DWORD downFlag, DWORD upFlag, int times) {
  PointAt(p);
  SendInputs(Presses(MouseAt(downFlag, p), MouseAt(upFlag, p), times));
}

void WheelAt(POINT p, int delta, int times) {
  PointAt(p);
  SendInputs(std::vector<INPUT>(times, MouseAt(MOUSEEVENTF_WHEEL, p, static_cast<DWORD>(delta))));
}

void Clicks(int left, int right, int middle, const POINT* at) {
  const std::tuple<DWORD, DWORD, int> buttons[] = {{MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, left},
                                                   {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, right},
                                                   {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, middle}};
  for (const auto& [down, up, times] : buttons) at ? ClickAt(*at, down, up, times) : Click(down, up, times);
}

float MeasurePixelsPerMetre() {
  HDC dc = GetDC(nullptr);
  SetMapMode(dc, MM_LOMETRIC);
  POINT pts[2] = {{0, 0}, {10000, 10000}};
  LPtoDP(dc, pts, 2);
  ReleaseDC(nullptr, dc);
  const int v = std::abs(pts[0].x - pts[1].x);
  return v ? static_cast<float>(v) : 3780.0f;
}

TargetApp::TargetApp(int x, int y, int w, int h, const std::string& exe) {
  const std::string path = BinDir() + "\\" + exe;
  CopyFileW(Wide(BinDir() + "\\tallivo_target.exe").c_str(), Wide(path).c_str(), FALSE);  // fails harmlessly on itself
  m_process = StartProcess("\"" + path + "\" " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) +
                           " " + std::to_string(h));
  if (m_process) WaitUntil([&] { return (m_window = FindWindowA("TallivoTestTarget", nullptr)) != nullptr; }, 30000);
}

TargetApp::~TargetApp() {
  if (!m_process) return;
  TerminateProcess(m_process, 0);
  WaitForSingleObject(m_process, 5000);
  CloseHandle(m_process);
}

}  // namespace e2e
