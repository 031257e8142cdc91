#include <gtest/gtest.h>

#include "ui/file_error.h"

using namespace ui;

TEST(FileError, CausesHaveTheirOwnTexts) {
  struct Case {
    uint32_t error;
    unsigned id;
  } cases[] = {
      {5, kIdsFileAccessDenied},     // ERROR_ACCESS_DENIED: read-only file, folder without rights
      {19, kIdsFileAccessDenied},    // ERROR_WRITE_PROTECT
      {2, kIdsFileNotFound},
      {3, kIdsFileBadPath},          // ERROR_PATH_NOT_FOUND
      {123, kIdsFileBadPath},        // ERROR_INVALID_NAME
      {161, kIdsFileBadPath},
      {4, kIdsFileTooManyOpen},
      {32, kIdsFileSharing},         // open in another program
      {33, kIdsFileLock},
      {112, kIdsFileDiskFull},       // also what a short write reports
      {39, kIdsFileDiskFull},
      {82, kIdsFileDirectoryFull},
      {23, kIdsFileHardIo},
      {0, kIdsFileGeneric},
      {87, kIdsFileGeneric},         // ERROR_INVALID_PARAMETER: no text of its own
      {0xFFFFFFFFu, kIdsFileGeneric},
  };
  for (const auto& c : cases) EXPECT_EQ(FileErrorStringId(c.error), c.id) << c.error;
  EXPECT_EQ(FileErrorStringId(kErrorDiskFull), kIdsFileDiskFull);
}

TEST(FileError, PathReplacesEveryPlaceholder) {
  EXPECT_EQ(FormatFileError("对 %1 的存取被拒绝。", "C:\\a\\b.txt"), "对 C:\\a\\b.txt 的存取被拒绝。");
  EXPECT_EQ(FormatFileError("%1 and %1", "x"), "x and x");
  // A "%1" inside the path is the path, not a placeholder.
  EXPECT_EQ(FormatFileError("没有找到 %1。", "C:\\%1%.txt"), "没有找到 C:\\%1%.txt。");
  EXPECT_EQ(FormatFileError("100%", "p"), "100%");
  EXPECT_EQ(FormatFileError("%2 %1", "p"), "%2 p");
}

TEST(FileError, StringTableIds) {
  // The ids the string table carries the texts under.
  EXPECT_EQ(kIdsFileGeneric, 61857u);
  EXPECT_EQ(kIdsFileNotFound, 61858u);
  EXPECT_EQ(kIdsFileBadPath, 61859u);
  EXPECT_EQ(kIdsFileTooManyOpen, 61860u);
  EXPECT_EQ(kIdsFileAccessDenied, 61861u);
  EXPECT_EQ(kIdsFileDirectoryFull, 61864u);
  EXPECT_EQ(kIdsFileHardIo, 61866u);
  EXPECT_EQ(kIdsFileSharing, 61867u);
  EXPECT_EQ(kIdsFileLock, 61868u);
  EXPECT_EQ(kIdsFileDiskFull, 61869u);
  EXPECT_EQ(kIdsCommandFailed, 61705u);
}
