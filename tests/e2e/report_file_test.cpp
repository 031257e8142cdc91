// The saved report, byte for byte, and its error paths, on the real program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

// Seeded figures: 12 left, 34 right, 5 middle, 6 wheel, 789 keys, 1 h 2 min
// 3 s of run time, and pointer travel the test moves 5 more pixels.
constexpr DWORD kSeedPixels = 9445;


bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A report written to its end: it begins with the time line and ends with
// the last figure line.
bool Complete(const std::string& bytes) {
  const std::string last = "键盘一共敲击:789次";
  return bytes.rfind("键鼠统计时间:", 0) == 0 && bytes.size() > last.size() &&
         bytes.compare(bytes.size() - last.size(), last.size(), last) == 0;
}

ULONGLONG Seconds(const SYSTEMTIME& t) {
  FILETIME ft;
  SystemTimeToFileTime(&t, &ft);
  return ((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000000ull;
}

// The file-name field of the save dialog (a combo box or an edit,
// depending on the dialog's version).
HWND FileNameField(HWND dlg) {
  if (HWND combo = GetDlgItem(dlg, 0x47C)) return combo;  // cmb13
  return GetDlgItem(dlg, 0x480);                          // edt1
}

class Report : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetProfile();
    const SYSTEMTIME t = Today();
    SeedDay(t.wMonth, t.wDay, 12, 34, 5, 6, 789, kSeedPixels, 3723);
    ASSERT_TRUE(MoveCursor(300, 300));
    s_app = new App;
    ASSERT_TRUE(s_app->Start());
    // The metre figure follows the first move: (3, 4) is 5 pixels.
    ASSERT_TRUE(MoveCursor(303, 304));
    ASSERT_TRUE(WaitUntil([] {
      DWORD v = 0;
      return ReadProfileDword("DataSetting", "MouseMove", &v) && v == kSeedPixels + 5;
    }));
    s_dir = BinDir() + "\\reports";
    CreateDirectoryA(s_dir.c_str(), nullptr);
  }
  static void TearDownTestSuite() {
    delete s_app;
    s_app = nullptr;
    for (const char* name : {"day.txt", "old.txt", "cancelled.txt"}) DeleteFileA((s_dir + "\\" + name).c_str());
    RemoveDirectoryA(s_dir.c_str());
  }
  void SetUp() override { ASSERT_TRUE(s_app && s_app->Running()); }

  HWND OpenSaveDialog() const {
    s_app->Command(ID_SAVE_REPORT);
    return FindOwnedDialog(s_app->Pid(), s_app->Main());
  }
  void Choose(HWND dlg, const std::string& path) const {
    SetWindowTextA(FileNameField(dlg), path.c_str());
    PressButton(dlg, IDOK);
  }
  // The save dialog's own question before replacing a file.
  bool ConfirmOverwrite(HWND dlg) const {
    HWND question = FindOwnedDialog(s_app->Pid(), dlg);
    if (!question) return false;
    PressButton(question, IDYES);
    return WaitUntil([&] { return !IsWindow(question); });
  }
  static App* s_app;
  static std::string s_dir;
};
App* Report::s_app = nullptr;
std::string Report::s_dir;

