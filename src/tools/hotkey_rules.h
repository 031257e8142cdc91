// The show/hide hotkey: which characters the key edit accepts, how the
// stored character becomes a key to register, and the dialog's texts.
#pragma once

#include <cstdint>
#include <string>

namespace tallivo {

// Registration identifier and modifiers (MOD_ALT | MOD_CONTROL).
constexpr int kHotkeyId = 1;
constexpr unsigned kHotkeyModifiers = 0x0001u | 0x0002u;
// The platform's key code of the "." key (VK_OEM_PERIOD). The character
// code of "." is that of the Delete key, and Ctrl+Alt+Delete belongs to
// the system.
constexpr unsigned kPeriodKey = 0xBE;

// 'A'..'Z' and '.'; bytes are signed, so no byte of a multi-byte UTF-8
// character is ever accepted.
bool HotkeyCharAccepted(char c);
// The text cut just before its first refused character.
std::string FilterHotkeyText(const std::string& text);
// The key the "设置" button stores: the first byte taken as signed, 0 for
// an empty text.
int HotkeyKeyFromText(const std::string& text);
// What the edit shows for a stored key ("%c"; nothing for 0).
std::string HotkeyEditText(uint32_t storedKey);
// The key code to register for a stored character: the letter's own code,
// the period key for "."; 0 (register nothing) for anything else.
unsigned HotkeyVirtualKey(int storedKey);

extern const char kHotkeySetOk[];
// The key was stored but the combination could not be registered.
std::string HotkeyTakenMessage(int storedKey);

}  // namespace tallivo
