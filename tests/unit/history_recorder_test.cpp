// The recorder's messages: each kind of trouble in its own words, naming the
// history file (and where a damaged one went).
#include <gtest/gtest.h>

#include <string>

#include "history/history_recorder.h"

using namespace tallivo::history;

TEST(RecorderNotice, EachTroubleIsToldInItsOwnWordsAndNamesTheFile) {
  const std::pair<StoreError, const char*> words[] = {{StoreError::Busy, "锁定"},
                                                      {StoreError::Full, "磁盘已满"},
                                                      {StoreError::NewerSchema, "更新的版本"},
                                                      {StoreError::CannotOpen, "无法创建或打开"},
                                                      {StoreError::Other, "出错"}};
  for (auto [error, word] : words) {
    const std::string text = NoticeText({Notice::Kind::Fault, error, "", ""}, "C:\\h.db", "");
    EXPECT_NE(text.find(word), std::string::npos) << text;
    EXPECT_NE(text.find("C:\\h.db"), std::string::npos) << text;
  }
  // A damaged file: its own name first, then the one it was given.
  const std::string moved = NoticeText({Notice::Kind::MovedAside, StoreError::None, "x", ""}, "C:\\h.db", "C:\\d.db");
  EXPECT_NE(moved.find("C:\\d.db", moved.find("C:\\h.db")), std::string::npos) << moved;
}