TEST_F(Report, SavedFileHoldsTheDaysFiguresInTheFixedLayout) {
  const std::string path = s_dir + "\\day.txt";
  DeleteFileA(path.c_str());
  const SYSTEMTIME before = Today();
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  EXPECT_EQ(WindowText(FileNameField(dlg)), "键鼠统计信息");
  Screenshot("report_save_dialog");
  Choose(dlg, path);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) && Complete(ReadFileBytes(path)); }));
  const SYSTEMTIME after = Today();
  const std::string bytes = ReadFileBytes(path);

  // Line 1: the time the command was chosen.
  const size_t end1 = bytes.find("\r\n");
  ASSERT_NE(end1, std::string::npos) << bytes;
  const std::string timeLine = bytes.substr(0, end1);
  SYSTEMTIME t = {};
  int y, mo, d, h, mi, s;
  ASSERT_EQ(std::sscanf(timeLine.c_str(), "键鼠统计时间:%d年%d月%d日%d时%d分%d秒", &y, &mo, &d, &h, &mi, &s), 6)
      << timeLine;
  char canonical[128];
  std::snprintf(canonical, sizeof canonical, "键鼠统计时间:%04d年%02d月%02d日%02d时%02d分%02d秒", y, mo, d, h, mi, s);
  EXPECT_EQ(timeLine, canonical);
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(mi);
  t.wSecond = static_cast<WORD>(s);
  EXPECT_GE(Seconds(t), Seconds(before));
  EXPECT_LE(Seconds(t), Seconds(after));

  // Line 2: the run time of the last second, going on from 1 h 2 min 3 s.
  const size_t end2 = bytes.find("\r\n", end1 + 2);
  ASSERT_NE(end2, std::string::npos);
  const std::string runLine = bytes.substr(end1 + 2, end2 - end1 - 2);
  int rh = -1, rm = -1, rs = -1;
  ASSERT_EQ(std::sscanf(runLine.c_str(), "软件已运行:%d时%d分%d秒", &rh, &rm, &rs), 3) << runLine;
  EXPECT_EQ(rh, 1);
  EXPECT_EQ(rm, 2);
  EXPECT_GT(rs, 3);

  char metres[64];
  std::snprintf(metres, sizeof metres, "%.2f",
                static_cast<double>(static_cast<float>((kSeedPixels + 5.0) / MeasurePixelsPerMetre())));
  const std::string rest = std::string("\r\n") +
                           "\r\n"
                           "当前统计信息如下:\r\n"
                           "\r\n"
                           "鼠标左键点击:12次\r\n\r\n"
                           "鼠标右键点击:34次\r\n\r\n"
                           "鼠标中键点击:5次\r\n\r\n"
                           "鼠标中键滚动:6次\r\n\r\n"
                           "鼠标移动:" + metres + "米\r\n\r\n"
                           "鼠标一共敲击:57次\r\n\r\n"
                           "键盘一共敲击:789次";
  EXPECT_EQ(bytes.substr(end2), rest);
  // GBK, no byte-order mark: "键" is BC FC.
  EXPECT_EQ(bytes.compare(0, 2, "\xBC\xFC"), 0);
}

TEST_F(Report, DefaultExtensionAndReplacingAnExistingFileAsksFirst) {
  const std::string path = s_dir + "\\old.txt";
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    const std::string old(5000, 'x');
    std::fwrite(old.data(), 1, old.size(), f);
    std::fclose(f);
  }
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  Choose(dlg, s_dir + "\\old");  // the dialog adds ".txt"
  ASSERT_TRUE(ConfirmOverwrite(dlg)) << "no question before replacing the file";
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) && Complete(ReadFileBytes(path)); }));
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(bytes.rfind("键鼠统计时间:", 0), 0u);
  EXPECT_EQ(bytes.find('x'), std::string::npos) << "old content left behind";
}

TEST_F(Report, SomeoneReadingTheTargetDoesNotStopTheSave) {
  const std::string path = s_dir + "\\open.txt";
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fputs("old", f);
    std::fclose(f);
  }
  HANDLE reader =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  Choose(dlg, path);
  ASSERT_TRUE(ConfirmOverwrite(dlg));
  EXPECT_TRUE(WaitUntil([&] { return Complete(ReadFileBytes(path)); })) << ReadFileBytes(path);
  EXPECT_EQ(s_app->FindDialog("Tallivo", 300), nullptr);
  CloseHandle(reader);
  DeleteFileA(path.c_str());
}

