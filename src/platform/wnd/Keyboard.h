#pragma once
// The application-wide state of the 256 virtual keys, as the classic keyboard-state
// query reports it: bit 0x80 of a key's byte is set while the key is held.
// The backend feeds it from every key event of the application (NativeKey); each physical key
// (its native scan code) releases the virtual key it pressed, whatever the release
// event reports; losing the application focus releases every key.
// Game controllers hold keys in a layer of their own (Controllers.h): a key is held while the
// keyboard or any controller holds it, so that letting it go on one leaves it held on the
// other. F11 and Alt+Enter switch the frame to full screen and back; the game never sees them.
#include <cstdint>

#include "platform/wnd/Messages.h"

using BYTE = std::uint8_t;

bool GetKeyboardState(BYTE* keys);

// Returns false for an auto-repeat press, which does not change the table.
bool KeyboardPress(UINT virtualKey, std::uint32_t scanCode, bool autoRepeat);
// Returns the virtual key that is released (the one this scan code pressed, when known);
// auto-repeat releases are dropped and return 0.
UINT KeyboardRelease(UINT virtualKey, std::uint32_t scanCode, bool autoRepeat);
// The keyboard's keys only; what controllers hold stays.
void KeyboardReleaseAll();

// A controller's hold of a key; each is undone by one ControllerKeyUp.
void ControllerKeyDown(UINT virtualKey);
void ControllerKeyUp(UINT virtualKey);
