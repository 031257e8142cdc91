// Drives the real Tallivo.exe from a Windows test program: starts it on a clean profile, finds its windows, sends real
// input and reads back what it shows.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Folder of the test program; Tallivo.exe and its libraries sit beside it.
std::string BinDir();
// UTF-8 (every text of the tests) as UTF-16 (every call's) and back; as GBK (code page 936): the report's bytes there.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string Gbk(const std::string& utf8);
// The top-level windows of a process in Z order; only those of the given caption and window class when given.
std::vector<HWND> TopLevelWindowsOf(DWORD pid, const char* caption = nullptr, const char* windowClass = nullptr);
// Removes HKCU\Software\Tallivo so the next start sees an empty profile.
void ResetProfile();
void WriteProfileDword(const char* section, const char* entry, DWORD value);
// A stored figure; 0xDEADBEEF when it is no stored number.
DWORD Stored(const char* entry, const char* section = "DataSetting");
// The first number in a label such as "左键点击:   123次", 0 when none.
uint32_t NumberIn(const std::string& label);
// Seeds the day's figures as a run on the given date would have saved them.
void SeedDay(int month, int day, DWORD left, DWORD right, DWORD middle, DWORD wheel, DWORD keys, DWORD movePixels,
             DWORD runSeconds);
SYSTEMTIME Today();
// A function a loaded module exports, as type T; null when it has none of that name.
template <typename T>
T Export(const char* module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name)));
}
// The whole file, "" when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Whether s ends in tail with something before it.
inline bool EndsAfter(const std::string& s, const std::string& tail) {
  return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Polls pred every few milliseconds, pumping this thread's messages.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);
void Pump(DWORD ms);
bool BringToFront(HWND hwnd);

class App {
 public:
  App() = default;
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Starts the program and waits for its main window. What label 1000 held at the moment the window was first seen is
  // kept in FirstCursorText(). The current directory is the program's folder unless workDir is given. Unless
  // asSecondCopy, first waits for a copy from an earlier case to be fully gone: a new one would otherwise end at once
  // as the second copy.
  bool Start(const std::string& exeName = "Tallivo.exe", DWORD timeoutMs = 20000, const std::string& workDir = "",
             bool asSecondCopy = false);
  // The same for a program anywhere, named by its full path.
  bool StartPath(const std::wstring& exePath, DWORD timeoutMs = 20000, const std::string& workDir = "",
                 bool asSecondCopy = false);
  // Finds the main window of a copy run from exePath that something else started (the shell, a setup program), and
  // takes over its process.
  bool Attach(const std::string& exePath, DWORD timeoutMs = 20000);
  // Starts Tallivo.exe by a Unix command, attached to: its clock from localTime ("2026-12-07 23:59:50"; libfaketime),
  // its code page that of LC_ALL=lcAll (en_US.UTF-8 1252, zh_TW.UTF-8 950, hi_IN.UTF-8 65001), each when not empty.
  bool StartUnder(const std::string& localTime, const std::string& lcAll = "", DWORD timeoutMs = 20000);
  HWND Main() const { return m_main; }
  DWORD Pid() const { return m_pid; }
  HANDLE Process() const { return m_process; }
  bool Running() const;
  bool WaitExit(DWORD timeoutMs);
  DWORD ExitCode() const;
  void Kill();

  std::string Text(int controlId) const;
  bool WaitText(int controlId, const std::string& expected, DWORD timeoutMs = 3000) const;
  const std::string& FirstCursorText() const { return m_firstCursorText; }
  // The first top-level window of this process with the given caption (a message box), once it is shown.
  HWND FindDialog(const char* caption, DWORD timeoutMs = 5000) const;
  // Posts a menu command; the App again, for what follows it.
  const App& Command(WORD id) const {
    PostMessageA(m_main, WM_COMMAND, id, 0);
    return *this;
  }
  // Posts an event message of the hook libraries (WM_INPUT_KEY...) times over.
  void PostInput(UINT msg, int times = 1) const {
    for (int i = 0; i < times; ++i) PostMessageA(m_main, msg, 0, 0);
  }
  // Answers the box of that caption with the given button, its text in *text; false if none came or it stays.
  bool Answer(int button, std::string* text = nullptr, DWORD timeoutMs = 5000, const char* caption = "提示") const;
  // The menu's exit, answered Yes, and the end of the process.
  bool Quit();
  // Minimised to the tray; shown again by a double click on the icon.
  bool ToTray() const;
  bool FromTray() const;
  // Waits until the main window shows these figures (left, right, middle, wheel, keys) and their total of clicks; each
  // label that does not is a failure (in tools_harness.cpp, with the other gtest helpers).
  void ExpectCounters(std::array<uint32_t, 5> n, DWORD timeoutMs = 8000) const;
  // From the pointer at (500, 300) on a day without travel: 16 jumps of (300, 400), 500 pixels each, sampled one by
  // one, must show as 8000 pixels in metres for the measured screen and be stored so.
  void ExpectSixteenJumps() const;

 private:
  HANDLE m_process = nullptr;
  DWORD m_pid = 0;
  HWND m_main = nullptr;
  std::string m_firstCursorText;
};

std::string WindowText(HWND hwnd);
// A window's rectangle on the screen, and the middle of a rectangle.
RECT WindowRect(HWND hwnd);
// Every window inside a window, at any depth.
std::vector<HWND> ChildWindows(HWND top);
// The colour the screen shows at a client point of a window.
COLORREF PixelAt(HWND window, POINT client);
inline POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
// All static texts of a message box, joined.
std::string DialogStaticText(HWND dlg);
void PressButton(HWND dlg, int id);

// Memory this process and another one both see, for what the tests hand the program (message buffers, a library's
// path). Not VirtualAllocEx with Read/WriteProcessMemory: Wine's server reaches the memory of an emulated 32-bit
// program (qemu-i386) at the wrong place.
class SharedBlock {
 public:
  SharedBlock(HANDLE process, size_t size);
  ~SharedBlock();
  SharedBlock(const SharedBlock&) = delete;
  SharedBlock& operator=(const SharedBlock&) = delete;
  bool Ok() const { return m_local && m_remote; }
  char* Local() const { return m_local; }    // in this process
  char* Remote() const { return m_remote; }  // the same bytes in the other

 private:
  HANDLE m_process;
  HANDLE m_section;
  char* m_local = nullptr;
  char* m_remote = nullptr;
};

// A window of the test program of class cls (registered on first use) for proc, at rc; self in its GWLP_USERDATA.
HWND TestWindow(const char* cls, WNDPROC proc, DWORD exStyle, DWORD style, RECT rc, void* self = nullptr);

// A topmost window of the test program that takes the test's clicks and key strokes, so they reach no other program.
class InputSink {
 public:
  explicit InputSink(RECT rc = {560, 420, 1000, 740});
  ~InputSink();
  POINT Center() const;
  HWND Hwnd() const { return m_hwnd; }
  void Activate();
  // The pointer on its centre and the sink in front: the input that follows goes to it.
  bool Take();

 private:
  HWND m_hwnd = nullptr;
};

// Starts a Unix program by full path (under Wine) without waiting for it, in workDir when given; callers wait for its
// effect.
bool RunUnix(const std::string& commandLine, const wchar_t* workDir = nullptr);
// Starts a Windows command line, in workDir when given; its process handle, null when it did not.
HANDLE StartProcess(const std::string& commandLine, const std::string& workDir = "");

// Moves the real pointer (through the X server under Wine) and waits until the system reports the new position.
bool MoveCursor(int x, int y);
void SendInputs(std::vector<INPUT> inputs);
INPUT MouseInput(DWORD flags, DWORD data = 0, LONG dx = 0);  // dx: of a relative move
INPUT KeyInput(WORD vk, bool up);
void Click(DWORD downFlag, DWORD upFlag, int times);
void Wheel(int delta, int times);
void TapKey(WORD vk, int times);

// Input at a given screen point. Wine's server learns of an X pointer move only when the process owning the window
// under the pointer reads its X events; until then a plain injected click lands at the old place, so these move the X
// pointer and also say in each event where it is.
INPUT MouseAt(DWORD flags, POINT p, DWORD data = 0);
bool PointAt(POINT p);
void ClickAt(POINT p, DWORD downFlag, DWORD upFlag, int times);
void WheelAt(POINT p, int delta, int times);
// Clicks of the left, right and middle buttons, so many each; at a point (ClickAt) when given.
void Clicks(int left, int right, int middle, const POINT* at = nullptr);

// Pixels per metre as the program measures them (0.1 mm mapping mode).
float MeasurePixelsPerMetre();

// The small window program of the per-process tests (tallivo_target.exe, or a copy of it by another name), its window
// at the given place; ended with the object.
class TargetApp {
 public:
  TargetApp(int x, int y, int w, int h, const std::string& exe = "tallivo_target.exe");
  ~TargetApp();
  TargetApp(const TargetApp&) = delete;
  TargetApp& operator=(const TargetApp&) = delete;
  HWND Window() const { return m_window; }  // null when it did not come up

 private:
  HANDLE m_process = nullptr;
  HWND m_window = nullptr;
};

}  // namespace e2e