TEST_F(Report, CancelWritesNothing) {
  const std::string path = s_dir + "\\cancelled.txt";
  DeleteFileA(path.c_str());
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  SetWindowTextA(FileNameField(dlg), path.c_str());
  PressButton(dlg, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  Pump(500);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(s_app->FindDialog("Tallivo", 300), nullptr);
}

TEST_F(Report, ReadOnlyTargetShowsAccessDeniedWithTheFullPath) {
  const std::string path = s_dir + "\\readonly.txt";
  ReadOnlyFile file(path, "keep");
  ASSERT_TRUE(file.Unwritable()) << "could not make a file that cannot be written here";
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  Choose(dlg, path);
  ASSERT_TRUE(ConfirmOverwrite(dlg));
  const std::string expected = "对 " + path + " 的存取被拒绝。";
  HWND box = s_app->FindDialog("Tallivo");
  ASSERT_TRUE(box);
  Screenshot("report_access_denied");
  EXPECT_EQ(AnswerAppBox(*s_app), expected);
  EXPECT_EQ(ReadFileBytes(path), "keep");
  // The window goes on with its figures.
  EXPECT_TRUE(s_app->Running());
  EXPECT_EQ(s_app->Text(IDC_LEFT_CLICKS), "左键点击:   12次");
}


// Targets that fail or strain the save: each gives a clear message or a
// complete file, never a crash, and the figures stay.
TEST_F(Report, ChineseFileNameIsWrittenInFull) {
  const std::string path = s_dir + "\\今天的键鼠统计.txt";
  DeleteFileA(path.c_str());
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  Choose(dlg, path);
  ASSERT_TRUE(WaitUntil([&] { return Complete(ReadFileBytes(path)); }, 10000)) << ReadFileBytes(path);
  DeleteFileA(path.c_str());
}

TEST_F(Report, PathOf259CharactersIsWrittenInFull) {
  std::string path = s_dir + "\\";
  const size_t room = 259 - path.size() - 4;
  ASSERT_GT(room, 8u);
  path += std::string(room, 'r') + ".txt";
  ASSERT_EQ(path.size(), 259u);
  DeleteFileA(path.c_str());
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  Choose(dlg, path);
  ASSERT_TRUE(WaitUntil([&] { return Complete(ReadFileBytes(path)); }, 10000)) << path;
  DeleteFileA(path.c_str());
}

TEST_F(Report, FullTargetSaysTheDiskIsFull) {
  // A name that leads to /dev/full: it opens, and every write fails for
  // want of space, as on a full disk.
  const std::string path = s_dir + "\\full.txt";
  ASSERT_TRUE(RunUnix("/bin/ln -sf /dev/full \"" + UnixPath(path) + "\""));
  ASSERT_TRUE(WaitUntil([&] {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  })) << "could not make a full target here";
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  Choose(dlg, path);
  // The save dialog may ask first whether to replace what is there.
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    if (HWND question = FindOwnedDialog(s_app->Pid(), dlg, 0)) {
      PressButton(question, IDYES);
      WaitUntil([&] { return !IsWindow(question); });
    }
    box = s_app->FindDialog("Tallivo", 0);
    return box != nullptr;
  }, 10000));
  EXPECT_EQ(AnswerAppBox(*s_app), "在存取 " + path + " 时磁盘已满。");
  // Windows calls cannot remove a link to a device.
  RunUnix("/bin/rm -f \"" + UnixPath(path) + "\"");
  WaitUntil([&] {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return true;
    CloseHandle(h);
    return false;
  });
  EXPECT_TRUE(s_app->Running());
  EXPECT_EQ(s_app->Text(IDC_LEFT_CLICKS), "左键点击:   12次");
}

TEST_F(Report, VanishedFolderGivesAMessageAndNoCrash) {
  const std::string folder = s_dir + "\\gone";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\day.txt";
  HWND dlg = OpenSaveDialog();
  ASSERT_TRUE(dlg);
  // The folder goes away after it was chosen.
  SetWindowTextA(FileNameField(dlg), path.c_str());
  ASSERT_TRUE(RemoveDirectoryA(folder.c_str()));
  PressButton(dlg, IDOK);
  // Either the save dialog itself or the program says the path is wrong.
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    box = FindOwnedDialog(s_app->Pid(), nullptr, 0, dlg);
    return box != nullptr;
  }, 10000));
  const std::string text = DialogStaticText(box);
  EXPECT_FALSE(text.empty());
  PressButton(box, IDOK);
  WaitUntil([&] { return !IsWindow(box); });
  if (IsWindow(dlg)) PressButton(dlg, IDCANCEL);
  WaitUntil([&] { return !IsWindow(dlg); });
  EXPECT_FALSE(Exists(path));
  EXPECT_TRUE(s_app->Running());
  EXPECT_EQ(s_app->Text(IDC_LEFT_CLICKS), "左键点击:   12次");
}

}  // namespace
