#include <gtest/gtest.h>

#include "app/profile_store.h"

using namespace tallivo;

TEST(ProfileStore, MemoryStoreDefaultsAndOverwrite) {
  MemoryProfileStore s;
  EXPECT_EQ(s.ReadInt("DataSetting", "MouseLeft", 7), 7u);
  EXPECT_TRUE(s.WriteInt("DataSetting", "MouseLeft", 1));
  EXPECT_TRUE(s.WriteInt("DataSetting", "MouseLeft", 2));
  EXPECT_EQ(s.ReadInt("DataSetting", "MouseLeft", 7), 2u);
  EXPECT_EQ(s.ReadInt("DateCur", "MouseLeft", 9), 9u);  // sections are separate
  s.SetReadOnly(true);
  EXPECT_FALSE(s.WriteInt("Auto", "AutoData", 1));
  EXPECT_EQ(s.ReadInt("Auto", "AutoData", 0), 0u);
}

TEST(ProfileStore, AppNameFromModulePath) {
  struct Case {
    std::string path, name;
  } cases[] = {
      {"C:\\Program Files\\Tallivo\\Tallivo.exe", "Tallivo"},
      {"C:\\x\\renamed.copy.exe", "renamed.copy"},
      {"Tallivo.exe", "Tallivo"},
      {"C:\\dir.with.dots\\Tallivo", "Tallivo"},
      {"/unix/style/app.exe", "app"},
      {"Z:tallivo.EXE", "tallivo"},
      // "表" is B1 ED and "尼" is C4 E1 in GBK; "\x95\x5C" is a double-byte
      // character whose trail byte is a backslash.
      {"C:\\\xB1\xED\\\x95\x5C.exe", "\x95\x5C"},
      {"C:\\a\\\x95\x5C\\b.exe", "b"},
  };
  for (const auto& c : cases) EXPECT_EQ(AppNameFromModulePath(c.path), c.name) << c.path;
}
