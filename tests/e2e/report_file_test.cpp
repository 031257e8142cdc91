// The saved report, byte for byte, and the targets that strain or fail the save, on the real program.

#include <cstdio>
#include <fstream>
#include <memory>

#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

// Seeded: 12 left, 34 right, 5 middle, 6 wheel, 789 keys, 1 h 2 min 3 s of
// run time and this pointer travel, which the first case moves 5 pixels on.
constexpr DWORD kSeedPixels = 9445;
const char kFigures[] = "左键点击:   12次";

// A report written to its end: the time line first, the key line last. Its bytes are GBK.
bool Complete(const std::string& bytes) {
  return bytes.rfind(Gbk("键鼠统计时间:"), 0) == 0 && EndsAfter(bytes, Gbk("键盘一共敲击:789次"));
}

class Report : public SharedApp<Report> {
 public:
  static void BeforeStart() {
    const SYSTEMTIME t = Today();
    SeedDay(t.wMonth, t.wDay, 12, 34, 5, 6, 789, kSeedPixels, 3723);
    MoveCursor(300, 300);
    CreateDirectoryA(Dir().c_str(), nullptr);
  }

 protected:
  static std::string Dir() { return BinDir() + "\\reports\\"; }
};

TEST_F(Report, SavedFileHoldsTheDaysFigures) {
  ASSERT_TRUE(MoveCursor(303, 304));  // (3, 4): 5 pixels
  ASSERT_TRUE(WaitUntil([&] { return Stored("MouseMove") == kSeedPixels + 5; })) << Stored("MouseMove");
  const std::string path = Dir() + "day.txt";
  DeleteFileA(path.c_str());
  // The command is chosen between the two.
  const SYSTEMTIME before = Today();
  SYSTEMTIME after = before;
  const auto complete = [&] { return Complete(ReadFileBytes(path)); };
  ASSERT_TRUE(SaveAs(*s_app, s_app->Main(), ID_SAVE_REPORT, path, complete, [&] { after = Today(); }).saved)
      << ReadFileBytes(path);
  const std::string bytes = ReadFileBytes(path);
  DeleteFileA(path.c_str());
  auto timeLine = [](const SYSTEMTIME& t) {
    char b[96];
    snprintf(b, sizeof b, "键鼠统计时间:%04d年%02d月%02d日%02d时%02d分%02d秒\r\n", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    return Gbk(b);
  };
  const size_t end1 = bytes.find("\r\n") + 2, end2 = bytes.find("\r\n", end1);
  EXPECT_TRUE(bytes.substr(0, end1) == timeLine(before) || bytes.substr(0, end1) == timeLine(after)) << bytes;
  // The run time of the last second, going on from 1 h 2 min 3 s.
  int runSeconds = -1;
  EXPECT_EQ(std::sscanf(bytes.c_str() + end1, Gbk("软件已运行:1时2分%d秒").c_str(), &runSeconds), 1) << bytes;
  EXPECT_GT(runSeconds, 3);
  char metres[16];
  snprintf(metres, sizeof metres, "%.2f", double{static_cast<float>((kSeedPixels + 5.0) / MeasurePixelsPerMetre())});
  EXPECT_EQ(bytes.substr(end2),
            Gbk("\r\n\r\n当前统计信息如下:\r\n\r\n鼠标左键点击:12次\r\n\r\n鼠标右键点击:34次\r\n\r\n"
                "鼠标中键点击:5次\r\n\r\n鼠标中键滚动:6次\r\n\r\n鼠标移动:" +
                std::string(metres) + "米\r\n\r\n鼠标一共敲击:57次\r\n\r\n键盘一共敲击:789次"));
}

// Each target gets a complete file or a clear message, never a crash, and the figures stay.
TEST_F(Report, TargetsThatStrainOrFailTheSaveGetTheFileOrAMessage) {
  enum Kind { kNew, kOpenElsewhere, kReadOnly, kFull, kFolderGone };
  const std::string dir = Dir(), longName = std::string(255 - dir.size(), 'r') + ".txt", gone = dir + "gone";
  // What the save dialog adds to the typed name, the program's message (none: written in full) and the save dialog's
  // questions before replacing a file.
  const struct {
    Kind kind;
    std::string typed, added, message;
    int asked;
  } cases[] = {
      {kOpenElsewhere, "old", ".txt", "", 1},  // longer, and open for reading
      {kNew, "今天的键鼠统计.txt", "", "", 0},
      {kNew, longName, "", "", 0},  // 259 characters in all
      {kReadOnly, "readonly.txt", "", "对 " + dir + "readonly.txt 的存取被拒绝。", 1},
      {kFull, "full.txt", "", "在存取 " + dir + "full.txt 时磁盘已满。", 0},  // as on a full disk
      // A folder gone after it was chosen: the save dialog itself may say so instead.
      {kFolderGone, "gone\\day.txt", "", gone + "\\day.txt 中包含无效的路径。", 0},
  };
  for (const auto& c : cases) {
    const std::string path = dir + c.typed + c.added, link = "\"" + UnixPath(path) + "\"";
    SCOPED_TRACE(path);
    auto opens = [&] {  // a link to /dev/full, which Windows calls cannot remove
      HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      return h != INVALID_HANDLE_VALUE && CloseHandle(h);
    };
    HANDLE reader = INVALID_HANDLE_VALUE;
    std::unique_ptr<ReadOnlyFile> readOnly;
    if (c.kind == kOpenElsewhere) {
      ASSERT_FALSE((std::ofstream(path, std::ios::binary) << std::string(5000, 'x')).fail());
      reader = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
      ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    }
    if (c.kind == kReadOnly) readOnly = std::make_unique<ReadOnlyFile>(path, "keep");
    ASSERT_TRUE(c.kind != kReadOnly || readOnly->Unwritable()) << "no file that cannot be written here";
    ASSERT_TRUE(c.kind != kFull || (RunUnix("/bin/ln -sf /dev/full " + link) && WaitUntil(opens)));
    CreateDirectoryA(gone.c_str(), nullptr);
    const bool written = c.kind == kNew || c.kind == kOpenElsewhere;
    const auto complete = [&] { return written && Complete(ReadFileBytes(path)); };
    const SaveOutcome s =
        SaveAs(*s_app, s_app->Main(), ID_SAVE_REPORT, c.typed, complete, [&] { RemoveDirectoryA(gone.c_str()); });
    EXPECT_EQ(s.saved, written);
    EXPECT_EQ(s.asked, c.asked) << "replaced without a question, or asked about a new file";
    const bool dialogSaid = c.kind == kFolderGone && s.caption != "Tallivo" && !s.text.empty();
    EXPECT_TRUE(dialogSaid || (s.caption == (written ? "" : "Tallivo") && s.text == c.message))
        << s.caption << ": " << s.text;
    EXPECT_EQ(AnswerAppBox(*s_app, 300), "<no box>");
    EXPECT_EQ(s_app->Text(IDC_LEFT_CLICKS), kFigures);
    if (c.kind == kOpenElsewhere) {
      EXPECT_EQ(ReadFileBytes(path).find('x'), std::string::npos) << "old content left behind";
      CloseHandle(reader);
    }
    EXPECT_TRUE(c.kind != kReadOnly || ReadFileBytes(path) == "keep") << "the read-only file changed";
    EXPECT_TRUE(c.kind != kFolderGone || GetFileAttributesW(Wide(path).c_str()) == INVALID_FILE_ATTRIBUTES);
    if (c.kind == kFull) RunUnix("/bin/rm -f " + link) && WaitUntil([&] { return !opens(); });
    DeleteFileW(Wide(path).c_str());
  }
}

}  // namespace
