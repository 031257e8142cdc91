#include "main/tray_rules.h"

namespace tallivo {

StartAction StartActionForFlag(int autoData) {
  StartAction a;
  if (autoData == 0) a.writeFlagOne = true;
  if (autoData == 1) a.startHidden = true;
  return a;
}

const BalloonText* BalloonForFlag(int autoData) {
  static const BalloonText kAutoStarted = {
      "温馨提示", "为了不影响您的视线，软件自动启动后最小化，如果不满意可关闭自动启动。请注意观察您的当前记录!!"};
  static const BalloonText kAskAutoStart = {"温馨提示",
                                            "为了您每次开机全面统计，请开启软件自动启动。请注意观察您的当前记录!!"};
  if (autoData == 1) return &kAutoStarted;
  if (autoData == 2) return &kAskAutoStart;
  return nullptr;
}

}  // namespace tallivo
