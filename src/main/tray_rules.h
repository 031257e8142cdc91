// What the first-run flag in the profile ("Auto"/"AutoData") means for a
// start and for the balloon shown at the first minimise.
#pragma once

namespace tallivo {

struct StartAction {
  bool writeFlagOne = false;  // the very first start records that it ran
  bool startHidden = false;   // every later start goes straight to the tray
};
StartAction StartActionForFlag(int autoData);

struct BalloonText {
  const char* title;
  const char* text;
};
// The balloon for the flag read at a minimise; null when the balloon fields
// keep what they hold.
const BalloonText* BalloonForFlag(int autoData);

}  // namespace tallivo
