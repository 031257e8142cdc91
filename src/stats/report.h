// The text report of the day's figures: CR LF lines, no line end after the
// last line; in GBK on a Chinese system, else in UTF-8 (ReportFileBytes).
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace tallivo {

struct ReportFigures {
  uint32_t left = 0;
  uint32_t right = 0;
  uint32_t middle = 0;
  uint32_t wheel = 0;
  float metres = 0.0f;
  uint32_t totalClicks = 0;
  uint32_t keys = 0;
};

// "键鼠统计时间:%Y年%m月%d日%H时%M分%S秒" for the given local time.
std::string ReportTimeLine(const std::tm& local);
// The seven figure lines, in report order.
std::vector<std::string> ReportFigureLines(const ReportFigures& f);
// The whole file: the time line, the run-time text, the heading, then the
// figure lines each followed by an empty line except the last.
std::string ReportText(const std::string& timeLine, const std::string& runText,
                       const std::vector<std::string>& figureLines);

// The bytes of the file for the system's ANSI code page: the text in GBK
// where that is 936, as the report has always been, without a byte-order
// mark; UTF-8 with one on any other, so that Notepad reads it right there.
// toGbk converts UTF-8 text to GBK.
constexpr unsigned kGbkCodePage = 936;
std::string ReportFileBytes(const std::string& text, unsigned ansiCodePage,
                            std::string (*toGbk)(const std::string& utf8));

// Settings of the save dialog.
extern const char kReportDefaultName[];  // "键鼠统计信息"
extern const char kReportDefaultExt[];   // "txt"
// The filter as the save dialog wants it: pairs of zero-terminated texts,
// ended by an empty one.
std::string ReportFilter();

}  // namespace tallivo
