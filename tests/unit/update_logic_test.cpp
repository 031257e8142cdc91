#include <gtest/gtest.h>

#include "update/update_logic.h"

using namespace tallivo;

TEST(UpdateLogic, OutcomeOfServerAnswers) {
  struct Case {
    std::string body;
    CheckOutcome outcome;
  } cases[] = {
      {"#4.05#", CheckOutcome::Upgrade},
      {"<html>newest: #4.05# see site</html>", CheckOutcome::Upgrade},
      {"#4.4#", CheckOutcome::Upgrade},  // 4.4 > 4.04 as numbers
      {"#4.04#", CheckOutcome::Current},
      {"#4.039#", CheckOutcome::Current},
      {"#abc#", CheckOutcome::Current},
      {"4.05", CheckOutcome::Current},  // no markers: version 0
      {"#4.05", CheckOutcome::Current},  // one marker only
      {"", CheckOutcome::Current},
      {"##", CheckOutcome::Current},
      {"# 5#", CheckOutcome::Upgrade},  // leading space skipped
      {"#5x#", CheckOutcome::Upgrade},  // stops at the first character that does not fit
      {"#-5#", CheckOutcome::Current},
      {"#4.05e0#junk#9#", CheckOutcome::Upgrade},
      {"#1#9.9#", CheckOutcome::Current},  // only the first pair counts
      {"Error", CheckOutcome::NetworkFailed},
      {"Error ", CheckOutcome::Current},  // only the exact marker is a failure
  };
  for (const auto& c : cases) EXPECT_EQ(EvaluateResponse(c.body), c.outcome) << c.body;
}

TEST(UpdateLogic, VersionTextBetweenFirstTwoMarkers) {
  EXPECT_EQ(RemoteVersionText("a#4.05#b#c"), "4.05");
  EXPECT_EQ(RemoteVersionText("#"), "");
  EXPECT_EQ(RemoteVersionText("no markers"), "");
  EXPECT_DOUBLE_EQ(VersionNumber("4.04"), 4.04);
  EXPECT_DOUBLE_EQ(VersionNumber("x"), 0.0);
}

TEST(UpdateLogic, Urls) {
  EXPECT_EQ(VersionQueryUrl(), std::string("http://") + kUpdateHost + "/update/index.php?action=Auto");
  EXPECT_EQ(DownloadPageUrl(), std::string(kHomePage) + "/myupdate");
}

TEST(UpdateLogic, BodyJoinsChunksInOrderAndStopsAtZeroBytes) {
  ResponseBody b;
  std::string big(16384, 'x');
  big[100] = '#';
  EXPECT_TRUE(b.Append(big.data(), big.size()));
  EXPECT_TRUE(b.Append("4.05#", 5));
  EXPECT_EQ(b.Text().size(), 16384u + 5u);
  EXPECT_EQ(RemoteVersionText(b.Text()), big.substr(101) + "4.05");
  ResponseBody z;
  z.Append("ab\0cd", 5);  // a zero byte ends the chunk's text
  z.Append("ef", 2);
  EXPECT_EQ(z.Text(), "abef");
}

TEST(UpdateLogic, BodyIsCappedAtOneMebibyte) {
  ResponseBody b;
  std::string chunk(16384, 'y');
  size_t chunks = 0;
  while (b.Append(chunk.data(), chunk.size())) {
    ASSERT_LT(++chunks, 1000u);
  }
  EXPECT_TRUE(b.Full());
  EXPECT_EQ(b.Text().size(), ResponseBody::kCap);
  EXPECT_FALSE(b.Append("z", 1));
  EXPECT_EQ(b.Text().size(), ResponseBody::kCap);
}
