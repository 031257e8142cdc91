// Private window messages of the main window: the contract between
// Tallivo.exe and both hook libraries, and between the tool dialogs and the
// main window. Free of <windows.h> so the logic side and the hook libraries
// agree on the same numbers.
#pragma once

namespace tallivo {

constexpr unsigned kWmUser = 0x0400;

// Posted by TallivoHook.dll, one per counted event.
constexpr unsigned WM_INPUT_LBUTTON = kWmUser + 102;
constexpr unsigned WM_INPUT_RBUTTON = kWmUser + 103;
constexpr unsigned WM_INPUT_MBUTTON = kWmUser + 104;
constexpr unsigned WM_INPUT_WHEEL = kWmUser + 105;
constexpr unsigned WM_TRAY_NOTIFY = kWmUser + 106;
constexpr unsigned WM_INPUT_KEY = kWmUser + 107;
// Sent by the tool dialogs.
constexpr unsigned WM_SET_HOTKEY = kWmUser + 108;
constexpr unsigned WM_IDLE_SHUTDOWN_ON = kWmUser + 109;
constexpr unsigned WM_IDLE_SHUTDOWN_OFF = kWmUser + 110;
// Posted by TallivoHook.dll at the first pointer move after the main window
// asked to be told (it stops sampling the cursor while the pointer rests).
constexpr unsigned WM_INPUT_MOVING = kWmUser + 111;
// Posted by TallivoTaskHook.dll for events of the chosen thread.
constexpr unsigned WM_PROC_LBUTTON = kWmUser + 112;
constexpr unsigned WM_PROC_RBUTTON = kWmUser + 113;
constexpr unsigned WM_PROC_MBUTTON = kWmUser + 114;
constexpr unsigned WM_PROC_WHEEL = kWmUser + 115;
constexpr unsigned WM_PROC_KEY = kWmUser + 117;
// Sent by the process picker and the per-process panel.
constexpr unsigned WM_PROC_SELECT = kWmUser + 120;
constexpr unsigned WM_PROC_RESET = kWmUser + 121;

constexpr unsigned kFirstPrivateMessage = WM_INPUT_LBUTTON;
constexpr unsigned kLastPrivateMessage = WM_PROC_RESET;

// Both input blocks share one layout: the message of an event is the
// block's first message plus the offset of its kind. In the global block
// the gap at +4 holds the tray callback; in the per-process block it is
// unused.
namespace input_block {
constexpr unsigned kLeft = 0;
constexpr unsigned kRight = 1;
constexpr unsigned kMiddle = 2;
constexpr unsigned kWheel = 3;
constexpr unsigned kKey = 5;
// Offsets 0 .. kSpan - 1 hold every message of a block.
constexpr unsigned kSpan = kKey + 1;
}  // namespace input_block

constexpr unsigned kGlobalInputFirst = WM_INPUT_LBUTTON;
constexpr unsigned kGlobalInputLast = kGlobalInputFirst + input_block::kSpan - 1;
constexpr unsigned kProcessInputFirst = WM_PROC_LBUTTON;
constexpr unsigned kProcessInputLast = kProcessInputFirst + input_block::kSpan - 1;

static_assert(WM_INPUT_RBUTTON == kGlobalInputFirst + input_block::kRight &&
                  WM_INPUT_MBUTTON == kGlobalInputFirst + input_block::kMiddle &&
                  WM_INPUT_WHEEL == kGlobalInputFirst + input_block::kWheel &&
                  WM_INPUT_KEY == kGlobalInputFirst + input_block::kKey,
              "global input messages follow the block layout");
static_assert(WM_PROC_RBUTTON == kProcessInputFirst + input_block::kRight &&
                  WM_PROC_MBUTTON == kProcessInputFirst + input_block::kMiddle &&
                  WM_PROC_WHEEL == kProcessInputFirst + input_block::kWheel &&
                  WM_PROC_KEY == kProcessInputFirst + input_block::kKey,
              "per-process input messages follow the block layout");
static_assert(WM_TRAY_NOTIFY == kGlobalInputFirst + 4, "the tray callback sits in the gap of the global block");
static_assert(kGlobalInputLast < kProcessInputFirst, "the two input blocks do not overlap");
static_assert(kGlobalInputLast < WM_SET_HOTKEY && kProcessInputLast < WM_PROC_SELECT,
              "no other message falls inside an input block but the tray callback");
static_assert(WM_INPUT_MOVING > kGlobalInputLast && WM_INPUT_MOVING < kProcessInputFirst &&
                  WM_INPUT_MOVING != WM_SET_HOTKEY && WM_INPUT_MOVING != WM_IDLE_SHUTDOWN_ON &&
                  WM_INPUT_MOVING != WM_IDLE_SHUTDOWN_OFF,
              "the pointer's wake-up is no counted event and shares no number");
static_assert(kFirstPrivateMessage == kWmUser + 102 && kLastPrivateMessage == kWmUser + 121,
              "the private messages keep to WM_USER+102 .. WM_USER+121");

}  // namespace tallivo
