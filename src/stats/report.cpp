#include "stats/report.h"

#include "base/text_format.h"

namespace tallivo {

const char kReportDefaultName[] = "键鼠统计信息";
const char kReportDefaultExt[] = "txt";

namespace {
constexpr char kLineEnd[] = "\r\n";
}  // namespace

std::string ReportTimeLine(const std::tm& t) {
  return FormatText("键鼠统计时间:%04d年%02d月%02d日%02d时%02d分%02d秒", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                    t.tm_hour, t.tm_min, t.tm_sec);
}

std::vector<std::string> ReportFigureLines(const ReportFigures& f) {
  return {
      FormatText("鼠标左键点击:%u次", static_cast<unsigned>(f.left)),
      FormatText("鼠标右键点击:%u次", static_cast<unsigned>(f.right)),
      FormatText("鼠标中键点击:%u次", static_cast<unsigned>(f.middle)),
      FormatText("鼠标中键滚动:%u次", static_cast<unsigned>(f.wheel)),
      FormatText("鼠标移动:%.2f米", static_cast<double>(f.metres)),
      FormatText("鼠标一共敲击:%u次", static_cast<unsigned>(f.totalClicks)),
      FormatText("键盘一共敲击:%u次", static_cast<unsigned>(f.keys)),
  };
}

std::string ReportText(const std::string& timeLine, const std::string& runText,
                       const std::vector<std::string>& figureLines) {
  std::string out = timeLine + kLineEnd + runText + kLineEnd + kLineEnd + "当前统计信息如下:" + kLineEnd + kLineEnd;
  for (size_t i = 0; i < figureLines.size(); ++i) {
    if (i) out += std::string(kLineEnd) + kLineEnd;
    out += figureLines[i];
  }
  return out;
}

std::string ReportFileBytes(const std::string& text, unsigned ansiCodePage,
                            std::string (*toGbk)(const std::string& utf8)) {
  if (ansiCodePage == kGbkCodePage) return toGbk(text);
  return "\xEF\xBB\xBF" + text;
}

std::string ReportFilter() {
  static const char kFilter[] = "TxT Files (*.txt)\0*.txt\0";
  return std::string(kFilter, sizeof kFilter);  // keeps the final zero: the list ends in two
}

}  // namespace tallivo
