#include "platform/wnd/Keyboard.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/wnd/Backend.h"
#include "platform/wnd/Wnd.h"

namespace {

constexpr std::size_t kKeys = 256;
// Native scan codes (X and Wayland key codes) fit here; a key beyond it releases what its
// release event reports.
constexpr std::uint32_t kScanCodes = 512;
constexpr BYTE kDown = 0x80;
// Bits of the key flags (the high word of lParam) besides the scan code in the low byte.
constexpr unsigned kFlagPreviouslyDown = 0x4000;
constexpr unsigned kFlagReleased = 0x8000;

BYTE s_keys[kKeys];
// The virtual key each physical key pressed, 0 when it is up or unknown; scan code 0 means
// "no scan code" (synthetic events) and is never recorded.
UINT s_pressedBy[kScanCodes];

}  // namespace

bool GetKeyboardState(BYTE* keys)
{
    if (!keys)
        return false;
    std::memcpy(keys, s_keys, kKeys);
    return true;
}

bool KeyboardPress(UINT virtualKey, std::uint32_t scanCode, bool autoRepeat)
{
    if (autoRepeat || virtualKey == 0 || virtualKey >= kKeys)
        return false;
    s_keys[virtualKey] = kDown;
    if (scanCode != 0 && scanCode < kScanCodes)
        s_pressedBy[scanCode] = virtualKey;
    return true;
}

UINT KeyboardRelease(UINT virtualKey, std::uint32_t scanCode, bool autoRepeat)
{
    if (autoRepeat)
        return 0;
    UINT released = virtualKey;
    if (scanCode != 0 && scanCode < kScanCodes && s_pressedBy[scanCode] != 0) {
        released = s_pressedBy[scanCode];
        s_pressedBy[scanCode] = 0;
    }
    if (released == 0 || released >= kKeys)
        return 0;
    s_keys[released] = 0;
    return released;
}

void KeyboardReleaseAll()
{
    std::fill(std::begin(s_keys), std::end(s_keys), BYTE(0));
    std::fill(std::begin(s_pressedBy), std::end(s_pressedBy), UINT(0));
}

void KeyboardKeepPhysical(const std::uint8_t* down, std::size_t scanCodes)
{
    BYTE kept[kKeys] = {};
    for (std::uint32_t code = 1; code < kScanCodes; ++code) {
        const UINT key = s_pressedBy[code];
        if (key == 0)
            continue;
        if (code < scanCodes && ((down[code / 8] >> (code % 8)) & 1u) != 0)
            kept[key] = kDown;
        else
            s_pressedBy[code] = 0;
    }
    std::memcpy(s_keys, kept, kKeys);
}

bool NativeKey(CWnd* target, UINT virtualKey, std::uint32_t scanCode, bool pressed, bool autoRepeat)
{
    unsigned flags = scanCode & 0xFFu;
    UINT messageKey = virtualKey;
    if (pressed) {
        if (!KeyboardPress(virtualKey, scanCode, autoRepeat))
            flags |= kFlagPreviouslyDown;
    } else {
        messageKey = KeyboardRelease(virtualKey, scanCode, autoRepeat);
        flags |= kFlagPreviouslyDown | kFlagReleased;
    }
    if (!target)
        return false;
    if (messageKey != 0)
        target->SendMessage(pressed ? WM_KEYDOWN : WM_KEYUP, messageKey, MakeLParam(1, flags));
    return true;
}

void NativeKeyboardLost()
{
    KeyboardReleaseAll();
}

void NativeKeysDown(const std::uint8_t* down, std::size_t scanCodes)
{
    KeyboardKeepPhysical(down, scanCodes);
}
